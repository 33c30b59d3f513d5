#include "system.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "win32/wide.h"

namespace vokr::test {

namespace {

// Winsock wants starting once per process before the first socket.
void startWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  if (!started) throw std::runtime_error("WSAStartup failed");
}

sockaddr_in loopback(uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(port);
  return addr;
}

Socket fromWinsock(SOCKET s) { return s == INVALID_SOCKET ? -1 : static_cast<Socket>(s); }

} // namespace

std::string hostText(const std::string& utf8) {
  const std::wstring w = wide(utf8);
  const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), nullptr, 0, "?", nullptr);
  std::string text(size_t(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), text.data(), n, "?", nullptr);
  return text;
}

// _wputenv changes the C runtime's copy and the process environment alike: the library reads
// the latter, OpenSSL the former.
void setEnv(const std::string& name, const std::string& value) { _wputenv(wide(name + "=" + value).c_str()); }
void unsetEnv(const std::string& name) { _wputenv(wide(name + "=").c_str()); }

std::string makeTempDirectory(const std::string& stem) {
  wchar_t base[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, base);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("no temporary directory");
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[8];
    std::snprintf(suffix, sizeof suffix, "%06x", random() & 0xFFFFFF);
    std::wstring path = std::wstring(base) + wide(stem + "-" + suffix);
    if (CreateDirectoryW(path.c_str(), nullptr)) return utf8(path);
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot make a temporary directory for " + stem);
}

void removeTree(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(wide(path)), ignored);
}

Socket listenOnLoopback(uint16_t& port) {
  startWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr = loopback(port);
  int len = sizeof addr;
  if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(s, 16) != 0 || getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    if (s != INVALID_SOCKET) closesocket(s);
    throw std::runtime_error("no listening socket on the loopback");
  }
  port = ntohs(addr.sin_port);
  return fromWinsock(s);
}

Socket acceptConnection(Socket listening) { return fromWinsock(accept(SOCKET(listening), nullptr, nullptr)); }

Socket connectToLoopback(uint16_t port) {
  startWinsock();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr = loopback(port);
  if (s != INVALID_SOCKET && connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return fromWinsock(s);
  if (s != INVALID_SOCKET) closesocket(s);
  return -1;
}

void setIoTimeout(Socket s, int seconds) {
  DWORD limit = DWORD(seconds) * 1000;
  setsockopt(SOCKET(s), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
  setsockopt(SOCKET(s), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
}

void resetOnClose(Socket s) {
  linger l{1, 0};
  setsockopt(SOCKET(s), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l), sizeof l);
}

void shutdownSocket(Socket s) { shutdown(SOCKET(s), SD_BOTH); }
void closeSocket(Socket s) { closesocket(SOCKET(s)); }
void blockBrokenPipeSignal() {}

// A 32-bit process has nothing but memory below 4 GiB.
void* reserveLowMemory(size_t bytes) {
  return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releaseLowMemory(void* p, size_t) { VirtualFree(p, 0, MEM_RELEASE); }

} // namespace vokr::test
