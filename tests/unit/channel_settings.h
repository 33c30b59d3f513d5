#pragma once
// Connection settings and working parameters for the channel tests, handed to the library
// through its settings exports in records laid out by their documented offsets.
#include <cstdint>
#include <string>

#include "host_memory.h"
#include "vokr.h"

namespace vokr::test {

// Texts are host bytes, as the host would store them.
struct Connection {
  std::string url, userName, userPassword, proxy, proxyByPass, proxyUserName, proxyPassword;
  int32_t connectTimeout = -1, sendTimeout = -1, receiveTimeout = -1;
};

inline void setConnection(const Connection& c) {
  HostArena arena;
  Record r = newRecord(arena, 3747, 0);
  r.text(0, 1025, c.url)
      .text(1025, 101, c.userName)
      .text(1126, 101, c.userPassword)
      .text(1483, 1025, c.proxy)
      .text(2508, 1025, c.proxyByPass)
      .text(3533, 101, c.proxyUserName)
      .text(3634, 101, c.proxyPassword)
      .i32(3735, c.connectTimeout)
      .i32(3739, c.sendTimeout)
      .i32(3743, c.receiveTimeout);
  SetConnectInfo(reinterpret_cast<const TConnectInfo*>(r.data()));
}

struct Logging {
  std::string logPath;  // empty: left as it is
  int32_t logLevel = 0;
  uint8_t useTimestamp = 1;
};

inline void setLogging(const Logging& l) {
  HostArena arena;
  Record r = newRecord(arena, 2055, 0);
  r.text(1025, 1025, l.logPath).i32(2050, l.logLevel).u8(2054, l.useTimestamp);
  SetVOKRParams(reinterpret_cast<const TVOKR_HostParams*>(r.data()));
}

} // namespace vokr::test
