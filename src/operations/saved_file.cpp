#include "operations/saved_file.h"

#include "platform/files.h"

namespace vokr::operations {

Saved saveFile(const std::string& path, std::span<const uint8_t> content) noexcept {
  try {
    if (path.empty()) return Saved::failed;
    if (platform::fileInUse(path)) return Saved::inUse;
    return platform::replaceFile(path, content) ? Saved::written : Saved::failed;
  } catch (...) {
    return Saved::failed;
  }
}

} // namespace vokr::operations
