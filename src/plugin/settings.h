#pragma once
// Module state set through the settings exports: the connection settings and the working
// parameters. Read afresh by every load, dump and signing step.
#include <cstdint>
#include <string>

#include "vokr.h"

namespace vokr::plugin {

// The host's record as stored, byte for byte up to each terminator.
const TConnectInfo& connectInfo();

struct Params {
  std::string basePath;  // the library's own directory, with a trailing '/'
  std::string tmpPath;   // with a trailing '/'
  std::string logPath;   // with a trailing '/'
  int32_t logLevel = 0;
  uint8_t logUseTimestamp = 1;
};
const Params& params();

// Back to the state of a freshly loaded library.
void resetSettings();

} // namespace vokr::plugin
