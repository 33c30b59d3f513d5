#include <gtest/gtest.h>
#include <string>

#include "host_memory.h"
#include "host_records.h"
#include "plugin.h"

using namespace vokr::test;

namespace {

// The texts of the connection settings record.
constexpr std::pair<const char*, Field> kTextFields[] = {
    {"URL", connectInfo::url},
    {"UserName", connectInfo::userName},
    {"UserPassword", connectInfo::userPassword},
    {"WSDLLocation", connectInfo::wsdlLocation},
    {"Proxy", connectInfo::proxy},
    {"ProxyByPass", connectInfo::proxyByPass},
    {"ProxyUserName", connectInfo::proxyUserName},
    {"ProxyPassword", connectInfo::proxyPassword},
};
constexpr size_t kConnectTimeout = connectInfo::connectTimeout, kSendTimeout = connectInfo::sendTimeout,
                 kReceiveTimeout = connectInfo::receiveTimeout, kConnectInfoSize = connectInfo::kSize;

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
  for (const auto& [name, f] : kTextFields) {
    EXPECT_EQ(r.u8At(f.offset), 0) << name;
    EXPECT_EQ(r.u8At(f.offset + 1), 0xCC) << name << ": only the terminator is written";
  }
  EXPECT_EQ(r.i32At(kConnectTimeout), -1);
  EXPECT_EQ(r.i32At(kSendTimeout), -1);
  EXPECT_EQ(r.i32At(kReceiveTimeout), -1);
  EXPECT_TRUE(guardIntact(r));
}

TEST_F(ConnectSettings, SetThenGetReturnsEachTextUpToItsTerminator) {
  Record in = newRecord(arena, kConnectInfoSize, 'z');  // bytes after each terminator: 'z'
  for (const auto& [name, f] : kTextFields) in.text(f.offset, f.width, std::string("value of ") + name);
  in.i32(kConnectTimeout, 0).i32(kSendTimeout, 5000).i32(kReceiveTimeout, -1);
  set(in);
  Record out = get(0xCC);
  for (const auto& [name, f] : kTextFields) {
    std::string want = std::string("value of ") + name;
    EXPECT_EQ(out.textAt(f.offset, f.width), want) << name;
    EXPECT_EQ(out.u8At(f.offset + want.size() + 1), 0xCC) << name << ": no byte past the terminator";
  }
  EXPECT_EQ(out.i32At(kConnectTimeout), 0);
  EXPECT_EQ(out.i32At(kSendTimeout), 5000);
  EXPECT_EQ(out.i32At(kReceiveTimeout), -1);
}

TEST_F(ConnectSettings, FieldWithoutZeroByteStaysInsideItsField) {
  Record in = newRecord(arena, kConnectInfoSize, 0);
  const Field user = connectInfo::userName, password = connectInfo::userPassword,
              last = connectInfo::proxyPassword;
  in.fill(user.offset, user.width, 'u');         // 101 characters, no terminator
  in.text(password.offset, password.width, "secret");  // the next field keeps its own value
  in.fill(last.offset, last.width, 'p');         // the last text field, right before the integers
  in.i32(kConnectTimeout, 7).i32(kSendTimeout, 8).i32(kReceiveTimeout, 9);
  set(in);
  Record out = get(0xCC);
  EXPECT_EQ(text(out, user), std::string(101, 'u'));
  EXPECT_EQ(text(out, password), "secret");
  EXPECT_EQ(text(out, last), std::string(101, 'p'));
  EXPECT_EQ(out.i32At(kConnectTimeout), 7);
  EXPECT_TRUE(guardIntact(out));
}

TEST_F(ConnectSettings, ClearEmptiesEveryFieldOverItsWholeWidth) {
  Record in = newRecord(arena, kConnectInfoSize, 'q');  // no terminators anywhere
  in.i32(kConnectTimeout, 1).i32(kSendTimeout, 2).i32(kReceiveTimeout, 3);
  set(in);
  plugin.fn<NoArgFn>("ClearConnectInfo")();
  Record out = get(0xCC);
  for (const auto& [name, f] : kTextFields) EXPECT_EQ(out.u8At(f.offset), 0) << name;
  EXPECT_EQ(out.i32At(kConnectTimeout), -1);
  EXPECT_EQ(out.i32At(kReceiveTimeout), -1);
}

TEST(ConnectSettingsLifecycle, ReloadedLibraryStartsCleared) {
  HostArena arena;
  {
    Plugin plugin;
    Record in = newRecord(arena, kConnectInfoSize);
    in.text(connectInfo::url.offset, connectInfo::url.width, "https://example.test").i32(kConnectTimeout, 42);
    plugin.fn<RecordFn>("SetConnectInfo")(in.data());
  }
  Plugin plugin;
  Record out = newRecord(arena, kConnectInfoSize, 0xCC);
  plugin.fn<RecordFn>("GetConnectInfo")(out.data());
  EXPECT_EQ(text(out, connectInfo::url), "");
  EXPECT_EQ(out.i32At(kConnectTimeout), -1);
}

} // namespace
