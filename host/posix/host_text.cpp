#include "host_text.h"

#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

namespace host {

namespace {

const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

// Conversions between UTF-8 and the host code page; none when the host code page is UTF-8
// itself, which is also how the plug-in treats the C locale's ASCII.
iconv_t& toLocal() {
  static iconv_t cd = kNone;
  return cd;
}
iconv_t& toUtf8() {
  static iconv_t cd = kNone;
  return cd;
}

// Converts text with cd; a character that cannot be converted becomes '?' (its first byte is
// skipped and, for UTF-8 input, its continuation bytes too).
std::string convert(iconv_t cd, std::string_view text) {
  if (cd == kNone) return std::string(text);
  std::string out(text.size() * 4 + 1, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* to = out.data();
  size_t toLeft = out.size();
  while (inLeft > 0 && iconv(cd, &in, &inLeft, &to, &toLeft) == static_cast<size_t>(-1)) {
    if (errno != EILSEQ && errno != EINVAL) break;
    *to++ = '?';
    --toLeft;
    do {
      ++in;
      --inLeft;
    } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
  }
  out.resize(out.size() - toLeft);
  return out;
}

} // namespace

void initCodePage() {
  setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  if (!codeset || !*codeset || strcasecmp(codeset, "UTF-8") == 0 ||
      strcasecmp(codeset, "ANSI_X3.4-1968") == 0)
    return;
  toLocal() = iconv_open(codeset, "UTF-8");
  toUtf8() = iconv_open("UTF-8", codeset);
}

std::string local(std::string_view utf8) { return convert(toLocal(), utf8); }

std::string utf8(std::string_view text) { return convert(toUtf8(), text); }

} // namespace host
