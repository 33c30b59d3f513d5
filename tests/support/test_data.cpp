#include "test_data.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vokr::test {

std::string readDataFile(const std::string& relative) {
  std::ifstream in(std::string(VOKR_TEST_DATA) + "/" + relative, std::ios::binary);
  if (!in) throw std::runtime_error("missing test data " + relative);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string withCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

} // namespace vokr::test
