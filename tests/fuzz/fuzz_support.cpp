#include "fuzz_support.h"

#include <optional>
#include <vector>

#include "schema/datetime.h"

namespace vokr::fuzz {

namespace {

using schema::Kind;
using schema::MemberInfo;
using schema::TRemotable;
using schema::TXSDateTime;
using schema::TXSDecimal;

// Texts with their length first, so that no text can pass for a neighbour's.
void text(std::string& out, std::string_view s) {
  out += std::to_string(s.size());
  out += ':';
  out += s;
}

void optionalText(std::string& out, const std::optional<std::string_view>& s) {
  if (s) text(out, *s);
  else out += '-';
}

// A date-time is held as the host conversions read it.
void heldDateTime(const std::string& text) {
  if (!schema::parseDateTime(text)) finding("a date-time held that the host conversions cannot read", {}, text);
}

void value(std::string& out, TRemotable& o, const MemberInfo& m) {
  switch (m.kind) {
    case Kind::text: return text(out, m.value<std::string>(o));
    case Kind::integer: out += std::to_string(m.value<int32_t>(o)); return;
    case Kind::boolean: out += m.value<bool>(o) ? "true" : "false"; return;
    case Kind::enumeration: out += std::to_string(m.value<uint8_t>(o)); return;
    case Kind::decimal: {
      const auto& d = m.value<std::optional<TXSDecimal>>(o);
      return optionalText(out, d ? std::optional<std::string_view>(d->text) : std::nullopt);
    }
    case Kind::dateTime: {
      const auto& d = m.value<std::optional<TXSDateTime>>(o);
      if (d) heldDateTime(d->text);
      return optionalText(out, d ? std::optional<std::string_view>(d->text) : std::nullopt);
    }
    case Kind::bytes: {
      const auto& b = m.value<schema::TByteSOAPArray>(o).bytes;
      return text(out, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
    }
    case Kind::object: {
      TRemotable* child = m.objects->get(m.slot(o));
      if (child) out += describe(*child);
      else out += "null";
      return;
    }
  }
}

void list(std::string& out, TRemotable& o, const MemberInfo& m) {
  out += '[';
  switch (m.kind) {
    case Kind::text:
      for (const std::string& s : m.value<std::vector<std::string>>(o)) text(out, s), out += ',';
      break;
    case Kind::decimal:
      if (m.nullableItems) {
        for (const auto& d : m.value<std::vector<std::optional<TXSDecimal>>>(o))
          optionalText(out, d ? std::optional<std::string_view>(d->text) : std::nullopt), out += ',';
      } else {
        for (const TXSDecimal& d : m.value<std::vector<TXSDecimal>>(o)) text(out, d.text), out += ',';
      }
      break;
    case Kind::dateTime:
      for (const TXSDateTime& d : m.value<std::vector<TXSDateTime>>(o))
        heldDateTime(d.text), text(out, d.text), out += ',';
      break;
    case Kind::object:
      for (size_t i = 0, n = m.objects->size(m.slot(o)); i < n; ++i)
        out += describe(*m.objects->item(m.slot(o), i)), out += ',';
      break;
    default: require(false, "a list of a kind the schema does not have");
  }
  out += ']';
}

} // namespace

std::string describe(TRemotable& object) {
  std::string out(object.classInfo().xmlName);
  out += '{';
  for (const MemberInfo* m : object.classInfo().wireMembers()) {
    out += m->name;
    out += m->present(object) ? "=" : "~=";
    if (m->list) list(out, object, *m);
    else value(out, object, *m);
    out += ';';
  }
  out += '}';
  return out;
}

} // namespace vokr::fuzz
