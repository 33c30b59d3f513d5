#include "json.h"

#include <cmath>
#include <cstdio>

namespace host {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when the bytes there are none.
size_t utf8Sequence(const std::string& s, size_t i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = byte(i);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  return n;
}

void writeString(const std::string& s, std::string& out) {
  out += '"';
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = utf8Sequence(s, i);
    if (n == 0) {
      out += "\\ufffd";  // a byte that is no UTF-8: replaced, so the document stays valid
      ++i;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out.append(s, i, n);
    }
    i += n;
  }
  out += '"';
}

} // namespace

Json& Json::set(std::string key, Json value) {
  std::get<Object>(v_).emplace_back(std::move(key), std::move(value));
  return *this;
}

Json& Json::push(Json value) {
  std::get<Array>(v_).push_back(std::move(value));
  return *this;
}

void Json::write(std::string& out) const {
  if (std::holds_alternative<std::monostate>(v_)) {
    out += "null";
  } else if (auto* b = std::get_if<bool>(&v_)) {
    out += *b ? "true" : "false";
  } else if (auto* n = std::get_if<int64_t>(&v_)) {
    out += std::to_string(*n);
  } else if (auto* d = std::get_if<double>(&v_)) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", *d);
    out += std::isfinite(*d) ? text : "null";
  } else if (auto* s = std::get_if<std::string>(&v_)) {
    writeString(*s, out);
  } else if (auto* a = std::get_if<Array>(&v_)) {
    out += '[';
    for (size_t i = 0; i < a->size(); ++i) {
      if (i) out += ',';
      (*a)[i].write(out);
    }
    out += ']';
  } else {
    const Object& o = std::get<Object>(v_);
    out += '{';
    for (size_t i = 0; i < o.size(); ++i) {
      if (i) out += ',';
      writeString(o[i].first, out);
      out += ':';
      o[i].second.write(out);
    }
    out += '}';
  }
}

std::string Json::dump() const {
  std::string out;
  write(out);
  return out;
}

} // namespace host
