#include "platform/files.h"

#include <atomic>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/paths.h"

namespace vokr::platform {

namespace {

// `error` is the errno of the failed call, taken before anything else may change it.
[[noreturn]] void osFileError(std::string_view what, const std::string& path, int error) {
  fileError(what, path, std::strerror(error));
}

int fd(const OpenFile& file) { return static_cast<int>(file.handle()); }

OpenFile openNative(const std::string& native, int flags, mode_t mode = 0) {
  return OpenFile(::open(native.c_str(), flags | O_CLOEXEC, mode));
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A new file in `directory` under a name of our own, which nothing else has (O_EXCL, no link
// followed); the name goes to `name`. Not open when it cannot be made.
OpenFile createBeside(const std::string& directory, mode_t mode, std::string& name) {
  static std::atomic<unsigned> counter = 0;
  OpenFile file;
  // A short name: the target's name may already be as long as names can be.
  for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
    name = directory + "/.vokr-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".tmp";
    file = openNative(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
    if (!file.isOpen() && errno != EEXIST) break;
  }
  return file;
}

// The new content of a replaced file, in a file of its own beside the target until it
// replaces it. Removed again unless committed.
class ReplacementFile {
public:
  explicit ReplacementFile(const std::string& target) : directory_(directoryOf(target)) {
    file_ = createBeside(directory_, 0666, name_);
    error_ = errno;
    pending_ = file_.isOpen();
  }
  ~ReplacementFile() {
    file_.close();
    if (pending_) unlink(name_.c_str());
  }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool created() const { return file_.isOpen(); }
  int creationError() const { return error_; }
  const OpenFile& file() const { return file_; }

  // Durable content, then the rename that makes it the target in one step.
  bool commit(const std::string& target) {
    struct stat earlier;
    // A replaced file keeps its permissions, as one overwritten in place would.
    if (stat(target.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode))
      fchmod(fd(file_), earlier.st_mode & 07777);
    if (fsync(fd(file_)) != 0) return false;
    if (!file_.close()) return false;
    if (rename(name_.c_str(), target.c_str()) != 0) return false;
    pending_ = false;
    if (OpenFile dir = openNative(directory_, O_RDONLY | O_DIRECTORY); dir.isOpen())
      fsync(fd(dir));  // the rename itself survives a crash
    return true;
  }

private:
  std::string directory_;
  std::string name_;
  OpenFile file_;
  bool pending_ = false;  // the new file is still there under its own name
  int error_ = 0;
};

// Writing past the process's file-size limit raises SIGXFSZ, which ends the host: a file that
// would not fit is refused before a byte is written.
bool fitsFileSizeLimit(uint64_t size) {
  struct rlimit limit;
  return getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
         size <= uint64_t(limit.rlim_cur);
}

// Whether the kernel's lock table holds any lock (record lock, flock, lease; of any process,
// this one included) on the file with this device and inode. Its lines read
// "1: POSIX  ADVISORY  WRITE 1234 fe:00:10953288 0 EOF", the device in hex, the inode decimal.
bool lockedByAnyone(dev_t device, ino_t inode) {
  FILE* table = std::fopen("/proc/locks", "re");
  if (!table) return false;
  char key[64];
  std::snprintf(key, sizeof key, " %02x:%02x:%" PRIuMAX " ", major(device), minor(device),
                uintmax_t(inode));
  char line[512];
  bool found = false;
  while (!found && std::fgets(line, sizeof line, table)) found = std::strstr(line, key) != nullptr;
  std::fclose(table);
  return found;
}

// pread, again after an interruption: the bytes read, or -1 with errno.
ssize_t readAtOffset(const OpenFile& file, uint64_t offset, void* buffer, size_t n) {
  for (;;) {
    const ssize_t got = pread64(fd(file), buffer, n, static_cast<off64_t>(offset));
    if (got >= 0 || errno != EINTR) return got;
  }
}

// Copies `size` bytes from the start of one file to the end of another inside the kernel:
// copy_file_range (no copy at all where the file system shares blocks), else sendfile, else
// reads and writes.
bool copyContent(const OpenFile& from, const OpenFile& to, uint64_t size) {
  constexpr uint64_t kStep = uint64_t(1) << 30;
  uint64_t done = 0;
  while (done < size) {
    loff_t at = static_cast<loff_t>(done);
    const ssize_t n = copy_file_range(fd(from), &at, fd(to), nullptr, size_t(std::min(size - done, kStep)), 0);
    if (n > 0) done += uint64_t(n);
    else if (n < 0 && errno == EINTR) continue;
    else if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) break;
    else return false;
  }
  while (done < size) {
    off64_t at = static_cast<off64_t>(done);
    const ssize_t n = sendfile64(fd(to), fd(from), &at, size_t(std::min(size - done, kStep)));
    if (n > 0) done += uint64_t(n);
    else if (n < 0 && errno == EINTR) continue;
    else if (n < 0 && (errno == ENOSYS || errno == EINVAL)) break;
    else return false;
  }
  std::vector<char> buffer(done < size ? 1 << 20 : 0);
  while (done < size) {
    const ssize_t n = readAtOffset(from, done, buffer.data(), size_t(std::min<uint64_t>(buffer.size(), size - done)));
    if (n <= 0 || !to.writeAll(buffer.data(), size_t(n))) return false;
    done += uint64_t(n);
  }
  return true;
}

// Replaces the file at `path` with the `size` bytes `write` puts into the new file (false, with
// errno, when it cannot). Throws "cannot write <path>: <reason>".
template <class Write> void replaceWith(const std::string& path, uint64_t size, Write&& write) {
  const std::string native = nativePath(path);
  if (!fitsFileSizeLimit(size)) osFileError("cannot write", path, EFBIG);
  ReplacementFile file(native);
  if (!file.created()) osFileError("cannot write", path, file.creationError());
  if (!write(file.file())) osFileError("cannot write", path, errno);
  if (!file.commit(native)) osFileError("cannot write", path, errno);
}

} // namespace

bool OpenFile::writeAll(const void* bytes, size_t n) const noexcept {
  const char* at = static_cast<const char*>(bytes);
  while (n > 0) {
    // Large payloads go in pieces of at most 1 GiB, below every single-write limit.
    const ssize_t done = ::write(fd(*this), at, n < (size_t(1) << 30) ? n : size_t(1) << 30);
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

bool OpenFile::close() noexcept {
  if (handle_ == kNone) return true;
  const int closing = static_cast<int>(std::exchange(handle_, kNone));
  return ::close(closing) == 0;
}

bool fileInUse(const std::string& path) {
  const std::string native = nativePath(path);
  struct stat st;
  if (stat(native.c_str(), &st) != 0) return false;  // nothing there: free to create
  // The target is never opened here: closing any descriptor of a file drops every record lock
  // this process holds on it, the host's own included. Write permission is asked of the
  // kernel, and locks are looked up in its lock table.
  if (faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) != 0) return true;
  return lockedByAnyone(st.st_dev, st.st_ino);
}

void replaceFile(const std::string& path, std::span<const uint8_t> content) {
  replaceWith(path, content.size(),
              [&](const OpenFile& file) { return file.writeAll(content.data(), content.size()); });
}

void replaceFile(const std::string& path, const OpenFile& content, uint64_t size) {
  replaceWith(path, size, [&](const OpenFile& file) { return copyContent(content, file, size); });
}

OpenFile createScratchFile(const std::string& directory) noexcept {
  try {
    const std::string native = nativePath(directory.empty() ? "." : directory);
    // Where the file system can, the file never has a name at all.
    if (OpenFile file = openNative(native, O_TMPFILE | O_RDWR | O_EXCL, 0600); file.isOpen()) return file;
    // Else a new name of our own, taken exclusively and not through a link, removed at once.
    static unsigned counter = 0;
    const std::string stem = native + (native.back() == '/' ? "" : "/") + ".vokr-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name = stem + std::to_string(++counter) + ".part";
      OpenFile file = openNative(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
      if (file.isOpen() && unlink(name.c_str()) == 0) return file;
      if (file.isOpen() || errno != EEXIST) break;
    }
  } catch (...) {
  }
  return OpenFile();
}

size_t readAt(const OpenFile& file, std::string_view noun, uint64_t offset, void* buffer, size_t n) {
  const ssize_t got = readAtOffset(file, offset, buffer, n);
  if (got < 0) osFileError("cannot read", std::string(noun), errno);
  return static_cast<size_t>(got);
}

void createNewFile(const std::string& path, std::string_view bytes) {
  OpenFile file = openNative(nativePath(path), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
  if (!file.isOpen()) osFileError("cannot create", path, errno);
  if (!file.writeAll(bytes.data(), bytes.size())) osFileError("cannot write", path, errno);
  if (!file.close()) osFileError("cannot write", path, errno);
}

std::optional<std::string> readFileIfExists(const std::string& path) {
  OpenFile file = openNative(nativePath(path), O_RDONLY | O_NOFOLLOW);
  if (!file.isOpen()) {
    if (errno == ENOENT) return std::nullopt;
    osFileError("cannot open", path, errno);
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd(file), buffer, sizeof buffer);
    if (n > 0) bytes.append(buffer, static_cast<size_t>(n));
    else if (n == 0) return bytes;
    else if (errno != EINTR) osFileError("cannot read", path, errno);
  }
}

void deleteFileIfExists(const std::string& path) {
  if (unlink(nativePath(path).c_str()) != 0 && errno != ENOENT)
    osFileError("cannot delete", path, errno);
}

OutputFile OutputFile::replaceOwnerOnly(const std::string& path) noexcept {
  OutputFile out;
  try {
    out.target_ = nativePath(path);
    out.file_ = createBeside(directoryOf(out.target_), 0600, out.newName_);
    // The mode of a new file is narrowed by the umask, never widened: this makes it exact.
    if (out.file_.isOpen()) fchmod(fd(out.file_), 0600);
  } catch (...) {
    out.discard();
  }
  return out;
}

bool OutputFile::close() noexcept {
  if (!file_.isOpen()) return false;
  // rename() replaces a link at the target itself, and does not follow it.
  if (file_.close() && rename(newName_.c_str(), target_.c_str()) == 0) return true;
  unlink(newName_.c_str());
  return false;
}

void OutputFile::discard() noexcept {
  if (!file_.isOpen()) return;
  file_.close();
  unlink(newName_.c_str());
}

InputFile::InputFile(std::string path, std::string noun)
    : path_(std::move(path)), noun_(std::move(noun)) {
  file_ = openNative(nativePath(path_), O_RDONLY | O_LARGEFILE);
  if (!file_.isOpen()) {
    const int error = errno;
    osFileError("cannot open " + noun_, path_, error);
  }
  struct stat64 st;
  if (fstat64(fd(file_), &st) != 0) {
    const int error = errno;
    osFileError("cannot read " + noun_, path_, error);
  }
  if (!S_ISREG(st.st_mode))
    osFileError("cannot read " + noun_, path_, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  size_ = static_cast<uint64_t>(st.st_size);
}

size_t InputFile::readAt(uint64_t offset, void* buffer, size_t n) const {
  const ssize_t got = readAtOffset(file_, offset, buffer, n);
  if (got < 0) osFileError("cannot read " + noun_, path_, errno);
  return static_cast<size_t>(got);
}

} // namespace vokr::platform
