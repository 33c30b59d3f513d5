// Message dumps: names, the files they land in, the masked password, line ends of answers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "channel/channel.h"
#include "channel/dump.h"
#include "channel_settings.h"
#include "https_server.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "schema/messages.h"
#include "rope_text.h"
#include "system.h"
#include "test_data.h"
#include "schema/rope.h"

namespace {

namespace fs = std::filesystem;
using namespace vokr::test;
using vokr::channel::DumpSettings;
using vokr::channel::dumpFileName;

// A fresh log directory, dumps on, names without timestamp unless a test says otherwise.
class Dumps : public ::testing::Test {
protected:
  void SetUp() override {
    dir = vokr::test::makeTempDirectory("vokr-dumps");
    dumps = {.enabled = true, .useTimestamp = false, .folder = dir.string() + vokr::test::kPathDelimiter};
  }
  void TearDown() override { fs::remove_all(dir); }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path dir;
  DumpSettings dumps;
};

struct NameCase {
  const char* label;
  const char* kind;
  uint8_t useTimestamp;
  const char* pattern;  // the stamp, when there is one, is the group
};

class DumpNames : public Dumps, public ::testing::WithParamInterface<NameCase> {};

std::string stamp(const vokr::platform::LocalTime& t) {
  char s[32];
  std::snprintf(s, sizeof s, "%04d%02d%02d_%02d%02d%02d_%03d", t.year, t.month, t.day, t.hour,
                t.minute, t.second, t.millisecond);
  return s;
}

TEST_P(DumpNames, FollowLabelKindAndTimestampSwitch) {
  const NameCase& c = GetParam();
  // The switch as the host sets it, through the library's decoding of the working parameters.
  vokr::plugin::Params params;
  params.logLevel = 1;
  params.logUseTimestamp = c.useTimestamp;
  dumps = vokr::plugin::channelSettings(TConnectInfo{}, params).dumps;
  const std::string before = stamp(vokr::platform::localNow());
  const std::string name = dumpFileName(dumps, c.label, c.kind);
  const std::string after = stamp(vokr::platform::localNow());

  std::smatch m;
  ASSERT_TRUE(std::regex_match(name, m, std::regex(c.pattern))) << name;
  if (m.size() > 1) {  // the local time of the moment the name was formed
    EXPECT_LE(before, m[1].str());
    EXPECT_LE(m[1].str(), after);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, DumpNames,
    ::testing::Values(
        NameCase{"exportVF", "req", 0, "VOKR_exportVF_req\\.xml"},
        NameCase{"", "resp", 0, "VOKR_resp\\.xml"},
        NameCase{"seznamRizeniPM", "resp", 1, "VOKR_seznamRizeniPM_resp_(\\d{8}_\\d{6}_\\d{3})\\.xml"},
        NameCase{"", "req", 7, "VOKR_req_(\\d{8}_\\d{6}_\\d{3})\\.xml"}));  // any non-zero byte

TEST_F(Dumps, AreReplacedWholeAndReadableByTheOwnerOnly) {
  const fs::path file = dir / "VOKR_exportVF_req.xml";
  { std::ofstream(file) << "an older and much longer dump of the same name"; }
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                            fs::perms::others_read);

  vokr::channel::writeDump(dumps, "exportVF", "req", "<new/>");

  EXPECT_EQ(readFile(file.string()), "<new/>");
#if !defined(_WIN32)  // Windows files have no permission bits: they take the folder's access list
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  vokr::channel::writeDump(dumps, "", "resp", "x");
  ASSERT_EQ(stat((dir / "VOKR_resp.xml").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
}

TEST_F(Dumps, IntoADirectoryThatIsGoneAreSkippedQuietly) {
  fs::remove_all(dir);
  EXPECT_NO_THROW(vokr::channel::writeDump(dumps, "exportVF", "req", "<x/>"));
  vokr::channel::ResponseDump answer(dumps, "exportVF");
  EXPECT_NO_THROW(answer.feed("<x/>", 4));
  EXPECT_NO_THROW(answer.finish());
  EXPECT_FALSE(fs::exists(dir));
}

constexpr const char* kSecext =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd";

struct MaskCase {
  const char* name;
  std::string before;                   // inside SOAP-ENV:Header, up to the password
  std::optional<std::string> password;  // the secret segment, as the writer hands it over
  std::string after;
  std::string dumped;  // the header as dumped
};

class RequestDumps : public Dumps, public ::testing::WithParamInterface<MaskCase> {};

// The request goes out as it is; only its dump hides the password.
TEST_P(RequestDumps, WriteThePasswordAsStars) {
  const MaskCase& c = GetParam();
  const std::string head = "<?xml version=\"1.0\"?>\r\n<SOAP-ENV:Envelope><SOAP-ENV:Header>";
  const std::string body = "</SOAP-ENV:Header><SOAP-ENV:Body><Heslo>Password</Heslo></SOAP-ENV:Body>"
                           "</SOAP-ENV:Envelope>\r\n";
  vokr::schema::Rope rope;
  rope.append(head + c.before);
  if (c.password) rope.appendSecret(*c.password);
  rope.append(c.after + body);
  const std::string sent = ropeText(rope);
  ASSERT_EQ(sent, head + c.before + c.password.value_or("") + c.after + body);

  vokr::channel::dumpRequest(dumps, "seznamRizeniPM", rope);

  EXPECT_EQ(readFile((dir / "VOKR_seznamRizeniPM_req.xml").string()), head + c.dumped + body);
  EXPECT_EQ(ropeText(rope), sent);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, RequestDumps,
    ::testing::Values(
        MaskCase{"plain",
                 std::string("<NS1:Security xmlns:NS1=\"") + kSecext + "\"><UsernameToken xmlns=\"" +
                     kSecext + "\"><Username>geodet</Username><Password>",
                 "ta&lt;jne", "</Password></UsernameToken></NS1:Security>",
                 std::string("<NS1:Security xmlns:NS1=\"") + kSecext + "\"><UsernameToken xmlns=\"" +
                     kSecext + "\"><Username>geodet</Username><Password>***</Password>"
                               "</UsernameToken></NS1:Security>"},
        MaskCase{"prefixed", "<wsse:Security><wsse:UsernameToken><wsse:Password Type=\"t\">", "heslo",
                 "</wsse:Password></wsse:UsernameToken></wsse:Security>",
                 "<wsse:Security><wsse:UsernameToken><wsse:Password Type=\"t\">***</wsse:Password>"
                 "</wsse:UsernameToken></wsse:Security>"},
        MaskCase{"noPassword",
                 "<NS1:Security><UsernameToken><Username>geodet</Username></UsernameToken>"
                 "</NS1:Security>",
                 std::nullopt, "",
                 "<NS1:Security><UsernameToken><Username>geodet</Username></UsernameToken></NS1:Security>"}),
    [](const auto& info) { return std::string(info.param.name); });

class Base64Bytes : public vokr::schema::ByteSource {
public:
  uint64_t size() const override { return 100; }
  size_t read(uint64_t offset, void* buffer, size_t n) const override {
    size_t count = offset < 100 ? std::min<size_t>(n, 100 - offset) : 0;
    std::memset(buffer, 'v', count);
    return count;
  }
};

TEST_F(Dumps, OfARequestHoldTheBase64TextAsSent) {
  vokr::schema::Rope rope;
  rope.append("<soubor>");
  rope.appendBase64(std::make_shared<Base64Bytes>());
  rope.append("</soubor>\r\n");
  vokr::channel::dumpRequest(dumps, "zalozNavrhZPG", rope);
  EXPECT_EQ(readFile((dir / "VOKR_zalozNavrhZPG_req.xml").string()), ropeText(rope));
}

TEST_F(Dumps, OfAnAnswerAreWrittenAsItArrivesWithCrLfLineEnds) {
  vokr::channel::ResponseDump answer(dumps, "detailRizeniPM");
  for (std::string_view chunk : {"\xEF\xBB\xBF<a>\r", "\n<b/>\n", "</a>"}) {
    answer.feed(chunk.data(), chunk.size());
    ASSERT_EQ(files().size(), 1u) << "created at once";
    EXPECT_NE(files()[0], "VOKR_detailRizeniPM_resp.xml") << "beside the dump until it is whole";
  }
  answer.finish();
  EXPECT_EQ(files(), std::vector<std::string>{"VOKR_detailRizeniPM_resp.xml"});
  EXPECT_EQ(readFile((dir / "VOKR_detailRizeniPM_resp.xml").string()), "\xEF\xBB\xBF<a>\r\n<b/>\r\n</a>\r\n");

  vokr::channel::ResponseDump empty(dumps, "stavWS");
  empty.finish();
  EXPECT_EQ(readFile((dir / "VOKR_stavWS_resp.xml").string()), "");
}

// Dumps of real calls: what the hooks of the channel write around one exchange.
class CallDumps : public Dumps {
protected:
  void SetUp() override {
    Dumps::SetUp();
    server.trust();
    log(1, 0);
  }
  // The settings of a load with these working parameters: dumps into the test's directory.
  void log(int32_t level, uint8_t useTimestamp) {
    vokr::plugin::Params params;
    params.logPath = dir.string() + "/";
    params.logLevel = level;
    params.logUseTimestamp = useTimestamp;
    Connection c;
    c.url = server.url();
    c.userName = "geodet";
    c.userPassword = "tajne";
    settings = channelSettings(c, params);
  }
  void call() {
    server.enqueue(Answer::soap(readDataFile("channel/vytvorRezervaciZPMZ.response.xml")));
    vokr::schema::VytvorRezervaciZPMZRequest request;
    request.idRizeniPM = vokr::schema::TXSDecimal{"4711"};
    request.katuzeKod = vokr::schema::TXSDecimal{"600016"};
    vokr::channel::call(settings, vokr::schema::Operation::vytvorRezervaciZPMZ, request);
  }
  HttpsServer server;
  vokr::channel::ChannelSettings settings;
};

TEST_F(CallDumps, HoldTheRequestAsSentButForThePasswordAndTheAnswerWithCrLf) {
  call();
  EXPECT_EQ(files(), (std::vector<std::string>{"VOKR_vytvorRezervaciZPMZ_req.xml",
                                               "VOKR_vytvorRezervaciZPMZ_resp.xml"}));
  std::string sent = server.requests().at(0).body;
  const std::string password = "<NS1:Password>tajne</NS1:Password>";
  ASSERT_NE(sent.find(password), std::string::npos);
  sent.replace(sent.find(password), password.size(), "<NS1:Password>***</NS1:Password>");
  EXPECT_EQ(readFile((dir / "VOKR_vytvorRezervaciZPMZ_req.xml").string()), sent);
  EXPECT_EQ(readFile((dir / "VOKR_vytvorRezervaciZPMZ_resp.xml").string()),
            withCrLf(readDataFile("channel/vytvorRezervaciZPMZ.response.xml")));
}

TEST_F(CallDumps, OfALaterCallReplaceTheEarlierOnesWithoutTimestamps) {
  call();
  fs::resize_file(dir / "VOKR_vytvorRezervaciZPMZ_resp.xml", 3);
  fs::resize_file(dir / "VOKR_vytvorRezervaciZPMZ_req.xml", 3);
  call();
  EXPECT_EQ(files().size(), 2u);
  EXPECT_EQ(readFile((dir / "VOKR_vytvorRezervaciZPMZ_resp.xml").string()),
            withCrLf(readDataFile("channel/vytvorRezervaciZPMZ.response.xml")));
  EXPECT_GT(fs::file_size(dir / "VOKR_vytvorRezervaciZPMZ_req.xml"), 3u);
}

TEST_F(CallDumps, CarryTheTimestampWhenSwitchedOn) {
  log(1, 1);
  call();
  auto names = files();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_TRUE(std::regex_match(names[0], std::regex("VOKR_vytvorRezervaciZPMZ_req_\\d{8}_\\d{6}_\\d{3}\\.xml")))
      << names[0];
  EXPECT_TRUE(std::regex_match(names[1], std::regex("VOKR_vytvorRezervaciZPMZ_resp_\\d{8}_\\d{6}_\\d{3}\\.xml")))
      << names[1];
}

TEST_F(CallDumps, AreNotWrittenAtLogLevelZeroOrBelow) {
  for (int32_t level : {0, -5}) {
    log(level, 0);
    EXPECT_NO_THROW(call());
    EXPECT_TRUE(files().empty()) << "LogLevel " << level;
  }
  EXPECT_EQ(server.requests().size(), 2u);
}

TEST_F(CallDumps, ThatCannotBeWrittenDoNotDisturbTheCall) {
  fs::remove_all(dir);  // after the settings were made
  EXPECT_NO_THROW(call());
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_FALSE(fs::exists(dir));
}

// The hook reads the answer beside the reader: the dump gets CR LF line ends, the bytes of an
// MTOM part reach the response object as they were sent.
TEST_F(CallDumps, LeaveTheAnswerAsItCameForTheReader) {
  Answer a;
  a.headers = {{"Content-Type", "multipart/related; type=\"application/xop+xml\"; "
                                "boundary=\"uuid:7f3c\"; start-info=\"text/xml\""}};
  a.body = readDataFile("channel/vratSouborZPMZ_mtom.response.mime");
  server.enqueue(a);
  vokr::schema::VratSouborZPMZRequest request;
  request.zpmzDokumentId = vokr::schema::TXSDecimal{"77"};
  auto answer = vokr::channel::call(settings, vokr::schema::Operation::vratSouborZPMZ, request);

  auto* response = dynamic_cast<vokr::schema::VratSouborZPMZResponse*>(answer.get());
  ASSERT_NE(response, nullptr);
  ASSERT_TRUE(response->souborZPMZ.present);
  const auto& bytes = response->souborZPMZ.value->obsahSouboru.bytes;
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("a\nb\rc\0\xff\r\n\n\xfe", 11));
  std::string dumped = readDataFile("channel/vratSouborZPMZ_mtom.response.mime");
  const std::string binary("a\nb\rc\0\xff\r\n\n\xfe", 11);
  dumped.replace(dumped.find(binary), binary.size(), std::string("a\r\nb\r\nc\0\xff\r\n\r\n\xfe", 14));
  EXPECT_EQ(readFile((dir / "VOKR_vratSouborZPMZ_resp.xml").string()), dumped);
}

// An answer the reader gives up on early ends the transfer: the dump keeps what came, and the
// call is the HTTP error it stands for.
TEST_F(CallDumps, HoldWhatCameOfAnAnswerThatIsNoSoap) {
  Answer a;
  a.status = 503;
  a.reason = "Service Unavailable";
  a.headers = {{"Content-Type", "text/html"}};
  a.body = "<html>\n<body>\n" + std::string(100000, 'x') + "\n</body>\n</html>\n";
  server.enqueue(a);
  vokr::schema::SeznamRizeniPMRequest request;
  try {
    vokr::channel::call(settings, vokr::schema::Operation::seznamRizeniPM, request);
    ADD_FAILURE() << "the call succeeded";
  } catch (const vokr::Error& e) {
    EXPECT_EQ(e.kindName(), "EHttpError");
    EXPECT_STREQ(e.what(), "HTTP 503 Service Unavailable");
  }
  // What came, its last line ended like every dumped answer's.
  std::string dumped = readFile((dir / "VOKR_seznamRizeniPM_resp.xml").string());
  const std::string whole = withCrLf(a.body);
  ASSERT_TRUE(dumped.ends_with("\r\n"));
  dumped.resize(dumped.size() - 2);
  EXPECT_GE(dumped.size(), 16u);
  EXPECT_LT(dumped.size(), whole.size() / 2);
  EXPECT_TRUE(whole.starts_with(dumped)) << "not what came first";
}

} // namespace
