#include "operations/host_values.h"

#include <cctype>

#include "platform/platform.h"

namespace vokr::operations {

namespace {

// A cursor over an XML Schema date-time text: date, optionally "T" and a time, optionally a
// zone ("Z" or an offset).
struct Scan {
  std::string_view s;
  size_t at = 0;

  bool take(char c) {
    if (at < s.size() && s[at] == c) return ++at, true;
    return false;
  }
  // Exactly `digits` digits (at least `digits` when `orMore`).
  std::optional<int> number(size_t digits, bool orMore = false) {
    size_t start = at;
    while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])) &&
           (orMore || at - start < digits))
      ++at;
    if (at - start < digits || at - start > 9) return std::nullopt;
    return std::stoi(std::string(s.substr(start, at - start)));
  }
};

struct Moment {
  int year, month, day, hour = 0, minute = 0;
  double second = 0;
  std::optional<int> offsetMinutes;
};

std::optional<Moment> parseDateTime(std::string_view text) {
  Scan c{text};
  Moment m{};
  const bool negative = c.take('-');
  auto year = c.number(4, true);
  if (!year || !c.take('-')) return std::nullopt;
  auto month = c.number(2);
  if (!month || !c.take('-')) return std::nullopt;
  auto day = c.number(2);
  if (!day) return std::nullopt;
  m.year = negative ? -*year : *year;
  m.month = *month;
  m.day = *day;
  if (c.take('T')) {
    auto hour = c.number(2);
    if (!hour || !c.take(':')) return std::nullopt;
    auto minute = c.number(2);
    if (!minute || !c.take(':')) return std::nullopt;
    auto second = c.number(2);
    if (!second) return std::nullopt;
    m.hour = *hour;
    m.minute = *minute;
    m.second = *second;
    if (c.take('.')) {
      size_t start = c.at;
      double scale = 0.1;
      for (; c.at < text.size() && std::isdigit(static_cast<unsigned char>(text[c.at])); ++c.at) {
        m.second += (text[c.at] - '0') * scale;
        scale /= 10;
      }
      if (c.at == start) return std::nullopt;
    }
  }
  if (c.take('Z')) {
    m.offsetMinutes = 0;
  } else if (c.at < text.size() && (text[c.at] == '+' || text[c.at] == '-')) {
    const int sign = text[c.at++] == '-' ? -1 : 1;
    auto hours = c.number(2);
    if (!hours || !c.take(':')) return std::nullopt;
    auto minutes = c.number(2);
    if (!minutes) return std::nullopt;
    m.offsetMinutes = sign * (*hours * 60 + *minutes);
  }
  if (c.at != text.size()) return std::nullopt;
  if (m.month < 1 || m.month > 12 || m.day < 1 || m.day > 31 || m.hour > 24 || m.minute > 59 ||
      m.second >= 61)
    return std::nullopt;
  return m;
}

} // namespace

THostDateTime hostDateTime(const std::optional<schema::TXSDateTime>& v) {
  if (!v) return 0;
  auto m = parseDateTime(v->text);
  if (!m) return 0;
  return platform::hostDateTime(m->year, m->month, m->day, m->hour, m->minute, m->second,
                                m->offsetMinutes);
}

std::string localDateTimeText(const schema::TXSDateTime& v) {
  auto m = parseDateTime(v.text);
  if (!m) return v.text;
  const platform::LocalTime t =
      platform::toLocal(m->year, m->month, m->day, m->hour, m->minute, m->second, m->offsetMinutes);
  std::string text = platform::regionalDate(t);
  if (t.hour != 0 || t.minute != 0 || t.second != 0 || t.millisecond != 0)
    text += " " + platform::regionalTime(t);
  return text;
}

} // namespace vokr::operations
