// What paths are made of, on every system alike; the system's delimiters are in posix/ and win32/.
#include "platform/paths.h"

namespace vokr::platform {

std::string withDelimiter(std::string path) {
  if (path.empty() || !isDelimiter(path.back())) path += pathDelimiter();
  return path;
}

std::string_view fileName(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !isDelimiter(path[i - 1])) --i;
  return path.substr(i);
}

} // namespace vokr::platform
