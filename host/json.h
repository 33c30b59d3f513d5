#pragma once
// A small JSON value for --json: built up by the commands, written once at the end.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace host {

class Json {
public:
  using Array = std::vector<Json>;
  using Object = std::vector<std::pair<std::string, Json>>;

  Json() = default;
  Json(bool b) : v_(b) {}
  Json(int32_t n) : v_(int64_t{n}) {}
  Json(int64_t n) : v_(n) {}
  Json(double d) : v_(d) {}
  // Texts are UTF-8 (host texts go through utf8() first).
  Json(std::string s) : v_(std::move(s)) {}
  Json(const char* s) : v_(std::string(s)) {}
  Json(Array a) : v_(std::move(a)) {}

  static Json object() { return Json(Object{}); }
  static Json array() { return Json(Array{}); }

  // Adds a member to an object (in order) or an entry to an array; returns *this.
  Json& set(std::string key, Json value);
  Json& push(Json value);
  bool isNull() const { return std::holds_alternative<std::monostate>(v_); }

  std::string dump() const;

private:
  explicit Json(Object o) : v_(std::move(o)) {}
  void write(std::string& out) const;

  std::variant<std::monostate, bool, int64_t, double, std::string, Array, Object> v_;
};

} // namespace host
