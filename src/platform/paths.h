#pragma once
// Environment variables and paths. Paths inside the library are UTF-8, with the system's
// delimiter between names: '/' on POSIX, '\' on Windows (where '/' is one too).
#include <optional>
#include <string>
#include <string_view>

namespace vokr::platform {

// A path in the host code page, as the host itself writes it: the bytes a file name has on
// disk, and the bytes handed to another library that opens the file itself.
std::string nativePath(std::string_view utf8);

std::optional<std::string> environment(const std::string& name);
std::string currentDirectory();
// The delimiter this system puts between names, and whether a character is one.
char pathDelimiter();
bool isDelimiter(char c);
// `path` ending with a delimiter: a directory to which file names are appended.
std::string withDelimiter(std::string path);
// The file-name part of a path: the text after its last delimiter.
std::string_view fileName(std::string_view path);
// Whether a host's path is relative, to be taken against the current directory. POSIX: it does
// not begin with '/'. Windows: it has two characters at least, does not begin with '\', and its
// second character is no drive colon.
bool isRelativePath(std::string_view path);
// `path` made absolute against the current directory, "." and ".." removed (lexically on
// POSIX); on Windows a path on a mapped network drive in its UNC form.
std::string absolutePath(std::string_view path);
bool isDirectory(const std::string& path);
// The temporary directory: tmp, TMP, TMPDIR, else the system's.
std::string temporaryDirectory();

} // namespace vokr::platform
