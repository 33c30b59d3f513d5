#pragma once
// Answers of hundreds of MB for tests and benchmarks: pseudo-random file content sent as
// base64 while the server writes it, so that the whole text never exists at once.
#include <cstdint>
#include <cstring>
#include <string>

#include "https_server.h"

namespace vokr::test {

// Pseudo-random bytes (xorshift64*): the same sequence for the same seed, when drawn in pieces
// whose sizes are multiples of 8 (all but the last).
class Noise {
public:
  explicit Noise(uint64_t seed) : state_(seed) {}
  void fill(uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; i += 8) {
      state_ ^= state_ >> 12;
      state_ ^= state_ << 25;
      state_ ^= state_ >> 27;
      const uint64_t word = state_ * 0x2545F4914F6CDD1DULL;
      std::memcpy(p + i, &word, n - i < 8 ? n - i : 8);
    }
  }

private:
  uint64_t state_;
};

// An answer carrying `size` bytes of noise as base64 in place of "@CONTENT@" in the template.
Answer noiseFileAnswer(const std::string& templ, uint64_t size, uint64_t seed);

} // namespace vokr::test
