// The host code page is the process's ANSI code page (GetACP): the host writes its texts in it,
// and the W calls take what it names as UTF-16.
#include <windows.h>

#include <cstring>

#include "platform/codepage.h"
#include "platform/utf8.h"

namespace vokr::platform {

namespace {

struct CodePage {
  UINT id = CP_UTF8;
  std::string name = "UTF-8";
};

CodePage& state() {
  static CodePage cp;
  return cp;
}

// One host character: a lead byte of a double-byte code page takes its trail byte along.
size_t ansiLength(UINT cp, std::string_view s, size_t i) {
  return i + 1 < s.size() && IsDBCSLeadByteEx(cp, static_cast<BYTE>(s[i])) ? 2 : 1;
}

std::string wideToUtf8(const wchar_t* w, int n) {
  char buffer[16];
  const int len = WideCharToMultiByte(CP_UTF8, 0, w, n, buffer, sizeof buffer, nullptr, nullptr);
  return std::string(buffer, len > 0 ? size_t(len) : 0);
}

} // namespace

void initCodePage() {
  const UINT acp = GetACP();
  state() = acp == CP_UTF8 ? CodePage{} : CodePage{acp, "CP" + std::to_string(acp)};
}

const std::string& codePage() { return state().name; }

std::string ansiToUtf8(std::string_view ansi) {
  const UINT cp = state().id;
  std::string out;
  out.reserve(ansi.size());
  for (size_t i = 0; i < ansi.size();) {
    if (static_cast<unsigned char>(ansi[i]) < 0x80) {  // ASCII is itself in every ANSI code page
      out += ansi[i++];
      continue;
    }
    const size_t n = cp == CP_UTF8 ? utf8Length(ansi, i) : ansiLength(cp, ansi, i);
    wchar_t w[2];
    const int len = n ? MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, ansi.data() + i, int(n), w, 2) : 0;
    if (len > 0) {
      out += wideToUtf8(w, len);
      i += n;
    } else {
      out += '?';  // a byte the code page does not define
      ++i;
    }
  }
  return out;
}

std::string utf8ToAnsi(std::string_view utf8, size_t maxBytes) {
  const UINT cp = state().id;
  std::string out;
  out.reserve(utf8.size() < maxBytes ? utf8.size() : maxBytes);
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = utf8Length(utf8, i);
    char encoded[8] = {'?'};
    int len = 1;
    if (n == 1 || (n > 1 && cp == CP_UTF8)) {
      len = int(n);
      std::memcpy(encoded, utf8.data() + i, n);
    } else if (n > 1) {
      wchar_t w[2];
      const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data() + i, int(n), w, 2);
      BOOL lost = FALSE;
      // No best fit: a character the code page lacks becomes '?', not a look-alike.
      len = units > 0 ? WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w, units, encoded, sizeof encoded, "?", &lost) : 0;
      if (len <= 0 || lost) {
        encoded[0] = '?';
        len = 1;
      }
    }
    i += n ? n : 1;
    if (out.size() + size_t(len) > maxBytes) break;  // never half a character
    out.append(encoded, size_t(len));
  }
  return out;
}

} // namespace vokr::platform
