#pragma once
// The WS-Security user-name token every call carries in its SOAP header.
#include "schema/remotable.h"

namespace vokr::schema {

struct UsernameToken : Remotable<UsernameToken> {
  std::string Username;
  std::string Password;  // plain text; the transport's TLS is its only protection
  static const ClassOf<UsernameToken> info;
};

struct Security : Remotable<Security> {
  std::unique_ptr<schema::UsernameToken> UsernameToken;
  static const ClassOf<Security> info;
};

} // namespace vokr::schema
