#include "plugin/host.h"

#include "platform/codepage.h"
#include "platform/error.h"

namespace vokr::plugin {

std::string readText(const char* field, size_t width) {
  size_t n = 0;
  while (n < width && field[n]) ++n;
  return platform::ansiToUtf8(std::string_view(field, n));
}

void writeText(char* field, size_t width, std::string_view utf8) {
  if (width == 0) return;
  std::string ansi = platform::utf8ToAnsi(utf8, width - 1);
  std::memcpy(field, ansi.data(), ansi.size());
  field[ansi.size()] = 0;
}

void writeFailureResult(char* resultText) {
  if (resultText) std::memcpy(resultText, "0", 2);
}

HostList::HostList(THostPtr first, size_t entrySize)
    : first_(static_cast<uint8_t*>(hostPointer(first))), count_(0), entrySize_(entrySize) {
  if (first_) {
    int32_t n = load<int32_t>(first_ - 4);
    count_ = n > 0 ? size_t(n) : 0;
  }
}

HostList HostList::input(THostPtr first, size_t entrySize) {
  HostList list(first, entrySize);
  if (uint64_t(first) + uint64_t(list.count_) * entrySize > (uint64_t(1) << 32))
    throw Error(ErrorKind::ConvertError, "a host list of " + std::to_string(list.count_) +
                                             " entries of " + std::to_string(entrySize) +
                                             " bytes cannot be in host memory");
  return list;
}

std::vector<std::string> readTextList(THostPtr list, size_t width) {
  HostList entries = HostList::input(list, width);
  std::vector<std::string> texts;
  for (size_t i = 0; i < entries.count(); ++i) texts.push_back(readText(entries.at<char>(i), width));
  return texts;
}

} // namespace vokr::plugin
