// Base64 decoding as text arrives: any split of the text gives the same bytes or the same
// refusal; blanks are skipped and a sender's unpadded end is accepted.
#include <gtest/gtest.h>

#include <optional>
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

} // namespace
} // namespace vokr::schema
