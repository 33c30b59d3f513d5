#pragma once
// What the fuzz targets share: a failed property ends the run with both sides printed, random
// chunk sizes reproducible from the input itself, and a field walk that turns a message object
// into text so that two reads of one answer can be compared.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "schema/remotable.h"

namespace vokr::fuzz {

// Ends the run as a finding; libFuzzer keeps the input that got here.
[[noreturn]] inline void finding(std::string_view what, std::string_view expected = {},
                                 std::string_view actual = {}) {
  std::fprintf(stderr, "\n*** %.*s\n", int(what.size()), what.data());
  if (!expected.empty() || !actual.empty())
    std::fprintf(stderr, "--- expected (%zu bytes)\n%.*s\n--- actual (%zu bytes)\n%.*s\n", expected.size(),
                 int(expected.size()), expected.data(), actual.size(), int(actual.size()), actual.data());
  std::abort();
}

inline void require(bool ok, std::string_view what) {
  if (!ok) finding(what);
}

inline void requireEqual(std::string_view expected, std::string_view actual, std::string_view what) {
  if (expected != actual) finding(what, expected, actual);
}

// Chunk sizes from a seed taken from the input: mostly small (where a token, a delimiter or a
// character is split), now and then large.
class Chunks {
public:
  explicit Chunks(uint64_t seed) : state_(seed) {}
  size_t next() {
    uint64_t r = step();
    switch (r % 4) {
      case 0: return 1;
      case 1: return 1 + (r >> 8) % 8;
      case 2: return 1 + (r >> 8) % 128;
      default: return 1 + (r >> 8) % 8192;
    }
  }

private:
  uint64_t step() {  // splitmix64
    uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
  uint64_t state_;
};

// Hands `data` to feed(pointer, size): whole without chunk sizes, else in their chunks.
template <class Feed> void feedIn(Chunks* chunks, std::string_view data, Feed&& feed) {
  for (size_t at = 0; at < data.size();) {
    size_t n = chunks ? std::min(chunks->next(), data.size() - at) : data.size();
    feed(data.data() + at, n);
    at += n;
  }
}

inline uint64_t hashOf(std::string_view s) {  // FNV-1a
  uint64_t h = 0xCBF29CE484222325u;
  for (unsigned char c : s) h = (h ^ c) * 0x100000001B3u;
  return h;
}

// Every member of an object through its descriptors, presence included, recursively: equal texts
// mean equal objects. A date-time held that the host conversions cannot read is a finding.
std::string describe(schema::TRemotable& object);

} // namespace vokr::fuzz
