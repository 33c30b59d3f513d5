#include "interrupt.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>

#include "system.h"

namespace host {

namespace {

std::mutex mutex;  // guards everything below and the progress lines on standard error
std::set<std::string> folders, files;
bool echoOff = false;
std::condition_variable tick;

// Removes this process's temporary files of the plug-in in dir; returns how many.
int removeTemporaries(const std::string& dir) {
  const std::string prefix = ".vokr-" + std::to_string(sys::processId()) + "-";
  int removed = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(prefix, 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0 &&
        std::filesystem::remove(entry.path(), error))
      ++removed;
  }
  return removed;
}

[[noreturn]] void interrupted(int signal) {
  std::lock_guard lock(mutex);  // held to the end: no new file is registered meanwhile
  if (echoOff) sys::setInputEcho(true);
  int removed = 0;
  std::error_code error;
  for (const std::string& f : files) removed += std::filesystem::remove(f, error);
  for (const std::string& d : folders) removed += removeTemporaries(d);
  std::fflush(stdout);
  std::fprintf(stderr, "\nvokr-host: interrupted; %d partial file%s removed\n", removed, removed == 1 ? "" : "s");
  std::_Exit(128 + signal);
}

} // namespace

void installInterruptHandling() { sys::onInterrupt(interrupted); }

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

void restoreEchoOnInterrupt(bool restore) {
  std::lock_guard lock(mutex);
  echoOff = restore;
}

Progress::Progress(std::string what) : what_(std::move(what)), start_(std::chrono::steady_clock::now()) {
  if (sys::errorIsTerminal()) ticker_ = std::thread(&Progress::run, this);
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
