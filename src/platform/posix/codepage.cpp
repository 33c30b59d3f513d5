#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include "platform/codepage.h"
#include "platform/utf8.h"

namespace vokr::platform {

namespace {

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

// Closed when the library is unloaded, like everything else it holds.
struct CodePage {
  std::string name = "UTF-8";
  bool utf8 = true;
  iconv_t fromUtf8 = kNoConversion;
  iconv_t toUtf8 = kNoConversion;

  ~CodePage() { reset(); }
  void reset() {
    if (fromUtf8 != kNoConversion) iconv_close(fromUtf8);
    if (toUtf8 != kNoConversion) iconv_close(toUtf8);
    name = "UTF-8";
    utf8 = true;
    fromUtf8 = toUtf8 = kNoConversion;
  }
};

CodePage& state() {
  static CodePage cp;
  return cp;
}

bool isUtf8Name(const char* name) {
  return strcasecmp(name, "UTF-8") == 0 || strcasecmp(name, "UTF8") == 0;
}

} // namespace

void initCodePage() {
  CodePage& cp = state();
  cp.reset();
  locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (!loc) return;  // no usable locale: UTF-8
  const char* name = nl_langinfo_l(CODESET, loc);
  std::string codeset = name ? name : "";
  freelocale(loc);
  // The C locale reports ASCII; host text is then taken as UTF-8 so nothing is lost.
  if (codeset.empty() || isUtf8Name(codeset.c_str()) || codeset == "ANSI_X3.4-1968") return;
  iconv_t from = iconv_open(codeset.c_str(), "UTF-8");
  iconv_t to = iconv_open("UTF-8", codeset.c_str());
  if (from == kNoConversion || to == kNoConversion) {
    if (from != kNoConversion) iconv_close(from);
    if (to != kNoConversion) iconv_close(to);
    return;
  }
  cp.name = codeset;
  cp.utf8 = false;
  cp.fromUtf8 = from;
  cp.toUtf8 = to;
}

const std::string& codePage() { return state().name; }

std::string ansiToUtf8(std::string_view ansi) {
  CodePage& cp = state();
  std::string out;
  out.reserve(ansi.size());
  if (cp.utf8) {
    for (size_t i = 0; i < ansi.size();) {
      size_t n = utf8Length(ansi, i);
      if (n == 0) {
        out += '?';
        ++i;
      } else {
        out.append(ansi.substr(i, n));
        i += n;
      }
    }
    return out;
  }
  iconv(cp.toUtf8, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(ansi.data());
  size_t inLeft = ansi.size();
  char buffer[256];
  while (inLeft > 0) {
    char* o = buffer;
    size_t oLeft = sizeof buffer;
    size_t r = iconv(cp.toUtf8, &in, &inLeft, &o, &oLeft);
    out.append(buffer, o - buffer);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      out += '?';  // a byte the code page does not define
      ++in;
      --inLeft;
    }
  }
  return out;
}

std::string utf8ToAnsi(std::string_view utf8, size_t maxBytes) {
  CodePage& cp = state();
  std::string out;
  out.reserve(utf8.size() < maxBytes ? utf8.size() : maxBytes);
  for (size_t i = 0; i < utf8.size();) {
    size_t n = utf8Length(utf8, i);
    std::string_view ch = n ? utf8.substr(i, n) : std::string_view("?");
    i += n ? n : 1;
    char encoded[16];
    size_t len;
    if (cp.utf8 || (n == 1)) {
      len = ch.size();
      std::memcpy(encoded, ch.data(), len);
    } else {
      char* in = const_cast<char*>(ch.data());
      size_t inLeft = ch.size();
      char* o = encoded;
      size_t oLeft = sizeof encoded;
      iconv(cp.fromUtf8, nullptr, nullptr, nullptr, nullptr);
      if (iconv(cp.fromUtf8, &in, &inLeft, &o, &oLeft) == static_cast<size_t>(-1) ||
          iconv(cp.fromUtf8, nullptr, nullptr, &o, &oLeft) == static_cast<size_t>(-1)) {
        encoded[0] = '?';
        o = encoded + 1;
      }
      len = static_cast<size_t>(o - encoded);
    }
    if (out.size() + len > maxBytes) break;  // never half a character
    out.append(encoded, len);
  }
  return out;
}

} // namespace vokr::platform
