#pragma once
// Files. Paths are UTF-8 and reach the OS in the host code page (nativePath). Every failure
// that is reported is reported the one way, by fileError.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace vokr::platform {

// Throws vokr::Error of kind EInOutError: "<what> <path>: <reason>".
[[noreturn]] void fileError(std::string_view what, const std::string& path, std::string_view reason);

// An existing file that is in use: it may not be written, or someone (another program or this
// process) holds a lock on it. False when there is no file. Leaves every lock in place.
bool fileInUse(const std::string& path);

// Replaces the file at `path` with `content`, whole or not at all: the bytes go to a new file
// beside it, made durable, which is then renamed over it. A replaced file keeps its permission
// bits. Content beyond the process's file-size limit is refused before anything is written.
// Throws "cannot write" with the reason; the earlier file is then as it was and the new one
// is gone.
void replaceFile(const std::string& path, std::span<const uint8_t> content);

// Writes `bytes` into a new file that must not exist yet, readable by its owner only; a
// symbolic link in its place is not followed. Throws "cannot create" / "cannot write".
void createNewFile(const std::string& path, std::string_view bytes);

// The whole content of a file, not read through a symbolic link; nothing when there is no file.
// Throws "cannot open" / "cannot read".
std::optional<std::string> readFileIfExists(const std::string& path);

// Deletes a file; no file there is no failure. Throws "cannot delete".
void deleteFileIfExists(const std::string& path);

// A file the OS holds open for the library (a descriptor or a handle, kept as a number);
// closed when destroyed.
class OpenFile {
public:
  OpenFile() = default;
  explicit OpenFile(intptr_t handle) : handle_(handle) {}
  OpenFile(OpenFile&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}
  OpenFile& operator=(OpenFile&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
  }
  ~OpenFile() { close(); }

  bool isOpen() const { return handle_ != kNone; }
  intptr_t handle() const { return handle_; }
  // All n bytes, in as many writes as it takes. False on an error, the system's error code
  // (errno, GetLastError) telling which.
  bool writeAll(const void* bytes, size_t n) const noexcept;
  // False when closing reports an error (written data may be lost). Closed either way.
  bool close() noexcept;

private:
  static constexpr intptr_t kNone = -1;
  intptr_t handle_ = kNone;
};

// A file written piece by piece, as a dump is. The bytes go to a new file beside `path`, under
// a name of its own, readable and writable by its owner only, which takes the place of
// whatever is at `path` when it is closed: an earlier file or a symbolic link is replaced,
// never written through. Errors are not reported: a file that cannot be created is not open,
// and after a failed write it is removed and `path` stays as it was.
class OutputFile {
public:
  static OutputFile replaceOwnerOnly(const std::string& path) noexcept;
  OutputFile(OutputFile&&) noexcept = default;
  OutputFile& operator=(OutputFile&&) = delete;
  ~OutputFile() { close(); }

  bool isOpen() const { return file_.isOpen(); }
  // All the bytes, in as many writes as it takes; false, and removed, on an error.
  bool writeAll(std::string_view bytes) noexcept;
  // Puts the file in the place of `path`; false when it could not (it is then removed).
  bool close() noexcept;

private:
  OutputFile() = default;
  void discard() noexcept;
  OpenFile file_;
  std::string newName_, target_;  // native paths
};

// A file of the library's own for data too large for memory: new in `directory` (never an
// existing file, never through a symbolic link), readable by its owner only, and without a
// name from the start, so that no other process finds it and it is gone once closed, however
// the process ends. Not open when the directory takes none.
OpenFile createScratchFile(const std::string& directory) noexcept;

// Up to n bytes of an open file from `offset`; 0 at its end. Throws "cannot read <noun>".
size_t readAt(const OpenFile& file, std::string_view noun, uint64_t offset, void* buffer, size_t n);

// replaceFile() with the first `size` bytes of an open file as the content, copied by the OS
// from file to file without passing through the library's memory.
void replaceFile(const std::string& path, const OpenFile& content, uint64_t size);

// A regular file open for reading at any offset, shared: others may go on reading and writing
// it meanwhile. Its size is taken when it is opened. Failures name the file by `noun`:
// "cannot open <noun> <path>", "cannot read <noun> <path>" (the latter also for a directory or
// anything else that is not a regular file).
class InputFile {
public:
  InputFile(std::string path, std::string noun);
  uint64_t size() const { return size_; }
  // Up to n bytes from `offset`; 0 at the end of the file.
  size_t readAt(uint64_t offset, void* buffer, size_t n) const;

private:
  std::string path_;
  std::string noun_;
  OpenFile file_;
  uint64_t size_ = 0;
};

} // namespace vokr::platform
