#pragma once
// Clocks, local time and the regional forms of dates and times.
#include <optional>
#include <string>

namespace vokr::platform {

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};
LocalTime localNow();
// Local calendar fields of a moment given as calendar fields. With an offset (minutes east of
// UTC) the fields are in that offset; without, they are UTC. Nothing for a moment whose local
// date is outside the years 1 to 9999.
std::optional<LocalTime> toLocal(int year, int month, int day, int hour, int minute,
                                 double second, std::optional<int> offsetMinutes);
// Host date-time (days since 1899-12-30, local time) of the same moment; nothing as above.
// Before 1899-12-30 the time of day counts away from zero, as the host's date-time type has
// it: -1.25 is 1899-12-29 06:00.
std::optional<double> hostDateTime(int year, int month, int day, int hour, int minute,
                                   double second, std::optional<int> offsetMinutes);
// The regional short-date and long-time forms of the environment's locale, as UTF-8.
std::string regionalDate(const LocalTime& t);
std::string regionalTime(const LocalTime& t);

} // namespace vokr::platform
