#pragma once
// What only wine can answer: how the Windows side and the Linux side name the same file.
#include <string>

namespace vokr::test {

// "/bin/bash" as a Windows program names it (e.g. "Z:\bin\bash").
std::string windowsPath(const std::string& linuxPath);

} // namespace vokr::test
