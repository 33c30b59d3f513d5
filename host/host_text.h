#pragma once
// Host text fields. The plug-in reads and writes them in the code page of the environment's
// locale, and so does this host: command-line arguments arrive in it and results are printed
// in it unchanged. Only the host's own literals, written here in UTF-8, are converted.
#include <cstring>
#include <string>
#include <string_view>

#include "errors.h"

namespace host {

// Reads the locale's code page; call once at start.
void initCodePage();
// A UTF-8 literal in the host code page; characters it lacks become '?'.
std::string local(std::string_view utf8);
// A host text in UTF-8, for --json.
std::string utf8(std::string_view text);

// Stores text with its terminating zero; text that does not fit is refused, naming `what`.
template <size_t N> void put(char (&field)[N], std::string_view text, std::string_view what) {
  if (text.size() > N - 1)
    throw UsageError(std::string(what) + ": at most " + std::to_string(N - 1) + " bytes, got " +
                     std::to_string(text.size()));
  std::memcpy(field, text.data(), text.size());
  field[text.size()] = '\0';
}

// The text of a field: up to its first zero byte, or the whole field when it holds none.
template <size_t N> std::string get(const char (&field)[N]) { return {field, strnlen(field, N)}; }

} // namespace host
