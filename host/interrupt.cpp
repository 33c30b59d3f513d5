#include "interrupt.h"

#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <mutex>
#include <set>
#include <termios.h>
#include <unistd.h>

namespace host {

namespace {

std::mutex mutex;  // guards everything below and the progress lines on standard error
std::set<std::string> folders, files;
bool haveTerminal = false;
termios terminalState;
std::condition_variable tick;

sigset_t watchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// Removes this process's temporary files of the plug-in in dir; returns how many.
int removeTemporaries(const std::string& dir) {
  const std::string prefix = ".vokr-" + std::to_string(getpid()) + "-";
  int removed = 0;
  DIR* d = opendir(dir.c_str());
  if (!d) return 0;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.rfind(prefix, 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0 &&
        unlink((dir + "/" + name).c_str()) == 0)
      ++removed;
  }
  closedir(d);
  return removed;
}

[[noreturn]] void watch() {
  sigset_t set = watchedSignals();
  int signal = 0;
  sigwait(&set, &signal);
  std::lock_guard lock(mutex);  // held to the end: no new file is registered meanwhile
  if (haveTerminal) tcsetattr(STDIN_FILENO, TCSAFLUSH, &terminalState);
  int removed = 0;
  for (const std::string& f : files) removed += unlink(f.c_str()) == 0;
  for (const std::string& d : folders) removed += removeTemporaries(d);
  std::fflush(stdout);
  std::fprintf(stderr, "\nvokr-host: interrupted; %d partial file%s removed\n", removed, removed == 1 ? "" : "s");
  std::_Exit(128 + signal);
}

} // namespace

void installInterruptHandling() {
  sigset_t set = watchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread(watch).detach();
}

void savingInto(const std::string& dir) {
  std::lock_guard lock(mutex);
  folders.insert(dir.empty() ? "." : dir);
}

void writing(const std::string& path) {
  std::lock_guard lock(mutex);
  files.insert(path);
}

void doneWriting(const std::string& path) {
  std::lock_guard lock(mutex);
  files.erase(path);
}

void restoreTerminalOnInterrupt(const void* state) {
  std::lock_guard lock(mutex);
  haveTerminal = state != nullptr;
  if (state) terminalState = *static_cast<const termios*>(state);
}

Progress::Progress(std::string what) : what_(std::move(what)), start_(std::chrono::steady_clock::now()) {
  if (isatty(STDERR_FILENO)) ticker_ = std::thread(&Progress::run, this);
}

Progress::~Progress() {
  if (!ticker_.joinable()) return;
  {
    std::lock_guard lock(mutex);
    stop_ = true;
  }
  tick.notify_all();
  ticker_.join();
}

void Progress::run() {
  std::unique_lock lock(mutex);
  while (!tick.wait_for(lock, std::chrono::seconds(1), [this] { return stop_; })) {
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_);
    std::fprintf(stderr, "\r\033[K  %s ... %lld s", what_.c_str(), static_cast<long long>(seconds.count()));
    std::fflush(stderr);
  }
  std::fprintf(stderr, "\r\033[K");
}

} // namespace host
