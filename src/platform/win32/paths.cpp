#include <windows.h>
#include <winnetwk.h>

#include <vector>

#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace vokr::platform {

using win32::utf8;
using win32::wide;

std::string nativePath(std::string_view utf8) { return utf8ToAnsi(utf8); }

std::optional<std::string> environment(const std::string& name) {
  const std::wstring wname = wide(name);
  std::vector<wchar_t> value(256);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(wname.c_str(), value.data(), DWORD(value.size()));
    if (n == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (n < value.size()) return utf8(std::wstring_view(value.data(), n));
    value.resize(n);
  }
}

std::string currentDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetCurrentDirectoryW(DWORD(buffer.size()), buffer.data());
    if (n == 0) return "\\";
    if (n < buffer.size()) return utf8(std::wstring_view(buffer.data(), n));
    buffer.resize(n);
  }
}

char pathDelimiter() { return '\\'; }
bool isDelimiter(char c) { return c == '\\' || c == '/'; }
bool isRelativePath(std::string_view path) { return path.size() >= 2 && path[0] != '\\' && path[1] != ':'; }

// The full path as Windows makes it (against the current directory and the current directory
// of another drive, "." and ".." removed); on a mapped network drive, its UNC form.
std::string absolutePath(std::string_view path) {
  const std::wstring wpath = wide(path);
  std::vector<wchar_t> full(MAX_PATH);
  DWORD n;
  while ((n = GetFullPathNameW(wpath.c_str(), DWORD(full.size()), full.data(), nullptr)) >= full.size())
    full.resize(n);
  if (n == 0) return std::string(path);
  std::vector<char> universal(4096);
  DWORD size = DWORD(universal.size());
  if (WNetGetUniversalNameW(full.data(), UNIVERSAL_NAME_INFO_LEVEL, universal.data(), &size) == NO_ERROR)
    return utf8(reinterpret_cast<UNIVERSAL_NAME_INFOW*>(universal.data())->lpUniversalName);
  return utf8(std::wstring_view(full.data(), n));
}

bool isDirectory(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows names its variables without regard to case: "tmp" is TMP. Unset, the system's own
// temporary directory (from TEMP, USERPROFILE or the Windows directory).
std::string temporaryDirectory() {
  if (auto v = environment("tmp"); v && !v->empty()) return *v;
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  return n > 0 && n <= MAX_PATH ? utf8(std::wstring_view(buffer, n)) : "C:\\";
}

} // namespace vokr::platform
