#pragma once
// Files of the tests: expected texts and canned answers under tests/data, files a test made.
#include <string>

namespace vokr::test {

// Contents of tests/data/<relative>; throws when it is missing.
std::string readDataFile(const std::string& relative);
// Contents of a file; empty when there is none.
std::string readFile(const std::string& path);
// Expected texts are kept with LF line ends; the wire and the dumps have CR LF everywhere.
std::string withCrLf(const std::string& text);

} // namespace vokr::test
