// A host that passes a null output or counts record while an answer is held: every get and
// ListSizes export writes nothing, does not crash, and leaves the held answer as it was.
#include <gmock/gmock.h>

#include "service_test.h"

using namespace vokr::test;

namespace {

using IdFn = void HOST_STDCALL(int64_t id);
using IdGetFn = void HOST_STDCALL(int64_t id, void* out);

// The exports of one family in the shapes the host calls them.
struct NullCase {
  const char* family;
  enum class Load { inResult, resultOnly, plainIn, none, id } load;
  enum class Call { ignoredFirst, plain, id, registerArg } get, sizes;
  size_t messageSlot;  // which count of the counts record is MessageCount
  size_t countSlots;
  size_t blockAt = 0;  // the message block in the output record
};
void PrintTo(const NullCase& c, std::ostream* os) { *os << c.family; }

using L = NullCase::Load;
using C = NullCase::Call;
const NullCase kFamilies[] = {
    {"VytvorRezervaciZPMZ", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 1},
    {"ZrusRezervaciZPMZ", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 1},
    {"ZalozNavrhZPG", L::plainIn, C::plain, C::plain, 1, 2, 157},
    {"ZalozNavrhZDP", L::plainIn, C::plain, C::plain, 1, 2, 56},
    {"ZalozRizeniPM", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 1},
    {"DetailRizeniPM", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 7},
    {"SeznamRizeniPM", L::resultOnly, C::ignoredFirst, C::ignoredFirst, 0, 2},
    {"MylneRizeniPM", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 1},
    {"VlozParceluPM", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 1},
    {"VytvorRezervaciPrvku", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 4},
    {"ZrusRezervaciPrvku", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 1},
    {"SeznamRizeniPGP", L::resultOnly, C::ignoredFirst, C::ignoredFirst, 0, 4},
    {"ExportVF", L::inResult, C::ignoredFirst, C::ignoredFirst, 0, 1},
    {"ExportVFStatus", L::inResult, C::ignoredFirst, C::ignoredFirst, 1, 2},
    {"GenerujSestavyPM", L::plainIn, C::plain, C::plain, 1, 2},
    {"SeznamSestavLV", L::none, C::plain, C::plain, 1, 2},
    {"VratSestavuLV", L::id, C::id, C::registerArg, 1, 2},
    {"SmazSestavuLV", L::id, C::id, C::registerArg, 1, 2},
    {"NajdiSouborZPMZ", L::plainIn, C::plain, C::plain, 0, 2},
    {"VratSouborZPMZ", L::plainIn, C::plain, C::registerArg, 0, 1},
};

class NullRecord : public ServiceTest, public ::testing::WithParamInterface<NullCase> {
protected:
  // Holds an answer: with a null input record the load holds its own "1001" message; the
  // loads without one meet a server that has no answer scripted.
  void load() {
    const std::string name = std::string("load") + GetParam().family;
    char* result = resultBuffer(arena);
    switch (GetParam().load) {
    case L::inResult: plugin->fn<LoadFn>(name.c_str())(nullptr, result, 15); break;
    case L::resultOnly: plugin->fn<LoadNoInFn>(name.c_str())(result, 15); break;
    case L::plainIn: plugin->fn<PlainLoadFn>(name.c_str())(nullptr); break;
    case L::none: plugin->fn<NoArgFn>(name.c_str())(); break;
    case L::id: plugin->fn<IdFn>(name.c_str())(42); break;
    }
  }
  void call(const std::string& name, C shape, void* record) {
    switch (shape) {
    case C::ignoredFirst: plugin->fn<GetFn>(name.c_str())(nullptr, 0, record); break;
    case C::plain: plugin->fn<PlainGetFn>(name.c_str())(record); break;
    case C::id: plugin->fn<IdGetFn>(name.c_str())(42, record); break;
    case C::registerArg: plugin->fn<RegisterCountsFn>(name.c_str())(record); break;
    }
  }
  void get(void* out) { call(std::string("get") + GetParam().family, GetParam().get, out); }
  void sizes(void* counts) {
    call(std::string("get") + GetParam().family + "_ListSizes", GetParam().sizes, counts);
  }
  // MessageCount of the held answer, or the fill bytes when nothing is written.
  int32_t messageCount() {
    Record counts = newRecord(arena, 4 * GetParam().countSlots, 0xCC);
    sizes(counts.data());
    EXPECT_TRUE(guardIntact(counts));
    return counts.i32At(4 * GetParam().messageSlot);
  }
};

TEST_P(NullRecord, GetAndListSizesWriteNothingAndKeepTheAnswer) {
  load();
  ASSERT_EQ(messageCount(), 1) << "an answer with one message is held";
  get(nullptr);
  sizes(nullptr);
  EXPECT_EQ(messageCount(), 1) << "the held answer is still there";
  // The message still reaches a host that passes its records.
  Record out = newRecord(arena, 4096, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, GetParam().blockAt, 1);
  get(out.data());
  EXPECT_THAT(m.kod(0), ::testing::AnyOf("1000", "1001"));
}

INSTANTIATE_TEST_SUITE_P(Families, NullRecord, ::testing::ValuesIn(kFamilies),
                         [](const auto& info) { return std::string(info.param.family); });

} // namespace
