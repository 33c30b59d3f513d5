#pragma once
// The files this process holds open, as /proc shows them: for tests of files the library keeps
// open without a name (a scratch file shows as "<folder>/... (deleted)" or "<folder>/#<n>").
#include <string>
#include <vector>

namespace vokr::test {

// Targets of this process's open file descriptors that lie in `folder`.
std::vector<std::string> openFilesIn(const std::string& folder);

} // namespace vokr::test
