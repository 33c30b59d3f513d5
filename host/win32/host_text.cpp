#include "host_text.h"

#include <windows.h>

namespace host {

namespace {

UINT codePage = CP_ACP;

// `text` from one code page to another through UTF-16; a character the target lacks becomes '?'.
std::string convert(UINT from, UINT to, std::string_view text) {
  if (text.empty() || from == to) return std::string(text);
  const int units = MultiByteToWideChar(from, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(size_t(units > 0 ? units : 0), L'\0');
  MultiByteToWideChar(from, 0, text.data(), int(text.size()), wide.data(), units);
  const bool toUtf8 = to == CP_UTF8;
  const int bytes = WideCharToMultiByte(to, toUtf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0,
                                        toUtf8 ? nullptr : "?", nullptr);
  std::string out(size_t(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(to, toUtf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide.data(), units, out.data(), bytes,
                      toUtf8 ? nullptr : "?", nullptr);
  return out;
}

} // namespace

// The host code page of a Windows host is the process's ANSI code page, as for the plug-in.
void initCodePage() { codePage = GetACP(); }

std::string local(std::string_view utf8) { return convert(CP_UTF8, codePage, utf8); }

std::string utf8(std::string_view text) { return convert(codePage, CP_UTF8, text); }

} // namespace host
