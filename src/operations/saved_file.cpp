#include "operations/saved_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

namespace vokr::operations {

namespace {

// The new content, in a file of its own beside the target until it replaces it. Removed
// again unless committed.
class TemporaryFile {
public:
  explicit TemporaryFile(const std::string& target) {
    const size_t slash = target.rfind('/');
    directory_ = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    static unsigned counter = 0;
    // A short name of our own: the target's name may already be as long as names can be.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      name_ = directory_ + "/.vokr-" + std::to_string(getpid()) + "-" + std::to_string(++counter) +
              ".tmp";
      fd_ = open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    pending_ = fd_ >= 0;
  }
  ~TemporaryFile() {
    if (fd_ >= 0) close(fd_);
    if (pending_) unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool created() const { return fd_ >= 0; }

  bool write(std::span<const uint8_t> content) {
    return platform::writeAll(fd_, content.data(), content.size());
  }

  // Durable content, then the rename that makes it the target in one step.
  bool commit(const std::string& target) {
    struct stat earlier;
    // A replaced file keeps its permissions, as one overwritten in place would.
    if (stat(target.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode))
      fchmod(fd_, earlier.st_mode & 07777);
    if (fsync(fd_) != 0) return false;
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) return false;
    if (rename(name_.c_str(), target.c_str()) != 0) return false;
    pending_ = false;
    if (int dir = open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
      fsync(dir);  // the rename itself survives a crash
      close(dir);
    }
    return true;
  }

private:
  std::string directory_;
  std::string name_;
  int fd_ = -1;
  bool pending_ = false;  // the temporary file is still there under its own name
};

} // namespace

Saved saveFile(const std::string& path, std::span<const uint8_t> content) noexcept {
  try {
    if (path.empty()) return Saved::failed;
    if (platform::fileInUse(path)) return Saved::inUse;
    const std::string native = platform::nativePath(path);
    TemporaryFile file(native);
    if (!file.created() || !file.write(content) || !file.commit(native)) return Saved::failed;
    return Saved::written;
  } catch (...) {
    return Saved::failed;
  }
}

} // namespace vokr::operations
