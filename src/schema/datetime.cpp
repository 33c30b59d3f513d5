#include "schema/datetime.h"

namespace vokr::schema {

std::optional<DateTimeFields> parseDateTime(std::string_view s) {
  size_t i = 0;
  auto digits = [&](size_t n, int& value) {
    value = 0;
    for (size_t k = 0; k < n; ++k, ++i) {
      if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
      value = value * 10 + (s[i] - '0');
    }
    return true;
  };
  auto expect = [&](char c) { return i < s.size() && s[i++] == c; };

  DateTimeFields f{};
  const bool negative = i < s.size() && s[i] == '-';
  if (negative) ++i;
  const size_t yearStart = i;
  long year = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - yearStart < 9) year = year * 10 + (s[i++] - '0');
  if (i - yearStart < 4) return std::nullopt;
  f.year = static_cast<int>(negative ? -year : year);
  if (!expect('-') || !digits(2, f.month) || !expect('-') || !digits(2, f.day)) return std::nullopt;
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > kDays[f.month - 1]) return std::nullopt;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (f.month == 2 && f.day == 29 && !leap) return std::nullopt;

  if (i < s.size() && s[i] == 'T') {
    ++i;
    int second = 0;
    if (!digits(2, f.hour) || !expect(':') || !digits(2, f.minute) || !expect(':') ||
        !digits(2, second))
      return std::nullopt;
    f.second = second;
    bool fractionNonZero = false;
    if (i < s.size() && s[i] == '.') {
      const size_t start = ++i;
      double scale = 0.1;
      for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10) {
        f.second += (s[i] - '0') * scale;
        fractionNonZero |= s[i] != '0';
      }
      if (i == start) return std::nullopt;
    }
    const bool midnightEnd = f.hour == 24 && f.minute == 0 && second == 0 && !fractionNonZero;
    if ((f.hour > 23 && !midnightEnd) || f.minute > 59 || second > 59) return std::nullopt;
  }

  if (i < s.size()) {
    if (s[i] == 'Z') {
      ++i;
      f.offsetMinutes = 0;
    } else if (s[i] == '+' || s[i] == '-') {
      const int sign = s[i++] == '-' ? -1 : 1;
      int hh = 0, mm = 0;
      if (!digits(2, hh) || !expect(':') || !digits(2, mm) || hh > 14 || mm > 59) return std::nullopt;
      f.offsetMinutes = sign * (hh * 60 + mm);
    }
  }
  if (i != s.size()) return std::nullopt;
  return f;
}

} // namespace vokr::schema
