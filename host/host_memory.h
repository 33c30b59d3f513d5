#pragma once
// Memory that the plug-in may point into. Pointers inside host records are 32 bits wide in
// every build, so everything handed to the plug-in lies below 4 GiB: on x86-64 the arena maps
// its chunks with MAP_32BIT (sys::reserveLowMemory). Host lists carry their entry count in the 4 bytes before the
// first entry; this is the one place that lays them out.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "vokr.h"

namespace host {

class HostMemory {
public:
  HostMemory() = default;
  ~HostMemory();
  HostMemory(const HostMemory&) = delete;
  HostMemory& operator=(const HostMemory&) = delete;

  // Zero-filled bytes, 8-byte aligned, alive as long as the arena.
  void* alloc(size_t bytes);
  template <class T> T* make() { return static_cast<T*>(alloc(sizeof(T))); }

  // A host list of `count` zeroed entries of `entrySize` bytes; null for a count below 1.
  THostPtr list(int32_t count, size_t entrySize);
  template <class T> THostPtr list(int32_t count) { return list(count, sizeof(T)); }

private:
  struct Chunk {
    char* base;
    size_t size, used;
  };
  std::vector<Chunk> chunks_;
};

// The 32-bit host pointer of memory from a HostMemory arena.
THostPtr hostPtr(const void* p);
template <class T> T* fromHost(THostPtr p) { return reinterpret_cast<T*>(static_cast<uintptr_t>(p)); }

// The entry count stored before a host list; 0 for a null list.
int32_t listCount(THostPtr list);

// The entries of a host list as the host allocated them.
template <class T> std::span<T> entries(THostPtr list) {
  return {fromHost<T>(list), static_cast<size_t>(listCount(list))};
}

} // namespace host
