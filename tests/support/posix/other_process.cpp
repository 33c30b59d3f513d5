#include "other_process.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vokr::test {

namespace {

bool takeLock(int fd, FileHolder::Lock lock) {
  if (lock == FileHolder::Lock::flock) return flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (lock != FileHolder::Lock::fcntl) return false;
  struct flock range{};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  return fcntl(fd, F_SETLK, &range) == 0;
}

} // namespace

const std::vector<FileHolder::Lock>& FileHolder::ways() {
  static const std::vector<Lock> ways = {Lock::flock, Lock::fcntl};
  return ways;
}

FileHolder::FileHolder(const std::string& path, Lock lock) {
  int ready[2], release[2];
  if (pipe(ready) != 0) throw std::runtime_error("pipe");
  if (pipe(release) != 0) throw std::runtime_error("pipe");
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    close(ready[0]);
    close(release[1]);
    int fd = open(path.c_str(), O_RDWR);
    const char verdict = fd >= 0 && takeLock(fd, lock) ? '1' : '0';
    if (write(ready[1], &verdict, 1) != 1) _exit(1);
    char c;
    while (read(release[0], &c, 1) > 0) {
    }
    _exit(0);
  }
  child_ = child;
  close(ready[1]);
  close(release[0]);
  release_ = release[1];
  char verdict = 0;
  const bool heard = read(ready[0], &verdict, 1) == 1;
  close(ready[0]);
  if (!heard || verdict != '1') {
    stop();
    throw std::runtime_error("the holder could not lock " + path);
  }
}

FileHolder::~FileHolder() { stop(); }

void FileHolder::stop() {
  if (release_ >= 0) close(int(release_));
  release_ = -1;
  if (child_ > 0) waitpid(pid_t(child_), nullptr, 0);
  child_ = -1;
}

int lockInThisProcess(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR);
  if (fd >= 0 && takeLock(fd, FileHolder::Lock::fcntl)) return fd;
  if (fd >= 0) close(fd);
  return -1;
}

bool recordLockHeldBy(intptr_t owner, const std::string& path) {
  const int status = runInChild([&] {
    const int fd = open(path.c_str(), O_RDWR);
    struct flock range{};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    const bool held = fd >= 0 && fcntl(fd, F_GETLK, &range) == 0 && range.l_type != F_UNLCK &&
                      range.l_pid == owner;
    _exit(held ? 0 : 1);
  });
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int runInChild(const std::function<void()>& body) {
  pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork");
  if (child == 0) {
    body();
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

} // namespace vokr::test
