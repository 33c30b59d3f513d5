#pragma once
// Module state set through the settings exports: the connection settings and the working
// parameters. Every load takes them afresh, as the value the layers below are handed.
#include <cstdint>
#include <string>

#include "channel/settings.h"
#include "vokr.h"

namespace vokr::plugin {

// The host's record as stored, byte for byte up to each terminator.
const TConnectInfo& connectInfo();

struct Params {
  std::string basePath;  // the library's own directory, with a trailing delimiter
  std::string tmpPath;   // with a trailing delimiter
  std::string logPath;   // with a trailing delimiter
  int32_t logLevel = 0;
  uint8_t logUseTimestamp = 1;
};
const Params& params();

// The settings of a call, decoded from a connection record and working parameters: the one
// place where connection host text becomes values.
channel::ChannelSettings channelSettings(const TConnectInfo& info, const Params& params);
// The same from the settings held now.
channel::ChannelSettings channelSettings();

// Back to the state of a freshly loaded library.
void resetSettings();

} // namespace vokr::plugin
