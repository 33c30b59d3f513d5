#pragma once
// Between host fields and message values: decimal texts travel unchanged both ways.
#include <optional>

#include "platform/error.h"
#include "plugin/host.h"
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
  if (!in) throw Error("EConvertError", "no input record");
  return *in;
}

// The moment of a date-time text as a local date-and-time text in the regional short-date and
// long-time forms, separated by a blank; the date alone when the local time is exactly midnight.
// A text that does not read as a date-time is returned unchanged.
std::string localDateTimeText(const schema::TXSDateTime& v);

} // namespace vokr::operations
