#pragma once
// An environment variable set for the life of the object, and restored after.
#include <cstdlib>
#include <optional>
#include <string>

#include "system.h"

namespace vokr::test {

class ScopedEnv {
public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setEnv(name, value);
  }
  ~ScopedEnv() {
    if (old_) setEnv(name_, *old_);
    else unsetEnv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  const char* name_;
  std::optional<std::string> old_;
};

} // namespace vokr::test
