#include <windows.h>

#include <cmath>

#include "platform/calendar.h"
#include "platform/clock.h"

namespace vokr::platform {

namespace {

LocalTime fields(const SYSTEMTIME& t, int millisecond) {
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, millisecond};
}

// FILETIME counts 100 ns steps since 1601-01-01 UTC.
constexpr double kSecondsFrom1601To1970 = 11644473600.0;

} // namespace

LocalTime localNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return fields(now, now.wMilliseconds);
}

// Through the time-zone rules of the system, for the year of the moment itself.
std::optional<LocalTime> toLocal(int year, int month, int day, int hour, int minute,
                                 double second, std::optional<int> offsetMinutes) {
  const double s = utcSeconds(year, month, day, hour, minute, second, offsetMinutes);
  if (!std::isfinite(s)) return std::nullopt;
  const double whole = std::floor(s);
  int ms = static_cast<int>(std::lround((s - whole) * 1000.0));  // 0 to 1000
  if (ms > 999) ms = 999;
  const double ticks = (whole + kSecondsFrom1601To1970) * 1e7;
  LocalTime result{year, month, day, hour, minute, static_cast<int>(std::floor(second)), ms};
  SYSTEMTIME utc, local;
  if (ticks >= 0 && ticks < 9e18) {
    const uint64_t t = static_cast<uint64_t>(ticks);
    FILETIME ft{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
    if (FileTimeToSystemTime(&ft, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
      result = fields(local, ms);
  }
  // Before 1601 Windows keeps no time zone: the fields as given, in UTC.
  if (result.year < 1 || result.year > 9999) return std::nullopt;
  return result;
}

} // namespace vokr::platform
