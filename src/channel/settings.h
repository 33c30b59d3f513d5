#pragma once
// What the channel needs to know for one call: where and how to connect, who calls, and where
// the dumps go. The plug-in makes it from the host's settings and hands it down with each call.
#include <cstdint>
#include <string>
#include <string_view>

#include "schema/spill.h"

namespace vokr::channel {

struct TransportSettings {
  std::string endpoint;  // the whole URL posted to
  std::string proxy;     // host:port; empty: direct
  std::string proxyBypass;
  std::string proxyUserName;
  std::string proxyPassword;
  // Milliseconds, every one a limit: the plug-in puts its defaults in place of unset values.
  int32_t connectTimeout = 60000;  // connection and TLS handshake, from the start of the call
  std::string_view connectTimeoutName = "ConnectTimeout";  // the setting it comes from
  int32_t sendTimeout = 30000;     // longest time without progress in sending the request
  int32_t receiveTimeout = 30000;  // longest wait for the answer, or time without progress in it
};

struct DumpSettings {
  bool enabled = false;      // requests and responses are written into `folder`
  bool useTimestamp = true;  // file names carry the local time of their writing
  std::string folder;        // with a trailing delimiter
};

struct ChannelSettings {
  TransportSettings transport;
  std::string userName;  // of the security header
  std::string password;
  DumpSettings dumps;
  schema::SpillSettings spill;  // where the large byte arrays of an answer go
};

// The service's endpoint under a base URL, appended as the URL stands: one ending in '/' gives
// two slashes, as the service is used to. No base URL, no endpoint (empty).
std::string serviceEndpoint(std::string_view baseUrl);

} // namespace vokr::channel
