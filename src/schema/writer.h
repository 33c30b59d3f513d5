#pragma once
// Writes one request as a SOAP 1.1 envelope, exact to the byte: the service and the textual
// fix-ups that run afterwards depend on every name, prefix and declaration.
#include "schema/registry.h"
#include "schema/rope.h"

namespace vokr::schema {

class TRemotable;

// `header` is the security header object, written into SOAP-ENV:Header.
// Throws vokr::Error when the request cannot be written.
Rope writeRequest(Operation op, const TRemotable& request, const TRemotable& header);

} // namespace vokr::schema
