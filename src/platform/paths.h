#pragma once
// Environment variables and paths. Paths inside the library are UTF-8 with '/' between names.
#include <optional>
#include <string>
#include <string_view>

namespace vokr::platform {

// A path in the host code page, as the host itself writes it: the bytes a file name has on
// disk, and the bytes handed to another library that opens the file itself.
std::string nativePath(std::string_view utf8);

std::optional<std::string> environment(const std::string& name);
std::string currentDirectory();
// `path` made absolute against the current directory, "." and ".." removed lexically.
std::string absolutePath(std::string_view path);
bool isDirectory(const std::string& path);
// The temporary directory: tmp, TMP, TMPDIR, else the system's.
std::string temporaryDirectory();

} // namespace vokr::platform
