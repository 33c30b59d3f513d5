#include "host_memory.h"

#include <stdexcept>

#include "system.h"

namespace vokr::test {

namespace {
constexpr size_t kArenaSize = size_t(512) << 20;
constexpr uint8_t kGuardByte = 0xA5;
constexpr size_t kRecordGuard = 64;
} // namespace

HostArena::HostArena() : size_(kArenaSize) {
  base_ = static_cast<uint8_t*>(reserveLowMemory(size_));
  if (!base_) throw std::runtime_error("host arena: no memory");
  if (uint64_t(reinterpret_cast<uintptr_t>(base_)) + size_ > (uint64_t(1) << 32))
    throw std::runtime_error("host arena: not below 4 GiB");
}

HostArena::~HostArena() { releaseLowMemory(base_, size_); }

uint8_t* HostArena::alloc(size_t bytes) {
  size_t aligned = (bytes + 15) & ~size_t(15);
  if (used_ + aligned > size_) throw std::runtime_error("host arena exhausted");
  uint8_t* p = base_ + used_;
  used_ += aligned;
  return p;
}

uint32_t hostAddress(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
void* fromHostAddress(uint32_t address) { return reinterpret_cast<void*>(uintptr_t(address)); }

void Record::check(size_t offset, size_t width) const {
  if (offset + width > width_) throw std::out_of_range("field outside the record");
}

Record& Record::text(size_t offset, size_t width, std::string_view bytes) {
  check(offset, width);
  size_t n = bytes.size() < width ? bytes.size() : width;
  std::memcpy(bytes_ + offset, bytes.data(), n);
  if (n < width) bytes_[offset + n] = 0;
  return *this;
}

Record& Record::fill(size_t offset, size_t width, char c) {
  check(offset, width);
  std::memset(bytes_ + offset, c, width);
  return *this;
}

Record& Record::u8(size_t offset, uint8_t v) {
  check(offset, 1);
  bytes_[offset] = v;
  return *this;
}

#define VOKR_RECORD_SCALAR(Type, setter, getter)                 \
  Record& Record::setter(size_t offset, Type v) {                \
    check(offset, sizeof v);                                     \
    std::memcpy(bytes_ + offset, &v, sizeof v);                  \
    return *this;                                                \
  }                                                              \
  Type Record::getter(size_t offset) const {                     \
    Type v;                                                      \
    check(offset, sizeof v);                                     \
    std::memcpy(&v, bytes_ + offset, sizeof v);                  \
    return v;                                                    \
  }
VOKR_RECORD_SCALAR(int32_t, i32, i32At)
VOKR_RECORD_SCALAR(int64_t, i64, i64At)
VOKR_RECORD_SCALAR(double, f64, f64At)
VOKR_RECORD_SCALAR(uint32_t, ptr, ptrAt)
#undef VOKR_RECORD_SCALAR

std::string Record::textAt(size_t offset, size_t width) const {
  check(offset, width);
  const char* p = reinterpret_cast<const char*>(bytes_ + offset);
  size_t n = 0;
  while (n < width && p[n]) ++n;
  return std::string(p, n);
}

HostList::HostList(HostArena& arena, int32_t count, size_t entrySize, uint8_t fill)
    : count_(count), entrySize_(entrySize) {
  size_t n = count > 0 ? size_t(count) : 0;
  uint8_t* block = arena.alloc(4 + n * entrySize + kGuard);
  std::memcpy(block, &count, 4);
  entries_ = block + 4;
  std::memset(entries_, fill, n * entrySize);
  std::memset(entries_ + n * entrySize, kGuardByte, kGuard);
}

bool HostList::guardIntact() const {
  size_t n = count_ > 0 ? size_t(count_) : 0;
  int32_t stored;
  std::memcpy(&stored, entries_ - 4, 4);
  if (stored != count_) return false;
  for (size_t i = 0; i < kGuard; ++i)
    if (entries_[n * entrySize_ + i] != kGuardByte) return false;
  return true;
}

Record newRecord(HostArena& arena, size_t width, uint8_t fill) {
  uint8_t* p = arena.alloc(width + kRecordGuard);
  std::memset(p, fill, width);
  std::memset(p + width, kGuardByte, kRecordGuard);
  return Record(p, width);
}

bool guardIntact(const Record& r) {
  for (size_t i = 0; i < kRecordGuard; ++i)
    if (r.data()[r.width() + i] != kGuardByte) return false;
  return true;
}

} // namespace vokr::test
