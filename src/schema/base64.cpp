#include "schema/base64.h"

#include <algorithm>
#include <array>

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

// Base64 of n bytes, 3 bytes to 4 characters, "=" padding; returns the end of the output.
char* encodeGroups(const uint8_t* in, size_t n, char* out) {
  size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    uint32_t v = uint32_t(in[i]) << 16 | uint32_t(in[i + 1]) << 8 | in[i + 2];
    *out++ = kAlphabet[v >> 18];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = kAlphabet[(v >> 6) & 63];
    *out++ = kAlphabet[v & 63];
  }
  if (size_t rest = n - i) {
    uint32_t v = uint32_t(in[i]) << 16 | (rest == 2 ? uint32_t(in[i + 1]) << 8 : 0);
    *out++ = kAlphabet[v >> 18];
    *out++ = kAlphabet[(v >> 12) & 63];
    *out++ = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *out++ = '=';
  }
  return out;
}

} // namespace

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

size_t Base64Decoder::feed(const char* in, size_t n, uint8_t* out) {
  uint8_t* const start = out;
  for (size_t i = 0; i < n; ++i) {
    int8_t v = kValues[static_cast<uint8_t>(in[i])];
    if (v == kBlank) continue;
    if (v == kPad) {
      if (count_ < 2 || count_ + ++padding_ > 4) return kInvalid;
      continue;
    }
    if (v < 0 || padding_) return kInvalid;
    acc_ = acc_ << 6 | static_cast<uint32_t>(v);
    if (++count_ == 4) {
      *out++ = static_cast<uint8_t>(acc_ >> 16);
      *out++ = static_cast<uint8_t>(acc_ >> 8);
      *out++ = static_cast<uint8_t>(acc_);
      count_ = 0;
      acc_ = 0;
    }
  }
  return static_cast<size_t>(out - start);
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
