#include "proxy.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "system.h"

namespace vokr::test {

TinyProxy::TinyProxy(std::string user, std::string password) {
  dir_ = makeTempDirectory("vokr-proxy");
  logFile_ = dir_ + "/tinyproxy.log";
  closeSocket(listenOnLoopback(port_));  // a free port, for tinyproxy to take

  const std::string config = dir_ + "/tinyproxy.conf";
  std::ofstream conf(config, std::ios::binary);  // LF lines on every system
  conf << "Port " << port_ << "\n"
       << "Listen 127.0.0.1\n"
       << "Timeout 30\n"
       << "LogFile \"" << linuxPath(logFile_) << "\"\n"
       << "LogLevel Connect\n"
       << "MaxClients 20\n"
       << "Allow 127.0.0.1\n"
       << "DisableViaHeader Yes\n";
  if (!user.empty()) conf << "BasicAuth " << user << " " << password << "\n";
  conf.close();
  if (!conf) throw std::runtime_error("tinyproxy: writing " + config);
  start(config);
}

TinyProxy::~TinyProxy() {
  stop();
  removeTree(dir_);
}

std::string TinyProxy::address() const { return "127.0.0.1:" + std::to_string(port_); }

std::string TinyProxy::log() const {
  std::ifstream in(logFile_);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TinyProxy::sawConnect(const std::string& hostPort) const {
  const std::string line = "CONNECT " + hostPort + " HTTP/1.1";
  for (int i = 0; i < 40; ++i) {
    if (log().find(line) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  return false;
}

bool TinyProxy::sawAnyClient() const { return log().find("Connect (file descriptor") != std::string::npos; }

} // namespace vokr::test
