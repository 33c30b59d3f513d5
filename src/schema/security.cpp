#include "schema/security.h"

#include "schema/namespaces.h"

namespace vokr::schema {

const ClassOf<UsernameToken> UsernameToken::info{
    ns::secext, "UsernameToken",
    {member<&UsernameToken::Username>("Username"), member<&UsernameToken::Password>("Password", kSecret)}};

// The token is written as a reference to its global element, in the token's own namespace.
const ClassOf<Security> Security::info{
    ns::secext, "Security", {member<&Security::UsernameToken>("UsernameToken", kReference)}};

} // namespace vokr::schema
