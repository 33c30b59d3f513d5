#include "platform/files.h"

#include "platform/error.h"

namespace vokr::platform {

void fileError(std::string_view what, const std::string& path, std::string_view reason) {
  throw Error(ErrorKind::InOutError, std::string(what) + " " + path + ": " + std::string(reason));
}

} // namespace vokr::platform
