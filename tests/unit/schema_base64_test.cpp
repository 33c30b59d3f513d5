// Base64 decoding as text arrives: any split of the text gives the same bytes or the same
// refusal; blanks are skipped and a sender's unpadded end is accepted. Every kernel this CPU
// runs codes as OpenSSL does.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "schema/base64.h"

namespace vokr::schema {
namespace {

// The bytes of `text` fed in pieces of `piece` characters, or nothing when it is refused.
std::optional<std::string> decode(const std::string& text, size_t piece) {
  Base64Decoder decoder;
  std::string bytes;
  for (size_t at = 0; at < text.size(); at += piece) {
    const size_t n = std::min(piece, text.size() - at);
    std::vector<uint8_t> out(Base64Decoder::maxDecodedSize(n));
    const size_t written = decoder.feed(text.data() + at, n, out.data());
    if (written == Base64Decoder::kInvalid) return std::nullopt;
    EXPECT_LE(written, out.size());
    bytes.append(out.begin(), out.begin() + static_cast<ptrdiff_t>(written));
  }
  uint8_t last[2];
  const size_t written = decoder.finish(last);
  if (written == Base64Decoder::kInvalid) return std::nullopt;
  bytes.append(last, last + written);
  return bytes;
}

TEST(SchemaBase64, DecodesInAnyPieces) {
  const struct {
    const char* text;
    std::optional<std::string> bytes;
  } cases[] = {
      {"", ""},
      {"TWFu", "Man"},
      {"TWE=", "Ma"},
      {"TQ==", "M"},
      {"TWE", "Ma"},  // unpadded ends
      {"TQ", "M"},
      {"TWFu\r\nTWFu TW\tE=\r\n", "ManManMa"},
      {"//79", "\xff\xfe\xfd"},
      {"T", std::nullopt},     // no whole byte
      {"TQ=", std::nullopt},   // padding short of the group
      {"TWFu=", std::nullopt},
      {"=TWF", std::nullopt},
      {"TQ==TWFu", std::nullopt},  // text after the padding
      {"TWE==", std::nullopt},
      {"TW!u", std::nullopt},
      {"TW-u", std::nullopt},
  };
  for (const auto& c : cases) {
    for (size_t piece : {1, 2, 3, 5, 64}) {
      SCOPED_TRACE(std::string(c.text) + " in pieces of " + std::to_string(piece));
      EXPECT_EQ(decode(c.text, piece), c.bytes);
    }
  }
}

TEST(SchemaBase64, DecodesWhatItEncodes) {
  std::vector<uint8_t> bytes(3 * 57 + 2);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + 11);
  std::string text(base64EncodedSize(bytes.size()), '\0');
  EXPECT_EQ(encodeBase64Lines(bytes.data(), bytes.size(), text.data()), text.data() + text.size());
  EXPECT_EQ(decode(text, 7), std::string(bytes.begin(), bytes.end()));
}

// ---- every kernel against OpenSSL ----

using Bytes = std::vector<uint8_t>;

Bytes randomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
  return b;
}

std::string opensslEncode(const uint8_t* p, size_t n) {
  std::string text(4 * ((n + 2) / 3) + 1, '\0');
  text.resize(size_t(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), p, int(n))));
  return text;
}

// OpenSSL's decoding of padded text without blanks, its padding bytes taken off again.
Bytes opensslDecode(const std::string& text) {
  Bytes b(text.size() / 4 * 3 + 3);
  const int n = EVP_DecodeBlock(b.data(), reinterpret_cast<const unsigned char*>(text.data()), int(text.size()));
  EXPECT_GE(n, 0);
  const size_t padding = text.empty() ? 0 : text.size() - 1 - text.find_last_not_of('=');
  b.resize(size_t(n) - padding);
  return b;
}

std::string linesOf(const std::string& plain, size_t width, const std::string& end) {
  std::string text;
  for (size_t at = 0; at < plain.size(); at += width) text += plain.substr(at, width) + end;
  return text;
}

// The text decoded in chunks cut at `cuts` (ascending); nothing when it is refused.
std::optional<Bytes> decodeInChunks(const std::string& text, std::vector<size_t> cuts) {
  cuts.push_back(text.size());
  Bytes out(Base64Decoder::maxDecodedSize(text.size()) + 3 * cuts.size());
  Base64Decoder decoder;
  size_t from = 0, used = 0;
  for (size_t cut : cuts) {
    const size_t written = decoder.feed(text.data() + from, cut - from, out.data() + used);
    if (written == Base64Decoder::kInvalid) return std::nullopt;
    used += written;
    from = cut;
  }
  const size_t last = decoder.finish(out.data() + used);
  if (last == Base64Decoder::kInvalid) return std::nullopt;
  out.resize(used + last);
  return out;
}

class SchemaBase64Kernel : public ::testing::TestWithParam<Base64Kernel> {
protected:
  void SetUp() override {
    if (!useBase64Kernel(GetParam())) GTEST_SKIP() << "this CPU lacks the kernel";
  }
  void TearDown() override { useBase64Kernel(widestBase64Kernel()); }
};

// Lengths around every kernel's step (12, 24 bytes; 16, 32 characters) and line (57 bytes),
// from every alignment a vector load can meet.
TEST_P(SchemaBase64Kernel, EncodesAsOpensslAtEveryLengthAndAlignment) {
  const Bytes data = randomBytes(4096 + 64, 1);
  for (size_t n : {0, 1, 2, 3, 11, 12, 13, 15, 16, 17, 23, 24, 25, 27, 28, 29, 31, 32, 33, 47, 48, 55, 56, 57,
                   58, 63, 64, 65, 95, 96, 100, 113, 114, 115, 255, 256, 1000, 4095, 4096})
    for (size_t offset = 0; offset < 33; ++offset) {
      const uint8_t* bytes = data.data() + offset;
      std::string text(base64EncodedSize(n), '\0');
      ASSERT_EQ(encodeBase64Lines(bytes, n, text.data()), text.data() + text.size()) << n << " at " << offset;
      ASSERT_EQ(text, linesOf(opensslEncode(bytes, n), 76, "\r\n").substr(0, text.size()))
          << n << " at " << offset;
    }
}

TEST_P(SchemaBase64Kernel, DecodesAsOpensslAtEveryLengthAndAlignment) {
  for (size_t n = 0; n < 300; ++n) {
    const Bytes data = randomBytes(n, uint32_t(n));
    const std::string padded = opensslEncode(data.data(), n);
    ASSERT_EQ(opensslDecode(padded), data);
    for (size_t offset = 0; offset < 33; offset += 4) {
      const std::string text = std::string(offset, ' ') + padded;
      ASSERT_EQ(decodeInChunks(text, {}), data) << n << " at " << offset;
    }
  }
}

// Line ends and blanks as senders put them: CR LF after 76 characters, LF after 64, a blank
// after every group, blanks inside groups, around the text and between every character.
TEST_P(SchemaBase64Kernel, SkipsBlanksWhereverTheyStand) {
  const Bytes data = randomBytes(10000, 2);
  const std::string plain = opensslEncode(data.data(), data.size());
  for (const std::string& text : {linesOf(plain, 76, "\r\n"), linesOf(plain, 64, "\n"), linesOf(plain, 4, " "),
                                  linesOf(plain, 3, "\t"), linesOf(plain, 77, "\r\n"),
                                  "\r\n\t  " + linesOf(plain, 1, "\r\n") + "  \n"})
    EXPECT_EQ(decodeInChunks(text, {}), data) << text.substr(0, 100);
}

TEST_P(SchemaBase64Kernel, ChunksMayEndAnywhere) {
  const Bytes data = randomBytes(200, 3);
  const std::string text = linesOf(opensslEncode(data.data(), data.size()), 76, "\r\n");
  for (size_t cut = 0; cut <= text.size(); ++cut)
    for (size_t second = cut; second <= text.size(); second += 37)
      ASSERT_EQ(decodeInChunks(text, {cut, second}), data) << cut << ", " << second;
  std::vector<size_t> everyCharacter;
  for (size_t cut = 1; cut < text.size(); ++cut) everyCharacter.push_back(cut);
  EXPECT_EQ(decodeInChunks(text, everyCharacter), data);
}

TEST_P(SchemaBase64Kernel, LargeTextRoundTrips) {
  const Bytes data = randomBytes((3 << 20) + 2, 4);
  std::string text(base64EncodedSize(data.size()), '\0');
  encodeBase64Lines(data.data(), data.size(), text.data());
  EXPECT_EQ(text, linesOf(opensslEncode(data.data(), data.size()), 76, "\r\n").substr(0, text.size()));
  EXPECT_EQ(decodeInChunks(text, {16384, 2 * 16384 + 1, 3 * 16384 + 3}), data);
}

// Every character that is neither base64, a blank nor padding, at every place of a text long
// enough for every kernel: refused by feed(), the end of the run for feedRun().
TEST_P(SchemaBase64Kernel, OtherCharactersAreRefusedOrEndARun) {
  const Bytes data = randomBytes(72, 5);
  const std::string plain = opensslEncode(data.data(), data.size());
  const std::string_view allowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/= \t\r\n";
  for (int c = 0; c < 256; ++c) {
    if (allowed.find(char(c)) != std::string_view::npos) continue;
    for (size_t at = 0; at < plain.size(); ++at) {
      std::string text = plain;
      text[at] = char(c);
      ASSERT_EQ(decodeInChunks(text, {}), std::nullopt) << c << " at " << at;
      Base64Decoder decoder;
      Bytes out(Base64Decoder::maxDecodedSize(text.size()));
      size_t written = 0;
      ASSERT_EQ(decoder.feedRun(text.data(), text.size(), out.data(), written), at) << c << " at " << at;
      ASSERT_EQ(Bytes(out.begin(), out.begin() + ptrdiff_t(written)), Bytes(data.begin(), data.begin() + ptrdiff_t(at / 4 * 3)))
          << c << " at " << at;
    }
  }
}

std::string kernelName(const ::testing::TestParamInfo<Base64Kernel>& info) {
  switch (info.param) {
    case Base64Kernel::words: return "words";
    case Base64Kernel::ssse3: return "ssse3";
    case Base64Kernel::avx2: return "avx2";
  }
  return "";
}

INSTANTIATE_TEST_SUITE_P(Kernels, SchemaBase64Kernel,
                         ::testing::Values(Base64Kernel::words, Base64Kernel::ssse3, Base64Kernel::avx2),
                         kernelName);

} // namespace
} // namespace vokr::schema
