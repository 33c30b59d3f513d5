#include "system.h"

#include <dlfcn.h>
#include <limits.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace host::sys {

char* reserveLowMemory(size_t bytes) {
  int flags = MAP_PRIVATE | MAP_ANONYMOUS;
#if defined(__x86_64__)
  flags |= MAP_32BIT;
#endif
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, flags, -1, 0);
  return p == MAP_FAILED ? nullptr : static_cast<char*>(p);
}

void releaseLowMemory(char* base, size_t bytes) { munmap(base, bytes); }

const char* const kPluginFileName = "libvokr.so";

void* loadLibrary(const std::string& path, std::string& why) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) why = dlerror();
  return library;
}

void* librarySymbol(void* library, const char* name) { return dlsym(library, name); }
void unloadLibrary(void* library) { dlclose(library); }

std::string executableDirectory() {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  std::string dir(self, static_cast<size_t>(n));
  return dir.erase(dir.rfind('/') + 1);
}

void setEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

bool localCalendar(time_t t, std::tm& fields) { return localtime_r(&t, &fields) != nullptr; }
bool utcCalendar(time_t t, std::tm& fields) { return gmtime_r(&t, &fields) != nullptr; }

unsigned long processId() { return static_cast<unsigned long>(getpid()); }

bool inputIsTerminal() { return isatty(STDIN_FILENO); }
bool errorIsTerminal() { return isatty(STDERR_FILENO); }

void setInputEcho(bool on) {
  termios state{};
  if (tcgetattr(STDIN_FILENO, &state) != 0) return;
  if (on) state.c_lflag |= ECHO;
  else state.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &state);
}

std::optional<FileIdentity> fileIdentity(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

std::optional<uint64_t> fileSize(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<uint64_t>(st.st_size);
}

namespace {

void (*interruptHandler)(int) = nullptr;

sigset_t interruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

void watch() {
  sigset_t set = interruptSignals();
  int signal = 0;
  sigwait(&set, &signal);
  interruptHandler(signal);
}

} // namespace

// The signals are blocked in every thread (the mask is inherited) and taken by one waiting
// thread, so that no handler ever runs inside the plug-in.
void onInterrupt(void (*handler)(int signal)) {
  interruptHandler = handler;
  sigset_t set = interruptSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread(watch).detach();
}

} // namespace host::sys
