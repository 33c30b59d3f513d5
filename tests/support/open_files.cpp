#include "open_files.h"

#include <filesystem>
#include <system_error>

namespace vokr::test {

std::vector<std::string> openFilesIn(const std::string& folder) {
  namespace fs = std::filesystem;
  std::string prefix = fs::path(folder).lexically_normal().string();
  if (prefix.back() != '/') prefix += '/';
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd", ec)) {
    const std::string target = fs::read_symlink(entry.path(), ec).string();
    if (!ec && target.rfind(prefix, 0) == 0) found.push_back(target);
  }
  return found;
}

} // namespace vokr::test
