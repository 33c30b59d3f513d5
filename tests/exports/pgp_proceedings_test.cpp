// Plan-confirmation proceedings through the exports against the loopback service: the
// two-level nested list, its High fields, the maxima of the counts and the date-time fields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "family_calls.h"
#include "system.h"

using namespace vokr::test;

namespace {

// TSeznamRizeniPGPOut: message block 0, host list of TRizeniPGPRec at 9.
// TRizeniPGPRec (118 bytes): idRizeniPGP 0/31, cisloRizeni 31/25, datumPrijetiZPG 56 (8-byte
// date-time), stavRizeni 64/21, katuzeZPMZ list 85, KatuzeZPMZHigh 89, cisloZPG 93/25.
// TKatuzeZPMZRec (64 bytes): katuzeKod 0/7, katuzeNazev 7/49, cislaZPMZ list 56 (6-byte
// texts), CislaZPMZHigh 60.
constexpr size_t kOut = 13, kList = 9;
constexpr size_t kRec = 118, kId = 0, kCislo = 31, kDatum = 56, kStav = 64, kAreas = 85,
                 kAreasHigh = 89, kZpg = 93;
constexpr size_t kAreaRec = 64, kAreaCode = 0, kAreaName = 7, kNumbers = 56, kNumbersHigh = 60;

class SeznamRizeniPGP : public FamilyTest {
protected:
  // Host date-times are in local time: the tests fix the zone.
  void SetUp() override {
    FamilyTest::SetUp();
    const char* tz = std::getenv("TZ");
    savedTz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
    vokr::test::setEnv("TZ", "Europe/Prague");
    tzset();
  }
  void TearDown() override {
    if (savedTz_) vokr::test::setEnv("TZ", savedTz_->c_str());
    else vokr::test::unsetEnv("TZ");
    tzset();
  }
  void loadWith(const std::string& response) {
    answerWith("seznamRizeniPGP/" + response + ".response.xml");
    ASSERT_EQ(load("SeznamRizeniPGP", nullptr), "unset");
  }

  // A host allocation as the counts ask for: `proceedings` entries, each with an area list of
  // `areas` entries, each area with a number list of `numbers` entries.
  struct Host {
    Record out;
    HostList list;
    std::vector<HostList> areas;                 // per proceeding
    std::vector<std::vector<HostList>> numbers;  // per proceeding, per area
  };
  Host allocate(int proceedings, int areas, int numbers) {
    Host h{newRecord(arena, kOut, 0xCC), HostList(arena, proceedings, kRec, 0xEE), {}, {}};
    HostMessages::attach(arena, h.out, 0, 1);
    h.out.ptr(kList, h.list.address());
    for (int p = 0; p < proceedings; ++p) {
      h.areas.emplace_back(arena, areas, kAreaRec, 0xEE);
      h.list[size_t(p)].ptr(kAreas, h.areas.back().address());
      h.numbers.emplace_back();
      for (int a = 0; a < areas; ++a) {
        h.numbers.back().emplace_back(arena, numbers, 6, 0xEE);
        h.areas.back()[size_t(a)].ptr(kNumbers, h.numbers.back().back().address());
      }
    }
    return h;
  }

private:
  std::optional<std::string> savedTz_;
};

TEST_F(SeznamRizeniPGP, SendsTheEmptyRequestElement) {
  loadWith("empty");
  expectRequest("seznamRizeniPGP/request.request.xml");
}

TEST_F(SeznamRizeniPGP, CountsTakeTheMaximaOverAllProceedings) {
  loadWith("three");
  // Most areas: the second proceeding (2); most numbers: the first proceeding's area (5).
  EXPECT_EQ(counts("SeznamRizeniPGP", 4), (std::vector<int32_t>{1, 3, 2, 5}));
}

TEST_F(SeznamRizeniPGP, GetFillsBothLevelsAndTheHighFields) {
  loadWith("three");
  Host h = allocate(3, 2, 5);
  // The third proceeding has no areas: its list pointer must not be followed.
  h.list[2].ptr(kAreas, kNeverFollowed);
  get("SeznamRizeniPGP", h.out);
  EXPECT_EQ(messageFlags(h.out), "10000");

  const Record p0 = h.list[0], p1 = h.list[1], p2 = h.list[2];
  EXPECT_EQ(p0.textAt(kId, 31), "8800101");
  EXPECT_EQ(p0.textAt(kCislo, 25), "PGP-1021/2024-701");
  EXPECT_EQ(p0.textAt(kStav, 21), "potvrzeno");
  EXPECT_EQ(p0.textAt(kZpg, 25), "ZPG-88/2024");
  EXPECT_EQ(p0.i32At(kAreasHigh), 0);
  EXPECT_EQ(h.areas[0][0].textAt(kAreaCode, 7), "600016");
  EXPECT_EQ(h.areas[0][0].textAt(kAreaName, 49), hostText("Horní Lhota u Ostravy"));
  EXPECT_EQ(h.areas[0][0].i32At(kNumbersHigh), 4);
  EXPECT_EQ(listTexts(h.numbers[0][0], 6), (Texts{"510", "511", "512", "513", "514"}));
  EXPECT_TRUE(untouched(h.numbers[0][1], 0xEE));  // only one area: the second entry stays

  EXPECT_EQ(p1.textAt(kId, 31), "8800102");
  EXPECT_EQ(p1.textAt(kStav, 21), hostText("v řízení"));
  EXPECT_EQ(p1.textAt(kZpg, 25), "ZPG-91/2024");
  EXPECT_EQ(p1.i32At(kAreasHigh), 1);
  EXPECT_EQ(h.areas[1][0].textAt(kAreaName, 49), hostText("Dolní Lhota"));
  EXPECT_EQ(h.areas[1][0].i32At(kNumbersHigh), 1);
  EXPECT_EQ(listTexts(h.numbers[1][0], 6).at(1), "78");
  EXPECT_EQ(h.areas[1][1].textAt(kAreaCode, 7), "600032");
  EXPECT_EQ(h.areas[1][1].textAt(kAreaName, 49), hostText("Lhotka nad Ostravicí"));
  EXPECT_EQ(h.areas[1][1].i32At(kNumbersHigh), -1);  // an area without numbers
  EXPECT_TRUE(untouched(h.numbers[1][1], 0xEE));

  EXPECT_EQ(p2.textAt(kId, 31), "8800103");
  EXPECT_EQ(p2.i32At(kAreasHigh), -1);
  EXPECT_EQ(p2.ptrAt(kAreas), kNeverFollowed);
  EXPECT_EQ(p2.textAt(kZpg, 25), "ZPG-2/2024");

  EXPECT_TRUE(h.list.guardIntact());
  for (const auto& areas : h.areas) EXPECT_TRUE(areas.guardIntact());
  for (const auto& perArea : h.numbers)
    for (const auto& numbers : perArea) EXPECT_TRUE(numbers.guardIntact());
}

TEST_F(SeznamRizeniPGP, DateTimesBecomeLocalHostDateTimes) {
  loadWith("three");
  Host h = allocate(3, 2, 5);
  get("SeznamRizeniPGP", h.out);
  // Days since 1899-12-30 in Prague local time (winter +01:00, summer +02:00).
  // 2024-03-14T09:30:00+01:00 is 09:30 local.
  EXPECT_NEAR(h.list[0].f64At(kDatum), 45365.0 + 9.5 / 24, 1e-7);
  // 2024-07-01T10:15:00 carries no offset: taken as UTC, 12:15 local.
  EXPECT_NEAR(h.list[1].f64At(kDatum), 45474.0 + 12.25 / 24, 1e-7);
  // 2023-12-31T23:30:00-05:00 is 04:30 UTC on New Year's Day, 05:30 local.
  EXPECT_NEAR(h.list[2].f64At(kDatum), 45292.0 + 5.5 / 24, 1e-7);

  loadWith("date_only");
  Host d = allocate(1, 1, 1);
  get("SeznamRizeniPGP", d.out);
  // A date without a time is midnight UTC: 01:00 local.
  EXPECT_NEAR(d.list[0].f64At(kDatum), 45601.0 + 1.0 / 24, 1e-7);
}

#if !defined(_WIN32)
// Dates from the first to the last day a host date-time holds, and across both ends of 32-bit
// time, in a zone whose rules hold for every year (Central European time). Before 1899-12-30
// the time of day counts away from zero. A local date outside the years 1 to 9999 is 0.
struct HostDateCase {
  const char* name;
  const char* wire;
  double expected;
};
void PrintTo(const HostDateCase& c, std::ostream* os) { *os << c.name; }

class HostDates : public SeznamRizeniPGP, public ::testing::WithParamInterface<HostDateCase> {};

TEST_P(HostDates, ReachTheHostExactly) {
  vokr::test::setEnv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
  tzset();
  std::string body = readDataFile("seznamRizeniPGP/date_only.response.xml");
  const std::string given = "2024-11-05";
  body.replace(body.find(given), given.size(), GetParam().wire);
  server.enqueue(Answer::soap(body));
  ASSERT_EQ(load("SeznamRizeniPGP", nullptr), "unset");
  Host h = allocate(1, 1, 1);
  get("SeznamRizeniPGP", h.out);
  ASSERT_EQ(messageFlags(h.out), "10000");
  EXPECT_DOUBLE_EQ(h.list[0].f64At(kDatum), GetParam().expected);
}

constexpr double kSecondsPerDay = 86400;
INSTANTIATE_TEST_SUITE_P(
    Range, HostDates,
    ::testing::Values(
        HostDateCase{"FirstDay", "0001-01-01T00:00:00+01:00", -693593.0},
        HostDateCase{"FirstDayMorning", "0001-01-01T05:30:00+01:00", -693593.0 - 5.5 / 24},
        HostDateCase{"FirstDayFromAnotherOffset", "0001-01-01T03:00:00+02:00", -693593.0 - 2.0 / 24},
        HostDateCase{"BeforeTheFirstDay", "0001-01-01T00:30:00+02:00", 0.0},
        HostDateCase{"BeforeThe32BitStart", "1901-12-13T20:45:51Z", 713.0 + (21 * 3600 + 45 * 60 + 51) / kSecondsPerDay},
        HostDateCase{"The32BitStart", "1901-12-13T20:45:52Z", 713.0 + (21 * 3600 + 45 * 60 + 52) / kSecondsPerDay},
        HostDateCase{"BeyondThe32BitEnd", "2038-01-20T00:00:00-03:00", 50425.0 + 4.0 / 24},
        HostDateCase{"LastMoment", "9999-12-31T23:59:59.999+01:00", 2958465.0 + 86399.999 / kSecondsPerDay},
        HostDateCase{"LastDayFromUtc", "9999-12-31T12:00:00Z", 2958465.0 + 13.0 / 24},
        HostDateCase{"AfterTheLastDay", "9999-12-31T23:30:00Z", 0.0}),
    [](const auto& info) { return std::string(info.param.name); });
#endif  // a zone given by TZ: POSIX only

TEST_F(SeznamRizeniPGP, AnEmptyListCountsMinusOneAndZeroMaximaAndCopiesNothing) {
  loadWith("empty");
  EXPECT_EQ(counts("SeznamRizeniPGP", 4), (std::vector<int32_t>{1, -1, 0, 0}));
  Host h = allocate(1, 1, 1);
  get("SeznamRizeniPGP", h.out);
  EXPECT_EQ(messageFlags(h.out), "10000");
  EXPECT_TRUE(untouchedBytes(h.list[0], 0, kAreas, 0xEE));
  EXPECT_TRUE(untouchedBytes(h.list[0], kAreasHigh, kRec, 0xEE));
  EXPECT_TRUE(untouchedBytes(h.areas[0][0], 0, kNumbers, 0xEE));
  EXPECT_TRUE(untouched(h.numbers[0][0], 0xEE));
}

TEST_F(SeznamRizeniPGP, ListsSmallerThanTheAnswerAreWrittenOnlyUpToTheirCounts) {
  loadWith("three");
  Host h = allocate(1, 1, 2);
  get("SeznamRizeniPGP", h.out);
  EXPECT_EQ(h.list[0].textAt(kId, 31), "8800101");
  EXPECT_EQ(listTexts(h.numbers[0][0], 6), (Texts{"510", "511"}));
  // The High fields tell the host how far its own lists were filled.
  EXPECT_EQ(h.list[0].i32At(kAreasHigh), 0);
  EXPECT_EQ(h.areas[0][0].i32At(kNumbersHigh), 1);
  EXPECT_TRUE(h.list.guardIntact());
  EXPECT_TRUE(h.areas[0].guardIntact());
  EXPECT_TRUE(h.numbers[0][0].guardIntact());
}

} // namespace
