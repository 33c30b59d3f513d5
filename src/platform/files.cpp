#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

namespace vokr::platform {

bool fileInUse(const std::string& path) {
  const std::string native = nativePath(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) return false;  // nothing there: free to create
  int fd = open(native.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return true;
  struct flock lock{};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  bool inUse = fcntl(fd, F_OFD_SETLK, &lock) != 0 || flock(fd, LOCK_EX | LOCK_NB) != 0;
  close(fd);  // drops whatever lock this test took
  return inUse;
}

bool writeAll(int fd, const void* bytes, size_t n) {
  const char* at = static_cast<const char*>(bytes);
  while (n > 0) {
    // Large payloads go in pieces of at most 1 GiB, below every single-write limit.
    const ssize_t done = ::write(fd, at, n < (size_t(1) << 30) ? n : size_t(1) << 30);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      if (done == 0) errno = EIO;
      return false;
    }
    at += done;
    n -= size_t(done);
  }
  return true;
}

} // namespace vokr::platform
