#pragma once
// A real HTTP proxy for tests: Debian's tinyproxy on a free loopback port, with Basic
// authentication and a log file that shows every connection and CONNECT it served.
#include <cstdint>
#include <string>

namespace vokr::test {

class TinyProxy {
public:
  // Empty user: no authentication required.
  TinyProxy(std::string user, std::string password);
  ~TinyProxy();
  TinyProxy(const TinyProxy&) = delete;
  TinyProxy& operator=(const TinyProxy&) = delete;

  std::string address() const;  // "127.0.0.1:<port>"
  std::string log() const;       // the log file as written so far
  // True once the log shows a CONNECT to that host:port (waits briefly for the log to catch up).
  bool sawConnect(const std::string& hostPort) const;
  // True when the log shows any client connection at all.
  bool sawAnyClient() const;

private:
  // Starts tinyproxy with the configuration file and returns once it listens on port_ (posix/,
  // win32/); stop() ends it.
  void start(const std::string& config);
  void stop();

  std::string dir_, logFile_;
  uint16_t port_ = 0;
  intptr_t process_ = -1;  // a process id, or what keeps the proxy running under wine
};

} // namespace vokr::test
