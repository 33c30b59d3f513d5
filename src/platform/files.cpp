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

} // namespace vokr::platform
