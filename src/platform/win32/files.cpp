#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace vokr::platform {

using win32::wide;

namespace {

// `error` is the GetLastError of the failed call, taken before anything else may change it.
[[noreturn]] void osFileError(std::string_view what, const std::string& path, DWORD error) {
  fileError(what, path, win32::systemMessage(error));
}

HANDLE handleOf(const OpenFile& file) { return reinterpret_cast<HANDLE>(file.handle()); }

// INVALID_HANDLE_VALUE is -1, OpenFile's "no file".
OpenFile openWide(const std::string& path, DWORD access, DWORD sharing, DWORD disposition, DWORD flags = 0) {
  return OpenFile(reinterpret_cast<intptr_t>(CreateFileW(wide(path).c_str(), access, sharing, nullptr,
                                                         disposition, FILE_ATTRIBUTE_NORMAL | flags, nullptr)));
}

// "An operation is not supported on a directory" (not in every SDK's headers).
constexpr DWORD kErrorDirectoryNotSupported = 336;

bool missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }


// A new file in `directory` (ending with a delimiter, or empty for the current one) under a
// name of our own, which nothing else has: CREATE_NEW, and no reparse point in its place is
// opened. The name goes to `name`. Not open when it cannot be made.
OpenFile createBeside(const std::string& directory, std::string& name) {
  static std::atomic<unsigned> counter = 0;
  OpenFile file;
  // A short name: the target's name may already be as long as names can be.
  for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
    name = directory + ".vokr-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + ".tmp";
    file = openWide(name, GENERIC_WRITE, 0, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT);
    if (!file.isOpen() && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return file;
}

std::string directoryOf(const std::string& path) { return path.substr(0, path.size() - fileName(path).size()); }

bool replaceBy(const std::string& newName, const std::string& target) {
  return MoveFileExW(wide(newName).c_str(), wide(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// The new content of a replaced file, in a file of its own beside the target until it
// replaces it. Removed again unless committed.
class ReplacementFile {
public:
  explicit ReplacementFile(const std::string& target) {
    file_ = createBeside(directoryOf(target), name_);
    error_ = GetLastError();
    pending_ = file_.isOpen();
  }
  ~ReplacementFile() {
    file_.close();
    if (pending_) DeleteFileW(wide(name_).c_str());
  }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  bool created() const { return file_.isOpen(); }
  DWORD creationError() const { return error_; }
  const OpenFile& file() const { return file_; }

  // Durable content, then the move that makes it the target in one step.
  bool commit(const std::string& target) {
    if (!FlushFileBuffers(handleOf(file_)) || !file_.close()) return false;
    if (!replaceBy(name_, target)) return false;
    pending_ = false;
    return true;
  }

private:
  std::string name_;
  OpenFile file_;
  bool pending_ = false;  // the new file is still there under its own name
  DWORD error_ = 0;
};

// Up to n bytes from `offset` into `got` (0 at the end); false on an error (GetLastError).
bool readAtOffset(const OpenFile& file, uint64_t offset, void* buffer, size_t n, size_t& got) {
  OVERLAPPED at{};
  at.Offset = DWORD(offset);
  at.OffsetHigh = DWORD(offset >> 32);
  DWORD done = 0;
  const DWORD want = DWORD(n < (size_t(1) << 30) ? n : size_t(1) << 30);
  got = 0;
  if (ReadFile(handleOf(file), buffer, want, &done, &at)) {
    got = done;
    return true;
  }
  return GetLastError() == ERROR_HANDLE_EOF;
}

// Copies `size` bytes from the start of one file to the end of another.
bool copyContent(const OpenFile& from, const OpenFile& to, uint64_t size) {
  std::vector<char> buffer(size_t(1) << 20);
  for (uint64_t done = 0; done < size;) {
    size_t got = 0;
    const size_t want = size_t(std::min<uint64_t>(buffer.size(), size - done));
    if (!readAtOffset(from, done, buffer.data(), want, got) || got == 0 || !to.writeAll(buffer.data(), got))
      return false;
    done += got;
  }
  return true;
}

// Replaces the file at `path` with what `write` puts into the new file (false, with
// GetLastError, when it cannot). Throws "cannot write <path>: <reason>".
template <class Write> void replaceWith(const std::string& path, Write&& write) {
  ReplacementFile file(path);
  if (!file.created()) osFileError("cannot write", path, file.creationError());
  if (!write(file.file())) osFileError("cannot write", path, GetLastError());
  if (!file.commit(path)) osFileError("cannot write", path, GetLastError());
}

} // namespace

bool OpenFile::writeAll(const void* bytes, size_t n) const noexcept {
  const char* at = static_cast<const char*>(bytes);
  while (n > 0) {
    DWORD done = 0;
    // Large payloads go in pieces of at most 1 GiB, below every single-write limit.
    if (!WriteFile(handleOf(*this), at, DWORD(n < (size_t(1) << 30) ? n : size_t(1) << 30), &done, nullptr))
      return false;
    at += done;
    n -= done;
  }
  return true;
}

bool OpenFile::close() noexcept {
  if (handle_ == kNone) return true;
  return CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, kNone)));
}

// In use: it exists and cannot be opened for reading and writing with nothing shared.
bool fileInUse(const std::string& path) {
  if (GetFileAttributesW(wide(path).c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  return !openWide(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING).isOpen();
}

void replaceFile(const std::string& path, std::span<const uint8_t> content) {
  replaceWith(path, [&](const OpenFile& file) { return file.writeAll(content.data(), content.size()); });
}

void replaceFile(const std::string& path, const OpenFile& content, uint64_t size) {
  replaceWith(path, [&](const OpenFile& file) { return copyContent(content, file, size); });
}

// Deleted by the system once closed, however the process ends; nobody else may open it.
OpenFile createScratchFile(const std::string& directory) noexcept {
  try {
    static std::atomic<unsigned> counter = 0;
    const std::string stem = withDelimiter(directory.empty() ? currentDirectory() : directory) + ".vokr-" +
                             std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
      OpenFile file = openWide(stem + std::to_string(++counter) + ".part", GENERIC_READ | GENERIC_WRITE, 0,
                               CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT);
      if (file.isOpen() || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
  } catch (...) {
  }
  return OpenFile();
}

size_t readAt(const OpenFile& file, std::string_view noun, uint64_t offset, void* buffer, size_t n) {
  size_t got = 0;
  if (!readAtOffset(file, offset, buffer, n, got)) osFileError("cannot read", std::string(noun), GetLastError());
  return got;
}

void createNewFile(const std::string& path, std::string_view bytes) {
  OpenFile file = openWide(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!file.isOpen()) osFileError("cannot create", path, GetLastError());
  if (!file.writeAll(bytes.data(), bytes.size())) osFileError("cannot write", path, GetLastError());
  if (!file.close()) osFileError("cannot write", path, GetLastError());
}

std::optional<std::string> readFileIfExists(const std::string& path) {
  OpenFile file = openWide(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!file.isOpen()) {
    const DWORD error = GetLastError();
    if (missing(error)) return std::nullopt;
    osFileError("cannot open", path, error);
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(handleOf(file), buffer, sizeof buffer, &n, nullptr)) osFileError("cannot read", path, GetLastError());
    if (n == 0) return bytes;
    bytes.append(buffer, n);
  }
}

void deleteFileIfExists(const std::string& path) {
  if (!DeleteFileW(wide(path).c_str()) && !missing(GetLastError()))
    osFileError("cannot delete", path, GetLastError());
}

// Owner only: a new file takes the access list of its folder, the user's own for the log folder
// a host keeps in the user's profile.
OutputFile OutputFile::replaceOwnerOnly(const std::string& path) noexcept {
  OutputFile out;
  try {
    out.target_ = path;
    out.file_ = createBeside(directoryOf(path), out.newName_);
  } catch (...) {
    out.discard();
  }
  return out;
}

// MoveFileExW replaces a reparse point at the target itself, and does not follow it.
bool OutputFile::close() noexcept {
  if (!file_.isOpen()) return false;
  try {
    if (file_.close() && replaceBy(newName_, target_)) return true;
    DeleteFileW(wide(newName_).c_str());
  } catch (...) {
  }
  return false;
}

void OutputFile::discard() noexcept {
  if (!file_.isOpen()) return;
  file_.close();
  try {
    DeleteFileW(wide(newName_).c_str());
  } catch (...) {
  }
}

// Shared: others may go on reading and writing the file meanwhile.
InputFile::InputFile(std::string path, std::string noun) : path_(std::move(path)), noun_(std::move(noun)) {
  file_ = openWide(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  if (!file_.isOpen()) osFileError("cannot open " + noun_, path_, GetLastError());
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handleOf(file_), &info)) osFileError("cannot read " + noun_, path_, GetLastError());
  // A directory opens (backup semantics) so that it can be named as what it is.
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    osFileError("cannot read " + noun_, path_, kErrorDirectoryNotSupported);
  size_ = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

size_t InputFile::readAt(uint64_t offset, void* buffer, size_t n) const {
  size_t got = 0;
  if (!readAtOffset(file_, offset, buffer, n, got)) osFileError("cannot read " + noun_, path_, GetLastError());
  return got;
}

} // namespace vokr::platform
