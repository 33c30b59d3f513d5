// PM proceedings through the exports against the loopback service: creating one, its detail
// with the nested reservation lists, the list of proceedings, marking one erroneous and adding
// parcels. Host records are laid out from the documented offsets.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "family_calls.h"
#include "system.h"

using namespace vokr::test;

namespace {

// ---- ZalozRizeniPM: In 109 bytes, Out 109 bytes ----
namespace zaloz {
constexpr size_t kIn = 109, kJob = 0, kAreas = 101, kParcels = 105;
constexpr size_t kOut = 109, kIdRizeni = 9, kCisloRizeni = 40, kPraresKod = 65, kRizeniTyp = 69,
                 kPoradoveCislo = 73, kRok = 104;
} // namespace zaloz

// ---- DetailRizeniPM: In 32 bytes, Out 190 bytes, seven counts ----
namespace detail {
constexpr size_t kIn = 32, kRezervace = 31;
constexpr size_t kOut = 190, kIdRizeniPM = 9, kCisloRizeni = 40, kCisloZakazky = 65, kAreas = 166,
                 kParcels = 170, kZpmz = 174, kParCisla = 178, kPoddeleni = 182, kPbpp = 186;
constexpr size_t kZpmzRec = 13, kParcelyRec = 18, kPoddeleniRec = 24, kPbppRec = 11;
} // namespace detail

// ---- SeznamRizeniPM: Out 13 bytes, TRizeniPMRec 157 bytes ----
namespace seznam {
constexpr size_t kOut = 13, kList = 9, kRec = 157, kId = 0, kCisloRizeni = 31, kCisloZakazky = 56;
}

const std::string kJob101 = [] {
  std::string s;
  for (int i = 0; i < 101; ++i) s += char('A' + i % 26);
  return s;
}();
const std::string kId31 = "1234567890123456789012345678901";

// A host list of text entries, or a null pointer for nullopt.
uint32_t listOrNull(HostArena& arena, size_t width, const std::optional<Texts>& texts) {
  return texts ? textList(arena, width, *texts).address() : 0;
}

// ============================== ZalozRizeniPM ==============================

struct ZalozRequest {
  const char* file;
  std::string job;
  std::optional<Texts> areas, parcels;  // nullopt: a null host list
};
// Case names in test listings, instead of the raw bytes.
void PrintTo(const ZalozRequest& c, std::ostream* os) { *os << c.file; }

class ZalozRizeniPMRequest : public FamilyTest, public ::testing::WithParamInterface<ZalozRequest> {};

TEST_P(ZalozRizeniPMRequest, IsTheWholeTextAfterTheNamespaceFixUps) {
  const ZalozRequest& c = GetParam();
  Record in = newRecord(arena, zaloz::kIn);
  in.text(zaloz::kJob, 101, hostText(c.job))
      .ptr(zaloz::kAreas, listOrNull(arena, 7, c.areas))
      .ptr(zaloz::kParcels, listOrNull(arena, 31, c.parcels));
  answerWith("zalozRizeniPM/created.response.xml");
  EXPECT_EQ(load("ZalozRizeniPM", &in), "unset");
  expectRequest(std::string("zalozRizeniPM/") + c.file + ".request.xml");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ZalozRizeniPMRequest,
    ::testing::Values(
        ZalozRequest{"realistic", "Zakázka 17/2024 Horní Lhota", Texts{"600016", "600024"},
                     Texts{"2345678901", "2345678902", "2345678903"}},
        // Every field filled to its width, no zero byte anywhere.
        ZalozRequest{"full_width", kJob101, Texts{"7254621"}, Texts{kId31}},
        // Empty entries become empty-element items, which keep the types namespace.
        ZalozRequest{"empty_entries", "Z-1", Texts{"", "600016"}, Texts{""}},
        // A list with no entries and a null list both leave out the wrapper.
        ZalozRequest{"no_lists", "Z-2", Texts{}, std::nullopt},
        ZalozRequest{"nothing", "", std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.file); });

class ZalozRizeniPM : public FamilyTest {
protected:
  // Loads a minimal request and answers with `response`.
  void loadWith(const std::string& response) {
    Record in = newRecord(arena, zaloz::kIn);
    in.text(zaloz::kJob, 101, "Z-1");
    answerWith("zalozRizeniPM/" + response + ".response.xml");
    ASSERT_EQ(load("ZalozRizeniPM", &in), "unset");
  }
};

TEST_F(ZalozRizeniPM, GetCopiesTheMessagesAndTheNewProceedingsIdentification) {
  loadWith("created");
  EXPECT_EQ(counts("ZalozRizeniPM", 1), std::vector<int32_t>{2});

  Record out = newRecord(arena, zaloz::kOut, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, 0, 2);
  get("ZalozRizeniPM", out);
  EXPECT_EQ(messageFlags(out), "10100");
  EXPECT_EQ(m.kod(0), "0");
  EXPECT_EQ(m.uroven(0), 0);
  EXPECT_EQ(m.text(0), hostText("Požadovaná akce byla úspěšně provedena."));
  EXPECT_EQ(m.kod(1), "312");
  EXPECT_EQ(m.uroven(1), 1);
  EXPECT_EQ(out.textAt(zaloz::kIdRizeni, 31), "4711001");
  EXPECT_EQ(out.textAt(zaloz::kCisloRizeni, 25), "PM-417/2024-701");
  EXPECT_EQ(out.textAt(zaloz::kPraresKod, 4), "701");
  EXPECT_EQ(out.textAt(zaloz::kRizeniTyp, 4), "PM");
  EXPECT_EQ(out.textAt(zaloz::kPoradoveCislo, 31), "417");
  EXPECT_EQ(out.textAt(zaloz::kRok, 5), "2024");
  EXPECT_TRUE(guardIntact(out));
  EXPECT_TRUE(m.list.guardIntact());
}

TEST_F(ZalozRizeniPM, TextsLongerThanTheirFieldsAreCutInsideTheRecord) {
  loadWith("long_texts");
  Record out = newRecord(arena, zaloz::kOut, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  get("ZalozRizeniPM", out);
  // 24 bytes of the host's text and the zero byte; never half a character.
  EXPECT_EQ(out.textAt(zaloz::kCisloRizeni, 25), hostText("PM-417/2024-701/Horní Lhota").substr(0, 24));
  EXPECT_EQ(out.textAt(zaloz::kPraresKod, 4), "701");
  EXPECT_EQ(out.textAt(zaloz::kRizeniTyp, 4), "PM");
  EXPECT_EQ(out.textAt(zaloz::kRok, 5), "2024");  // the last field: five bytes, zero included
  EXPECT_TRUE(guardIntact(out));
}

struct NoCopy {
  const char* response;
  int hostMessages;
  int32_t messageCount;
  const char* flags;
};
void PrintTo(const NoCopy& c, std::ostream* os) { *os << c.response; }

class ZalozRizeniPMWithoutSuccess : public ZalozRizeniPM,
                                    public ::testing::WithParamInterface<NoCopy> {};

TEST_P(ZalozRizeniPMWithoutSuccess, LeavesTheIdentificationFieldsAsTheHostSetThem) {
  const NoCopy& c = GetParam();
  loadWith(c.response);
  EXPECT_EQ(counts("ZalozRizeniPM", 1), std::vector<int32_t>{c.messageCount});
  Record out = newRecord(arena, zaloz::kOut, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, 0, c.hostMessages);
  get("ZalozRizeniPM", out);
  EXPECT_EQ(messageFlags(out), c.flags);
  EXPECT_TRUE(untouchedBytes(out, 9, zaloz::kOut, 0xCC));
  EXPECT_TRUE(m.list.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Responses, ZalozRizeniPMWithoutSuccess,
    ::testing::Values(NoCopy{"no_messages", 2, -1, "00000"}, NoCopy{"refused", 2, 1, "00010"},
                      // The success message is the second; the host holds one entry.
                      NoCopy{"success_second", 1, 2, "00100"}),
    [](const auto& info) { return std::string(info.param.response); });

// ============================== DetailRizeniPM ==============================

struct DetailRequest {
  const char* name;
  const char* id;
  uint8_t rezervace;
  const char* file;
};
void PrintTo(const DetailRequest& c, std::ostream* os) { *os << c.name; }

class DetailRizeniPMRequest : public FamilyTest, public ::testing::WithParamInterface<DetailRequest> {};

TEST_P(DetailRizeniPMRequest, SendsTheIdentifierAndTheReservationsFlag) {
  const DetailRequest& c = GetParam();
  Record in = newRecord(arena, detail::kIn);
  in.text(0, 31, c.id).u8(detail::kRezervace, c.rezervace);
  answerWith("detailRizeniPM/refused.response.xml");
  load("DetailRizeniPM", &in);
  expectRequest(std::string("detailRizeniPM/") + c.file + ".request.xml");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DetailRizeniPMRequest,
    ::testing::Values(DetailRequest{"one", "4711001", 1, "with_reservations"},
                      DetailRequest{"zero", "4711001", 0, "without_reservations"},
                      // Any byte other than 0 is true.
                      DetailRequest{"other", "4711001", 0x80, "with_reservations"},
                      // An identifier is a decimal value: written even when empty.
                      DetailRequest{"empty_id", "", 0, "empty_id"}),
    [](const auto& info) { return std::string(info.param.name); });

class DetailRizeniPM : public FamilyTest {
protected:
  void loadWith(const std::string& response) {
    Record in = newRecord(arena, detail::kIn);
    in.text(0, 31, "4711001").u8(detail::kRezervace, 1);
    answerWith("detailRizeniPM/" + response + ".response.xml");
    ASSERT_EQ(load("DetailRizeniPM", &in), "unset");
  }
  int32_t itemSize(const char* list, int32_t index) {
    using ItemSizeFn = int32_t HOST_STDCALL(char*, int32_t, int32_t);
    return plugin->fn<ItemSizeFn>((std::string("getDetailRizeniPM_") + list + "ListItemSize").c_str())(
        ignored(), 0, index);
  }
};

TEST_F(DetailRizeniPM, CountsAndItemSizesDescribeEveryListOfTheProceeding) {
  loadWith("with_reservations");
  EXPECT_EQ(counts("DetailRizeniPM", 7), (std::vector<int32_t>{1, 2, 3, 1, 2, 2, 1}));
  EXPECT_EQ(itemSize("RezervParCisla", 0), 2);
  EXPECT_EQ(itemSize("RezervParCisla", 1), -1);  // an entry without numbers
  EXPECT_EQ(itemSize("RezervPoddeleni", 0), 3);
  EXPECT_EQ(itemSize("RezervPoddeleni", 1), 1);
  EXPECT_EQ(itemSize("RezervPBPP", 0), 4);
  // Outside the list, and after free: -1.
  EXPECT_EQ(itemSize("RezervPBPP", 1), -1);
  EXPECT_EQ(itemSize("RezervParCisla", -1), -1);
  release("DetailRizeniPM");
  EXPECT_EQ(itemSize("RezervPoddeleni", 0), -1);
}

TEST_F(DetailRizeniPM, GetFillsEveryListAndEveryNestedListThroughTheHostsPointers) {
  loadWith("with_reservations");
  using namespace detail;
  Record out = newRecord(arena, kOut, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, 0, 1);
  HostList areas(arena, 2, 7, 0xEE), parcels(arena, 3, 31, 0xEE), zpmz(arena, 1, kZpmzRec, 0xEE),
      parCisla(arena, 2, kParcelyRec, 0xEE), poddeleni(arena, 2, kPoddeleniRec, 0xEE),
      pbpp(arena, 1, kPbppRec, 0xEE);
  out.ptr(kAreas, areas.address()).ptr(kParcels, parcels.address()).ptr(kZpmz, zpmz.address());
  out.ptr(kParCisla, parCisla.address()).ptr(kPoddeleni, poddeleni.address()).ptr(kPbpp, pbpp.address());
  // Nested lists sized by the item-size exports; the entry without numbers gets no list, and an
  // address that must never be followed.
  HostList stems(arena, 2, 6, 0xEE), subdivisions0(arena, 3, 4, 0xEE), subdivisions1(arena, 1, 4, 0xEE),
      points(arena, 4, 4, 0xEE);
  parCisla[0].ptr(14, stems.address());
  parCisla[1].ptr(14, kNeverFollowed);
  poddeleni[0].ptr(20, subdivisions0.address());
  poddeleni[1].ptr(20, subdivisions1.address());
  pbpp[0].ptr(7, points.address());

  get("DetailRizeniPM", out);
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(m.kod(0), "0");
  EXPECT_EQ(out.textAt(kIdRizeniPM, 31), "4711001");
  EXPECT_EQ(out.textAt(kCisloRizeni, 25), "PM-417/2024-701");
  EXPECT_EQ(out.textAt(kCisloZakazky, 101), hostText("Zakázka 17/2024 Horní Lhota"));
  EXPECT_EQ(listTexts(areas, 7), (Texts{"600016", "600024"}));
  // Identifiers are copied as received, leading zeros kept.
  EXPECT_EQ(listTexts(parcels, 31), (Texts{"2345678901", "0002345678902", "2345678903"}));
  EXPECT_EQ(zpmz[0].textAt(0, 7), "600016");
  EXPECT_EQ(zpmz[0].textAt(7, 6), "512");

  EXPECT_EQ(parCisla[0].textAt(0, 7), "600016");
  EXPECT_EQ(parCisla[0].textAt(7, 6), "512");
  EXPECT_EQ(parCisla[0].u8At(13), 1);  // "2" is the second numbering kind
  EXPECT_EQ(parCisla[0].ptrAt(14), stems.address());
  EXPECT_EQ(listTexts(stems, 6), (Texts{"1201", "1202"}));
  EXPECT_EQ(parCisla[1].textAt(0, 7), "600024");
  EXPECT_EQ(parCisla[1].textAt(7, 6), "513");
  EXPECT_EQ(parCisla[1].u8At(13), 0);
  EXPECT_EQ(parCisla[1].ptrAt(14), kNeverFollowed);

  EXPECT_EQ(poddeleni[0].textAt(0, 7), "600016");
  EXPECT_EQ(poddeleni[0].u8At(13), 0);
  EXPECT_EQ(poddeleni[0].textAt(14, 6), "1234");
  EXPECT_EQ(listTexts(subdivisions0, 4), (Texts{"1", "2", "3"}));
  EXPECT_EQ(poddeleni[1].textAt(7, 6), "513");
  EXPECT_EQ(poddeleni[1].u8At(13), 1);
  EXPECT_EQ(poddeleni[1].textAt(14, 6), "77");
  EXPECT_EQ(listTexts(subdivisions1, 4), (Texts{"14"}));

  EXPECT_EQ(pbpp[0].textAt(0, 7), "600016");
  EXPECT_EQ(listTexts(points, 4), (Texts{"101", "102", "103", "104"}));

  for (const HostList* l : {&areas, &parcels, &zpmz, &parCisla, &poddeleni, &pbpp, &stems,
                            &subdivisions0, &subdivisions1, &points})
    EXPECT_TRUE(l->guardIntact());
  EXPECT_TRUE(guardIntact(out));
}

TEST_F(DetailRizeniPM, WithoutReservationsTheirListsCountMinusOneAndStayUntouched) {
  loadWith("without_reservations");
  // rezervPBPPList is present but empty, the other three absent: -1 all the same.
  EXPECT_EQ(counts("DetailRizeniPM", 7), (std::vector<int32_t>{1, 2, 3, -1, -1, -1, -1}));
  using namespace detail;
  Record out = newRecord(arena, kOut, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  HostList areas(arena, 2, 7), parcels(arena, 3, 31);
  out.ptr(kAreas, areas.address()).ptr(kParcels, parcels.address());
  for (size_t at : {kZpmz, kParCisla, kPoddeleni, kPbpp}) out.ptr(at, 0);
  get("DetailRizeniPM", out);
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(listTexts(areas, 7), (Texts{"600016", "600024"}));
  for (size_t at : {kZpmz, kParCisla, kPoddeleni, kPbpp}) EXPECT_EQ(out.ptrAt(at), 0u) << at;
}

TEST_F(DetailRizeniPM, HostListsSmallerThanTheAnswerAreWrittenOnlyUpToTheirCounts) {
  loadWith("with_reservations");
  using namespace detail;
  Record out = newRecord(arena, kOut, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  HostList areas(arena, 1, 7, 0xEE), parcels(arena, 0, 31, 0xEE), poddeleni(arena, 1, kPoddeleniRec, 0xEE),
      subdivisions(arena, 2, 4, 0xEE);
  out.ptr(kAreas, areas.address()).ptr(kParcels, parcels.address()).ptr(kPoddeleni, poddeleni.address());
  for (size_t at : {kZpmz, kParCisla, kPbpp}) out.ptr(at, 0);
  poddeleni[0].ptr(20, subdivisions.address());
  get("DetailRizeniPM", out);
  EXPECT_EQ(listTexts(areas, 7), (Texts{"600016"}));
  EXPECT_EQ(poddeleni[0].textAt(14, 6), "1234");
  EXPECT_EQ(listTexts(subdivisions, 4), (Texts{"1", "2"}));
  for (const HostList* l : {&areas, &parcels, &poddeleni, &subdivisions}) EXPECT_TRUE(l->guardIntact());
}

TEST_F(DetailRizeniPM, ARefusalLeavesTheWholePayloadUntouched) {
  loadWith("refused");
  EXPECT_EQ(counts("DetailRizeniPM", 7), (std::vector<int32_t>{1, -1, -1, -1, -1, -1, -1}));
  using namespace detail;
  Record out = newRecord(arena, kOut, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  HostList areas(arena, 2, 7, 0xEE);
  out.ptr(kAreas, areas.address());
  get("DetailRizeniPM", out);
  EXPECT_EQ(messageFlags(out), "00010");
  EXPECT_TRUE(untouchedBytes(out, kIdRizeniPM, kAreas, 0xCC));  // the three texts
  EXPECT_TRUE(untouched(areas, 0xEE));
}

// ============================== SeznamRizeniPM ==============================

class SeznamRizeniPM : public FamilyTest {
protected:
  void loadWith(const std::string& response) {
    answerWith("seznamRizeniPM/" + response + ".response.xml");
    ASSERT_EQ(load("SeznamRizeniPM", nullptr), "unset");
  }
};

TEST_F(SeznamRizeniPM, SendsTheEmptyRequestElement) {
  loadWith("three");
  expectRequest("seznamRizeniPM/request.request.xml");
}

TEST_F(SeznamRizeniPM, GetCopiesEveryProceeding) {
  loadWith("three");
  EXPECT_EQ(counts("SeznamRizeniPM", 2), (std::vector<int32_t>{1, 3}));
  Record out = newRecord(arena, seznam::kOut, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  HostList list(arena, 3, seznam::kRec, 0xEE);
  out.ptr(seznam::kList, list.address());
  get("SeznamRizeniPM", out);
  EXPECT_EQ(messageFlags(out), "10000");
  const Texts ids{"4711001", "4711002", "0004711003"};
  const Texts numbers{"PM-417/2024-701", "PM-418/2024-701", "PM-3/2025-702"};
  const Texts jobs{"Zakázka 17/2024 Horní Lhota", "Vytyčení hranic, Dolní Lhota", "Z-3"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(list[i].textAt(seznam::kId, 31), ids[i]);
    EXPECT_EQ(list[i].textAt(seznam::kCisloRizeni, 25), numbers[i]);
    EXPECT_EQ(list[i].textAt(seznam::kCisloZakazky, 101), hostText(jobs[i]));
  }
  EXPECT_TRUE(list.guardIntact());
  EXPECT_TRUE(guardIntact(out));
}

TEST_F(SeznamRizeniPM, AHostListSmallerThanTheAnswerGetsOnlyItsEntries) {
  loadWith("three");
  Record out = newRecord(arena, seznam::kOut, 0xCC);
  HostMessages::attach(arena, out, 0, 1);
  HostList list(arena, 2, seznam::kRec, 0xEE);
  out.ptr(seznam::kList, list.address());
  get("SeznamRizeniPM", out);
  EXPECT_EQ(list[1].textAt(seznam::kId, 31), "4711002");
  EXPECT_TRUE(list.guardIntact());
}

TEST_F(SeznamRizeniPM, NoProceedingsCountMinusOneAndCopyNothing) {
  loadWith("none");
  EXPECT_EQ(counts("SeznamRizeniPM", 2), (std::vector<int32_t>{2, -1}));
  Record out = newRecord(arena, seznam::kOut, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, 0, 2);
  HostList list(arena, 1, seznam::kRec, 0xEE);
  out.ptr(seznam::kList, list.address());
  get("SeznamRizeniPM", out);
  EXPECT_EQ(messageFlags(out), "11000");
  EXPECT_EQ(m.kod(1), "5");
  EXPECT_TRUE(untouched(list, 0xEE));
}

// ====================== MylneRizeniPM and VlozParceluPM ======================

struct MessagesOnlyRequest {
  const char* family;
  const char* file;
  size_t inWidth;
  // Fills the input record (the arena gives room for host lists).
  void (*fill)(HostArena&, Record&);
};
void PrintTo(const MessagesOnlyRequest& c, std::ostream* os) { *os << c.family << "/" << c.file; }

class MessagesOnlyRequestText : public FamilyTest,
                                public ::testing::WithParamInterface<MessagesOnlyRequest> {};

TEST_P(MessagesOnlyRequestText, IsTheWholeTextAfterFixUps) {
  const MessagesOnlyRequest& c = GetParam();
  Record in = newRecord(arena, c.inWidth);
  c.fill(arena, in);
  answerWith(operationOf(c.family) + "/done.response.xml");
  EXPECT_EQ(load(c.family, &in), "unset");
  expectRequest(operationOf(c.family) + "/" + c.file + ".request.xml");
}

// TMylneRizeniPMIn (92 bytes): idRizeniPM 0/31, popis 31/61.
// TVlozParceluPMIn (35 bytes): idRizeniPM 0/31, dotceneParcely 31 (host list of 31-byte texts).
INSTANTIATE_TEST_SUITE_P(
    Inputs, MessagesOnlyRequestText,
    ::testing::Values(
        MessagesOnlyRequest{"MylneRizeniPM", "realistic", 92,
                            [](HostArena&, Record& in) {
                              in.text(0, 31, "4711001").text(31, 61, hostText("Řízení založeno omylem"));
                            }},
        // popis is set whenever the host gives one, and an empty text is not written.
        MessagesOnlyRequest{"MylneRizeniPM", "empty_popis", 92,
                            [](HostArena&, Record& in) { in.text(0, 31, "4711001").text(31, 61, ""); }},
        MessagesOnlyRequest{"MylneRizeniPM", "full_popis", 92,
                            [](HostArena&, Record& in) {
                              in.text(0, 31, "4711001")
                                  .text(31, 61, "Rizeni zalozeno omylem, zakazka 17/2024 byla zrusena objednat");
                            }},
        MessagesOnlyRequest{"VlozParceluPM", "realistic", 35,
                            [](HostArena& arena, Record& in) {
                              in.text(0, 31, "4711001")
                                  .ptr(31, textList(arena, 31, {"2345678904", "2345678905"}).address());
                            }},
        // The prefix declaration is added even when no identifier is sent.
        MessagesOnlyRequest{"VlozParceluPM", "null_list", 35,
                            [](HostArena&, Record& in) { in.text(0, 31, "4711001").ptr(31, 0); }},
        // An empty entry is an empty-element item that the renaming does not reach.
        MessagesOnlyRequest{"VlozParceluPM", "empty_entry", 35,
                            [](HostArena& arena, Record& in) {
                              in.text(0, 31, "4711001").ptr(31, textList(arena, 31, {kId31, ""}).address());
                            }}),
    [](const auto& info) { return std::string(info.param.family) + "_" + info.param.file; });

struct MessagesOnlyResponse {
  const char* family;
  const char* response;
  size_t inWidth;
  int32_t messageCount;
  const char* flags;
};
void PrintTo(const MessagesOnlyResponse& c, std::ostream* os) { *os << c.family << "/" << c.response; }

class MessagesOnlyAnswer : public FamilyTest,
                           public ::testing::WithParamInterface<MessagesOnlyResponse> {};

TEST_P(MessagesOnlyAnswer, GetCopiesTheMessagesIntoTheBlock) {
  const MessagesOnlyResponse& c = GetParam();
  Record in = newRecord(arena, c.inWidth);
  in.text(0, 31, "4711001");
  answerWith(operationOf(c.family) + "/" + c.response + ".response.xml");
  load(c.family, &in);
  EXPECT_EQ(counts(c.family, 1), std::vector<int32_t>{c.messageCount});
  Record block = newRecord(arena, 9, 0xCC);
  HostMessages m = HostMessages::attach(arena, block, 0, c.messageCount);
  get(c.family, block);
  EXPECT_EQ(messageFlags(block), c.flags);
  EXPECT_TRUE(guardIntact(block));
  EXPECT_TRUE(m.list.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Responses, MessagesOnlyAnswer,
    ::testing::Values(MessagesOnlyResponse{"MylneRizeniPM", "done", 92, 1, "10000"},
                      MessagesOnlyResponse{"MylneRizeniPM", "refused", 92, 1, "00010"},
                      MessagesOnlyResponse{"VlozParceluPM", "done", 35, 2, "10100"},
                      MessagesOnlyResponse{"ZrusRezervaciPrvku", "done", 87, 1, "10000"}),
    [](const auto& info) { return std::string(info.param.family) + "_" + info.param.response; });

// ====================== every family: a call that fails ======================

struct Failure {
  const char* family;
  size_t inWidth;  // 0: the load takes no input record
  std::vector<int32_t> counts;
};
void PrintTo(const Failure& c, std::ostream* os) { *os << c.family; }

class CapturedFailure : public FamilyTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(CapturedFailure, HoldsOneCallFailureMessageAndCountsAnEmptyResponse) {
  const Failure& c = GetParam();
  answerWith("faults/service_fault.response.xml");
  Record in = newRecord(arena, c.inWidth ? c.inWidth : 1);
  EXPECT_EQ(load(c.family, c.inWidth ? &in : nullptr), "0");
  EXPECT_EQ(counts(c.family, c.counts.size()), c.counts);

  // The messages block stands at offset 0 of every get output record of these families.
  Record out = newRecord(arena, 9, 0);
  HostMessages m = HostMessages::attach(arena, out, 0, 1);
  get(c.family, out);
  EXPECT_EQ(messageFlags(out), "00011");
  EXPECT_EQ(m.kod(0), "1000");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_EQ(m.text(0), hostText("ERemotableException; Služba je dočasně nedostupná, opakujte požadavek později."));
  EXPECT_TRUE(guardIntact(out));  // no result field written after the block
}

INSTANTIATE_TEST_SUITE_P(
    Families, CapturedFailure,
    ::testing::Values(Failure{"ZalozRizeniPM", 109, {1}},
                      Failure{"DetailRizeniPM", 32, {1, -1, -1, -1, -1, -1, -1}},
                      Failure{"SeznamRizeniPM", 0, {1, -1}}, Failure{"MylneRizeniPM", 92, {1}},
                      Failure{"VlozParceluPM", 35, {1}},
                      // Reservation blocks absent from the answer count 0, not -1.
                      Failure{"VytvorRezervaciPrvku", 79, {1, 0, 0, 0}},
                      Failure{"ZrusRezervaciPrvku", 87, {1}},
                      Failure{"SeznamRizeniPGP", 0, {1, -1, 0, 0}}),
    [](const auto& info) { return std::string(info.param.family); });

} // namespace
