#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "proxy.h"

namespace vokr::test {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error("tinyproxy: " + what); }

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

void TinyProxy::start(const std::string& config) {
  pid_t pid = fork();
  if (pid < 0) fail("fork");
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);  // its own chatter would clutter the test output
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execlp("tinyproxy", "tinyproxy", "-d", "-c", config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  process_ = pid;
  for (int i = 0; i < 200; ++i) {
    if (listening(port_)) return;
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      process_ = -1;
      fail("did not start (is tinyproxy installed?)");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  stop();
  fail("does not accept connections on port " + std::to_string(port_));
}

void TinyProxy::stop() {
  if (process_ > 0) {
    kill(pid_t(process_), SIGTERM);
    waitpid(pid_t(process_), nullptr, 0);
  }
  process_ = -1;
}

} // namespace vokr::test
