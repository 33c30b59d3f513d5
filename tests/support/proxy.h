#pragma once
// A real HTTP proxy for tests: Debian's tinyproxy on a free loopback port, with Basic
// authentication and a log file that shows every connection and CONNECT it served.
#include <string>
#include <sys/types.h>

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
  std::string dir_, logFile_;
  int port_ = 0;
  pid_t pid_ = -1;
};

} // namespace vokr::test
