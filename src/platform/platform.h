#pragma once
// The operating-system layer: the only place that asks the OS about code pages, the library's
// own file, environment variables, paths, directories, clocks and file locks.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vokr::platform {

// --- host code page: the codeset of the environment's LC_CTYPE locale, read once at load ---
void initCodePage();
const std::string& codePage();  // e.g. "CP1250", "UTF-8"
// Host bytes to UTF-8; bytes that do not convert become '?'.
std::string ansiToUtf8(std::string_view ansi);
// UTF-8 to host bytes, at most maxBytes long and never ending inside a character;
// characters the code page lacks become '?'.
std::string utf8ToAnsi(std::string_view utf8, size_t maxBytes = SIZE_MAX);

// File names on disk are in the host code page, as the host itself writes them; inside the
// library every path is UTF-8 like any text. Every path handed to the OS passes through here.
std::string nativePath(std::string_view utf8);

// --- the library's own file ---
std::string libraryPath();       // full path of the loaded plug-in file
std::string libraryDirectory();  // its directory, with a trailing '/'
// The four 16-bit parts of the version note, or nothing for a file without one.
std::optional<std::array<uint16_t, 4>> libraryVersion();

// --- environment and paths ---
std::optional<std::string> environment(const std::string& name);
std::string currentDirectory();
// `path` made absolute against the current directory, "." and ".." removed lexically.
std::string absolutePath(std::string_view path);
bool isDirectory(const std::string& path);
// The temporary directory: tmp, TMP, TMPDIR, else "/tmp".
std::string temporaryDirectory();

// --- clocks ---
struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};
LocalTime localNow();
// Host date-time (days since 1899-12-30, local time) of a moment given as calendar fields.
// With an offset (minutes east of UTC) the fields are in that offset; without, they are UTC.
double hostDateTime(int year, int month, int day, int hour, int minute, double second,
                    std::optional<int> offsetMinutes);
// Local calendar fields of the same moment (for texts in local time).
LocalTime toLocal(int year, int month, int day, int hour, int minute, double second,
                  std::optional<int> offsetMinutes);
// The regional short-date and long-time forms of the environment's locale, as UTF-8.
std::string regionalDate(const LocalTime& t);
std::string regionalTime(const LocalTime& t);

// --- files ---
// An existing file another process has open exclusively: it cannot be opened read-write, or
// someone holds a lock on it.
bool fileInUse(const std::string& path);

// Writes all n bytes to an open file, in as many writes as it takes. False on an error, with
// errno telling which.
bool writeAll(int fd, const void* bytes, size_t n);

} // namespace vokr::platform
