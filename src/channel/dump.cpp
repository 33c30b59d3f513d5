#include "channel/dump.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "plugin/settings.h"
#include "schema/rope.h"

namespace vokr::channel {

namespace {

constexpr std::string_view kMask = "***";

// Where the text of each Password element of the SOAP header stands: [begin, end) pairs in
// `text`. Elements are told by local name, so any prefix the writer chose is covered; the
// search ends with the header.
std::vector<std::pair<size_t, size_t>> passwordTexts(std::string_view text) {
  std::vector<std::pair<size_t, size_t>> found;
  for (size_t lt = text.find('<'); lt != std::string_view::npos; lt = text.find('<', lt + 1)) {
    bool endTag = text.substr(lt + 1, 1) == "/";
    size_t nameStart = lt + 1 + (endTag ? 1 : 0);
    size_t nameEnd = text.find_first_of(" \t\r\n/>", nameStart);
    if (nameEnd == std::string_view::npos) break;
    std::string_view name = text.substr(nameStart, nameEnd - nameStart);
    if (size_t colon = name.rfind(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
    if ((endTag && name == "Header") || name == "Body") break;
    if (endTag || name != "Password") continue;
    size_t gt = text.find('>', nameEnd);
    if (gt == std::string_view::npos) break;
    if (text[gt - 1] == '/') continue;  // an empty element holds no password
    size_t end = text.find('<', gt + 1);
    if (end == std::string_view::npos) break;
    found.emplace_back(gt + 1, end);
  }
  return found;
}

} // namespace

std::string dumpFileName(std::string_view label, std::string_view kind) {
  std::string name = "VOKR_";
  if (!label.empty()) name.append(label).append("_");
  name.append(kind);
  if (plugin::params().logUseTimestamp != 0) {
    platform::LocalTime t = platform::localNow();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d_%02d%02d%02d_%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.millisecond);
    name += stamp;
  }
  return name + ".xml";
}

bool dumpsEnabled() { return plugin::params().logLevel > 0; }

void writeDump(std::string_view label, std::string_view kind, std::string_view bytes) {
  DumpFile(label, kind).write(bytes);
}

DumpFile::DumpFile(std::string_view label, std::string_view kind) {
  const std::string path = plugin::params().logPath + dumpFileName(label, kind);
  fd_ = ::open(platform::nativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  // An older dump of that name may have been created with wider permissions.
  if (fd_ >= 0) fchmod(fd_, 0600);
}

DumpFile::~DumpFile() {
  if (fd_ >= 0) ::close(fd_);
}

void DumpFile::write(std::string_view bytes) {
  if (fd_ >= 0 && !platform::writeAll(fd_, bytes.data(), bytes.size())) {
    ::close(fd_);
    fd_ = -1;  // a dump that cannot be written is given up, never the call
  }
}

void dumpRequest(std::string_view label, const schema::Rope& request) {
  DumpFile file(label, "req");
  bool first = true;
  for (const schema::Rope::Segment& segment : request.segments()) {
    if (segment.base64) {
      schema::Rope one;
      one.appendBase64(segment.base64);
      schema::Rope::Reader reader(one);
      char buffer[1 << 16];
      while (size_t n = reader.read(buffer, sizeof buffer)) file.write({buffer, n});
      continue;
    }
    std::string_view text = segment.text;
    if (first) {  // the SOAP header, with the password, leads the first text segment
      size_t from = 0;
      for (auto [begin, end] : passwordTexts(text)) {
        file.write(text.substr(from, begin - from));
        file.write(kMask);
        from = end;
      }
      text.remove_prefix(from);
    }
    file.write(text);
    first = false;
  }
}

void ResponseDump::open() {
  if (!file_) file_.emplace(label_, "resp");
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
}

} // namespace vokr::channel
