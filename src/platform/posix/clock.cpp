#include "platform/clock.h"

#include <cmath>
#include <ctime>

#include "platform/calendar.h"

namespace vokr::platform {

LocalTime localNow() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  tm t;
  localtime_r(&ts.tv_sec, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
          t.tm_min,         t.tm_sec,     int(ts.tv_nsec / 1000000)};
}

std::optional<LocalTime> toLocal(int year, int month, int day, int hour, int minute,
                                 double second, std::optional<int> offsetMinutes) {
  // Within a day of the years 1 to 9999 (whatever the zone), so that the seconds are a whole
  // number a 64-bit time_t holds exactly; the local date is checked once it is known.
  constexpr double kFirst = double(daysFromCivil(1, 1, 1) - 1) * 86400.0;
  constexpr double kLast = double(daysFromCivil(10000, 1, 1) + 1) * 86400.0;
  static_assert(sizeof(time_t) == 8, "dates up to the year 9999 need a 64-bit time_t");
  const double s = utcSeconds(year, month, day, hour, minute, second, offsetMinutes);
  if (!(s >= kFirst && s < kLast)) return std::nullopt;  // NaN included
  const double whole = std::floor(s);
  const time_t t = static_cast<time_t>(whole);
  tm local;
  if (!localtime_r(&t, &local)) return std::nullopt;
  const int localYear = local.tm_year + 1900;
  if (localYear < 1 || localYear > 9999) return std::nullopt;
  int ms = static_cast<int>(std::lround((s - whole) * 1000.0));  // 0 to 1000
  if (ms > 999) ms = 999;
  return LocalTime{localYear, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                   local.tm_min, local.tm_sec, ms};
}

} // namespace vokr::platform
