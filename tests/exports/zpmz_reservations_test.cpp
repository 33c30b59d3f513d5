// Reserving and giving back ZPMZ numbers through the exports, against the loopback service.
#include "service_test.h"
#include "system.h"

using namespace vokr::test;

namespace {

// TVytvorRezervaciZPMZIn: idRizeniPM 31 at 0, katuzeKod 7 at 31. TZrusRezervaciZPMZIn adds
// cisloZPMZ 6 at 38. TVytvorRezervaciZPMZOut: message block at 0, katuzeKod 7 at 9,
// cisloZPMZ 6 at 16.
constexpr size_t kInSize = 38, kCancelInSize = 44, kOutSize = 22;

class ZpmzReservations : public ServiceTest {
protected:
  Record reservationIn(const std::string& id, const std::string& area) {
    Record in = newRecord(arena, kInSize);
    in.text(0, 31, id).text(31, 7, area);
    return in;
  }
  void reserve(const Record& in, char* result = nullptr) {
    plugin->fn<LoadFn>("loadVytvorRezervaciZPMZ")(in.data(), result ? result : resultBuffer(arena), 255);
  }
  int32_t reservationCount() { return count("getVytvorRezervaciZPMZ_ListSizes"); }
  int32_t cancellationCount() { return count("getZrusRezervaciZPMZ_ListSizes"); }
  int32_t count(const char* name) {
    Record counts = newRecord(arena, 4, 0xCC);
    plugin->fn<GetFn>(name)(nullptr, 0, counts.data());
    return counts.i32At(0);
  }
  // An output record whose number fields hold "keep" marks, with `entries` message records.
  Record getReservation(int entries, HostMessages* messages) {
    Record out = newRecord(arena, kOutSize, 0xCC);
    out.text(9, 7, "keepKA").text(16, 6, "keepN");
    *messages = HostMessages::attach(arena, out, 0, entries);
    plugin->fn<GetFn>("getVytvorRezervaciZPMZ")(nullptr, 0, out.data());
    return out;
  }
};

// A host text holding a control character XML 1.0 cannot carry: refused before anything is
// sent, the field named. Tab, line feed and carriage return are characters XML carries.
struct ControlCase {
  const char* name;
  std::string id, area;
  const char* refusal;  // empty: the request is sent
};
void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.name; }

class ControlCharacter : public ZpmzReservations, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(ControlCharacter, IsRefusedBeforeSending) {
  const ControlCase& c = GetParam();
  answerWith("vytvorRezervaciZPMZ/success.response.xml");
  char* result = resultBuffer(arena);
  reserve(reservationIn(c.id, c.area), result);
  HostMessages m;
  Record out = getReservation(1, &m);
  if (!*c.refusal) {
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(messageFlags(out), "10000");
    return;
  }
  EXPECT_TRUE(server.requests().empty());
  EXPECT_STREQ(result, "0");
  EXPECT_EQ(messageFlags(out), "00010");
  EXPECT_EQ(m.kod(0), "1001");
  EXPECT_EQ(m.text(0), c.refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, ControlCharacter,
    ::testing::Values(
        ControlCase{"StartOfHeading", "4711\x01", "600016",
                    "EConvertError; idRizeniPM: the text holds the control character U+0001, which XML cannot carry"},
        ControlCase{"VerticalTab", "4711001", "60\x0b" "016",
                    "EConvertError; katuzeKod: the text holds the control character U+000B, which XML cannot carry"},
        ControlCase{"UnitSeparator", "\x1f", "600016",
                    "EConvertError; idRizeniPM: the text holds the control character U+001F, which XML cannot carry"},
        ControlCase{"TabAndLineEndsAreSent", "47\t11\r\n", "600016", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct RequestCase {
  const char* name;
  std::string id, area;
  const char* expected;
};

class ZpmzReservationRequest : public ZpmzReservations, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(ZpmzReservationRequest, SendsTheDecimalTextsUnchanged) {
  const RequestCase& c = GetParam();
  answerWith("vytvorRezervaciZPMZ/success.response.xml");
  reserve(reservationIn(c.id, c.area));
  expectRequest(c.expected);
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].path, "/ws/geo/2.9/geo");
  EXPECT_EQ(requests[0].header("SOAPAction"), "\"http://katastr.cuzk.cz/geows/vytvorRezervaciZPMZ\"");
  EXPECT_EQ(requests[0].header("Content-Type"), "text/xml; charset=\"utf-8\"");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZpmzReservationRequest,
    ::testing::Values(
        RequestCase{"Realistic", "4711002", "600016", "vytvorRezervaciZPMZ/realistic.request.xml"},
        // 31 digits fill the field: no zero byte follows them.
        RequestCase{"FullWidthIdWithoutZeroByte", "1234567890123456789012345678901", "600016",
                    "vytvorRezervaciZPMZ/full_width_id.request.xml"},
        RequestCase{"EmptyAreaIsSentEmpty", "4711002", "",
                    "vytvorRezervaciZPMZ/empty_area.request.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZpmzReservations, SuccessCopiesTheNumberAndItsArea) {
  answerWith("vytvorRezervaciZPMZ/success.response.xml");
  char* result = resultBuffer(arena);
  reserve(reservationIn("4711002", "600016"), result);
  EXPECT_STREQ(result, "unset") << "success leaves the result text alone";
  EXPECT_EQ(reservationCount(), 1);
  HostMessages m;
  Record out = getReservation(1, &m);
  EXPECT_EQ(messageFlags(out), "10000");
  EXPECT_EQ(m.kod(0), "0");
  EXPECT_EQ(m.uroven(0), 0);
  EXPECT_EQ(m.text(0), hostText("Požadovaná akce byla úspěšně provedena."));
  EXPECT_EQ(out.textAt(9, 7), "600016");
  EXPECT_EQ(out.textAt(16, 6), "1201");
  EXPECT_TRUE(guardIntact(out));
  EXPECT_TRUE(m.list.guardIntact());
}

TEST_F(ZpmzReservations, SuccessWithInformationSetsBothFlags) {
  answerWith("vytvorRezervaciZPMZ/success_with_information.response.xml");
  reserve(reservationIn("4711002", "600024"));
  EXPECT_EQ(reservationCount(), 2);
  HostMessages m;
  Record out = getReservation(2, &m);
  EXPECT_EQ(messageFlags(out), "11000");
  EXPECT_EQ(m.kod(1), "12");
  EXPECT_EQ(m.text(1), hostText("Číslo ZPMZ bylo rezervováno v katastrálním území Žďár."));
  EXPECT_EQ(out.textAt(9, 7), "600024");
  EXPECT_EQ(out.textAt(16, 6), "88");
}

struct NoCopyCase {
  const char* name;
  const char* response;
  int32_t count;
  const char* flags;
};

class ZpmzReservationNotCopied : public ZpmzReservations, public ::testing::WithParamInterface<NoCopyCase> {};

TEST_P(ZpmzReservationNotCopied, NumberFieldsKeepTheHostsBytes) {
  const NoCopyCase& c = GetParam();
  answerWith(c.response);
  reserve(reservationIn("4711002", "600016"));
  EXPECT_EQ(reservationCount(), c.count);
  HostMessages m;
  Record out = getReservation(2, &m);
  EXPECT_EQ(messageFlags(out), c.flags);
  EXPECT_EQ(out.textAt(9, 7), "keepKA");
  EXPECT_EQ(out.textAt(16, 6), "keepN");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZpmzReservationNotCopied,
    ::testing::Values(
        NoCopyCase{"NoMessagesButANumber", "vytvorRezervaciZPMZ/number_without_messages.response.xml", -1, "00000"},
        NoCopyCase{"RefusedByTheService", "vytvorRezervaciZPMZ/refused.response.xml", 1, "00010"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZpmzReservations, SecondReservationReplacesTheFirst) {
  answerWith("vytvorRezervaciZPMZ/success.response.xml");
  answerWith("vytvorRezervaciZPMZ/success_with_information.response.xml");
  reserve(reservationIn("4711002", "600016"));
  reserve(reservationIn("4711002", "600024"));
  HostMessages m;
  Record out = getReservation(2, &m);
  EXPECT_EQ(out.textAt(16, 6), "88");
  EXPECT_EQ(reservationCount(), 2);
}

TEST_F(ZpmzReservations, CancellationSendsTheReservationBlock) {
  answerWith("zrusRezervaciZPMZ/success.response.xml");
  Record in = newRecord(arena, kCancelInSize);
  in.text(0, 31, "4711002").text(31, 7, "600016").text(38, 6, "01201");
  plugin->fn<LoadFn>("loadZrusRezervaciZPMZ")(in.data(), resultBuffer(arena), 255);
  expectRequest("zrusRezervaciZPMZ/realistic.request.xml");
  EXPECT_EQ(cancellationCount(), 1);
  Record block = newRecord(arena, 9, 0xCC);
  HostMessages m = HostMessages::attach(arena, block, 0, 1);
  plugin->fn<GetFn>("getZrusRezervaciZPMZ")(nullptr, 0, block.data());
  EXPECT_EQ(messageFlags(block), "10000");
  EXPECT_TRUE(guardIntact(block));
}

TEST_F(ZpmzReservations, CancellationOfEmptyFieldsStillSendsEveryElement) {
  answerWith("zrusRezervaciZPMZ/success.response.xml");
  Record in = newRecord(arena, kCancelInSize);
  plugin->fn<LoadFn>("loadZrusRezervaciZPMZ")(in.data(), resultBuffer(arena), 255);
  expectRequest("zrusRezervaciZPMZ/empty.request.xml");
}

TEST_F(ZpmzReservations, FailedCancellationIsHeldUntilFreed) {
  server.enqueue(Answer{.status = 503, .reason = "Service Unavailable",
                        .headers = {{"Content-Type", "text/html"}}, .body = "<html>down</html>"});
  Record in = newRecord(arena, kCancelInSize);
  in.text(0, 31, "4711002").text(31, 7, "600016").text(38, 6, "1201");
  char* result = resultBuffer(arena);
  plugin->fn<LoadFn>("loadZrusRezervaciZPMZ")(in.data(), result, 255);
  EXPECT_STREQ(result, "0");
  EXPECT_EQ(cancellationCount(), 1);
  Record block = newRecord(arena, 9, 0xCC);
  HostMessages m = HostMessages::attach(arena, block, 0, 1);
  plugin->fn<GetFn>("getZrusRezervaciZPMZ")(nullptr, 0, block.data());
  EXPECT_EQ(messageFlags(block), "00011");
  EXPECT_EQ(m.kod(0), "1000");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_EQ(m.text(0), "EHttpError; HTTP 503 Service Unavailable");

  plugin->fn<FreeFn>("freeZrusRezervaciZPMZ")(nullptr, 0);
  Record after = newRecord(arena, 4, 0xCC);
  plugin->fn<GetFn>("getZrusRezervaciZPMZ_ListSizes")(nullptr, 0, after.data());
  EXPECT_EQ(after.u8At(0), 0xCC) << "nothing held after free: nothing written";
}

TEST_F(ZpmzReservations, UnreachableServiceIsACallFailure) {
  connect("https://127.0.0.1:1", "surveyor", "heslo");
  char* result = resultBuffer(arena);
  reserve(reservationIn("4711002", "600016"), result);
  EXPECT_STREQ(result, "0");
  HostMessages m;
  Record out = getReservation(1, &m);
  EXPECT_EQ(messageFlags(out), "00011");
  EXPECT_EQ(m.text(0).rfind("ETransportError; ", 0), 0u) << m.text(0);
  EXPECT_EQ(out.textAt(16, 6), "keepN");
}

} // namespace
