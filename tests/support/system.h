#pragma once
// The system calls test support makes, in one form for every system: the environment of the
// test process (which the library reads), temporary directories, loopback sockets for the test
// servers, and memory below 4 GiB for host records. Implemented in posix/ and win32/.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vokr::test {

// The delimiter the library puts between names on this system.
#if defined(_WIN32)
inline constexpr char kPathDelimiter = '\\';
#else
inline constexpr char kPathDelimiter = '/';
#endif

// A UTF-8 text as the host sees it in the tests' environment: unchanged under Linux's UTF-8
// locale, in the ANSI code page (a Czech host's 1250) under wine.
std::string hostText(const std::string& utf8);

void setEnv(const std::string& name, const std::string& value);
void unsetEnv(const std::string& name);

// A new, empty directory under the system's temporary directory, named stem-XXXXXX; its path
// has no trailing delimiter.
std::string makeTempDirectory(const std::string& stem);
void removeTree(const std::string& path);
// The same file as a Linux program names it. Under wine the Windows side sees Linux's files
// through drive letters; the test proxy (tinyproxy) is a Linux program.
std::string linuxPath(const std::string& path);

// Loopback TCP. A Socket is a file descriptor or a Winsock SOCKET, -1 for none.
using Socket = int;
// A socket listening on 127.0.0.1; `port` receives its port (0 asks for a free one).
Socket listenOnLoopback(uint16_t& port);
Socket acceptConnection(Socket listening);
Socket connectToLoopback(uint16_t port);
void setIoTimeout(Socket s, int seconds);
// Closing the socket afterwards resets the connection instead of ending it in order.
void resetOnClose(Socket s);
void shutdownSocket(Socket s);
void closeSocket(Socket s);
// A client that goes away must not kill the test process through SIGPIPE where there is one;
// blocked in the calling thread only, so that the library's own behaviour stays visible.
void blockBrokenPipeSignal();

// Reserved, zero-filled, read-write memory below 4 GiB.
void* reserveLowMemory(size_t bytes);
void releaseLowMemory(void* p, size_t bytes);

} // namespace vokr::test
