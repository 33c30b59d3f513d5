#pragma once
// What vokr-host asks of the system, in posix/ and win32/: memory below 4 GiB for host records,
// loading the plug-in, its own file, the environment, the terminal, the identity of a file and
// interruption by the user. Everything else it does in portable C++.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace host::sys {

// Zero-filled read-write memory below 4 GiB, or null when there is none left.
char* reserveLowMemory(size_t bytes);
void releaseLowMemory(char* base, size_t bytes);

// The plug-in's file name on this system, and a library loaded from a path: null with `why`
// set when it cannot be loaded.
extern const char* const kPluginFileName;
void* loadLibrary(const std::string& path, std::string& why);
void* librarySymbol(void* library, const char* name);
void unloadLibrary(void* library);

// The directory of vokr-host's own executable, with a trailing delimiter; empty when unknown.
std::string executableDirectory();
void setEnvironment(const std::string& name, const std::string& value);
// Calendar fields of a moment in local time and in UTC; false when it has none.
bool localCalendar(time_t t, std::tm& fields);
bool utcCalendar(time_t t, std::tm& fields);

// The process id, as the plug-in names its temporary files with it.
unsigned long processId();

bool inputIsTerminal();
bool errorIsTerminal();
// Echo of what is typed on the terminal, off while a secret is asked for.
void setInputEcho(bool on);

// Which file a path names now: equal identities are the same file, not merely the same name.
struct FileIdentity {
  uint64_t volume = 0, file = 0;
  bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(const std::string& path);
// The size of a file; nothing when there is none.
std::optional<uint64_t> fileSize(const std::string& path);

// Calls `handler` (on a thread of its own, never inside the plug-in) when the user interrupts
// the program (Ctrl-C, SIGTERM, SIGHUP, closing the console), with the number of that signal.
// Call before the plug-in is loaded.
void onInterrupt(void (*handler)(int signal));

} // namespace host::sys
