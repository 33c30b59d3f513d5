#include "operations/saved_file.h"

#include "platform/files.h"

namespace vokr::operations {

Saved saveFile(const std::string& path, const schema::TByteSOAPArray& content) noexcept {
  try {
    if (path.empty()) return Saved::failed;
    if (platform::fileInUse(path)) return Saved::inUse;
    const platform::OpenFile* file = content.source ? content.source->file() : nullptr;
    if (content.source && !file) return Saved::failed;  // a response's arrays have no other source
    const bool replaced = file ? platform::replaceFile(path, *file, content.size())
                               : platform::replaceFile(path, content.bytes);
    return replaced ? Saved::written : Saved::failed;
  } catch (...) {
    return Saved::failed;
  }
}

} // namespace vokr::operations
