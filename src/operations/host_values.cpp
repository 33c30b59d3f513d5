#include "operations/host_values.h"

#include "platform/clock.h"
#include "schema/datetime.h"

namespace vokr::operations {

THostDateTime hostDateTime(const std::optional<schema::TXSDateTime>& v) {
  if (!v) return 0;
  auto m = schema::parseDateTime(v->text);
  if (!m) return 0;
  return platform::hostDateTime(m->year, m->month, m->day, m->hour, m->minute, m->second,
                                m->offsetMinutes)
      .value_or(0);
}

std::string localDateTimeText(const schema::TXSDateTime& v) {
  auto m = schema::parseDateTime(v.text);
  if (!m) return v.text;
  const std::optional<platform::LocalTime> local =
      platform::toLocal(m->year, m->month, m->day, m->hour, m->minute, m->second, m->offsetMinutes);
  if (!local) return v.text;
  const platform::LocalTime& t = *local;
  std::string text = platform::regionalDate(t);
  if (t.hour != 0 || t.minute != 0 || t.second != 0 || t.millisecond != 0)
    text += " " + platform::regionalTime(t);
  return text;
}

} // namespace vokr::operations
