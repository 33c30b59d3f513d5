#pragma once
// The service channel: one per load. Writes the request with the security header of the
// settings, applies the fix-ups, dumps, posts it over HTTPS and reads the answer as it arrives.
#include <memory>

#include "channel/settings.h"
#include "schema/registry.h"

namespace vokr::schema { class TRemotable; }

namespace vokr::channel {

// Throws vokr::Error with the kinds ERemotableException, ETransportError, EHttpError,
// EXmlReadError, and EConvertError for an endpoint that is not https:// (nothing is sent). The
// result is an object of the operation's response class.
std::unique_ptr<schema::TRemotable> call(const ChannelSettings& settings, schema::Operation op,
                                         const schema::TRemotable& request);

} // namespace vokr::channel
