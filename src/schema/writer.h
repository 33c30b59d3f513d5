#pragma once
// Writes one request as a SOAP 1.1 envelope, exact to the byte: the service and the textual
// fix-ups that run afterwards depend on every name, prefix and declaration.
#include "schema/registry.h"
#include "schema/rope.h"

namespace vokr::schema {

class TRemotable;

// `header` is the security header object, written into SOAP-ENV:Header. The rope refers to the
// request's byte arrays instead of copying them: keep the request alive while it is read.
// Throws vokr::Error when the request cannot be written: EConvertError for an enumeration value
// out of range; EOutOfResources (an internal fault) for a request that is not the operation's.
Rope writeRequest(Operation op, const TRemotable& request, const TRemotable& header);

// The same envelope around any message object: the body element is named after its class.
Rope writeEnvelope(const TRemotable& body, const TRemotable& header);

} // namespace vokr::schema
