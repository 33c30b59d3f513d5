#pragma once
// The host code page: the code page host texts and file names are written in, read once at
// load. Inside the library every text is UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace vokr::platform {

// Reads the code page of the environment (at load; tests call it again after switching).
void initCodePage();
const std::string& codePage();  // e.g. "CP1250", "UTF-8"
// Host bytes to UTF-8; bytes that do not convert become '?'.
std::string ansiToUtf8(std::string_view ansi);
// UTF-8 to host bytes, at most maxBytes long and never ending inside a character;
// characters the code page lacks become '?'.
std::string utf8ToAnsi(std::string_view utf8, size_t maxBytes = SIZE_MAX);

} // namespace vokr::platform
