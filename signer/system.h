#pragma once
// What the signing library asks of the system: whole files read and written by the paths the
// host gave (host code page). Implemented in system_posix.cpp and system_win32.cpp.
#include <cstddef>
#include <optional>
#include <string>

namespace pelk::stand_in {

// The file's bytes, or nothing with `error` saying why (the system's own words).
std::optional<std::string> readWholeFile(const std::string& path, std::string& error);

// Replaces whatever stands at the path, a link included, without following it, by a new file
// holding the bytes. False with `error` set when that fails; no partial file is left then.
bool writeNewFile(const std::string& path, const void* bytes, size_t size, std::string& error);

} // namespace pelk::stand_in
