#pragma once
// Ctrl-C and long waits. SIGINT, SIGTERM and SIGHUP are taken by a thread of their own, so a
// signal never lands inside the plug-in: that thread removes what would be left half written
// (the plug-in's temporary files of this process in the folders it saves into, and files
// vokr-host itself is writing), puts the terminal back and ends the process with 128 + signal.
#include <chrono>
#include <string>
#include <thread>

namespace host {

// Call first, before the plug-in is loaded, so that every thread it starts inherits the mask.
void installInterruptHandling();

// The plug-in saves into `dir` through ".vokr-<pid>-<n>.tmp" files of this process.
void savingInto(const std::string& dir);
// vokr-host writes `path`; forgotten again by done().
void writing(const std::string& path);
void doneWriting(const std::string& path);
// Whether the terminal's echo is to be turned back on when interrupted (the password prompt
// turns it off meanwhile).
void restoreEchoOnInterrupt(bool restore);

// On a terminal (standard error), a line telling what a long step waits for and for how long,
// refreshed every second until the object goes; nothing otherwise.
class Progress {
public:
  explicit Progress(std::string what);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

private:
  void run();

  std::string what_;
  std::chrono::steady_clock::time_point start_;
  bool stop_ = false;
  std::thread ticker_;
};

} // namespace host
