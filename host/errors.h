#pragma once
#include <stdexcept>

namespace host {

// Bad command-line input: the message says what to fix; exit status 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Anything else that stops a command (the plug-in cannot be loaded, a file cannot be written);
// exit status 1.
struct HostError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

} // namespace host
