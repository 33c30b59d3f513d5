#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "platform/codepage.h"
#include "plugin/host.h"
#include "code_page.h"

namespace {

using vokr::plugin::readText;
using vokr::plugin::writeText;
using vokr::test::CodePage;

struct CutCase {
  const char* locale;
  size_t width;
  const char* utf8;
  std::string expectedHostBytes;
};

class TextCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(TextCut, FitsTheFieldWithoutSplittingACharacter) {
  const CutCase& c = GetParam();
#if defined(_WIN32)
  // A Windows process has its ANSI code page from its start, and it is never UTF-8 under wine.
  if (std::string(c.locale) == "C.UTF-8") GTEST_SKIP() << "no UTF-8 ANSI code page";
#endif
  CodePage cp(c.locale);
  ASSERT_EQ(vokr::platform::codePage(), std::string(c.locale) == "C.UTF-8" ? "UTF-8" : "CP1250");
  char field[40];
  std::memset(field, 'x', sizeof field);
  writeText(field, c.width, c.utf8);
  EXPECT_EQ(std::string(field), c.expectedHostBytes);
  EXPECT_EQ(field[c.width], 'x') << "nothing written past the field";
}

INSTANTIATE_TEST_SUITE_P(
    Locales, TextCut,
    ::testing::Values(
        // Windows-1250: one byte a character; ž 0x9E, ť 0x9D, č 0xE8.
        CutCase{"cs_CZ.CP1250", 5, "žluťoučký", "\x9el" "u\x9d"},
        CutCase{"cs_CZ.CP1250", 32, "čaj", "\xe8" "aj"},
        CutCase{"cs_CZ.CP1250", 4, "日本x", "??x"},  // not in the code page
        CutCase{"cs_CZ.CP1250", 1, "abc", ""},
        // UTF-8: ž and ť take two bytes each and are never split.
        CutCase{"C.UTF-8", 5, "žluť", "žlu"},
        CutCase{"C.UTF-8", 4, "žluť", "žl"},
        CutCase{"C.UTF-8", 3, "žluť", "ž"},
        CutCase{"C.UTF-8", 2, "žluť", ""}));

TEST(HostText, CzechTextRoundTripsThroughCp1250Fields) {
  CodePage cp("cs_CZ.CP1250");
  const char host[] = "P\xf8\xedli\x9a \x9elu\x9dou\xe8k\xfd k\xf9\xf2";  // Příliš žluťoučký kůň
  EXPECT_EQ(readText(host, sizeof host), "Příliš žluťoučký kůň");
  char back[64];
  writeText(back, sizeof back, readText(host, sizeof host));
  EXPECT_STREQ(back, host);
}

TEST(HostText, ReadingStopsAtTheWidthOfAFieldWithoutZeroByte) {
  const char field[] = {'1', '2', '3', '4', '5'};
  EXPECT_EQ(readText(field, sizeof field), "12345");
  const char withZero[] = {'1', '2', 0, '4', '5'};
  EXPECT_EQ(readText(withZero, sizeof withZero), "12");
}

TEST(HostText, InvalidUtf8HostBytesBecomeQuestionMarks) {
  // Every byte that starts no strict UTF-8 character is one '?': an overlong form, a surrogate
  // or a value beyond U+10FFFF would make a request no XML parser accepts.
  struct Case {
    const char* host;
    const char* utf8;
  } cases[] = {
      {"a\xff" "b", "a?b"},
      {"a\xc0\xaf" "b", "a??b"},                  // overlong '/'
      {"\xe0\x80\xaf", "???"},                   // overlong, three bytes
      {"\xed\xa0\x80" "x", "???x"},              // a surrogate
      {"\xf4\x90\x80\x80", "????"},             // beyond U+10FFFF
      {"\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"},  // U+10FFFF itself
      {"\xc5", "?"},                               // a character cut off
  };
  for (const Case& c : cases) EXPECT_EQ(readText(c.host, std::strlen(c.host) + 1), c.utf8) << c.utf8;
}

} // namespace
