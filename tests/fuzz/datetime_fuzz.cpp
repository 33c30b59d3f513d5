// The date-time parser against a plain second reading of the same lexical rules, and every
// accepted value through the host time conversions (where a range or float conversion fault
// shows under UBSan).
//
// Input: the text.
#include <cmath>
#include <regex>

#include "fuzz_support.h"
#include "platform/clock.h"
#include "schema/datetime.h"

using namespace vokr;

namespace {

bool leap(long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The rules as a regular expression and range checks: a date with a year of four to nine
// digits, optionally a time (24:00:00 only as the end of a day), optionally a zone of at most
// 14:59 hours.
std::optional<schema::DateTimeFields> reference(const std::string& s) {
  static const std::regex form(
      R"((-?)([0-9]{4,9})-([0-9]{2})-([0-9]{2})(T([0-9]{2}):([0-9]{2}):([0-9]{2})(\.[0-9]+)?)?(Z|([+-])([0-9]{2}):([0-9]{2}))?)");
  std::smatch m;
  if (!std::regex_match(s, m, form)) return std::nullopt;
  auto number = [&](int i) { return std::stol(m[i].str()); };
  schema::DateTimeFields f{};
  long year = number(2);
  f.year = static_cast<int>(m[1].length() ? -year : year);
  f.month = static_cast<int>(number(3));
  f.day = static_cast<int>(number(4));
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (f.month < 1 || f.month > 12 || f.day < 1) return std::nullopt;
  if (f.day > kDays[f.month - 1] + (f.month == 2 && leap(year))) return std::nullopt;
  if (m[5].matched) {
    f.hour = static_cast<int>(number(6));
    f.minute = static_cast<int>(number(7));
    long second = number(8);
    f.second = static_cast<double>(second) + (m[9].matched ? std::stod("0" + m[9].str()) : 0.0);
    bool endOfDay = f.hour == 24 && f.minute == 0 && f.second == 0;
    if ((f.hour > 23 && !endOfDay) || f.minute > 59 || second > 59) return std::nullopt;
  }
  if (m[10].matched) {
    if (m[10].str() == "Z") {
      f.offsetMinutes = 0;
    } else {
      long hh = number(12), mm = number(13);
      if (hh > 14 || mm > 59) return std::nullopt;
      f.offsetMinutes = static_cast<int>((m[11].str() == "-" ? -1 : 1) * (hh * 60 + mm));
    }
  }
  return f;
}

std::string show(const std::optional<schema::DateTimeFields>& f) {
  if (!f) return "refused";
  char text[160];
  std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%.17g offset %s", f->year, f->month, f->day,
                f->hour, f->minute, f->second,
                f->offsetMinutes ? std::to_string(*f->offsetMinutes).c_str() : "none");
  return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("TZ", "Europe/Prague", 1);  // a zone with summer time, as the hosts have
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto parsed = schema::parseDateTime(text);
  auto expected = reference(text);
  // The fraction is summed digit by digit by one and read by strtod by the other: equal to
  // within a rounding step, compared apart from the rest.
  if (parsed && expected && std::fabs(parsed->second - expected->second) < 1e-9)
    parsed->second = expected->second;
  fuzz::requireEqual(show(expected), show(parsed), "the parser and the lexical rules disagree");
  if (!parsed) return 0;

  const auto& f = *parsed;
  // A moment whose local date falls outside the years 1 to 9999 is refused, not mangled.
  const auto local = platform::toLocal(f.year, f.month, f.day, f.hour, f.minute, f.second, f.offsetMinutes);
  const auto host = platform::hostDateTime(f.year, f.month, f.day, f.hour, f.minute, f.second, f.offsetMinutes);
  if (local) fuzz::require(local->millisecond >= 0 && local->millisecond <= 999, "milliseconds out of range");
  if (host) fuzz::require(std::isfinite(*host), "a host date-time that is no number");
  return 0;
}
