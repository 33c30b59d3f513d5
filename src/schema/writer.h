#pragma once
// Writes one request as a SOAP 1.1 envelope, exact to the byte: the service and the textual
// fix-ups that run afterwards depend on every name, prefix and declaration.
#include <string_view>

#include "schema/registry.h"
#include "schema/rope.h"

namespace vokr::schema {

class TRemotable;

// `header` is the security header object, written into SOAP-ENV:Header. The rope refers to the
// request's byte arrays instead of copying them: keep the request alive while it is read.
// Throws vokr::Error when the request cannot be written: EConvertError for an enumeration value
// out of range or a text XML cannot carry (see below); EOutOfResources (an internal fault) for a request that is not the operation's.
Rope writeRequest(Operation op, const TRemotable& request, const TRemotable& header);

// The same envelope around any message object: the body element is named after its class.
Rope writeEnvelope(const TRemotable& body, const TRemotable& header);

// XML 1.0 carries no control character other than tab, line feed and carriage return: a text
// holding one throws EConvertError naming `field` (the element or attribute it was meant for).
void requireXmlText(std::string_view text, std::string_view field);

} // namespace vokr::schema
