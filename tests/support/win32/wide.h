#pragma once
// Test texts are UTF-8; the wide Windows calls take UTF-16.
#include <windows.h>

#include <string>

namespace vokr::test {

inline std::wstring wide(const std::string& utf8) {
  std::wstring w(utf8.size(), L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), int(w.size()));
  w.resize(n > 0 ? n : 0);
  return w;
}

inline std::string utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

} // namespace vokr::test
