#include "platform/clock.h"

#include "platform/calendar.h"

namespace vokr::platform {

namespace {

constexpr int64_t kDaysFrom1899To1970 = 25569;

} // namespace

std::optional<double> hostDateTime(int year, int month, int day, int hour, int minute,
                                   double second, std::optional<int> offsetMinutes) {
  const std::optional<LocalTime> l = toLocal(year, month, day, hour, minute, second, offsetMinutes);
  if (!l) return std::nullopt;
  const double days =
      double(daysFromCivil(l->year, unsigned(l->month), unsigned(l->day)) + kDaysFrom1899To1970);
  const double time =
      (l->hour * 3600.0 + l->minute * 60.0 + l->second + l->millisecond / 1000.0) / 86400.0;
  return days < 0 ? days - time : days + time;
}

} // namespace vokr::platform
