#pragma once
// What the channel needs to know for one call: where and how to connect, who calls, and where
// the dumps go. The plug-in makes it from the host's settings and hands it down with each call.
#include <cstdint>
#include <string>
#include <string_view>

namespace vokr::channel {

struct TransportSettings {
  std::string endpoint;  // the whole URL posted to
  std::string proxy;     // host:port; empty: direct
  std::string proxyBypass;
  std::string proxyUserName;
  std::string proxyPassword;
  int32_t connectTimeout = -1;  // milliseconds; 0 or less: libcurl's default
  int32_t sendTimeout = -1;     // longest pause in sending the request
  int32_t receiveTimeout = -1;  // longest wait for, or pause in, the answer
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
};

// The service's endpoint under a base URL, appended as the URL stands: one ending in '/' gives
// two slashes, as the service is used to.
std::string serviceEndpoint(std::string_view baseUrl);

} // namespace vokr::channel
