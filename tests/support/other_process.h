#pragma once
// Other processes for file tests: one that holds a file the way another program on the host
// would, and (on POSIX) a child that runs a piece of the test under limits of its own.
// Implemented in posix/ and win32/.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vokr::test {

// A process that opens `path` read-write, holds it and keeps holding it until the holder goes.
// The constructor returns once the file is held (it throws if it could not be).
class FileHolder {
public:
  // How another program holds a file: a lock (flock, or an fcntl record lock) on POSIX; on
  // Windows an open for reading and writing that shares nothing.
  enum class Lock { flock, fcntl, noSharing };
  // The ways this system has, and a name for each.
  static const std::vector<Lock>& ways();
  static const char* name(Lock lock) {
    return lock == Lock::flock ? "flock" : lock == Lock::fcntl ? "fcntl" : "no sharing";
  }

  FileHolder(const std::string& path, Lock lock);
  ~FileHolder();
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

private:
  void stop();
  intptr_t child_ = -1;    // process id or handle
  intptr_t release_ = -1;  // closing it tells the child to let go
};

#if !defined(_WIN32)
// Takes a POSIX record lock over the whole of `path` in this process, as a host locking its
// own file does. Returns the descriptor holding it (closing it drops the lock), -1 on failure.
int lockInThisProcess(const std::string& path);

// Whether process `owner` holds a POSIX record lock on `path`, as another process sees it: a
// forked child asks the kernel with F_GETLK (the test process itself cannot ask about its own).
bool recordLockHeldBy(intptr_t owner, const std::string& path);

// Runs `body` in a forked child and returns its wait status; the child ends with _exit(0)
// after the body, so a status of 0 means the body returned normally.
int runInChild(const std::function<void()>& body);
#endif

} // namespace vokr::test
