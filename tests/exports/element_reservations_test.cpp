// Reserving parcel, subdivision and survey point numbers within a proceeding and giving them
// back, through the exports against the loopback service. Host records from the documented
// offsets.
#include <gtest/gtest.h>

#include <ostream>

#include "family_calls.h"

using namespace vokr::test;

namespace {

// TVytvorRezervaciPrvkuIn (79 bytes): idRizeniPM 0/31, katuzeKod 31/7; parcel block at 38
// (cisloZPMZ 6, druhCislovaniPar 1, pocetRezParcel 6, Present 1); subdivision block at 52
// (cisloZPMZ 6, druhCislovaniPar 1, kmenoveCislo 6, pocetRezPoddeleni 6, Present 1); survey
// point block at 72 (pocetRezPBPP 6, Present 1).
namespace in {
constexpr size_t kSize = 79, kId = 0, kArea = 31;
constexpr size_t kParZpmz = 38, kParKind = 44, kParCount = 45, kParPresent = 51;
constexpr size_t kSubZpmz = 52, kSubKind = 58, kSubStem = 59, kSubCount = 65, kSubPresent = 71;
constexpr size_t kPbppCount = 72, kPbppPresent = 78;
} // namespace in

// TVytvorRezervaciPrvkuOut (62 bytes): message block 0; rezervParcely at 9 (katuzeKod 7,
// cisloZPMZ 6, druhCislovaniPar 1, kmenoveCislo list); rezervPoddeleni at 27 (katuzeKod 7,
// cisloZPMZ 6, druhCislovaniPar 1, kmenoveCislo 6, poddeleniCisla list); rezervBodyPBPP at 51
// (katuzeKod 7, cisloPBPP list).
namespace out {
constexpr size_t kSize = 62;
constexpr size_t kPar = 9, kParArea = 9, kParZpmz = 16, kParKind = 22, kParStems = 23;
constexpr size_t kSub = 27, kSubArea = 27, kSubZpmz = 34, kSubKind = 40, kSubStem = 41, kSubNumbers = 47;
constexpr size_t kPbpp = 51, kPbppArea = 51, kPbppNumbers = 58;
} // namespace out

// TZrusRezervaciPrvkuIn (87 bytes): idRizeniPM 0/31; rezervParcely at 31 (the 18-byte block),
// Present 49; rezervPoddeleni at 50 (the 24-byte block), Present 74; rezervBodyPBPP at 75 (the
// 11-byte block), Present 86.
namespace cancel {
constexpr size_t kSize = 87;
constexpr size_t kParArea = 31, kParZpmz = 38, kParKind = 44, kParStems = 45, kParPresent = 49;
constexpr size_t kSubArea = 50, kSubZpmz = 57, kSubKind = 63, kSubStem = 64, kSubNumbers = 70,
                 kSubPresent = 74;
constexpr size_t kPbppArea = 75, kPbppNumbers = 82, kPbppPresent = 86;
} // namespace cancel

// ---- requests ----

struct RequestCase {
  const char* family;
  const char* file;
  size_t width;
  void (*fill)(HostArena&, Record&);
};
// Case names in test listings, instead of the raw bytes.
void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.family << "/" << c.file; }

class ElementReservationRequest : public FamilyTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(ElementReservationRequest, IsTheWholeText) {
  const RequestCase& c = GetParam();
  Record record = newRecord(arena, c.width);
  c.fill(arena, record);
  answerWith(std::string(c.family) == "ZrusRezervaciPrvku" ? "zrusRezervaciPrvku/done.response.xml"
                                                           : "vytvorRezervaciPrvku/all_blocks.response.xml");
  EXPECT_EQ(load(c.family, &record), "unset");
  expectRequest(operationOf(c.family) + "/" + c.file + ".request.xml");
}

void creationHead(Record& r) { r.text(in::kId, 31, "4711001").text(in::kArea, 7, "600016"); }

INSTANTIATE_TEST_SUITE_P(
    Inputs, ElementReservationRequest,
    ::testing::Values(
        RequestCase{"VytvorRezervaciPrvku", "realistic", in::kSize,
                    [](HostArena&, Record& r) {
                      creationHead(r);
                      r.text(in::kParZpmz, 6, "512").u8(in::kParKind, 0).text(in::kParCount, 6, "3");
                      r.u8(in::kParPresent, 1);
                      r.text(in::kSubZpmz, 6, "512").u8(in::kSubKind, 1).text(in::kSubStem, 6, "1234");
                      r.text(in::kSubCount, 6, "2").u8(in::kSubPresent, 1);
                      r.text(in::kPbppCount, 6, "5").u8(in::kPbppPresent, 1);
                    }},
        // Absent blocks are not read at all: their numbering-kind bytes are not even checked.
        RequestCase{"VytvorRezervaciPrvku", "none_present", in::kSize,
                    [](HostArena&, Record& r) {
                      creationHead(r);
                      r.text(in::kParZpmz, 6, "512").u8(in::kParKind, 9).text(in::kParCount, 6, "3");
                      r.u8(in::kSubKind, 0xFF).text(in::kPbppCount, 6, "5");
                    }},
        // Any non-zero Present byte sends its block.
        RequestCase{"VytvorRezervaciPrvku", "points_only", in::kSize,
                    [](HostArena&, Record& r) {
                      creationHead(r);
                      r.u8(in::kParKind, 7).u8(in::kSubKind, 7);
                      r.text(in::kPbppCount, 6, "12").u8(in::kPbppPresent, 0x80);
                    }},
        RequestCase{"ZrusRezervaciPrvku", "realistic", cancel::kSize,
                    [](HostArena& arena, Record& r) {
                      r.text(0, 31, "4711001");
                      r.text(cancel::kParArea, 7, "600016").text(cancel::kParZpmz, 6, "512");
                      r.u8(cancel::kParKind, 0).ptr(cancel::kParStems, textList(arena, 6, {"1201", "1202"}).address());
                      r.u8(cancel::kParPresent, 1);
                      r.text(cancel::kSubArea, 7, "600016").text(cancel::kSubZpmz, 6, "512");
                      r.u8(cancel::kSubKind, 1).text(cancel::kSubStem, 6, "1234");
                      r.ptr(cancel::kSubNumbers, textList(arena, 4, {"1", "2"}).address()).u8(cancel::kSubPresent, 1);
                      r.text(cancel::kPbppArea, 7, "600016");
                      r.ptr(cancel::kPbppNumbers, textList(arena, 4, {"101", "102", "103"}).address());
                      r.u8(cancel::kPbppPresent, 1);
                    }},
        RequestCase{"ZrusRezervaciPrvku", "none_present", cancel::kSize,
                    [](HostArena& arena, Record& r) {
                      r.text(0, 31, "4711001").u8(cancel::kParKind, 5).u8(cancel::kSubKind, 5);
                      r.ptr(cancel::kPbppNumbers, textList(arena, 4, {"101"}).address());
                    }},
        // A present block with a null list sends no numbers; full-width and empty entries.
        RequestCase{"ZrusRezervaciPrvku", "null_lists", cancel::kSize,
                    [](HostArena& arena, Record& r) {
                      r.text(0, 31, "4711001");
                      r.text(cancel::kParArea, 7, "600016").text(cancel::kParZpmz, 6, "512");
                      r.u8(cancel::kParKind, 1).ptr(cancel::kParStems, 0).u8(cancel::kParPresent, 1);
                      r.text(cancel::kPbppArea, 7, "600016");
                      r.ptr(cancel::kPbppNumbers, textList(arena, 4, {"9999", ""}).address());
                      r.u8(cancel::kPbppPresent, 2);
                    }}),
    [](const auto& info) { return std::string(info.param.family) + "_" + info.param.file; });

// A numbering-kind byte outside 0 and 1 in a block that is sent: refused before the call.
struct BadKind {
  const char* name;
  const char* family;
  size_t width;
  void (*fill)(Record&);
  std::vector<int32_t> counts;
};
void PrintTo(const BadKind& c, std::ostream* os) { *os << c.name; }

class UnknownNumberingKind : public FamilyTest, public ::testing::WithParamInterface<BadKind> {};

TEST_P(UnknownNumberingKind, IsHeldAsAnErrorAndNothingIsSent) {
  const BadKind& c = GetParam();
  Record record = newRecord(arena, c.width);
  c.fill(record);
  EXPECT_EQ(load(c.family, &record), "0");
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(counts(c.family, c.counts.size()), c.counts);
  Record block = newRecord(arena, 9, 0xCC);
  HostMessages m = HostMessages::attach(arena, block, 0, 1);
  get(c.family, block);
  EXPECT_EQ(messageFlags(block), "00010");  // an error, but not a failed call
  EXPECT_EQ(m.kod(0), "1001");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_EQ(m.text(0).rfind("EConvertError; ", 0), 0u) << m.text(0);
  EXPECT_NE(m.text(0).find("druhCislovaniPar"), std::string::npos) << m.text(0);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, UnknownNumberingKind,
    ::testing::Values(BadKind{"creation_parcels", "VytvorRezervaciPrvku", in::kSize,
                              [](Record& r) { r.u8(in::kParKind, 2).u8(in::kParPresent, 1); },
                              {1, 0, 0, 0}},
                      BadKind{"creation_subdivisions", "VytvorRezervaciPrvku", in::kSize,
                              [](Record& r) { r.u8(in::kSubKind, 0xFF).u8(in::kSubPresent, 1); },
                              {1, 0, 0, 0}},
                      BadKind{"cancellation_subdivisions", "ZrusRezervaciPrvku", cancel::kSize,
                              [](Record& r) { r.u8(cancel::kSubKind, 2).u8(cancel::kSubPresent, 1); },
                              {1}}),
    [](const auto& info) { return std::string(info.param.name); });

// A host list whose count no list in host memory can have (0x7fffffff entries): host data that
// cannot become a request, refused before the call, with no memory reserved for it.
struct AbsurdList {
  const char* name;
  size_t listAt, presentAt, entryWidth;
};
void PrintTo(const AbsurdList& c, std::ostream* os) { *os << c.name; }

class AbsurdCount : public FamilyTest, public ::testing::WithParamInterface<AbsurdList> {};

TEST_P(AbsurdCount, IsRefusedBeforeTheCall) {
  const AbsurdList& c = GetParam();
  uint8_t* list = arena.alloc(4 + 2 * c.entryWidth);  // two entries are really there
  Record(list, 4).i32(0, 0x7fffffff);
  Record record = newRecord(arena, cancel::kSize);
  record.text(0, 31, "4711001").ptr(c.listAt, hostAddress(list + 4)).u8(c.presentAt, 1);
  EXPECT_EQ(load("ZrusRezervaciPrvku", &record), "0");
  EXPECT_TRUE(server.requests().empty());
  Record block = newRecord(arena, 9, 0xCC);
  HostMessages m = HostMessages::attach(arena, block, 0, 1);
  get("ZrusRezervaciPrvku", block);
  EXPECT_EQ(messageFlags(block), "00010") << "an error of the host's data, not a failed call";
  EXPECT_EQ(m.kod(0), "1001");
  EXPECT_EQ(m.text(0), "EConvertError; a host list of 2147483647 entries of " +
                           std::to_string(c.entryWidth) + " bytes cannot be in host memory");
}

INSTANTIATE_TEST_SUITE_P(Lists, AbsurdCount,
                         ::testing::Values(AbsurdList{"ParcelStems", cancel::kParStems, cancel::kParPresent, 6},
                                           AbsurdList{"SurveyPoints", cancel::kPbppNumbers, cancel::kPbppPresent, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the creation's answer ----

class VytvorRezervaciPrvku : public FamilyTest {
protected:
  void loadWith(const std::string& response) {
    Record r = newRecord(arena, in::kSize);
    creationHead(r);
    r.text(in::kPbppCount, 6, "5").u8(in::kPbppPresent, 1);
    answerWith("vytvorRezervaciPrvku/" + response + ".response.xml");
    ASSERT_EQ(load("VytvorRezervaciPrvku", &r), "unset");
  }
};

TEST_F(VytvorRezervaciPrvku, GetWritesEachReturnedBlockWithItsNumbers) {
  loadWith("all_blocks");
  EXPECT_EQ(counts("VytvorRezervaciPrvku", 4), (std::vector<int32_t>{1, 3, 2, 5}));
  Record o = newRecord(arena, out::kSize, 0xCC);
  HostMessages::attach(arena, o, 0, 1);
  HostList stems(arena, 3, 6, 0xEE), subdivisions(arena, 2, 4, 0xEE), points(arena, 5, 4, 0xEE);
  o.ptr(out::kParStems, stems.address()).ptr(out::kSubNumbers, subdivisions.address());
  o.ptr(out::kPbppNumbers, points.address());
  get("VytvorRezervaciPrvku", o);
  EXPECT_EQ(messageFlags(o), "10000");
  EXPECT_EQ(o.textAt(out::kParArea, 7), "600016");
  EXPECT_EQ(o.textAt(out::kParZpmz, 6), "512");
  EXPECT_EQ(o.u8At(out::kParKind), 0);
  EXPECT_EQ(o.ptrAt(out::kParStems), stems.address());
  EXPECT_EQ(listTexts(stems, 6), (Texts{"1203", "1204", "1205"}));
  EXPECT_EQ(o.textAt(out::kSubArea, 7), "600016");
  EXPECT_EQ(o.textAt(out::kSubZpmz, 6), "512");
  EXPECT_EQ(o.u8At(out::kSubKind), 1);
  EXPECT_EQ(o.textAt(out::kSubStem, 6), "1234");
  EXPECT_EQ(listTexts(subdivisions, 4), (Texts{"5", "6"}));
  EXPECT_EQ(o.textAt(out::kPbppArea, 7), "600016");
  EXPECT_EQ(listTexts(points, 4), (Texts{"101", "102", "103", "104", "105"}));
  for (const HostList* l : {&stems, &subdivisions, &points}) EXPECT_TRUE(l->guardIntact());
  EXPECT_TRUE(guardIntact(o));
}

TEST_F(VytvorRezervaciPrvku, ABlockWithoutNumbersCountsMinusOneAndAMissingBlockZero) {
  loadWith("parcels_without_numbers");
  EXPECT_EQ(counts("VytvorRezervaciPrvku", 4), (std::vector<int32_t>{2, -1, 0, 0}));
  Record o = newRecord(arena, out::kSize, 0xCC);
  HostMessages::attach(arena, o, 0, 2);
  o.ptr(out::kParStems, 0);
  get("VytvorRezervaciPrvku", o);
  EXPECT_EQ(messageFlags(o), "10100");
  EXPECT_EQ(o.textAt(out::kParArea, 7), "600016");
  EXPECT_EQ(o.u8At(out::kParKind), 1);
  EXPECT_EQ(o.ptrAt(out::kParStems), 0u);
  // The blocks the answer does not carry keep what the host put there.
  EXPECT_TRUE(untouchedBytes(o, out::kSub, out::kSize, 0xCC));
}

TEST_F(VytvorRezervaciPrvku, WithoutTheSuccessMessageNoBlockIsWritten) {
  loadWith("refused");
  EXPECT_EQ(counts("VytvorRezervaciPrvku", 4), (std::vector<int32_t>{1, 1, 0, 0}));
  Record o = newRecord(arena, out::kSize, 0xCC);
  HostMessages::attach(arena, o, 0, 1);
  HostList stems(arena, 1, 6, 0xEE);
  o.ptr(out::kParStems, stems.address());
  get("VytvorRezervaciPrvku", o);
  EXPECT_EQ(messageFlags(o), "00010");
  EXPECT_TRUE(untouchedBytes(o, out::kPar, out::kParStems, 0xCC));
  EXPECT_TRUE(untouchedBytes(o, out::kSub, out::kSize, 0xCC));
  EXPECT_TRUE(untouched(stems, 0xEE));
}

TEST_F(VytvorRezervaciPrvku, NumberListsSmallerThanTheAnswerAreWrittenOnlyUpToTheirCounts) {
  loadWith("all_blocks");
  Record o = newRecord(arena, out::kSize, 0xCC);
  HostMessages::attach(arena, o, 0, 1);
  HostList stems(arena, 2, 6, 0xEE), subdivisions(arena, 0, 4, 0xEE), points(arena, 4, 4, 0xEE);
  o.ptr(out::kParStems, stems.address()).ptr(out::kSubNumbers, subdivisions.address());
  o.ptr(out::kPbppNumbers, points.address());
  get("VytvorRezervaciPrvku", o);
  EXPECT_EQ(listTexts(stems, 6), (Texts{"1203", "1204"}));
  EXPECT_EQ(listTexts(points, 4), (Texts{"101", "102", "103", "104"}));
  for (const HostList* l : {&stems, &subdivisions, &points}) EXPECT_TRUE(l->guardIntact());
}

} // namespace
