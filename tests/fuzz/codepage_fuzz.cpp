// The host code page conversions under a UTF-8 locale and under cs_CZ.CP1250, against a
// reference made of single characters (a strict UTF-8 reading, and iconv for one byte at a time).
//
// Input: byte 0 bit 0 picks the locale (0 UTF-8, 1 CP1250), byte 1 is the byte limit of a cut
// conversion, the rest is the text. Properties:
// - host bytes to UTF-8 give strict UTF-8 (no overlong form, no surrogate, nothing beyond
//   U+10FFFF): every byte or character the code page does not define becomes '?';
// - UTF-8 to host bytes: every character the code page lacks, and every byte that is no
//   character, becomes '?';
// - a cut conversion is the longest run of whole characters of the full one that fits;
// - round trips: host bytes to UTF-8 and back give the host bytes ('?' where undefined).
#include <iconv.h>

#include <map>
#include <vector>

#include "fuzz_support.h"
#include "platform/codepage.h"
#include "platform/paths.h"

using namespace vokr;

namespace {

// Length of the strict UTF-8 character at s[i], 0 when there is none.
size_t characterAt(std::string_view s, size_t i) {
  auto byte = [&](size_t k) { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0u; };
  auto tail = [&](size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) { return byte(k) >= lo && byte(k) <= hi; };
  unsigned c = byte(0);
  if (i >= s.size()) return 0;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return tail(1) ? 2 : 0;
  if (c == 0xE0) return tail(1, 0xA0) && tail(2) ? 3 : 0;
  if (c == 0xED) return tail(1, 0x80, 0x9F) && tail(2) ? 3 : 0;
  if (c >= 0xE1 && c <= 0xEF) return tail(1) && tail(2) ? 3 : 0;
  if (c == 0xF0) return tail(1, 0x90) && tail(2) && tail(3) ? 4 : 0;
  if (c == 0xF4) return tail(1, 0x80, 0x8F) && tail(2) && tail(3) ? 4 : 0;
  if (c >= 0xF1 && c <= 0xF3) return tail(1) && tail(2) && tail(3) ? 4 : 0;
  return 0;
}

struct CodePage {
  const char* locale;
  bool utf8;
  std::string toUtf8[256];                   // one host byte as UTF-8, "?" where undefined
  std::map<std::string, char> fromUtf8;      // one character to its host byte
};

CodePage makeCodePage(const char* locale, const char* codeset) {
  CodePage cp{locale, codeset == nullptr, {}, {}};
  if (cp.utf8) return cp;
  iconv_t cd = iconv_open("UTF-8", codeset);
  fuzz::require(cd != reinterpret_cast<iconv_t>(-1), "iconv knows no CP1250");
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b), out[8];
    char* ip = &in;
    char* op = out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &inLeft, &op, &outLeft) == static_cast<size_t>(-1)) {
      cp.toUtf8[b] = "?";
    } else {
      cp.toUtf8[b].assign(out, op);
      cp.fromUtf8[cp.toUtf8[b]] = in;
    }
  }
  iconv_close(cd);
  return cp;
}

// The characters of the expected conversion, one string each.
std::vector<std::string> expectedToUtf8(const CodePage& cp, std::string_view host) {
  std::vector<std::string> out;
  for (size_t i = 0; i < host.size();) {
    size_t n = cp.utf8 ? characterAt(host, i) : 1;
    if (cp.utf8) out.push_back(n ? std::string(host.substr(i, n)) : "?");
    else out.push_back(cp.toUtf8[static_cast<unsigned char>(host[i])]);
    i += n ? n : 1;
  }
  return out;
}

std::vector<std::string> expectedToHost(const CodePage& cp, std::string_view utf8) {
  std::vector<std::string> out;
  for (size_t i = 0; i < utf8.size();) {
    size_t n = characterAt(utf8, i);
    std::string ch = n ? std::string(utf8.substr(i, n)) : "?";
    if (cp.utf8 || !n) out.push_back(ch);
    else {
      auto byte = cp.fromUtf8.find(ch);
      out.push_back(byte == cp.fromUtf8.end() ? "?" : std::string(1, byte->second));
    }
    i += n ? n : 1;
  }
  return out;
}

std::string joined(const std::vector<std::string>& pieces, size_t maxBytes = SIZE_MAX) {
  std::string out;
  for (const std::string& p : pieces) {
    if (out.size() + p.size() > maxBytes) break;
    out += p;
  }
  return out;
}

const CodePage& use(bool cp1250) {
  static const CodePage pages[] = {makeCodePage("C.UTF-8", nullptr), makeCodePage("cs_CZ.CP1250", "CP1250")};
  static const CodePage* current = nullptr;
  const CodePage& wanted = pages[cp1250];
  if (current != &wanted) {
    setenv("LC_ALL", wanted.locale, 1);
    platform::initCodePage();
    fuzz::requireEqual(wanted.utf8 ? "UTF-8" : "CP1250", platform::codePage(), "the locale was not taken");
    current = &wanted;
  }
  return wanted;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const CodePage& cp = use(data[0] & 1);
  const size_t maxBytes = data[1];
  std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

  const std::string utf8 = platform::ansiToUtf8(text);
  fuzz::requireEqual(joined(expectedToUtf8(cp, text)), utf8, "host bytes to UTF-8");

  const std::vector<std::string> host = expectedToHost(cp, text);
  fuzz::requireEqual(joined(host), platform::utf8ToAnsi(text), "UTF-8 to host bytes");
  fuzz::requireEqual(joined(host, maxBytes), platform::utf8ToAnsi(text, maxBytes), "UTF-8 to host bytes, cut");
  fuzz::requireEqual(joined(host), platform::nativePath(text), "a path to the file system");

  std::string back = platform::utf8ToAnsi(utf8);
  std::string expectedBack(text);
  if (cp.utf8) expectedBack = utf8;
  else
    for (char& c : expectedBack)
      if (cp.toUtf8[static_cast<unsigned char>(c)] == "?") c = '?';
  fuzz::requireEqual(expectedBack, back, "host bytes to UTF-8 and back");
  return 0;
}
