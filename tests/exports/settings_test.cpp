#include <gtest/gtest.h>
#include <string>

#include "host_memory.h"
#include "plugin.h"

using namespace vokr::test;

namespace {

// The connection settings record, 3747 bytes.
struct Field {
  const char* name;
  size_t offset, width;
};
constexpr Field kTextFields[] = {
    {"URL", 0, 1025},           {"UserName", 1025, 101},     {"UserPassword", 1126, 101},
    {"WSDLLocation", 1227, 256}, {"Proxy", 1483, 1025},       {"ProxyByPass", 2508, 1025},
    {"ProxyUserName", 3533, 101}, {"ProxyPassword", 3634, 101},
};
constexpr size_t kConnectTimeout = 3735, kSendTimeout = 3739, kReceiveTimeout = 3743;
constexpr size_t kConnectInfoSize = 3747;

class ConnectSettings : public ::testing::Test {
protected:
  Plugin plugin;
  HostArena arena;
  void set(const Record& r) { plugin.fn<RecordFn>("SetConnectInfo")(r.data()); }
  Record get(uint8_t fill = 0xCC) {
    Record r = newRecord(arena, kConnectInfoSize, fill);
    plugin.fn<RecordFn>("GetConnectInfo")(r.data());
    return r;
  }
};

TEST_F(ConnectSettings, AfterLoadAllTextsEmptyAndTimeoutsMinusOne) {
  Record r = get();
  for (const auto& f : kTextFields) {
    EXPECT_EQ(r.u8At(f.offset), 0) << f.name;
    EXPECT_EQ(r.u8At(f.offset + 1), 0xCC) << f.name << ": only the terminator is written";
  }
  EXPECT_EQ(r.i32At(kConnectTimeout), -1);
  EXPECT_EQ(r.i32At(kSendTimeout), -1);
  EXPECT_EQ(r.i32At(kReceiveTimeout), -1);
  EXPECT_TRUE(guardIntact(r));
}

TEST_F(ConnectSettings, SetThenGetReturnsEachTextUpToItsTerminator) {
  Record in = newRecord(arena, kConnectInfoSize, 'z');  // bytes after each terminator: 'z'
  for (const auto& f : kTextFields) in.text(f.offset, f.width, std::string("value of ") + f.name);
  in.i32(kConnectTimeout, 0).i32(kSendTimeout, 5000).i32(kReceiveTimeout, -1);
  set(in);
  Record out = get(0xCC);
  for (const auto& f : kTextFields) {
    std::string want = std::string("value of ") + f.name;
    EXPECT_EQ(out.textAt(f.offset, f.width), want) << f.name;
    EXPECT_EQ(out.u8At(f.offset + want.size() + 1), 0xCC) << f.name << ": no byte past the terminator";
  }
  EXPECT_EQ(out.i32At(kConnectTimeout), 0);
  EXPECT_EQ(out.i32At(kSendTimeout), 5000);
  EXPECT_EQ(out.i32At(kReceiveTimeout), -1);
}

TEST_F(ConnectSettings, FieldWithoutZeroByteStaysInsideItsField) {
  Record in = newRecord(arena, kConnectInfoSize, 0);
  in.fill(1025, 101, 'u');                     // UserName: 101 characters, no terminator
  in.text(1126, 101, "secret");                // the next field keeps its own value
  in.fill(3634, 101, 'p');                     // the last text field, right before the integers
  in.i32(kConnectTimeout, 7).i32(kSendTimeout, 8).i32(kReceiveTimeout, 9);
  set(in);
  Record out = get(0xCC);
  EXPECT_EQ(out.textAt(1025, 101), std::string(101, 'u'));
  EXPECT_EQ(out.textAt(1126, 101), "secret");
  EXPECT_EQ(out.textAt(3634, 101), std::string(101, 'p'));
  EXPECT_EQ(out.i32At(kConnectTimeout), 7);
  EXPECT_TRUE(guardIntact(out));
}

TEST_F(ConnectSettings, ClearEmptiesEveryFieldOverItsWholeWidth) {
  Record in = newRecord(arena, kConnectInfoSize, 'q');  // no terminators anywhere
  in.i32(kConnectTimeout, 1).i32(kSendTimeout, 2).i32(kReceiveTimeout, 3);
  set(in);
  plugin.fn<NoArgFn>("ClearConnectInfo")();
  Record out = get(0xCC);
  for (const auto& f : kTextFields) EXPECT_EQ(out.u8At(f.offset), 0) << f.name;
  EXPECT_EQ(out.i32At(kConnectTimeout), -1);
  EXPECT_EQ(out.i32At(kReceiveTimeout), -1);
}

TEST(ConnectSettingsLifecycle, ReloadedLibraryStartsCleared) {
  HostArena arena;
  {
    Plugin plugin;
    Record in = newRecord(arena, kConnectInfoSize);
    in.text(0, 1025, "https://example.test").i32(kConnectTimeout, 42);
    plugin.fn<RecordFn>("SetConnectInfo")(in.data());
  }
  Plugin plugin;
  Record out = newRecord(arena, kConnectInfoSize, 0xCC);
  plugin.fn<RecordFn>("GetConnectInfo")(out.data());
  EXPECT_EQ(out.textAt(0, 1025), "");
  EXPECT_EQ(out.i32At(kConnectTimeout), -1);
}

} // namespace
