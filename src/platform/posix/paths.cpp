#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/codepage.h"
#include "platform/paths.h"

namespace vokr::platform {

std::string nativePath(std::string_view utf8) { return utf8ToAnsi(utf8); }

std::optional<std::string> environment(const std::string& name) {
  const char* v = std::getenv(name.c_str());
  if (!v) return std::nullopt;
  return ansiToUtf8(v);
}

std::string currentDirectory() {
  std::vector<char> buffer(4096);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return ansiToUtf8(buffer.data());
}

char pathDelimiter() { return '/'; }
bool isDelimiter(char c) { return c == '/'; }
bool isRelativePath(std::string_view path) { return path.empty() || path[0] != '/'; }

std::string absolutePath(std::string_view path) {
  std::string full = !path.empty() && path[0] == '/' ? std::string(path)
                                                     : currentDirectory() + "/" + std::string(path);
  std::vector<std::string_view> parts;
  std::string_view rest = full;
  while (!rest.empty()) {
    size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (auto part : parts) (out += '/') += part;
  // Keep a trailing delimiter the caller wrote: it marks a directory.
  if (out.empty() || (full.back() == '/')) out += '/';
  return out;
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string temporaryDirectory() {
  for (const char* name : {"tmp", "TMP", "TMPDIR"})
    if (auto v = environment(name); v && !v->empty()) return *v;
  return "/tmp";
}

} // namespace vokr::platform
