// The regional forms of dates and times: the user's short date and long time, as set in
// Windows' regional settings.
#include <windows.h>

#include "platform/clock.h"
#include "platform/win32/wide.h"

namespace vokr::platform {

namespace {

SYSTEMTIME systemTime(const LocalTime& t) {
  SYSTEMTIME s{};
  s.wYear = WORD(t.year);
  s.wMonth = WORD(t.month);
  s.wDay = WORD(t.day);
  s.wHour = WORD(t.hour);
  s.wMinute = WORD(t.minute);
  s.wSecond = WORD(t.second);
  s.wMilliseconds = WORD(t.millisecond);
  return s;
}

// GetDateFormatW and GetTimeFormatW alike.
std::string format(decltype(&GetDateFormatW) formatter, DWORD flags, const LocalTime& t) {
  const SYSTEMTIME s = systemTime(t);
  wchar_t text[128];
  const int n = formatter(LOCALE_USER_DEFAULT, flags, &s, nullptr, text, 128);
  return n > 0 ? win32::utf8(std::wstring_view(text, size_t(n - 1))) : std::string();
}

} // namespace

std::string regionalDate(const LocalTime& t) { return format(GetDateFormatW, DATE_SHORTDATE, t); }
std::string regionalTime(const LocalTime& t) { return format(GetTimeFormatW, 0, t); }

} // namespace vokr::platform
