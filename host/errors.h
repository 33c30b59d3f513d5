#pragma once
// Why a command did not succeed, as its exit status.
#include <stdexcept>
#include <string>

namespace host {

enum class Exit : int {
  ok = 0,
  failure = 1,         // anything else: the plug-in cannot be loaded, the signing library failed
  usage = 2,           // bad command line, or values the plug-in refused to send
  transport = 3,       // the service was not reached or its answer was unusable: network, TLS, time-out
  authentication = 4,  // the service did not accept the user name and password
  refused = 5,         // the service answered and refused the request
  localFile = 6,       // a local file or folder cannot be read, made or written
  interrupted = 130,   // Ctrl-C (128 + SIGINT)
};

const char* exitName(Exit e);

// Stops a command with a cause; the message says what to fix.
struct HostError : std::runtime_error {
  HostError(const std::string& message, Exit cause = Exit::failure) : std::runtime_error(message), cause(cause) {}
  Exit cause;
};

// Bad command-line input.
struct UsageError : HostError {
  explicit UsageError(const std::string& message) : HostError(message, Exit::usage) {}
};

// A local file or folder that cannot be used.
struct FileError : HostError {
  explicit FileError(const std::string& message) : HostError(message, Exit::localFile) {}
};

} // namespace host
