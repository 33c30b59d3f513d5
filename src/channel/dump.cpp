#include "channel/dump.h"

#include <cstdio>

#include "platform/clock.h"
#include "schema/rope.h"

namespace vokr::channel {

std::string dumpFileName(const DumpSettings& settings, std::string_view label,
                         std::string_view kind) {
  std::string name = "VOKR_";
  if (!label.empty()) name.append(label).append("_");
  name.append(kind);
  if (settings.useTimestamp) {
    platform::LocalTime t = platform::localNow();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d_%02d%02d%02d_%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    name += stamp;
  }
  return name + ".xml";
}

void writeDump(const DumpSettings& settings, std::string_view label, std::string_view kind,
               std::string_view bytes) {
  DumpFile(settings, label, kind).write(bytes);
}

DumpFile::DumpFile(const DumpSettings& settings, std::string_view label, std::string_view kind)
    : file_(platform::OutputFile::replaceOwnerOnly(settings.folder +
                                                  dumpFileName(settings, label, kind))) {}

void dumpRequest(const DumpSettings& settings, std::string_view label, const schema::Rope& request) {
  DumpFile file(settings, label, "req");
  for (const schema::Rope::Segment& segment : request.segments()) {
    if (segment.base64) {
      schema::Rope one;
      one.appendBase64(segment.base64);
      schema::Rope::Reader reader(one);
      char buffer[1 << 16];
      while (size_t n = reader.read(buffer, sizeof buffer)) file.write({buffer, n});
    } else {
      file.write(segment.secret ? std::string_view("***") : std::string_view(segment.text));
    }
  }
}

void ResponseDump::open() {
  if (!file_) file_.emplace(settings_, label_, "resp");
}

void ResponseDump::feed(const char* data, size_t n) {
  open();
  chunk_.clear();
  crlf_.feed({data, n}, chunk_);
  file_->write(chunk_);
}

void ResponseDump::finish() {
  open();
  chunk_.clear();
  crlf_.finish(chunk_);
  file_->write(chunk_);
  file_->close();
}

} // namespace vokr::channel
