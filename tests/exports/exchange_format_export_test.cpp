// Ordering an exchange-format export for a polygon and polling the runs, through the exports.
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "service_test.h"
#include "system.h"

using namespace vokr::test;

namespace {

// TExportVFIn (618 bytes): idRizeni 31 at 0, charset 21 at 31, email 251 at 52, PolygonId 31
// at 303, srsName 256 at 334, srsDimension 11 at 590, Exterior list at 601, Interiors list at
// 605, nine switch bytes from 609. TPosRec (62): Coord1 31 at 0, Coord2 31 at 31.
// TExportVFOut: message block at 0, behId at 9 (31 bytes).
constexpr size_t kInSize = 618, kPosSize = 62, kOutSize = 40;
// TExportVFStatusRec (1313): behId 31 at 0, stavBehu at 31, linkVF 256 at 32, hashExportu
// 1025 at 288. TExportVFStatusOut: block at 0, list at 9.
constexpr size_t kStatusSize = 1313, kStatusOutSize = 13;

using Position = std::pair<std::string, std::string>;
using Ring = std::vector<Position>;

struct ExportInput {
  std::string idRizeni = "4711", charset = "CP1250", email = "geodet@example.cz";
  std::string polygonId = "P1", srsName = "EPSG:5514", srsDimension = "2";
  std::optional<Ring> exterior = Ring{{"10", "20"}};  // nullopt: a null host list
  std::vector<std::optional<Ring>> interiors;         // empty: a null host list
  std::array<uint8_t, 9> switches{};
};

class ExchangeFormatExport : public ServiceTest {
protected:
  uint32_t ringList(const std::optional<Ring>& ring) {
    if (!ring) return 0;
    HostList list(arena, static_cast<int32_t>(ring->size()), kPosSize);
    for (size_t i = 0; i < ring->size(); ++i)
      list[i].text(0, 31, (*ring)[i].first).text(31, 31, (*ring)[i].second);
    return list.address();
  }

  Record exportIn(const ExportInput& e) {
    Record in = newRecord(arena, kInSize);
    in.text(0, 31, e.idRizeni).text(31, 21, e.charset).text(52, 251, e.email);
    in.text(303, 31, e.polygonId).text(334, 256, e.srsName).text(590, 11, e.srsDimension);
    in.ptr(601, ringList(e.exterior));
    if (!e.interiors.empty()) {
      HostList interiors(arena, static_cast<int32_t>(e.interiors.size()), 4);
      for (size_t i = 0; i < e.interiors.size(); ++i) interiors[i].ptr(0, ringList(e.interiors[i]));
      in.ptr(605, interiors.address());
    }
    for (size_t i = 0; i < e.switches.size(); ++i) in.u8(609 + i, e.switches[i]);
    return in;
  }

  std::string orderExport(const ExportInput& e) {
    char* result = resultBuffer(arena);
    plugin->fn<LoadFn>("loadExportVF")(exportIn(e).data(), result, 15);
    return result;
  }

  int32_t exportCount() {
    Record counts = newRecord(arena, 4, 0xCC);
    plugin->fn<GetFn>("getExportVF_ListSizes")(nullptr, 0, counts.data());
    EXPECT_TRUE(guardIntact(counts));
    return counts.i32At(0);
  }

  Record getExport(HostMessages* messages) {
    Record out = newRecord(arena, kOutSize, 0xCC);
    out.text(9, 31, "keep");
    *messages = HostMessages::attach(arena, out, 0, 2);
    plugin->fn<GetFn>("getExportVF")(nullptr, 0, out.data());
    EXPECT_TRUE(guardIntact(out));
    return out;
  }

  std::string pollStatus(const std::string& behId) {
    Record in = newRecord(arena, 31);
    in.text(0, 31, behId);
    char* result = resultBuffer(arena);
    plugin->fn<LoadFn>("loadExportVFStatus")(in.data(), result, 15);
    return result;
  }

  std::pair<int32_t, int32_t> statusCounts() {
    Record counts = newRecord(arena, 8, 0xCC);
    plugin->fn<GetFn>("getExportVFStatus_ListSizes")(nullptr, 0, counts.data());
    EXPECT_TRUE(guardIntact(counts));
    return {counts.i32At(0), counts.i32At(4)};
  }

  // The status list is pre-filled with 0xCC so that every byte written shows.
  HostList getStatus(int32_t entries, Record* out) {
    *out = newRecord(arena, kStatusOutSize, 0xCC);
    HostMessages::attach(arena, *out, 0, 1);
    HostList list(arena, entries, kStatusSize, 0xCC);
    out->ptr(9, list.address());
    plugin->fn<GetFn>("getExportVFStatus")(nullptr, 0, out->data());
    return list;
  }
};

TEST_F(ExchangeFormatExport, PolygonWithTwoInteriorRingsIsSentAsTheServiceExpectsIt) {
  answerWith("exportVF/accepted.response.xml");
  ExportInput e;
  e.charset = "ISO8859_2";
  e.srsName = "urn:ogc:def:crs:EPSG::5514";
  // Four positions that do not close the ring: none may be added.
  e.exterior = Ring{{"-744100.25", "-1043200.5"}, {"-744000.25", "-1043200.5"},
                    {"-744000.25", "-1043100.5"}, {"-744100.25", "-1043100.5"}};
  e.interiors = {Ring{{"-744080", "-1043180"}, {"-744060", "-1043180"}, {"-744070", "-1043160"}},
                 Ring{{"-744030", "-1043130"}, {"-744020", "-1043120"}},
                 std::nullopt};
  e.switches = {1, 0, 1, 0, 0, 7, 0, 0, 1};  // any non-zero byte is true
  orderExport(e);
  expectRequest("exportVF/polygon.request.xml");
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].header("SOAPAction"), "\"http://katastr.cuzk.cz/geows/exportNVF\"");
}

struct RequestCase {
  const char* name;
  std::function<void(ExportInput&)> change;
  const char* expected;
};
void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

class ExportRequest : public ExchangeFormatExport, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(ExportRequest, IsWrittenAndFixedUp) {
  answerWith("exportVF/accepted.response.xml");
  ExportInput e;
  GetParam().change(e);
  orderExport(e);
  expectRequest(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportRequest,
    ::testing::Values(
        RequestCase{"Cp1250", [](ExportInput&) {}, "exportVF/minimal.request.xml"},
        RequestCase{"CharsetWithHyphen", [](ExportInput& e) { e.charset = "ISO8859-2"; },
                    "exportVF/no_charset.request.xml"},
        RequestCase{"CharsetInLowerCase", [](ExportInput& e) { e.charset = "iso8859_2"; },
                    "exportVF/no_charset.request.xml"},
        RequestCase{"Cp1250InLowerCase", [](ExportInput& e) { e.charset = "cp1250"; },
                    "exportVF/no_charset.request.xml"},
        RequestCase{"EmptyCharset", [](ExportInput& e) { e.charset = ""; }, "exportVF/no_charset.request.xml"},
        RequestCase{"ExteriorWithoutPositions", [](ExportInput& e) { e.exterior = Ring{}; },
                    "exportVF/empty_exterior.request.xml"},
        RequestCase{"NullExterior", [](ExportInput& e) { e.exterior = std::nullopt; },
                    "exportVF/empty_exterior.request.xml"},
        RequestCase{"EmptySrsName", [](ExportInput& e) { e.srsName = ""; }, "exportVF/no_srs_name.request.xml"},
        // Host text that looks like the markup the fix-ups change is sent as the host wrote it.
        RequestCase{"EmailHoldingMarkup",
                    [](ExportInput& e) {
                      e.email = "geodet@example.cz xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                                "<Polygon id=\"x\">";
                    },
                    "exportVF/email_with_markup.request.xml"},
        RequestCase{"EmptyEmail", [](ExportInput& e) { e.email = ""; }, "exportVF/no_email.request.xml"},
        RequestCase{"EmptyPolygonId", [](ExportInput& e) { e.polygonId = ""; },
                    "exportVF/no_polygon_id.request.xml"},
        // 31 characters fill Coord1 with no zero byte: Coord2 must not run into it.
        RequestCase{"FullWidthCoordinate",
                    [](ExportInput& e) { e.exterior = Ring{{"1234567890123456789012345678901", "-1043200.5"}}; },
                    "exportVF/full_width_coordinate.request.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeFormatExport, AcceptedExportGivesTheRunIdentifier) {
  answerWith("exportVF/accepted.response.xml");
  EXPECT_EQ(orderExport({}), "unset") << "success leaves the result text alone";
  EXPECT_EQ(exportCount(), 1);
  HostMessages m;
  Record out = getExport(&m);
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(m.text(0), hostText("Požadovaná akce byla úspěšně provedena."));
  EXPECT_EQ(out.textAt(9, 31), "987654");
}

TEST_F(ExchangeFormatExport, RefusedExportLeavesTheRunIdentifierAlone) {
  answerWith("exportVF/refused.response.xml");
  orderExport({});
  HostMessages m;
  Record out = getExport(&m);
  EXPECT_EQ(messageFlags(out), "00010");
  EXPECT_EQ(m.kod(0), "60");
  EXPECT_EQ(out.textAt(9, 31), "keep");
}

TEST_F(ExchangeFormatExport, FailedCallIsHeldAsItsOwnMessage) {
  server.enqueue(Answer::soap(readDataFile("exportVF/fault.response.xml"), 500, "Internal Server Error"));
  EXPECT_EQ(orderExport({}), "0");
  EXPECT_EQ(exportCount(), 1);
  HostMessages m;
  Record out = getExport(&m);
  EXPECT_EQ(messageFlags(out), "00011");
  EXPECT_EQ(m.kod(0), "1000");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_EQ(m.text(0), hostText("ERemotableException; Řízení 4711 neexistuje."));
  EXPECT_EQ(out.textAt(9, 31), "keep");
}

struct StatusRequestCase {
  const char* name;
  const char* behId;
  const char* expected;
};

class StatusRequest : public ExchangeFormatExport, public ::testing::WithParamInterface<StatusRequestCase> {};

TEST_P(StatusRequest, NamesTheRunOnlyWhenGivenOne) {
  answerWith("exportVFStatus/no_list.response.xml");
  pollStatus(GetParam().behId);
  expectRequest(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatusRequest,
    ::testing::Values(StatusRequestCase{"OneRun", "987654", "exportVFStatus/one_run.request.xml"},
                      StatusRequestCase{"EveryRun", "", "exportVFStatus/every_run.request.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExchangeFormatExport, StatusOfThreeRunsCountsThemFirst) {
  answerWith("exportVFStatus/three_runs.response.xml");
  EXPECT_EQ(pollStatus(""), "unset");
  EXPECT_EQ(statusCounts(), std::make_pair(3, 1));
  Record out(nullptr, 0);
  HostList list = getStatus(3, &out);
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(list[0].textAt(0, 31), "987654");
  EXPECT_EQ(list[0].u8At(31), 2) << "D";
  EXPECT_EQ(list[0].textAt(32, 256), "https://katastr.cuzk.cz/vf/987654.vfk.zip");
  EXPECT_EQ(list[0].textAt(288, 1025), "5d41402abc4b2a76b9719d911017c592");
  EXPECT_EQ(list[1].textAt(0, 31), "987655");
  EXPECT_EQ(list[1].u8At(31), 4) << "S";
  EXPECT_EQ(list[1].textAt(32, 256), "https://katastr.cuzk.cz/vf/987655.vfk.zip");
  // A run the service tells little about: state 0 and empty texts, not the host's bytes.
  EXPECT_EQ(list[2].textAt(0, 31), "987656");
  EXPECT_EQ(list[2].u8At(31), 0);
  EXPECT_EQ(list[2].textAt(32, 256), "");
  EXPECT_EQ(list[2].textAt(288, 1025), "");
  EXPECT_TRUE(list.guardIntact());
}

TEST_F(ExchangeFormatExport, StatusListShorterThanTheAnswerIsNotOverrun) {
  answerWith("exportVFStatus/three_runs.response.xml");
  pollStatus("");
  Record out(nullptr, 0);
  HostList list = getStatus(2, &out);
  EXPECT_EQ(list[1].textAt(0, 31), "987655");
  EXPECT_TRUE(list.guardIntact());
}

class StatusWithoutRuns : public ExchangeFormatExport, public ::testing::WithParamInterface<const char*> {};

TEST_P(StatusWithoutRuns, CountsMinusOneAndWritesNoEntry) {
  answerWith(GetParam());
  pollStatus("987654");
  EXPECT_EQ(statusCounts(), std::make_pair(-1, 1));
  Record out(nullptr, 0);
  HostList list = getStatus(1, &out);
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(list[0].u8At(0), 0xCC);
  EXPECT_EQ(list[0].u8At(31), 0xCC);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusWithoutRuns,
                         ::testing::Values("exportVFStatus/no_list.response.xml",
                                           "exportVFStatus/empty_list.response.xml"));

} // namespace
