#include "platform/files.h"

#include "platform/error.h"

namespace vokr::platform {

bool OutputFile::writeAll(std::string_view bytes) noexcept {
  if (!file_.isOpen()) return false;
  if (file_.writeAll(bytes.data(), bytes.size())) return true;
  discard();
  return false;
}

void fileError(std::string_view what, const std::string& path, std::string_view reason) {
  throw Error(ErrorKind::InOutError, std::string(what) + " " + path + ": " + std::string(reason));
}

} // namespace vokr::platform
