#pragma once
// Message dumps in the log directory. Errors are swallowed: a dump never fails a call.
#include <optional>
#include <string>
#include <string_view>

#include "channel/fixups.h"

namespace vokr::schema { class Rope; }

namespace vokr::channel {

// "VOKR_" [label "_"] kind ["_yyyymmdd_hhnnss_zzz"] ".xml"
std::string dumpFileName(std::string_view label, std::string_view kind);

// True when dumps are switched on (LogLevel above 0).
bool dumpsEnabled();

// Writes bytes to LogPath + dumpFileName(label, kind), replacing the file; mode 0600.
void writeDump(std::string_view label, std::string_view kind, std::string_view bytes);

// A dump file written piece by piece (LogPath + dumpFileName, replaced, mode 0600). When it
// cannot be created nothing is written; a failed write ends it quietly.
class DumpFile {
public:
  DumpFile(std::string_view label, std::string_view kind);
  ~DumpFile();
  DumpFile(const DumpFile&) = delete;
  DumpFile& operator=(const DumpFile&) = delete;
  void write(std::string_view bytes);

private:
  int fd_ = -1;
};

// Dumps a request as it is sent, except that the text of the security header's Password
// element is written as "***": the password never reaches a file.
void dumpRequest(std::string_view label, const schema::Rope& request);

// Dumps an answer as it streams in, its line ends rewritten to CR LF like a request's. The file
// is named and created when the first bytes arrive, or by finish() for an empty answer.
class ResponseDump {
public:
  explicit ResponseDump(std::string_view label) : label_(label) {}
  void feed(const char* data, size_t n);
  void finish();

private:
  void open();
  std::string label_;
  std::optional<DumpFile> file_;
  CrLfWriter crlf_;
  std::string chunk_;
};

} // namespace vokr::channel
