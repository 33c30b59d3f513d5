#include "proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace vokr::test {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error("tinyproxy: " + what); }

sockaddr_in loopback(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  return addr;
}

int freePort() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr = loopback(0);
  socklen_t len = sizeof addr;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
    fail("no free port");
  close(fd);
  return ntohs(addr.sin_port);
}

// Whether something listens on 127.0.0.1:port, seen without connecting (a probe connection
// would show in the proxy's log as a client).
bool listening(int port) {
  std::ifstream tcp("/proc/net/tcp");
  char wanted[32];
  std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
  std::string line;
  while (std::getline(tcp, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state;
    fields >> slot >> local >> remote >> state;
    if (local == wanted && state == "0A") return true;
  }
  return false;
}

} // namespace

TinyProxy::TinyProxy(std::string user, std::string password) {
  char dir[] = "/tmp/vokr-proxy-XXXXXX";
  if (!mkdtemp(dir)) fail("temporary directory");
  dir_ = dir;
  logFile_ = dir_ + "/tinyproxy.log";
  port_ = freePort();

  const std::string config = dir_ + "/tinyproxy.conf";
  std::ofstream conf(config);
  conf << "Port " << port_ << "\n"
       << "Listen 127.0.0.1\n"
       << "Timeout 30\n"
       << "LogFile \"" << logFile_ << "\"\n"
       << "LogLevel Connect\n"
       << "MaxClients 20\n"
       << "Allow 127.0.0.1\n"
       << "DisableViaHeader Yes\n";
  if (!user.empty()) conf << "BasicAuth " << user << " " << password << "\n";
  conf.close();
  if (!conf) fail("writing " + config);

  pid_ = fork();
  if (pid_ < 0) fail("fork");
  if (pid_ == 0) {
    int null = open("/dev/null", O_WRONLY);  // its own chatter would clutter the test output
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execlp("tinyproxy", "tinyproxy", "-d", "-c", config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 200; ++i) {
    if (listening(port_)) return;
    int status;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      fail("did not start (is tinyproxy installed?)");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  fail("does not accept connections on port " + std::to_string(port_));
}

TinyProxy::~TinyProxy() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  std::remove((dir_ + "/tinyproxy.conf").c_str());
  std::remove(logFile_.c_str());
  rmdir(dir_.c_str());
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
