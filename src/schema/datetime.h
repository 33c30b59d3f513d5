#pragma once
// The lexical form of the service's date-time values: an XML Schema date, optionally "T" and
// an XML Schema time, optionally a zone ("Z" or an offset). One parser for the reader, which
// refuses what does not parse, and for the families that turn values into host times.
#include <optional>
#include <string_view>

namespace vokr::schema {

struct DateTimeFields {
  int year, month, day;
  int hour = 0, minute = 0;
  double second = 0;                 // with its fraction
  std::optional<int> offsetMinutes;  // east of UTC; none when the text carries no zone
};

std::optional<DateTimeFields> parseDateTime(std::string_view text);

} // namespace vokr::schema
