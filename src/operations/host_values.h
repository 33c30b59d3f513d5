#pragma once
// Between host fields and message values: decimal texts travel unchanged both ways; Boolean and
// enumeration bytes, host lists of text entries and host date-times are converted here.
#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "plugin/host.h"
#include "schema/messages.h"
#include "schema/values.h"

namespace vokr::operations {

template <size_t N> std::optional<schema::TXSDecimal> decimal(const char (&field)[N]) {
  return schema::TXSDecimal{plugin::readText(field)};
}

// An absent value writes an empty text.
template <size_t N> void writeDecimal(char (&field)[N], const std::optional<schema::TXSDecimal>& v) {
  plugin::writeText(field, v ? std::string_view(v->text) : std::string_view());
}

// The host input record, or the error that no request can be built without one.
template <class In> const In& input(const In* in) {
  if (!in) throw Error(ErrorKind::ConvertError, "no input record");
  return *in;
}

// A host Boolean byte: any value other than 0 is true.
inline bool boolean(uint8_t byte) { return byte != 0; }

// An enumeration ordinal byte. A byte beyond the last member has no wire text: the request is
// refused before anything is sent rather than sent with a guessed value.
template <class E> E enumeration(uint8_t byte, std::string_view field) {
  const schema::EnumInfo& info = schema::enumInfo(E{});
  if (byte >= info.texts.size())
    throw Error(ErrorKind::ConvertError, std::string(field) + ": " + std::to_string(byte) +
                                     " is not a valid " + std::string(info.xmlName) + " value (0.." +
                                     std::to_string(info.texts.size() - 1) + ")");
  return static_cast<E>(byte);
}

// Items i of `items` written into entry i of a host list of Entry records by `write`, never
// past the count the host stored before the list. Returns how many were written.
template <class Entry, class Items, class Write>
size_t writeList(THostPtr list, const Items& items, Write&& write) {
  if (items.empty()) return 0;  // the host may leave the pointer of an unneeded list unset
  plugin::HostList host(list, sizeof(Entry));
  const size_t n = std::min(items.size(), host.count());
  for (size_t i = 0; i < n; ++i) write(*host.at<Entry>(i), items[i]);
  return n;
}

// A host list of N-byte text entries, one decimal value each: every entry up to the list's
// count is sent, an empty one as an empty value.
template <size_t N> std::vector<schema::TXSDecimal> decimalList(THostPtr list) {
  std::vector<schema::TXSDecimal> items;
  for (std::string& text : plugin::readTextList(list, N)) items.push_back({std::move(text)});
  return items;
}

template <size_t N>
size_t writeDecimalList(THostPtr list, const std::vector<schema::TXSDecimal>& items) {
  return writeList<char[N]>(list, items, [](char (&entry)[N], const schema::TXSDecimal& d) {
    plugin::writeText(entry, d.text);
  });
}

// Host date-time (days since 1899-12-30, local time) of a date-time text: a text with a UTC
// offset is converted from it, one without is taken as UTC. Absent or unreadable: 0.
THostDateTime hostDateTime(const std::optional<schema::TXSDateTime>& v);
// The moment of a date-time text as a local date-and-time text in the regional short-date and
// long-time forms, separated by a blank; the date alone when the local time is exactly midnight.
// A text that does not read as a date-time is returned unchanged.
std::string localDateTimeText(const schema::TXSDateTime& v);

// A decimal text that is wholly a signed 64-bit integer ("-" allowed, no blanks); nothing for
// any other text, an empty one included.
inline std::optional<int64_t> integer64(std::string_view text) {
  int64_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return v;
}

} // namespace vokr::operations
