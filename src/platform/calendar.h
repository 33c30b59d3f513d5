#pragma once
// Calendar arithmetic shared by the clock implementations (no OS in it).
#include <cstdint>
#include <optional>

namespace vokr::platform {

// Days from 1970-01-01 of a proleptic Gregorian date.
constexpr int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// Seconds since the epoch (UTC) of the given fields, fractional seconds kept.
inline double utcSeconds(int year, int month, int day, int hour, int minute, double second,
                         std::optional<int> offsetMinutes) {
  double s = double(daysFromCivil(year, unsigned(month), unsigned(day))) * 86400.0 +
             hour * 3600.0 + minute * 60.0 + second;
  if (offsetMinutes) s -= *offsetMinutes * 60.0;
  return s;
}

} // namespace vokr::platform
