#pragma once
// The service channel: one per load. Reads the connection settings at the moment of the call,
// writes the request with the security header, applies the fix-ups, dumps, posts it over HTTPS
// and reads the answer as it arrives.
#include <memory>

#include "schema/registry.h"

namespace vokr::schema { class TRemotable; }

namespace vokr::channel {

// Throws vokr::Error with the kind names ERemotableException, ETransportError, EHttpError,
// EXmlReadError. The result is an object of the operation's response class.
std::unique_ptr<schema::TRemotable> call(schema::Operation op, const schema::TRemotable& request);

} // namespace vokr::channel
