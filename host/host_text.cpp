#include "host_text.h"

#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

namespace host {

namespace {

// Conversion from UTF-8 into the host code page; none when the host code page is UTF-8
// itself, which is also how the plug-in treats the C locale's ASCII.
iconv_t& toLocal() {
  static iconv_t cd = reinterpret_cast<iconv_t>(-1);
  return cd;
}

} // namespace

void initCodePage() {
  setlocale(LC_CTYPE, "");
  const char* codeset = nl_langinfo(CODESET);
  if (!codeset || !*codeset || strcasecmp(codeset, "UTF-8") == 0 ||
      strcasecmp(codeset, "ANSI_X3.4-1968") == 0)
    return;
  toLocal() = iconv_open(codeset, "UTF-8");
}

std::string local(std::string_view utf8) {
  iconv_t cd = toLocal();
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  std::string out(utf8.size() + 1, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* to = out.data();
  size_t toLeft = out.size();
  while (inLeft > 0 && iconv(cd, &in, &inLeft, &to, &toLeft) == static_cast<size_t>(-1)) {
    if (errno != EILSEQ && errno != EINVAL) break;
    // Skip the whole UTF-8 character the code page lacks.
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

} // namespace host
