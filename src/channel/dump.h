#pragma once
// Message dumps in the log directory. Errors are swallowed: a dump never fails a call.
#include <string>
#include <string_view>

namespace vokr::schema { class Rope; }

namespace vokr::channel {

// "VOKR_" [label "_"] kind ["_yyyymmdd_hhnnss_zzz"] ".xml"
std::string dumpFileName(std::string_view label, std::string_view kind);

// True when dumps are switched on (LogLevel above 0).
bool dumpsEnabled();

// Writes bytes to LogPath + dumpFileName(label, kind), replacing the file; mode 0600.
void writeDump(std::string_view label, std::string_view kind, std::string_view bytes);

} // namespace vokr::channel
