#include "operations/saved_file.h"

#include "platform/files.h"

namespace vokr::operations {

Saved saveFile(const std::string& path, const schema::TByteSOAPArray& content) {
  if (path.empty()) platform::fileError("cannot write", path, "no file name");
  if (platform::fileInUse(path)) return Saved::inUse;
  if (!content.source) {
    platform::replaceFile(path, content.bytes);
    return Saved::written;
  }
  // A response's arrays have no other source than a scratch file.
  const platform::OpenFile* file = content.source->file();
  if (!file) platform::fileError("cannot write", path, "the content is not held in a file");
  platform::replaceFile(path, *file, content.size());
  return Saved::written;
}

} // namespace vokr::operations
