#include "schema/base64.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define VOKR_BASE64_X86 1
#endif

namespace vokr::schema {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr int8_t kBlank = -2, kPad = -3, kBad = -1;
constexpr auto kValues = [] {
  std::array<int8_t, 256> t{};
  t.fill(kBad);
  for (int i = 0; i < 64; ++i) t[static_cast<uint8_t>(kAlphabet[i])] = static_cast<int8_t>(i);
  for (char c : {' ', '\t', '\r', '\n'}) t[static_cast<uint8_t>(c)] = kBlank;
  t['='] = kPad;
  return t;
}();

// ---- whole words, any CPU ----

// Two characters for every 12 bits: a triple of bytes is two lookups.
constexpr auto kPairs = [] {
  std::array<std::array<char, 2>, 4096> t{};
  for (size_t i = 0; i < t.size(); ++i) t[i] = {kAlphabet[i >> 6], kAlphabet[i & 63]};
  return t;
}();

size_t encodeWords(const uint8_t* in, size_t n, char* out) {
  size_t i = 0;
  for (; i + 3 <= n; i += 3, out += 4) {
    const uint32_t v = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8 | in[i + 2];
    std::memcpy(out, kPairs[v >> 12].data(), 2);
    std::memcpy(out + 2, kPairs[v & 0xfff].data(), 2);
  }
  return i;
}

// For each position in a quad, the character's six bits already in place in the 24-bit group;
// a character outside the alphabet sets bit 31, so one test covers the whole quad.
constexpr uint32_t kNotBase64 = 0x80000000u;
constexpr auto kQuadBits = [] {
  std::array<std::array<uint32_t, 256>, 4> t{};
  for (auto& position : t) position.fill(kNotBase64);
  for (uint32_t v = 0; v < 64; ++v)
    for (int p = 0; p < 4; ++p) t[p][uint8_t(kAlphabet[v])] = v << (18 - 6 * p);
  return t;
}();

size_t decodeWords(const char* in, size_t n, uint8_t* out) {
  const auto* s = reinterpret_cast<const uint8_t*>(in);
  size_t i = 0;
  for (; i + 4 <= n; i += 4, out += 3) {
    const uint32_t v = kQuadBits[0][s[i]] | kQuadBits[1][s[i + 1]] | kQuadBits[2][s[i + 2]] | kQuadBits[3][s[i + 3]];
    if (v & kNotBase64) break;
    out[0] = uint8_t(v >> 16);
    out[1] = uint8_t(v >> 8);
    out[2] = uint8_t(v);
  }
  return i;
}

#ifdef VOKR_BASE64_X86

// ---- SSSE3: 12 bytes to 16 characters and back per step ----

__attribute__((target("ssse3"))) inline __m128i sextetsToAscii(__m128i indices) {
  // Offsets from a sextet to its character, by range: 0-25, 26-51, 52-61, 62, 63.
  const __m128i offsets = _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                        '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  __m128i range = _mm_subs_epu8(indices, _mm_set1_epi8(51));
  const __m128i low = _mm_cmpgt_epi8(_mm_set1_epi8(26), indices);
  range = _mm_or_si128(range, _mm_and_si128(low, _mm_set1_epi8(13)));
  return _mm_add_epi8(_mm_shuffle_epi8(offsets, range), indices);
}

// The four sextets of each triple, one per byte of a 32-bit lane; the input holds the triple's
// bytes as s1 s0 s2 s1 in that lane.
__attribute__((target("ssse3"))) inline __m128i splitSextets(__m128i in) {
  const __m128i t0 = _mm_and_si128(in, _mm_set1_epi32(0x0fc0fc00));
  const __m128i t1 = _mm_mulhi_epu16(t0, _mm_set1_epi32(0x04000040));
  const __m128i t2 = _mm_and_si128(in, _mm_set1_epi32(0x003f03f0));
  const __m128i t3 = _mm_mullo_epi16(t2, _mm_set1_epi32(0x01000010));
  return _mm_or_si128(t1, t3);
}

__attribute__((target("ssse3"))) size_t encodeSsse3(const uint8_t* in, size_t n, char* out) {
  const __m128i spread = _mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10);
  size_t i = 0;
  for (; i + 16 <= n; i += 12, out += 16) {
    const __m128i bytes = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), spread);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), sextetsToAscii(splitSextets(bytes)));
  }
  return i + encodeWords(in + i, n - i, out);
}

// Sextet values of 16 characters; false when one of them is outside the alphabet.
__attribute__((target("ssse3"))) inline bool asciiToSextets(__m128i in, __m128i& values) {
  const __m128i high = _mm_and_si128(_mm_srli_epi32(in, 4), _mm_set1_epi8(0x0f));
  const __m128i low = _mm_and_si128(in, _mm_set1_epi8(0x0f));
  // A bit per class of high nibble (0x10: no valid character at all), and per low nibble the
  // classes in which it makes no valid character.
  const __m128i classOfHigh = _mm_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10,
                                            0x10, 0x10, 0x10, 0x10, 0x10);
  const __m128i invalidForLow = _mm_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13,
                                              0x1a, 0x1b, 0x1b, 0x1b, 0x1a);
  const __m128i bad = _mm_and_si128(_mm_shuffle_epi8(classOfHigh, high), _mm_shuffle_epi8(invalidForLow, low));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(bad, _mm_setzero_si128())) != 0xffff) return false;
  // '/' shares its high nibble with '+': one less picks its own offset.
  const __m128i offsets = _mm_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m128i slash = _mm_cmpeq_epi8(in, _mm_set1_epi8('/'));
  values = _mm_add_epi8(in, _mm_shuffle_epi8(offsets, _mm_add_epi8(slash, high)));
  return true;
}

// Four sextets per 32-bit lane to three bytes, big end first, in the low 12 bytes.
__attribute__((target("ssse3"))) inline __m128i packSextets(__m128i values) {
  const __m128i pairs = _mm_maddubs_epi16(values, _mm_set1_epi32(0x01400140));
  const __m128i groups = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
  return _mm_shuffle_epi8(groups, _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
}

__attribute__((target("ssse3"))) inline void store12(uint8_t* out, __m128i v) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), v);
  const uint32_t rest = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
  std::memcpy(out + 8, &rest, 4);
}

__attribute__((target("ssse3"))) size_t decodeSsse3(const char* in, size_t n, uint8_t* out) {
  size_t i = 0;
  __m128i values;
  for (; i + 16 <= n; i += 16, out += 12) {
    if (!asciiToSextets(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)), values)) break;
    store12(out, packSextets(values));
  }
  return i + decodeWords(in + i, n - i, out);
}

// ---- AVX2: the same, 24 bytes and 32 characters per step ----

__attribute__((target("avx2"))) size_t encodeAvx2(const uint8_t* in, size_t n, char* out) {
  const __m256i spread = _mm256_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10, 1, 0, 2, 1, 4, 3, 5,
                                          4, 7, 6, 8, 7, 10, 9, 11, 10);
  const __m256i offsets = _mm256_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                           '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0,
                                           'a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                           '0' - 52, '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  size_t i = 0;
  for (; i + 28 <= n; i += 24, out += 32) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 12));
    const __m256i bytes = _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1), spread);
    const __m256i t1 = _mm256_mulhi_epu16(_mm256_and_si256(bytes, _mm256_set1_epi32(0x0fc0fc00)),
                                          _mm256_set1_epi32(0x04000040));
    const __m256i t3 = _mm256_mullo_epi16(_mm256_and_si256(bytes, _mm256_set1_epi32(0x003f03f0)),
                                          _mm256_set1_epi32(0x01000010));
    const __m256i indices = _mm256_or_si256(t1, t3);
    __m256i range = _mm256_subs_epu8(indices, _mm256_set1_epi8(51));
    const __m256i low = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), indices);
    range = _mm256_or_si256(range, _mm256_and_si256(low, _mm256_set1_epi8(13)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm256_add_epi8(_mm256_shuffle_epi8(offsets, range), indices));
  }
  return i + encodeSsse3(in + i, n - i, out);
}

__attribute__((target("avx2"))) size_t decodeAvx2(const char* in, size_t n, uint8_t* out) {
  const __m256i classOfHigh = _mm256_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10,
                                               0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x01, 0x02, 0x04, 0x08,
                                               0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
  const __m256i invalidForLow = _mm256_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13,
                                                 0x1a, 0x1b, 0x1b, 0x1b, 0x1a, 0x15, 0x11, 0x11, 0x11, 0x11, 0x11,
                                                 0x11, 0x11, 0x11, 0x11, 0x13, 0x1a, 0x1b, 0x1b, 0x1b, 0x1a);
  const __m256i offsets = _mm256_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 19, 4,
                                           -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i pack = _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6, 5, 4,
                                        10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
  size_t i = 0;
  for (; i + 32 <= n; i += 32, out += 24) {
    const __m256i text = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i high = _mm256_and_si256(_mm256_srli_epi32(text, 4), _mm256_set1_epi8(0x0f));
    const __m256i low = _mm256_and_si256(text, _mm256_set1_epi8(0x0f));
    const __m256i bad = _mm256_and_si256(_mm256_shuffle_epi8(classOfHigh, high), _mm256_shuffle_epi8(invalidForLow, low));
    if (!_mm256_testz_si256(bad, bad)) break;
    const __m256i slash = _mm256_cmpeq_epi8(text, _mm256_set1_epi8('/'));
    const __m256i values = _mm256_add_epi8(text, _mm256_shuffle_epi8(offsets, _mm256_add_epi8(slash, high)));
    const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
    const __m256i groups = _mm256_shuffle_epi8(_mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000)), pack);
    const __m256i packed = _mm256_permutevar8x32_epi32(groups, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
  }
  return i + decodeSsse3(in + i, n - i, out);
}

#endif

// Kernels code whole groups only, and stop at the first group that is not four characters of
// the alphabet; the rest (blanks, padding, groups split across chunks) goes character by
// character.
struct Kernels {
  size_t (*encode)(const uint8_t* in, size_t n, char* out);      // bytes of whole triples taken
  size_t (*decode)(const char* in, size_t n, uint8_t* out);      // characters of whole quads taken
};

bool supported(Base64Kernel kernel) {
#ifdef VOKR_BASE64_X86
  __builtin_cpu_init();
  switch (kernel) {
    case Base64Kernel::words: return true;
    case Base64Kernel::ssse3: return __builtin_cpu_supports("ssse3");
    case Base64Kernel::avx2: return __builtin_cpu_supports("avx2");
  }
#endif
  return kernel == Base64Kernel::words;
}

Kernels kernelsOf(Base64Kernel kernel) {
  switch (kernel) {
#ifdef VOKR_BASE64_X86
    case Base64Kernel::avx2: return {encodeAvx2, decodeAvx2};
    case Base64Kernel::ssse3: return {encodeSsse3, decodeSsse3};
#endif
    default: return {encodeWords, decodeWords};
  }
}

Kernels kernels = kernelsOf(widestBase64Kernel());

// Base64 of n bytes, "=" padding at the end; returns the end of the output.
char* encodeGroups(const uint8_t* in, size_t n, char* out) {
  const size_t whole = kernels.encode(in, n, out);
  out += whole / 3 * 4;
  if (size_t rest = n - whole) {
    uint32_t v = uint32_t(in[whole]) << 16 | (rest == 2 ? uint32_t(in[whole + 1]) << 8 : 0);
    *out++ = kAlphabet[v >> 18];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
  }
  return out;
}

} // namespace

Base64Kernel widestBase64Kernel() {
  return supported(Base64Kernel::avx2) ? Base64Kernel::avx2
         : supported(Base64Kernel::ssse3) ? Base64Kernel::ssse3 : Base64Kernel::words;
}

bool useBase64Kernel(Base64Kernel kernel) {
  if (!supported(kernel)) return false;
  kernels = kernelsOf(kernel);
  return true;
}

uint64_t base64EncodedSize(uint64_t n) {
  uint64_t chars = (n + 2) / 3 * 4;
  return chars + chars / kBase64LineChars * 2;
}

char* encodeBase64Lines(const uint8_t* in, size_t n, char* out) {
  for (size_t at = 0; at < n; at += kBase64LineBytes) {
    size_t line = std::min(kBase64LineBytes, n - at);
    out = encodeGroups(in + at, line, out);
    if ((line + 2) / 3 * 4 == kBase64LineChars) {
      *out++ = '\r';
      *out++ = '\n';
    }
  }
  return out;
}

// One character the kernels left: a blank, padding, a character of a group split by a blank or
// by the end of a chunk, or one that cannot stand here (false).
bool Base64Decoder::step(char c, uint8_t*& out) {
  const int8_t v = kValues[static_cast<uint8_t>(c)];
  if (v == kBlank) return true;
  if (v == kPad) {
    if (count_ < 2 || count_ + padding_ >= 4) return false;
    ++padding_;
    return true;
  }
  if (v < 0 || padding_) return false;
  acc_ = acc_ << 6 | static_cast<uint32_t>(v);
  if (++count_ == 4) {
    *out++ = static_cast<uint8_t>(acc_ >> 16);
    *out++ = static_cast<uint8_t>(acc_ >> 8);
    *out++ = static_cast<uint8_t>(acc_);
    count_ = 0;
    acc_ = 0;
  }
  return true;
}

size_t Base64Decoder::feedRun(const char* in, size_t n, uint8_t* out, size_t& written) {
  uint8_t* const start = out;
  size_t i = 0;
  while (i < n) {
    if (count_ == 0 && padding_ == 0) {
      const size_t taken = kernels.decode(in + i, n - i, out);
      i += taken;
      out += taken / 4 * 3;
      if (i == n) break;
    }
    if (!step(in[i], out)) break;
    ++i;
  }
  written = static_cast<size_t>(out - start);
  return i;
}

size_t Base64Decoder::feed(const char* in, size_t n, uint8_t* out) {
  size_t written = 0;
  return feedRun(in, n, out, written) == n ? written : kInvalid;
}

size_t Base64Decoder::finish(uint8_t* out) {
  if (count_ == 0 && padding_ == 0) return 0;
  if (count_ < 2 || (padding_ != 0 && count_ + padding_ != 4)) return kInvalid;
  size_t n = 0;
  out[n++] = static_cast<uint8_t>(acc_ >> (count_ == 2 ? 4 : 10));
  if (count_ == 3) out[n++] = static_cast<uint8_t>(acc_ >> 2);
  count_ = padding_ = 0;
  acc_ = 0;
  return n;
}

} // namespace vokr::schema
