#include "system.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vokr::test {

std::string hostText(const std::string& utf8) { return utf8; }

void setEnv(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }
void unsetEnv(const std::string& name) { unsetenv(name.c_str()); }

std::string makeTempDirectory(const std::string& stem) {
  std::string path = "/tmp/" + stem + "-XXXXXX";
  if (!mkdtemp(path.data())) throw std::runtime_error("cannot make a temporary directory " + path);
  return path;
}

void removeTree(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::string linuxPath(const std::string& path) { return path; }

namespace {
sockaddr_in loopback(uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(port);
  return addr;
}
} // namespace

Socket listenOnLoopback(uint16_t& port) {
  Socket s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr = loopback(port);
  socklen_t len = sizeof addr;
  if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(s, 16) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (s >= 0) close(s);
    throw std::runtime_error("no listening socket on the loopback");
  }
  port = ntohs(addr.sin_port);
  return s;
}

Socket acceptConnection(Socket listening) { return accept4(listening, nullptr, nullptr, SOCK_CLOEXEC); }

Socket connectToLoopback(uint16_t port) {
  Socket s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr = loopback(port);
  if (s >= 0 && connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return s;
  if (s >= 0) close(s);
  return -1;
}

void setIoTimeout(Socket s, int seconds) {
  timeval limit{seconds, 0};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

void resetOnClose(Socket s) {
  linger l{1, 0};
  setsockopt(s, SOL_SOCKET, SO_LINGER, &l, sizeof l);
}

void shutdownSocket(Socket s) { shutdown(s, SHUT_RDWR); }
void closeSocket(Socket s) { close(s); }

void blockBrokenPipeSignal() {
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
}

void* reserveLowMemory(size_t bytes) {
  int flags = MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE;
#if defined(__x86_64__)
  flags |= MAP_32BIT;
#endif
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, flags, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

void releaseLowMemory(void* p, size_t bytes) { munmap(p, bytes); }

} // namespace vokr::test
