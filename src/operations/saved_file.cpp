#include "operations/saved_file.h"

#include "platform/files.h"

namespace vokr::operations {

Saved saveFile(const std::string& path, std::span<const uint8_t> content) {
  if (path.empty()) platform::fileError("cannot write", path, "no file name");
  if (platform::fileInUse(path)) return Saved::inUse;
  platform::replaceFile(path, content);
  return Saved::written;
}

} // namespace vokr::operations
