// Ownership-sheet reports through the exports: generating, listing, fetching and deleting, as
// a Czech host sees them (CP1250 texts, Central European time).
#include <clocale>
#include <functional>
#include <locale.h>

#include "document_fixtures.h"

using namespace vokr::test;

namespace {

// TGenerujSestavyPMIn (36): idRizeniPM 31 at 0, seznamParcel list at 31, castecnyVypis at 35.
// TSestavaRec (359): id i64 at 0, nazev 257 at 8, pocetStran i32 at 265, datumPozadavku f64
// at 269, datumSpusteni at 277, datumVytvoreni at 285, stav 33 at 293, format 33 at 326.
// TSestavyOut: message block at 0, report list at 9. TSestavySizes: reports, then messages.
constexpr size_t kGenerateInSize = 36, kReportSize = 359, kOutSize = 13;

using IdFn = void HOST_STDCALL(int64_t id);
using IdGetFn = void HOST_STDCALL(int64_t id, void* out);

// Host date-times: days since 1899-12-30 in local time. 2024-03-05 is day 45356, 2024-03-06
// day 45357, 2024-07-01 day 45474.
constexpr double at(double day, int hours, int minutes, double seconds = 0) {
  return day + (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}
constexpr double kDayTolerance = 1e-8;  // under a millisecond

// Host entry values no copy would write, to see what stays.
constexpr int32_t kKeptPages = 77;
constexpr double kKeptDate = 1234.5;

class Reports : public CzechHost {
protected:
  void SetUp() override {
    locale_t czech = newlocale(LC_CTYPE_MASK, "cs_CZ.CP1250", nullptr);
    ASSERT_NE(czech, locale_t(nullptr)) << "the cs_CZ.CP1250 locale is missing (localedef -i cs_CZ -f CP1250 cs_CZ.CP1250)";
    freelocale(czech);
    CzechHost::SetUp();
  }

public:
  // The loads, also called from the family table below.
  void generate(const std::string& procedure, const std::vector<std::string>* parcels, uint8_t partial) {
    Record in = newRecord(arena, kGenerateInSize);
    in.text(0, 31, procedure).u8(35, partial);
    if (parcels) {
      HostList list(arena, static_cast<int32_t>(parcels->size()), 31);
      for (size_t i = 0; i < parcels->size(); ++i) list[i].text(0, 31, (*parcels)[i]);
      in.ptr(31, list.address());
    }
    plugin->fn<PlainLoadFn>("loadGenerujSestavyPM")(in.data());
  }
  void list() { plugin->fn<NoArgFn>("loadSeznamSestavLV")(); }
  void fetch(int64_t id) { plugin->fn<IdFn>("loadVratSestavuLV")(id); }
  void remove(int64_t id) { plugin->fn<IdFn>("loadSmazSestavuLV")(id); }

protected:

  // Entries pre-filled with the "kept" values and 0xCC elsewhere.
  HostList reportEntries(int32_t n) {
    HostList entries(arena, n, kReportSize, 0xCC);
    for (int32_t i = 0; i < n; ++i) {
      entries[size_t(i)].i32(265, kKeptPages).f64(277, kKeptDate).f64(285, kKeptDate);
    }
    return entries;
  }
  Record reportsOut(const HostList& entries, HostMessages* messages) {
    Record out = newRecord(arena, kOutSize, 0xCC);
    *messages = HostMessages::attach(arena, out, 0, 2);
    out.ptr(9, entries.address());
    return out;
  }
};

// The three families that copy reports, each with its own exports.
struct CopyingFamily {
  const char* name;
  std::function<void(Reports&)> load;
  const char* get;
  const char* counts;
  bool registerCounts;
};
void PrintTo(const CopyingFamily* f, std::ostream* os) { *os << f->name; }

const CopyingFamily kGenerate{"GenerujSestavyPM",
                              [](Reports& t) {
                                std::vector<std::string> parcels{"2115704101"};
                                t.generate("5001", &parcels, 0);
                              },
                              "getGenerujSestavyPM", "getGenerujSestavyPM_ListSizes", false};
const CopyingFamily kList{"SeznamSestavLV", [](Reports& t) { t.list(); }, "getSeznamSestavLV",
                          "getSeznamSestavLV_ListSizes", false};
const CopyingFamily kFetch{"VratSestavuLV", [](Reports& t) { t.fetch(42); }, "getVratSestavuLV",
                           "getVratSestavuLV_ListSizes", true};

class ReportCopy : public Reports {
protected:
  void get(const CopyingFamily& f, const Record& out) {
    if (f.registerCounts) plugin->fn<IdGetFn>(f.get)(42, out.data());
    else plugin->fn<PlainGetFn>(f.get)(out.data());
  }
  std::pair<int32_t, int32_t> counts(const CopyingFamily& f) {
    Record c = newRecord(arena, 8, 0xCC);
    if (f.registerCounts) plugin->fn<RegisterCountsFn>(f.counts)(c.data());
    else plugin->fn<PlainGetFn>(f.counts)(c.data());
    EXPECT_TRUE(guardIntact(c));
    return {c.i32At(0), c.i32At(4)};
  }
};

// ---- requests ----

TEST_F(Reports, GenerationSendsEveryParcelEntryInItsPlace) {
  answerWith("reports/no_reports.response.xml");
  std::vector<std::string> parcels{"2115704101", "", "2115705101"};
  generate("5001", &parcels, 1);
  expectRequest("generujLVProParcelyPM/parcels.request.xml");
}

TEST_F(Reports, GenerationWithoutParcelsSendsNoParcelElement) {
  answerWith("reports/no_reports.response.xml");
  generate("5001", nullptr, 0);
  expectRequest("generujLVProParcelyPM/no_parcels.request.xml");
}

TEST_F(Reports, ListingNamesNoReport) {
  answerWith("reports/no_reports.response.xml");
  list();
  expectRequest("seznamSestav/request.request.xml");
  EXPECT_EQ(server.requests().at(0).header("SOAPAction"), "\"http://katastr.cuzk.cz/geows/seznamSestav\"");
}

// Identifiers beyond 32 bits show that both halves of the argument arrive.
TEST_F(Reports, FetchingAndDeletingSendTheWhole64BitIdentifier) {
  answerWith("reports/dated.response.xml");
  answerWith("reports/deleted.response.xml");
  fetch(9007199254740993);
  remove(4294967301);
  expectRequest("vratSestavu/request.request.xml", 0);
  expectRequest("smazSestavu/request.request.xml", 1);
}

// ---- what reaches the host ----

TEST_F(ReportCopy, EveryStateAndFormatReachesTheHostInItsCodePage) {
  answerWith("seznamSestav/every_state.response.xml");
  list();
  EXPECT_EQ(counts(kList), std::make_pair(8, 1));
  HostList entries = reportEntries(8);
  HostMessages m;
  Record out = reportsOut(entries, &m);
  get(kList, out);
  EXPECT_EQ(messageFlags(out), "10000");
  // CP1250: á E1, č E8, í ED, ř F8, š 9A, ú FA, Ž 8E, – 96.
  EXPECT_EQ(m.text(0), "Po\x9E" "adovan\xE1 akce byla \xFAsp\xEC\x9An\xEC provedena.");
  const char* states[] = {"\xE8" "ek\xE1",          "vytv\xE1\xF8\xED se",
                          "podepisuje se",          "zpracov\xE1n",
                          "chyba p\xF8i vytv\xE1\xF8" "en\xED", "chyba p\xF8i zpracov\xE1n\xED",
                          "za\xFA\xE8tov\xE1n",    "zru\x9A" "en"};
  const char* formats[] = {"pdf", "xml", "html", "zip"};
  for (size_t i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(entries[i].i64At(0), int64_t(100 + i));
    EXPECT_EQ(entries[i].textAt(8, 257), "LV " + std::to_string(1200 + i) + " \x96 k.\xFA. \x8E\xEF\xE1r nad S\xE1zavou");
    EXPECT_EQ(entries[i].i32At(265), int32_t(i + 1));
    EXPECT_EQ(entries[i].textAt(293, 33), states[i]);
    EXPECT_EQ(entries[i].textAt(326, 33), formats[i % 4]);
  }
  EXPECT_TRUE(entries.guardIntact());
}

TEST_F(ReportCopy, DateTimesBecomeLocalHostDateTimes) {
  answerWith("reports/dated.response.xml");
  list();
  HostList entries = reportEntries(2);
  HostMessages m;
  get(kList, reportsOut(entries, &m));
  EXPECT_EQ(entries[0].i64At(0), 9007199254740993);
  // 10:15:30+01:00 is 10:15:30 in winter time; a value without offset is UTC.
  EXPECT_NEAR(entries[0].f64At(269), at(45356, 10, 15, 30), kDayTolerance);
  EXPECT_NEAR(entries[0].f64At(277), at(45356, 10, 20), kDayTolerance);
  // 12:00:00.500Z in July is 14:00:00.500 summer time.
  EXPECT_NEAR(entries[0].f64At(285), at(45474, 14, 0, 0.5), kDayTolerance);
  EXPECT_EQ(entries[1].i64At(0), 4294967301);
  // 23:30-02:00 is 01:30 UTC of the next day; a date alone is its midnight UTC.
  EXPECT_NEAR(entries[1].f64At(269), at(45357, 2, 30), kDayTolerance);
  EXPECT_NEAR(entries[1].f64At(277), at(45356, 1, 0), kDayTolerance);
  EXPECT_NEAR(entries[1].f64At(285), at(45357, 1, 0), kDayTolerance);
}

// What each family writes for pocetStran, datumSpusteni and datumVytvoreni, given a report
// that has them (dated) and one that has none of them (sparse).
struct OptionalCase {
  const char* name;
  const CopyingFamily* family;
  const char* response;
  int32_t pages;
  double started, produced;
};
void PrintTo(const OptionalCase& c, std::ostream* os) { *os << c.name; }

class OptionalMembers : public ReportCopy, public ::testing::WithParamInterface<OptionalCase> {};

TEST_P(OptionalMembers, FollowTheFamilysRule) {
  const OptionalCase& c = GetParam();
  answerWith(c.response);
  c.family->load(*this);
  HostList entries = reportEntries(2);
  HostMessages m;
  Record out = reportsOut(entries, &m);
  get(*c.family, out);
  ASSERT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(entries[0].i32At(265), c.pages);
  EXPECT_NEAR(entries[0].f64At(277), c.started, kDayTolerance);
  EXPECT_NEAR(entries[0].f64At(285), c.produced, kDayTolerance);
  EXPECT_NEAR(entries[0].f64At(269), at(45356, 10, 15, 30), kDayTolerance) << "datumPozadavku, always copied";
}

INSTANTIATE_TEST_SUITE_P(
    Families, OptionalMembers,
    ::testing::Values(
        OptionalCase{"GenerujPresent", &kGenerate, "reports/dated.response.xml", 0, at(45356, 10, 20), 0.0},
        OptionalCase{"GenerujAbsent", &kGenerate, "reports/sparse.response.xml", 0, 0.0, 0.0},
        OptionalCase{"SeznamPresent", &kList, "reports/dated.response.xml", 3, at(45356, 10, 20),
                     at(45474, 14, 0, 0.5)},
        OptionalCase{"SeznamAbsent", &kList, "reports/sparse.response.xml", kKeptPages, kKeptDate, kKeptDate},
        OptionalCase{"VratPresent", &kFetch, "reports/dated.response.xml", 3, at(45356, 10, 20),
                     at(45474, 14, 0, 0.5)},
        OptionalCase{"VratAbsent", &kFetch, "reports/sparse.response.xml", 0, 0.0, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

class RefusedReports : public ReportCopy, public ::testing::WithParamInterface<const CopyingFamily*> {};

TEST_P(RefusedReports, LeaveTheEntriesUntouched) {
  answerWith("reports/refused.response.xml");
  GetParam()->load(*this);
  EXPECT_EQ(counts(*GetParam()), std::make_pair(1, 1));
  HostList entries = reportEntries(1);
  HostMessages m;
  Record out = reportsOut(entries, &m);
  get(*GetParam(), out);
  EXPECT_EQ(messageFlags(out), "00010");
  EXPECT_EQ(m.kod(0), "55");
  EXPECT_EQ(entries[0].u8At(0), 0xCC);
  EXPECT_EQ(entries[0].u8At(293), 0xCC);
}

INSTANTIATE_TEST_SUITE_P(Families, RefusedReports, ::testing::Values(&kGenerate, &kList, &kFetch),
                         [](const auto& info) { return std::string(info.param->name); });

TEST_F(ReportCopy, ListWithoutReportsCountsMinusOne) {
  answerWith("reports/no_reports.response.xml");
  list();
  EXPECT_EQ(counts(kList), std::make_pair(-1, 1));
}

TEST_F(ReportCopy, FailedCallShowsOnlyInTheMessages) {
  Answer unavailable;
  unavailable.status = 503;
  unavailable.reason = "Service Unavailable";
  unavailable.body = "<html><body>Údržba</body></html>";
  server.enqueue(unavailable);
  list();
  EXPECT_EQ(counts(kList), std::make_pair(-1, 1));
  HostList entries = reportEntries(1);
  HostMessages m;
  Record out = reportsOut(entries, &m);
  get(kList, out);
  EXPECT_EQ(messageFlags(out), "00011");
  EXPECT_EQ(m.kod(0), "1000");
  EXPECT_EQ(m.text(0), "EHttpError; HTTP 503 Service Unavailable");
}

TEST_F(Reports, DeletionCountsNoReportsAndItsMessages) {
  answerWith("reports/deleted.response.xml");
  remove(42);
  Record c = newRecord(arena, 8, 0xCC);
  plugin->fn<RegisterCountsFn>("getSmazSestavuLV_ListSizes")(c.data());
  EXPECT_EQ(c.i32At(0), 0);
  EXPECT_EQ(c.i32At(4), 1);
  Record block = newRecord(arena, 9, 0xCC);
  HostMessages m = HostMessages::attach(arena, block, 0, 1);
  plugin->fn<IdGetFn>("getSmazSestavuLV")(42, block.data());
  EXPECT_EQ(messageFlags(block), "10000");
  EXPECT_EQ(m.kod(0), "0");
  EXPECT_TRUE(guardIntact(block));
}

TEST_F(Reports, FreeLeavesNothingToCount) {
  answerWith("reports/dated.response.xml");
  fetch(42);
  plugin->fn<IdFn>("freeVratSestavuLV")(42);
  Record c = newRecord(arena, 8, 0xCC);
  plugin->fn<RegisterCountsFn>("getVratSestavuLV_ListSizes")(c.data());
  EXPECT_EQ(c.u8At(0), 0xCC);
  EXPECT_EQ(c.u8At(4), 0xCC);
}

} // namespace
