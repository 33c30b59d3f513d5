#include <cmath>
#include <ctime>

#include "platform/platform.h"

namespace vokr::platform {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kDaysFrom1899To1970 = 25569;

// Seconds since the epoch (UTC) of the given fields, fractional seconds kept.
double utcSeconds(int year, int month, int day, int hour, int minute, double second,
                  std::optional<int> offsetMinutes) {
  double s = double(daysFromCivil(year, unsigned(month), unsigned(day))) * 86400.0 +
             hour * 3600.0 + minute * 60.0 + second;
  if (offsetMinutes) s -= *offsetMinutes * 60.0;
  return s;
}

} // namespace

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

double hostDateTime(int year, int month, int day, int hour, int minute, double second,
                    std::optional<int> offsetMinutes) {
  LocalTime l = toLocal(year, month, day, hour, minute, second, offsetMinutes);
  double days = double(daysFromCivil(l.year, unsigned(l.month), unsigned(l.day)) + kDaysFrom1899To1970);
  return days + (l.hour * 3600.0 + l.minute * 60.0 + l.second + l.millisecond / 1000.0) / 86400.0;
}

} // namespace vokr::platform
