#pragma once
// Message dumps in the dump folder of the settings. Errors are swallowed: a dump never fails
// a call. Whether dumps are written at all is the caller's look at DumpSettings::enabled.
#include <optional>
#include <string>
#include <string_view>

#include "channel/fixups.h"
#include "channel/settings.h"
#include "platform/files.h"

namespace vokr::schema { class Rope; }

namespace vokr::channel {

// "VOKR_" [label "_"] kind ["_yyyymmdd_hhnnss_zzz"] ".xml"
std::string dumpFileName(const DumpSettings& settings, std::string_view label,
                         std::string_view kind);

// Writes bytes to folder + dumpFileName(label, kind), replacing the file (or a link there,
// never followed) when done; mode 0600.
void writeDump(const DumpSettings& settings, std::string_view label, std::string_view kind,
               std::string_view bytes);

// A dump file written piece by piece (folder + dumpFileName, mode 0600), put in place of any
// file or link of that name when it is destroyed. When it cannot be created nothing is
// written; a failed write ends it quietly and replaces nothing.
class DumpFile {
public:
  DumpFile(const DumpSettings& settings, std::string_view label, std::string_view kind);
  void write(std::string_view bytes) { file_.writeAll(bytes); }
  void close() { file_.close(); }

private:
  platform::OutputFile file_;
};

// Dumps a request as it is sent, except that its secret segments (the text of the security
// header's Password element) are written as "***": the password never reaches a file.
void dumpRequest(const DumpSettings& settings, std::string_view label, const schema::Rope& request);

// Dumps an answer as it streams in, its line ends rewritten to CR LF like a request's. The file
// is created when the first bytes arrive, or by finish() for an empty answer, and takes its
// name at finish() (or when the dump is destroyed, keeping what came of an answer cut short).
class ResponseDump {
public:
  ResponseDump(DumpSettings settings, std::string_view label)
      : settings_(std::move(settings)), label_(label) {}
  void feed(const char* data, size_t n);
  void finish();

private:
  void open();
  DumpSettings settings_;
  std::string label_;
  std::optional<DumpFile> file_;
  CrLfWriter crlf_;
  std::string chunk_;
};

} // namespace vokr::channel
