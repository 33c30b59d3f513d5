#pragma once
// Base64 as byte arrays travel: encoded in lines of 76 characters, each full line ended by
// CR LF; decoded as the text arrives, in chunks of any size. Both sides write straight into
// the caller's buffer, so a large array is neither copied nor held twice. Whole groups go
// through table-driven word kernels, or SSSE3/AVX2 vector kernels where the CPU has them
// (chosen at load); the rest character by character.
#include <cstddef>
#include <cstdint>

namespace vokr::schema {

inline constexpr size_t kBase64LineChars = 76;
inline constexpr size_t kBase64LineBytes = kBase64LineChars / 4 * 3;  // 57 bytes fill a line

// Length of the base64 text of n bytes, CR LF after every full line.
uint64_t base64EncodedSize(uint64_t n);

// Encodes n bytes into `out`, which has room for base64EncodedSize(n) characters; returns the
// end of the text. When n is a multiple of 57, the text of consecutive blocks is that of their
// bytes encoded at once (55 or 56 bytes also fill a line, once padded).
char* encodeBase64Lines(const uint8_t* in, size_t n, char* out);

class Base64Decoder {
public:
  static constexpr size_t kInvalid = SIZE_MAX;

  // The most bytes that feeding n characters can write.
  static constexpr size_t maxDecodedSize(size_t n) { return n / 4 * 3 + 3; }

  // Decodes n characters into `out` (room for maxDecodedSize(n) bytes) and returns how many
  // bytes it wrote. Blanks are skipped; a group may be split across calls. Returns kInvalid for
  // a character outside the alphabet or padding out of place.
  size_t feed(const char* in, size_t n, uint8_t* out);

  // The same for the longest start of the text that is valid base64 so far: stops before the
  // first character that cannot stand there (the end of a text run, say '<') without refusing
  // it. Returns the characters taken; `written` is the bytes written.
  size_t feedRun(const char* in, size_t n, uint8_t* out, size_t& written);

  // The end of the text: writes the bytes of a last group that a sender left unpadded (at most
  // two) and returns how many, or kInvalid when the text cannot end here.
  size_t finish(uint8_t* out);

private:
  bool step(char c, uint8_t*& out);

  uint32_t acc_ = 0;  // bits of the group being read
  int count_ = 0;     // its characters so far
  int padding_ = 0;   // '=' seen
};

// The kernels for whole groups. The widest this CPU runs is used; tests pick each in turn
// (false: this CPU lacks it).
enum class Base64Kernel { words, ssse3, avx2 };
Base64Kernel widestBase64Kernel();
bool useBase64Kernel(Base64Kernel kernel);

} // namespace vokr::schema
