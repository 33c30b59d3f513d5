#pragma once
// Other processes for file tests: one that holds a file the way another program on the host
// would, and a child that runs a piece of the test under limits of its own.
#include <functional>
#include <string>
#include <sys/types.h>

namespace vokr::test {

// A forked child that opens `path` read-write, locks it and keeps it locked until the holder
// goes. The constructor returns once the lock is taken (it throws if it could not be).
class FileHolder {
public:
  enum class Lock { flock, fcntl };
  FileHolder(const std::string& path, Lock lock);
  ~FileHolder();
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;

private:
  void stop();
  pid_t child_ = -1;
  int release_ = -1;  // closing it tells the child to let go
};

// Takes a POSIX record lock over the whole of `path` in this process, as a host locking its
// own file does. Returns the descriptor holding it (closing it drops the lock), -1 on failure.
int lockInThisProcess(const std::string& path);

// Whether process `owner` holds a POSIX record lock on `path`, as another process sees it: a
// forked child asks the kernel with F_GETLK (the test process itself cannot ask about its own).
bool recordLockHeldBy(pid_t owner, const std::string& path);

// Runs `body` in a forked child and returns its wait status; the child ends with _exit(0)
// after the body, so a status of 0 means the body returned normally.
int runInChild(const std::function<void()>& body);

} // namespace vokr::test
