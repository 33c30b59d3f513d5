#pragma once
// Channel settings for the channel tests, made by the library's own decoding from a connection
// record laid out by its documented offsets, as every load makes them from the host's record.
#include <cstdint>
#include <string>

#include "channel/settings.h"
#include "host_memory.h"
#include "plugin/settings.h"
#include "vokr.h"

namespace vokr::test {

// Texts are host bytes, as the host would store them.
struct Connection {
  std::string url, userName, userPassword, proxy, proxyByPass, proxyUserName, proxyPassword;
  int32_t connectTimeout = -1, sendTimeout = -1, receiveTimeout = -1;
};

// `params` gives the working parameters as stored (dumps off unless they say otherwise).
inline channel::ChannelSettings channelSettings(const Connection& c,
                                                const plugin::Params& params = {}) {
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
  return plugin::channelSettings(*reinterpret_cast<const TConnectInfo*>(r.data()), params);
}

} // namespace vokr::test
