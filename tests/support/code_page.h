#pragma once
// Switches the host code page of the library linked into a test for one scope, and back: the
// library reads the code page from LC_ALL/LC_CTYPE when told to.
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/codepage.h"
#include "system.h"

namespace vokr::test {

class CodePage {
public:
  explicit CodePage(const char* locale) {
    if (const char* old = std::getenv("LC_ALL")) saved_ = old;
    vokr::test::setEnv("LC_ALL", locale);
    platform::initCodePage();
  }
  ~CodePage() {
    if (saved_)
      vokr::test::setEnv("LC_ALL", saved_->c_str());
    else
      vokr::test::unsetEnv("LC_ALL");
    platform::initCodePage();
  }
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

private:
  std::optional<std::string> saved_;
};

} // namespace vokr::test
