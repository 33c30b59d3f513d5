#include "system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pelk::stand_in {

std::optional<std::string> readWholeFile(const std::string& path, std::string& error) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, n);
  if (n < 0) error = std::strerror(errno);
  close(fd);
  if (n < 0) return std::nullopt;
  return bytes;
}

bool writeNewFile(const std::string& path, const void* bytes, size_t size, std::string& error) {
  auto failed = [&](int fd) {
    error = std::strerror(errno);
    if (fd >= 0) {
      close(fd);
      unlink(path.c_str());
    }
    return false;
  };
  if (unlink(path.c_str()) != 0 && errno != ENOENT) return failed(-1);
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return failed(-1);
  for (size_t done = 0; done < size;) {
    ssize_t n = write(fd, static_cast<const char*>(bytes) + done, size - done);
    if (n < 0) return failed(fd);
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) {
    error = std::strerror(errno);
    unlink(path.c_str());
    return false;
  }
  return true;
}

} // namespace pelk::stand_in
