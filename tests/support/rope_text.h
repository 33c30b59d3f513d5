#pragma once
// A request rope's whole text, as the channel would send it.
#include <string>

#include "schema/rope.h"

namespace vokr::test {

inline std::string ropeText(const schema::Rope& rope) {
  std::string all;
  all.reserve(static_cast<size_t>(rope.size()));
  schema::Rope::Reader reader(rope);
  char buffer[1 << 14];
  while (size_t n = reader.read(buffer, sizeof buffer)) all.append(buffer, n);
  return all;
}

} // namespace vokr::test
