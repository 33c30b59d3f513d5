#pragma once
// What every part of the Windows layer shares: texts and paths to and from the wide (UTF-16)
// strings of the W calls, and the system's words for an error code.
#include <windows.h>

#include <string>
#include <string_view>

namespace vokr::platform::win32 {

// UTF-8 (every text inside the library) to UTF-16; an invalid sequence becomes U+FFFD.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// The system's message for an error code (GetLastError), without its trailing line end.
std::string systemMessage(DWORD code);

} // namespace vokr::platform::win32
