#pragma once
// Access to host memory: text fields, host pointers, host lists, scalars at any offset.
// Every read and write is bounded by the field or list it targets.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "vokr.h"

namespace vokr::plugin {

// Text of a host field of `width` bytes (up to the first zero byte or the width), as UTF-8.
std::string readText(const char* field, size_t width);
template <size_t N> std::string readText(const char (&field)[N]) { return readText(field, N); }

// Stores UTF-8 text into a field in the host code page: at most width - 1 bytes, never a split
// character, always a terminating zero byte.
void writeText(char* field, size_t width, std::string_view utf8);
template <size_t N> void writeText(char (&field)[N], std::string_view utf8) {
  writeText(field, N, utf8);
}

// "0" into a load's result text (the host's buffer holds at least two bytes).
void writeFailureResult(char* resultText);

inline void* hostPointer(THostPtr p) { return reinterpret_cast<void*>(static_cast<uintptr_t>(p)); }

// A host list: entries of a fixed size, the signed count in the four bytes before the first.
class HostList {
public:
  HostList(THostPtr first, size_t entrySize);
  // A list a request is read from. A count that no list can have, its entries reaching past the
  // 32-bit host address space, is host data that cannot become a request: EConvertError.
  static HostList input(THostPtr first, size_t entrySize);
  size_t count() const { return count_; }  // 0 for a null list or a negative count
  uint8_t* entry(size_t i) const { return first_ + i * entrySize_; }
  template <class T> T* at(size_t i) const { return reinterpret_cast<T*>(entry(i)); }

private:
  uint8_t* first_;
  size_t count_;
  size_t entrySize_;
};

// The texts of a host list of text fields of `width` bytes each, up to its count.
std::vector<std::string> readTextList(THostPtr list, size_t width);

// Unaligned scalar stores and loads (records are packed).
template <class T> void store(void* at, T value) { std::memcpy(at, &value, sizeof value); }
template <class T> T load(const void* at) {
  T v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

// The ListSizes rule: the number of entries, but -1 for an empty or absent list.
inline int32_t listCount(size_t n) { return n == 0 ? -1 : static_cast<int32_t>(n); }

} // namespace vokr::plugin
