#pragma once
// The calls a host makes to one operation family, by the family's name, on the plug-in of a
// ServiceTest: load with or without an input record, ListSizes, get and free.
#include <string>
#include <vector>

#include "service_test.h"

namespace vokr::test {

class FamilyTest : public ServiceTest {
protected:
  // load<Op>; returns the result text ("unset" when the library did not write it).
  std::string load(const std::string& family, const Record* in) {
    char* result = resultBuffer(arena);
    if (in)
      plugin->fn<LoadFn>(("load" + family).c_str())(in->data(), result, 15);
    else
      plugin->fn<LoadNoInFn>(("load" + family).c_str())(result, 15);
    return result;
  }
  // get<Op>_ListSizes into a record of `n` counts; nothing is written past them.
  std::vector<int32_t> counts(const std::string& family, size_t n) {
    Record record = newRecord(arena, 4 * n, 0xCC);
    plugin->fn<GetFn>(("get" + family + "_ListSizes").c_str())(ignored(), 0, record.data());
    EXPECT_TRUE(guardIntact(record)) << family << " counts";
    std::vector<int32_t> v;
    for (size_t i = 0; i < n; ++i) v.push_back(record.i32At(4 * i));
    return v;
  }
  void get(const std::string& family, const Record& out) {
    plugin->fn<GetFn>(("get" + family).c_str())(ignored(), 0, out.data());
  }
  void release(const std::string& family) { plugin->fn<FreeFn>(("free" + family).c_str())(ignored(), 0); }

  // The ignored character array: content the library must never need.
  char* ignored() {
    if (!ignored_) ignored_ = reinterpret_cast<char*>(arena.alloc(4));
    return ignored_;
  }

private:
  char* ignored_ = nullptr;
};

// A host list of text entries of `width` bytes, filled from `texts` (host bytes as given).
inline HostList textList(HostArena& arena, size_t width, const std::vector<std::string>& texts) {
  HostList list(arena, static_cast<int32_t>(texts.size()), width);
  for (size_t i = 0; i < texts.size(); ++i) list[i].text(0, width, texts[i]);
  return list;
}

// The texts of a host list of `width`-byte entries, as many as it holds.
inline std::vector<std::string> listTexts(const HostList& list, size_t width) {
  std::vector<std::string> texts;
  for (int32_t i = 0; i < list.count(); ++i) texts.push_back(list[size_t(i)].textAt(0, width));
  return texts;
}

using Texts = std::vector<std::string>;

// A list pointer the host left unset, which the library must never follow: reading through it
// ends the test process.
inline constexpr uint32_t kNeverFollowed = 16;

// True when every byte of `r` in [from, to) still holds `fill`.
inline bool untouchedBytes(const Record& r, size_t from, size_t to, uint8_t fill) {
  for (size_t i = from; i < to; ++i)
    if (r.data()[i] != fill) return false;
  return true;
}

// Every entry byte of a host list still holds `fill`.
inline bool untouched(const HostList& list, uint8_t fill) {
  for (int32_t i = 0; i < list.count(); ++i)
    if (!untouchedBytes(list[size_t(i)], 0, list[size_t(i)].width(), fill)) return false;
  return list.guardIntact();
}

} // namespace vokr::test
