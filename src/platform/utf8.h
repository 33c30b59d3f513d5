#pragma once
// UTF-8 sequences, for the code page implementations (no OS in it).
#include <cstddef>
#include <string_view>

namespace vokr::platform {

// Length of the UTF-8 character starting at s[i], or 0 where none does. Strict: an overlong
// form, a surrogate or a value beyond U+10FFFF is no character (libxml2 and the service refuse
// them), so its bytes become '?' like any other byte that is no character.
inline size_t utf8Length(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : c < 0xC2 ? 0 : c <= 0xDF ? 2 : c <= 0xEF ? 3 : c <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  // The second byte's range is narrower after E0 and F0 (overlong), ED (surrogates), F4 (the end).
  unsigned char low = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
  unsigned char high = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
  for (size_t k = 1; k < n; ++k) {
    unsigned char b = static_cast<unsigned char>(s[i + k]);
    if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) return 0;
  }
  return n;
}

} // namespace vokr::platform
