#pragma once
// UTF-8 sequences, for the code page implementations (no OS in it).
#include <cstddef>
#include <string_view>

namespace vokr::platform {

// Length of the UTF-8 sequence starting at s[i], or 0 for an invalid one.
inline size_t utf8Length(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  if (n == 2 && c < 0xC2) return 0;  // overlong
  return n;
}

} // namespace vokr::platform
