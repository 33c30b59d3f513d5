#include "proposals/byte_sources.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/platform.h"

namespace vokr::proposals {

size_t StringSource::read(uint64_t offset, void* buffer, size_t n) const {
  if (offset >= bytes_.size()) return 0;
  const size_t take = std::min<uint64_t>(n, bytes_.size() - offset);
  std::memcpy(buffer, bytes_.data() + offset, take);
  return take;
}

namespace {

[[noreturn]] void fileError(const char* what, const std::string& path, int error) {
  throw Error("EInOutError", std::string(what) + " " + path + ": " + std::strerror(error));
}

} // namespace

// Read-only, so that others may go on reading and writing the file while it is sent.
FileSource::FileSource(std::string path) : path_(std::move(path)) {
  fd_ = open(platform::nativePath(path_).c_str(), O_RDONLY | O_LARGEFILE | O_CLOEXEC);
  if (fd_ < 0) fileError("cannot open attachment", path_, errno);
  struct stat64 st;
  if (fstat64(fd_, &st) != 0) {
    const int error = errno;
    close(fd_);
    fileError("cannot read attachment", path_, error);
  }
  if (!S_ISREG(st.st_mode)) {
    close(fd_);
    fileError("cannot read attachment", path_, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  }
  size_ = static_cast<uint64_t>(st.st_size);
}

FileSource::~FileSource() { close(fd_); }

size_t FileSource::read(uint64_t offset, void* buffer, size_t n) const {
  for (;;) {
    const ssize_t got = pread64(fd_, buffer, n, static_cast<off64_t>(offset));
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) fileError("cannot read attachment", path_, errno);
  }
}

} // namespace vokr::proposals
