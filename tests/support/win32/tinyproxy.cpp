// Under wine the proxy is still Debian's tinyproxy, a Linux program: wine starts Linux programs
// too. A small bash keeper starts it, waits until it listens, then connects back to the test
// process and holds that connection: when the test process closes it (or ends in any way),
// the keeper stops the proxy.
#include <winsock2.h>
#include <windows.h>

#include <fstream>
#include <stdexcept>

#include "proxy.h"
#include "system.h"
#include "win32/wide.h"
#include "win32/wine.h"

namespace vokr::test {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error("tinyproxy: " + what); }

// $1 configuration, $2 the proxy's port, $3 the port to report to. The proxy is seen
// listening in /proc/net/tcp rather than by a probe, which its log would count as a client.
constexpr const char* kKeeper = R"(exec </dev/null >/dev/null 2>&1
tinyproxy -d -c "$1" & proxy=$!
wanted=$(printf '0100007F:%04X 00000000:0000 0A' "$2")
until grep -q "$wanted" /proc/net/tcp; do
  kill -0 $proxy || exit 1
  sleep 0.02
done
exec 3<>/dev/tcp/127.0.0.1/$3
cat <&3
kill $proxy
)";

} // namespace

void TinyProxy::start(const std::string& config) {
  const std::string keeper = dir_ + "/keeper.sh";
  std::ofstream(keeper, std::ios::binary) << kKeeper;
  uint16_t reportPort = 0;
  Socket report = listenOnLoopback(reportPort);

  std::wstring command = wide("\"" + windowsPath("/bin/bash") + "\" \"" + linuxPath(keeper) + "\" \"" +
                              linuxPath(config) + "\" " + std::to_string(port_) + " " +
                              std::to_string(reportPort));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    closeSocket(report);
    fail("cannot start bash: error " + std::to_string(GetLastError()));
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);

  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(SOCKET(report), &ready);
  timeval limit{10, 0};
  Socket kept = select(0, &ready, nullptr, nullptr, &limit) == 1 ? acceptConnection(report) : -1;
  closeSocket(report);
  if (kept < 0) fail("does not accept connections on port " + std::to_string(port_) + " (is tinyproxy installed?)");
  process_ = kept;
}

void TinyProxy::stop() {
  if (process_ >= 0) closeSocket(Socket(process_));
  process_ = -1;
}

} // namespace vokr::test
