// The request rope: base64 segments encoded as they are read, in lines of 76 characters.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "platform/error.h"
#include "rope_text.h"
#include "schema/rope.h"

namespace vokr::schema {
namespace {

using vokr::test::ropeText;

uint8_t patternAt(uint64_t i) { return static_cast<uint8_t>(i * 131 + (i >> 8)); }

class PatternSource final : public ByteSource {
public:
  PatternSource(uint64_t size, uint64_t delivers) : size_(size), delivers_(delivers) {}
  uint64_t size() const override { return size_; }
  size_t read(uint64_t offset, void* buffer, size_t n) const override {
    size_t take = offset >= delivers_ ? 0 : static_cast<size_t>(std::min<uint64_t>(n, delivers_ - offset));
    for (size_t i = 0; i < take; ++i) static_cast<uint8_t*>(buffer)[i] = patternAt(offset + i);
    return take;
  }

private:
  uint64_t size_, delivers_;
};

// Base64 by OpenSSL, then a CR LF after every 76 characters.
std::string reference(uint64_t n) {
  std::vector<uint8_t> bytes(n);
  for (uint64_t i = 0; i < n; ++i) bytes[i] = patternAt(i);
  std::string plain(4 * ((n + 2) / 3) + 1, '\0');
  int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(plain.data()), bytes.data(), static_cast<int>(n));
  plain.resize(static_cast<size_t>(length));
  std::string lines;
  for (size_t at = 0; at < plain.size(); at += 76) {
    lines += plain.substr(at, 76);
    if (plain.size() - at >= 76) lines += "\r\n";
  }
  return lines;
}

std::string readAll(const Rope& rope, size_t bufferSize) {
  Rope::Reader reader(rope);
  std::string all;
  std::vector<char> buffer(bufferSize);
  while (size_t n = reader.read(buffer.data(), buffer.size())) all.append(buffer.data(), n);
  return all;
}

TEST(SchemaRope, EncodesBase64InLinesOf76Characters) {
  // Around the padding, the line length, and the blocks the reader encodes at a time.
  const uint64_t sizes[] = {0, 1, 2, 3, 56, 57, 58, 114, 1000, 57 * 1024, 57 * 1024 + 1, 3 * 57 * 1024 + 5};
  for (uint64_t n : sizes) {
    SCOPED_TRACE(n);
    Rope rope;
    rope.append("<a>");
    rope.appendBase64(std::make_shared<PatternSource>(n, n));
    rope.append("</a>");
    const std::string expected = "<a>" + reference(n) + "</a>";
    EXPECT_EQ(base64EncodedSize(n), expected.size() - 7);
    EXPECT_EQ(rope.size(), expected.size());
    EXPECT_EQ(ropeText(rope), expected);
    EXPECT_EQ(readAll(rope, 7), expected);
    if (n < 2000) {
      EXPECT_EQ(readAll(rope, 1), expected);
    }
  }
}

TEST(SchemaRope, EncodesSeventySixCharactersAsOneLineWithItsLineEnd) {
  Rope rope;
  rope.appendBase64(std::make_shared<PatternSource>(60, 60));
  const std::string text = ropeText(rope);
  ASSERT_EQ(text.size(), 76u + 2 + 4);
  EXPECT_EQ(text.substr(76, 2), "\r\n");
  EXPECT_EQ(text.find('\r', 78), std::string::npos);
}

TEST(SchemaRope, JoinsTextAndKeepsBase64SegmentsApart) {
  Rope rope;
  rope.append("a");
  rope.append("b");
  Rope tail;
  tail.append("c");
  tail.appendBase64(std::make_shared<PatternSource>(3, 3));
  tail.append("d");
  rope.append(std::move(tail));
  rope.append("e");
  ASSERT_EQ(rope.segments().size(), 3u);
  EXPECT_EQ(rope.segments()[0].text, "abc");
  EXPECT_TRUE(rope.segments()[1].base64);
  EXPECT_EQ(rope.segments()[2].text, "de");
  EXPECT_EQ(ropeText(rope), "abc" + reference(3) + "de");
}

// A secret segment stands alone, so that a dump can tell it, and is sent as the text it is.
TEST(SchemaRope, KeepsASecretSegmentApart) {
  Rope rope;
  rope.append("<p>");
  rope.appendSecret("ta");
  rope.append("</p>");
  Rope tail;
  tail.appendSecret("jne");
  rope.append(std::move(tail));
  ASSERT_EQ(rope.segments().size(), 4u);
  EXPECT_FALSE(rope.segments()[0].secret);
  EXPECT_TRUE(rope.segments()[1].secret);
  EXPECT_EQ(rope.segments()[1].text, "ta");
  EXPECT_EQ(rope.segments()[2].text, "</p>");
  EXPECT_TRUE(rope.segments()[3].secret);
  EXPECT_EQ(rope.size(), 12u);
  EXPECT_EQ(ropeText(rope), "<p>ta</p>jne");
}

TEST(SchemaRope, ASourceEndingEarlyIsAnError) {
  Rope rope;
  rope.appendBase64(std::make_shared<PatternSource>(1000, 600));
  try {
    ropeText(rope);
    ADD_FAILURE() << "a short source was sent as if whole";
  } catch (const Error& e) {
    EXPECT_EQ(e.kindName(), "EInOutError");
  }
}

} // namespace
} // namespace vokr::schema
