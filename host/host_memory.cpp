#include "host_memory.h"

#include <new>
#include <stdexcept>

#include "system.h"

namespace host {

namespace {

constexpr size_t kChunkSize = 1 << 20;

char* mapBelow4GiB(size_t size) {
  char* p = sys::reserveLowMemory(size);
  if (!p) throw std::runtime_error("no memory below 4 GiB left for host records");
  return p;
}

} // namespace

HostMemory::~HostMemory() {
  for (const Chunk& c : chunks_) sys::releaseLowMemory(c.base, c.size);
}

void* HostMemory::alloc(size_t bytes) {
  bytes = (bytes + 7) & ~size_t{7};
  if (chunks_.empty() || chunks_.back().size - chunks_.back().used < bytes) {
    size_t size = bytes > kChunkSize ? bytes : kChunkSize;
    chunks_.push_back({mapBelow4GiB(size), size, 0});  // fresh mappings are zero-filled
  }
  Chunk& c = chunks_.back();
  void* p = c.base + c.used;
  c.used += bytes;
  return p;
}

THostPtr HostMemory::list(int32_t count, size_t entrySize) {
  if (count < 1) return 0;
  char* block = static_cast<char*>(alloc(sizeof(int32_t) + static_cast<size_t>(count) * entrySize));
  std::memcpy(block, &count, sizeof count);
  return hostPtr(block + sizeof(int32_t));
}

THostPtr hostPtr(const void* p) {
  auto address = reinterpret_cast<uintptr_t>(p);
  if (address > UINT32_MAX) throw std::logic_error("host pointer above 4 GiB");
  return static_cast<THostPtr>(address);
}

int32_t listCount(THostPtr list) {
  if (list == 0) return 0;
  int32_t count;
  std::memcpy(&count, fromHost<char>(list) - sizeof count, sizeof count);
  return count;
}

} // namespace host
