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

LocalTime toLocal(int year, int month, int day, int hour, int minute, double second,
                  std::optional<int> offsetMinutes) {
  double s = utcSeconds(year, month, day, hour, minute, second, offsetMinutes);
  double whole = std::floor(s);
  time_t t = static_cast<time_t>(whole);
  tm local;
  localtime_r(&t, &local);
  int ms = static_cast<int>(std::lround((s - whole) * 1000.0));
  if (ms > 999) ms = 999;
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
          local.tm_min,         local.tm_sec,     ms};
}

} // namespace vokr::platform
