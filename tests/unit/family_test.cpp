// The frame shared by every family, exercised through a service double: what the host
// message block, the counts and the result text show for each shape of held response.
#include <gtest/gtest.h>

#include "host_memory.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::test;
using schema::Operation;
using Response = schema::VytvorRezervaciZPMZResponse;

namespace {

// Host message block: five flags, then the host list of 4013-byte message records
// (kod 11 bytes at 0, uroven at 11, text 4001 bytes at 12).
constexpr size_t kBlockSize = 9, kMessagesPtr = 5, kMessageSize = 4013;

struct Message {
  const char* kod;  // nullptr: no code attribute
  schema::ZpravaServeruTypeType level;
  std::string text;
};

// The service double: answers with the scripted messages, or throws the scripted error.
struct Script {
  std::vector<Message> messages;
  std::optional<Error> failure;
  int calls = 0;
  const plugin::Family<Response>* family = nullptr;
  bool heldDuringCall = false;
} script;

class ScriptedService final : public plugin::Service {
public:
  std::unique_ptr<schema::TRemotable> call(Operation, const schema::TRemotable&) override {
    ++script.calls;
    if (script.family) script.heldDuringCall = script.family->held() != nullptr;
    if (script.failure) throw *script.failure;
    auto r = std::make_unique<Response>();
    for (const auto& m : script.messages) {
      auto z = std::make_unique<schema::ZpravaServeruType>();
      if (m.kod) z->kod = schema::TXSDecimal{m.kod};
      z->uroven = m.level;
      z->Text = m.text;
      r->vysledek.push_back(std::move(z));
    }
    return r;
  }
} scripted;

class Frame : public ::testing::Test {
protected:
  void SetUp() override { script = Script{}; }

  void load(char* result = nullptr) {
    family.load(Operation::vytvorRezervaciZPMZ, result,
                [] { return std::make_unique<schema::VytvorRezervaciZPMZRequest>(); });
  }
  int32_t messageCount() {
    Record counts = newRecord(arena, 4, 0xCC);
    family.messageCounts(reinterpret_cast<TMessageCounts*>(counts.data()));
    return counts.i32At(0);
  }
  // get into a block whose list has `entries` records; returns the block.
  Record get(int entries, HostList* list) {
    Record block = newRecord(arena, kBlockSize, 0xCC);
    if (entries >= 0) {
      *list = HostList(arena, entries, kMessageSize, 0xEE);
      block.ptr(kMessagesPtr, list->address());
    } else {
      block.ptr(kMessagesPtr, 0);
    }
    copied = false;
    family.get(reinterpret_cast<THostMessageBlock*>(block.data()),
               [&](const Response&) { copied = true; });
    return block;
  }
  static std::string flags(const Record& b) {
    std::string f;
    for (int i = 0; i < 5; ++i) f += char('0' + b.u8At(i));
    return f;
  }

  HostArena arena;
  plugin::Family<Response> family{scripted};
  bool copied = false;
};

using L = schema::ZpravaServeruTypeType;

struct FlagCase {
  const char* name;
  std::vector<Message> messages;
  int entries;            // host list entries; -1 for a null list
  const char* flags;      // flags 0..4 after get
  int32_t count;          // MessageCount
  int written;            // records written
};

class MessageCopy : public Frame, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(MessageCopy, SetsFlagsAndWritesOnlyWhatTheListHolds) {
  const FlagCase& c = GetParam();
  script.messages = c.messages;
  load();
  EXPECT_EQ(messageCount(), c.count);
  HostList list;
  Record block = get(c.entries, &list);
  EXPECT_EQ(flags(block), c.flags);
  EXPECT_EQ(copied, c.flags[0] == '1') << "result fields are copied only on success";
  for (int i = 0; i < c.written; ++i) {
    EXPECT_EQ(list[i].textAt(0, 11), c.messages[i].kod ? c.messages[i].kod : "");
    EXPECT_EQ(list[i].u8At(11), uint8_t(c.messages[i].level));
    EXPECT_EQ(list[i].textAt(12, 4001), c.messages[i].text);
  }
  if (c.entries > c.written) {
    EXPECT_EQ(list[c.written].u8At(0), 0xEE) << "entry left untouched";
  }
  if (c.entries >= 0) {
    EXPECT_TRUE(list.guardIntact());
  }
  EXPECT_TRUE(guardIntact(block));
}

const Message ok{"0", L::INFORMACE, "Požadovaná akce byla úspěšně provedena."};

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageCopy,
    ::testing::Values(
        FlagCase{"NoMessages", {}, 2, "00000", -1, 0},
        FlagCase{"Success", {ok}, 1, "10000", 1, 1},
        FlagCase{"SuccessWithLevelChyba", {{"0", L::CHYBA, "x"}}, 1, "10000", 1, 1},
        FlagCase{"SuccessAndInformation", {ok, {"12", L::INFORMACE, "i"}}, 2, "11000", 2, 2},
        FlagCase{"WarningAndError", {{"5", L::VAROVANI, "w"}, {"7", L::CHYBA, "e"}}, 2, "00110", 2, 2},
        FlagCase{"CodeWithLeadingZeroIsNoSuccess", {{"00", L::INFORMACE, "z"}}, 1, "01000", 1, 1},
        FlagCase{"Code1000WarningIsNoCallFailure", {{"1000", L::VAROVANI, "w"}}, 1, "00100", 1, 1},
        FlagCase{"Code1000ErrorIsCallFailure", {{"1000", L::CHYBA, "e"}}, 1, "00011", 1, 1},
        FlagCase{"NoCodeIsNoSuccess", {{nullptr, L::INFORMACE, "n"}}, 1, "01000", 1, 1},
        // Three messages, two entries: the third (the success) is skipped and sets no flag.
        FlagCase{"MoreMessagesThanEntries",
                 {{"3", L::VAROVANI, "a"}, {"4", L::VAROVANI, "b"}, ok}, 2, "00100", 3, 2},
        FlagCase{"NullHostList", {ok, {"7", L::CHYBA, "e"}}, -1, "00000", 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Frame, FailedCallHoldsOneCallFailureMessage) {
  script.failure = Error(ErrorKind::TransportError, "Could not connect to server");
  char result[4] = {'x', 'x', 'x', 'x'};
  load(result);
  EXPECT_STREQ(result, "0");
  EXPECT_EQ(messageCount(), 1);
  HostList list;
  Record block = get(1, &list);
  EXPECT_EQ(flags(block), "00011");
  EXPECT_EQ(list[0].textAt(0, 11), "1000");
  EXPECT_EQ(list[0].u8At(11), 2);
  EXPECT_EQ(list[0].textAt(12, 4001), "ETransportError; Could not connect to server");
}

TEST_F(Frame, SuccessLeavesTheResultTextUnwritten) {
  script.messages = {ok};
  char result[4] = {'x', 'x', 'x', 0};
  load(result);
  EXPECT_STREQ(result, "xxx");
}

TEST_F(Frame, ErrorBeforeTheCallIsHeldWithCode1001AndNothingIsSent) {
  char result[4] = {'x', 'x', 'x', 0};
  family.load(Operation::vytvorRezervaciZPMZ, result, []() -> std::unique_ptr<schema::TRemotable> {
    throw Error(ErrorKind::ConvertError, "'12a' is not a valid integer value");
  });
  EXPECT_EQ(script.calls, 0);
  EXPECT_STREQ(result, "0");
  HostList list;
  Record block = get(1, &list);
  EXPECT_EQ(flags(block), "00010") << "flag 4 marks a failed call only";
  EXPECT_EQ(list[0].textAt(0, 11), "1001");
  EXPECT_EQ(list[0].textAt(12, 4001), "EConvertError; '12a' is not a valid integer value");
}

TEST_F(Frame, SecondLoadReleasesTheFirstResponseBeforeSending) {
  script.messages = {ok};
  script.family = &family;
  load();
  const Response* first = family.held();
  ASSERT_NE(first, nullptr);
  script.messages = {{"9", L::VAROVANI, "second"}};
  load();
  EXPECT_FALSE(script.heldDuringCall);
  HostList list;
  get(1, &list);
  EXPECT_EQ(list[0].textAt(12, 4001), "second");
}

TEST_F(Frame, NothingHeldWritesNothing) {
  Record counts = newRecord(arena, 4, 0xCC);
  family.messageCounts(reinterpret_cast<TMessageCounts*>(counts.data()));
  EXPECT_EQ(counts.u8At(0), 0xCC);
  HostList list;
  Record block = get(1, &list);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(block.u8At(i), 0xCC);
  EXPECT_EQ(list[0].u8At(0), 0xEE);
  script.messages = {ok};
  load();
  family.release();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(get(1, &list).u8At(i), 0xCC) << "after free";
}

TEST_F(Frame, LongTextIsCutToItsField) {
  script.messages = {{"12345678901234", L::INFORMACE, std::string(5000, 'x')}};
  load();
  HostList list;
  get(1, &list);
  EXPECT_EQ(list[0].textAt(0, 11), "1234567890");
  EXPECT_EQ(list[0].textAt(12, 4001), std::string(4000, 'x'));
  EXPECT_TRUE(list.guardIntact());
}

} // namespace
