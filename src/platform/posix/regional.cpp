// The regional forms of dates and times: those of the environment's locale, as the host's users
// have set it up.
#include <ctime>
#include <locale.h>

#include "platform/clock.h"
#include "platform/codepage.h"

namespace vokr::platform {

namespace {

std::string format(const char* pattern, const LocalTime& t) {
  tm fields{};
  fields.tm_year = t.year - 1900;
  fields.tm_mon = t.month - 1;
  fields.tm_mday = t.day;
  fields.tm_hour = t.hour;
  fields.tm_min = t.minute;
  fields.tm_sec = t.second;
  fields.tm_isdst = -1;
  // Weekday and day of the year, which some regional forms name.
  tm normalized = fields;
  if (timegm(&normalized) != -1) {
    fields.tm_wday = normalized.tm_wday;
    fields.tm_yday = normalized.tm_yday;
  }
  locale_t loc = newlocale(LC_CTYPE_MASK | LC_TIME_MASK, "", static_cast<locale_t>(0));
  if (!loc) loc = newlocale(LC_CTYPE_MASK | LC_TIME_MASK, "C", static_cast<locale_t>(0));
  char text[128];
  const size_t n = loc ? strftime_l(text, sizeof text, pattern, &fields, loc) : 0;
  if (loc) freelocale(loc);
  return ansiToUtf8(std::string_view(text, n));
}

} // namespace

std::string regionalDate(const LocalTime& t) { return format("%x", t); }
std::string regionalTime(const LocalTime& t) { return format("%X", t); }

} // namespace vokr::platform
