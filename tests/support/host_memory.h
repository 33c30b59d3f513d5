#pragma once
// Host records for tests, laid out byte by byte from the documented offsets, never from the
// library's own header, so that a wrong offset in the library shows as a failing test.
// All host memory lies below 4 GiB: host records hold 32-bit pointers in every build.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vokr::test {

// Zero-filled memory below 4 GiB, released when the arena goes. Never moves.
class HostArena {
public:
  HostArena();
  ~HostArena();
  HostArena(const HostArena&) = delete;
  HostArena& operator=(const HostArena&) = delete;
  uint8_t* alloc(size_t bytes);

private:
  uint8_t* base_;
  size_t size_;
  size_t used_ = 0;
};

uint32_t hostAddress(const void* p);
void* fromHostAddress(uint32_t address);

// A view of one host record of a given width.
class Record {
public:
  Record(uint8_t* bytes, size_t width) : bytes_(bytes), width_(width) {}
  uint8_t* data() const { return bytes_; }
  size_t width() const { return width_; }
  uint32_t address() const { return hostAddress(bytes_); }

  // Stores text bytes as given (already in the host code page) and a zero byte if it fits.
  Record& text(size_t offset, size_t width, std::string_view bytes);
  // Fills a field completely with the given bytes, no zero byte.
  Record& fill(size_t offset, size_t width, char c);
  Record& u8(size_t offset, uint8_t v);
  Record& i32(size_t offset, int32_t v);
  Record& i64(size_t offset, int64_t v);
  Record& f64(size_t offset, double v);
  Record& ptr(size_t offset, uint32_t address);

  // Reads a text field up to its zero byte or its width.
  std::string textAt(size_t offset, size_t width) const;
  uint8_t u8At(size_t offset) const { return bytes_[offset]; }
  int32_t i32At(size_t offset) const;
  int64_t i64At(size_t offset) const;
  double f64At(size_t offset) const;
  uint32_t ptrAt(size_t offset) const;

private:
  void check(size_t offset, size_t width) const;
  uint8_t* bytes_;
  size_t width_;
};

// A host list: its signed 32-bit count in the four bytes before the first entry.
// Guard bytes (0xA5) follow the last entry so that a write past the list can be seen.
class HostList {
public:
  static constexpr size_t kGuard = 64;
  HostList() = default;
  HostList(HostArena& arena, int32_t count, size_t entrySize, uint8_t fill = 0);
  uint32_t address() const { return entries_ ? hostAddress(entries_) : 0; }
  Record operator[](size_t i) const { return Record(entries_ + i * entrySize_, entrySize_); }
  int32_t count() const { return count_; }
  bool guardIntact() const;

private:
  uint8_t* entries_ = nullptr;
  int32_t count_ = 0;
  size_t entrySize_ = 0;
};

// A record with guard bytes after it, filled with a pattern so that untouched bytes show.
Record newRecord(HostArena& arena, size_t width, uint8_t fill = 0);
bool guardIntact(const Record& r);

} // namespace vokr::test
