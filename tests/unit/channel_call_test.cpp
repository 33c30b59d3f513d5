// One service call through the channel against the loopback HTTPS server: what goes over the
// wire, what comes back, and every way the exchange can fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "channel/channel.h"
#include "channel_settings.h"
#include "https_server.h"
#include "scoped_env.h"
#include "platform/error.h"
#include "proxy.h"
#include "schema/messages.h"
#include "code_page.h"
#include "test_data.h"
#include "system.h"

#define STR2(x) #x
#define STR(x) STR2(x)

namespace {

using namespace vokr::test;
using vokr::channel::ChannelSettings;
using vokr::schema::Operation;
using vokr::schema::TXSDecimal;

std::unique_ptr<vokr::schema::TRemotable> reserveZpmz(const ChannelSettings& settings) {
  vokr::schema::VytvorRezervaciZPMZRequest request;
  request.idRizeniPM = TXSDecimal{"4711"};
  request.katuzeKod = TXSDecimal{"600016"};
  return vokr::channel::call(settings, Operation::vytvorRezervaciZPMZ, request);
}

// The error a call ends with; a call that succeeds fails the test.
vokr::Error failureOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const vokr::Error& e) {
    return e;
  }
  ADD_FAILURE() << "the call succeeded";
  return vokr::Error(vokr::ErrorKind::OutOfResources, "");
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string headerOf(const std::string& envelope) {
  const std::string open = "<SOAP-ENV:Header>", close = "</SOAP-ENV:Header>";
  size_t begin = envelope.find(open), end = envelope.find(close);
  if (begin == std::string::npos || end == std::string::npos) return "<no header>";
  return envelope.substr(begin + open.size(), end - begin - open.size());
}

// A loopback port on which nothing listens.
uint16_t closedPort() {
  uint16_t port = 0;
  vokr::test::closeSocket(vokr::test::listenOnLoopback(port));
  return port;
}

class Channel : public ::testing::Test {
protected:
  void SetUp() override {
    server.trust();
    settings = channelSettings(connection());
  }
  Connection connection() const {
    Connection c;
    c.url = server.url();
    c.userName = "geodet";
    c.userPassword = "tajne";
    return c;
  }
  void answerOk() { server.enqueue(Answer::soap(readDataFile("channel/vytvorRezervaciZPMZ.response.xml"))); }
  CapturedRequest onlyRequest() {
    auto requests = server.requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? CapturedRequest{} : requests[0];
  }

  HttpsServer server;
  ChannelSettings settings;
};

TEST_F(Channel, PostsTheEnvelopeAsTheServiceExpectsAndReadsTheAnswer) {
  answerOk();
  auto answer = reserveZpmz(settings);

  const CapturedRequest r = onlyRequest();
  EXPECT_EQ(r.method, "POST");
  EXPECT_EQ(r.path, "/ws/geo/2.9/geo");
  EXPECT_EQ(r.header("Content-Type"), "text/xml; charset=\"utf-8\"");
  EXPECT_EQ(r.header("SOAPAction"), "\"http://katastr.cuzk.cz/geows/vytvorRezervaciZPMZ\"");
  EXPECT_EQ(r.header("Accept"), "*/*");
  EXPECT_EQ(r.header("User-Agent"),
            "VOKR/2.9 (libvokr " STR(VOKR_VERSION_MAJOR) "." STR(VOKR_VERSION_MINOR) "." STR(
                VOKR_VERSION_RELEASE) "." STR(VOKR_VERSION_BUILD) ")");
  EXPECT_EQ(r.header("Content-Length"), std::to_string(r.body.size()));
  EXPECT_FALSE(r.hasHeader("Expect"));
  EXPECT_FALSE(r.hasHeader("Transfer-Encoding"));
  EXPECT_EQ(r.tlsVersion, "TLSv1.2") << "the server offers TLS 1.3 too";
  EXPECT_EQ(r.body, readDataFile("channel/vytvorRezervaciZPMZ.request.xml"));

  auto* response = dynamic_cast<vokr::schema::VytvorRezervaciZPMZResponse*>(answer.get());
  ASSERT_NE(response, nullptr);
  ASSERT_EQ(response->vysledek.size(), 1u);
  EXPECT_EQ(response->vysledek[0]->kod->text, "0");
  EXPECT_EQ(response->vysledek[0]->Text, "Požadovaná akce byla úspěšně provedena.");
  ASSERT_TRUE(response->rezervCisloZPMZ.present);
  EXPECT_EQ(response->rezervCisloZPMZ.value->cisloZPMZ->text, "501");
}

TEST_F(Channel, SendsTheRequestWithItsFixUps) {
  server.enqueue(Answer::soap(readDataFile("channel/vlozParcelu.response.xml")));
  vokr::schema::VlozParceluRequest request;
  request.idRizeniPM = TXSDecimal{"98765"};
  request.dotceneParcely = {TXSDecimal{"11"}, TXSDecimal{"12"}};
  auto answer = vokr::channel::call(settings, Operation::vlozParcelu, request);

  EXPECT_EQ(onlyRequest().body, readDataFile("channel/vlozParcelu_sent.request.xml"));
  ASSERT_NE(dynamic_cast<vokr::schema::VlozParceluResponse*>(answer.get()), nullptr);
}

TEST_F(Channel, AppendsTheServicePathToTheUrlAsItStands) {
  struct Case {
    std::string urlSuffix, path;
  };
  for (const Case& c : {Case{"/", "//ws/geo/2.9/geo"}, Case{"/katastr", "/katastr/ws/geo/2.9/geo"}}) {
    HttpsServer s;
    s.trust();
    s.enqueue(Answer::soap(readDataFile("channel/vytvorRezervaciZPMZ.response.xml")));
    Connection conn = connection();
    conn.url = s.url() + c.urlSuffix;
    reserveZpmz(channelSettings(conn));
    auto requests = s.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, c.path) << "URL " << conn.url;
  }
}

TEST_F(Channel, OpensAConnectionOfItsOwnForEveryCall) {
  answerOk();
  answerOk();
  reserveZpmz(settings);
  reserveZpmz(settings);
  EXPECT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(server.connections(), 2u);
}

using vokr::test::CodePage;

struct HeaderCase {
  const char* name;
  const char* locale;
  std::string userName, password;  // host bytes
  const char* expected;            // data file: the text inside SOAP-ENV:Header
};

class SecurityHeader : public Channel, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(SecurityHeader, CarriesTheUserNameTokenOfTheSettings) {
  const HeaderCase& c = GetParam();
  CodePage codePage(c.locale);
  Connection conn = connection();
  conn.userName = c.userName;
  conn.userPassword = c.password;
  settings = channelSettings(conn);
  answerOk();
  reserveZpmz(settings);
  EXPECT_EQ(headerOf(onlyRequest().body), readDataFile(std::string("channel/") + c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Users, SecurityHeader,
    ::testing::Values(
        HeaderCase{"both", "C.UTF-8", "geodet", "tajne", "header_both.xml"},
        HeaderCase{"userOnly", "C.UTF-8", "geodet", "", "header_userOnly.xml"},
        HeaderCase{"neither", "C.UTF-8", "", "", "header_neither.xml"},
        // Windows-1250 bytes of "Jiří Čermák" and "heslo&<1>": UTF-8 and escaped on the wire.
        HeaderCase{"czechUser", "cs_CZ.CP1250", "Ji\xf8\xed \xc8" "erm\xe1k", "heslo&<1>",
                   "header_czechUser.xml"}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
  const char* name;
  int status;
  const char* reason;
  const char* contentType;
  std::string body;  // "@file" reads tests/data/channel/file
  const char* kind;
  const char* message;  // the whole message
};

class AnswerFailures : public Channel, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(AnswerFailures, BecomeTheErrorTheAnswerStandsFor) {
  const FailureCase& c = GetParam();
  Answer a;
  a.status = c.status;
  a.reason = c.reason;
  a.headers = {{"Content-Type", c.contentType}};
  a.body = c.body.rfind('@', 0) == 0 ? readDataFile("channel/" + c.body.substr(1)) : c.body;
  server.enqueue(std::move(a));

  vokr::Error e = failureOf([&] { reserveZpmz(settings); });
  EXPECT_EQ(e.kindName(), c.kind);
  EXPECT_EQ(std::string(e.what()), c.message);
}

constexpr const char* kFaultText =
    "The security token could not be authenticated or authorized: wrong or missing user name or "
    "password.";

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerFailures,
    ::testing::Values(
        FailureCase{"faultWith500", 500, "Internal Server Error", "text/xml; charset=utf-8",
                    "@fault.response.xml", "ERemotableException", kFaultText},
        FailureCase{"faultWith200", 200, "OK", "text/xml", "@fault.response.xml",
                    "ERemotableException", kFaultText},
        FailureCase{"htmlWith503", 503, "Service Unavailable", "text/html",
                    "<html><body><h1>Service Unavailable</h1></body></html>", "EHttpError",
                    "HTTP 503 Service Unavailable"},
        FailureCase{"emptyWith502", 502, "Bad Gateway", "text/plain", "", "EHttpError",
                    "HTTP 502 Bad Gateway"},
        FailureCase{"reasonAsSent", 500, "Server Fell Over", "text/plain", "try later",
                    "EHttpError", "HTTP 500 Server Fell Over"}),
    [](const auto& info) { return std::string(info.param.name); });

// A success status with a body that is no SOAP answer is a reading error, not an HTTP one.
TEST_F(Channel, ReportsAnUnreadableSuccessAnswerAsAReadingError) {
  for (const char* body : {"this is not XML", "<html><body>maintenance</body></html>",
                           "<S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/soap/envelope/\"><S:Body>"}) {
    server.enqueue(Answer::soap(body));
    EXPECT_EQ(failureOf([&] { reserveZpmz(settings); }).kindName(), "EXmlReadError") << body;
  }
}

TEST_F(Channel, ReportsALostConnectionAsATransportError) {
  for (Answer::Close close : {Answer::Close::beforeAnswer, Answer::Close::midBody}) {
    Answer a = Answer::soap(readDataFile("channel/vytvorRezervaciZPMZ.response.xml"));
    a.close = close;
    server.enqueue(std::move(a));
    vokr::Error e = failureOf([&] { reserveZpmz(settings); });
    EXPECT_EQ(e.kindName(), "ETransportError") << e.what();
    EXPECT_FALSE(std::string(e.what()).empty());
  }
}

TEST_F(Channel, ReportsARefusedConnectionAsATransportError) {
  Connection conn = connection();
  conn.url = "https://127.0.0.1:" + std::to_string(closedPort());
  settings = channelSettings(conn);
  vokr::Error e = failureOf([&] { reserveZpmz(settings); });
  EXPECT_EQ(e.kindName(), "ETransportError");
  EXPECT_TRUE(contains(e.what(), "127.0.0.1")) << e.what();
}

struct TimeoutCase {
  const char* name;
  int32_t connectTimeout, receiveTimeout;
  int handshakeDelayMs, answerDelayMs, midBodyDelayMs;
  const char* fired;  // part of the error message; null: the call succeeds
};

class Timeouts : public ::testing::TestWithParam<TimeoutCase> {};

TEST_P(Timeouts, EndTheCallOnlyWhenSetAndExceeded) {
  const TimeoutCase& c = GetParam();
  HttpsServer server({.handshakeDelay = milliseconds(c.handshakeDelayMs)});
  server.trust();
  Answer a = Answer::soap(readDataFile("channel/vytvorRezervaciZPMZ.response.xml"));
  a.delayBeforeHeaders = milliseconds(c.answerDelayMs);
  a.delayMidBody = milliseconds(c.midBodyDelayMs);
  server.enqueue(std::move(a));
  Connection conn;
  conn.url = server.url();
  conn.connectTimeout = c.connectTimeout;
  conn.receiveTimeout = c.receiveTimeout;
  const ChannelSettings settings = channelSettings(conn);

  if (!c.fired) {
    EXPECT_NO_THROW(reserveZpmz(settings));
    return;
  }
  vokr::Error e = failureOf([&] { reserveZpmz(settings); });
  EXPECT_EQ(e.kindName(), "ETransportError");
  EXPECT_TRUE(contains(e.what(), c.fired)) << e.what();
}

// The servers wait far longer than the limits, so a limit that fires is not a near thing; the
// ones that must not fire face a pause that a wrongly applied limit of 0 or -1 would not survive.
INSTANTIATE_TEST_SUITE_P(
    Limits, Timeouts,
    ::testing::Values(
        TimeoutCase{"connectFires", 500, -1, 6000, 0, 0, "(ConnectTimeout 500 ms)"},
        // Named with its value when it fires while the connection is still being made (a slow
        // TLS handshake, as under wine with the Windows store loaded): the same limit.
        TimeoutCase{"receiveFiresBeforeTheAnswer", -1, 500, 0, 6000, 0, "ReceiveTimeout"},
        TimeoutCase{"receiveFiresMidAnswer", -1, 500, 0, 0, 6000, "(ReceiveTimeout)"},
        TimeoutCase{"connectMinusOneKeepsTheDefault", -1, -1, 700, 0, 0, nullptr},
        TimeoutCase{"connectZeroKeepsTheDefault", 0, 0, 700, 0, 0, nullptr},
        TimeoutCase{"receiveMinusOneKeepsTheDefault", -1, -1, 0, 700, 700, nullptr},
        TimeoutCase{"receiveZeroKeepsTheDefault", 0, 0, 0, 700, 700, nullptr},
        TimeoutCase{"slowButWithinTheLimits", 3000, 3000, 300, 300, 300, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// The limits a load works with, derived from the host's settings: -1 and 0 are no setting.
TEST(TimeoutSettings, UnsetValuesGetTheDefaultsAndReceiveBoundsTheConnection) {
  struct Case {
    int32_t connect, send, receive;                 // as the host set them
    int32_t wantConnect, wantSend, wantReceive;     // as the transport gets them
    const char* connectName;
  };
  const Case cases[] = {
      {-1, -1, -1, 60000, 30000, 30000, "ConnectTimeout"},
      {0, 0, 0, 60000, 30000, 30000, "ConnectTimeout"},
      {-7, 0, -1, 60000, 30000, 30000, "ConnectTimeout"},
      {-1, -1, 1500, 1500, 30000, 1500, "ReceiveTimeout"},
      {0, 200, 90000, 90000, 200, 90000, "ReceiveTimeout"},
      {700, -1, 1500, 700, 30000, 1500, "ConnectTimeout"},
      {700, 800, 0, 700, 800, 30000, "ConnectTimeout"},
  };
  for (const Case& c : cases) {
    Connection conn;
    conn.connectTimeout = c.connect;
    conn.sendTimeout = c.send;
    conn.receiveTimeout = c.receive;
    const vokr::channel::TransportSettings t = channelSettings(conn).transport;
    const std::string row = std::to_string(c.connect) + "/" + std::to_string(c.send) + "/" + std::to_string(c.receive);
    EXPECT_EQ(t.connectTimeout, c.wantConnect) << row;
    EXPECT_EQ(t.sendTimeout, c.wantSend) << row;
    EXPECT_EQ(t.receiveTimeout, c.wantReceive) << row;
    EXPECT_EQ(t.connectTimeoutName, c.connectName) << row;
  }
}

TEST(ChannelTls, RefusesServersOutsideTls10To12AndCertificatesItCannotTrust) {
  struct Case {
    const char* name;
    ServerOptions options;
    bool trustIt;
    const char* error;  // part of libcurl's text
  };
  const Case cases[] = {
      {"tls13Only", {.minTls = Tls::v1_3, .maxTls = Tls::v1_3}, true, "protocol version"},
      {"untrusted", {}, false, "certificate problem"},
      {"otherName", {.names = {"cadastre.invalid"}}, true, "no alternative certificate subject name"},
  };
  HttpsServer trusted;
  for (const Case& c : cases) {
    HttpsServer server(c.options);
    (c.trustIt ? server : trusted).trust();
    server.enqueue(Answer::soap(readDataFile("channel/vytvorRezervaciZPMZ.response.xml")));
    Connection conn;
    conn.url = server.url();
    const ChannelSettings settings = channelSettings(conn);
    vokr::Error e = failureOf([&] { reserveZpmz(settings); });
    EXPECT_EQ(e.kindName(), "ETransportError") << c.name;
    EXPECT_TRUE(contains(e.what(), c.error)) << c.name << ": " << e.what();
    EXPECT_TRUE(server.requests().empty()) << c.name << ": nothing may be sent";
  }
}

// Every call has a connection of its own, but a later call to the same service resumes the TLS
// session of an earlier one instead of a full handshake. A new trust setting starts afresh: a
// session is never resumed past the trust it was verified against.
TEST_F(Channel, ResumesTheTlsSessionOfAnEarlierCallUntilTheTrustChanges) {
  for (int i = 0; i < 3; ++i) answerOk();
  EXPECT_NO_THROW(reserveZpmz(settings));
  EXPECT_NO_THROW(reserveZpmz(settings));
  HttpsServer stranger;
  {
    ScopedEnv otherTrust("SSL_CERT_FILE", stranger.certificateFile().c_str());
    vokr::Error e = failureOf([&] { reserveZpmz(settings); });
    EXPECT_TRUE(contains(e.what(), "certificate problem")) << e.what();
  }
  EXPECT_NO_THROW(reserveZpmz(settings));

  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(server.connections(), 4u);
  EXPECT_FALSE(requests[0].tlsResumed);
  EXPECT_TRUE(requests[1].tlsResumed);
  EXPECT_FALSE(requests[2].tlsResumed) << "the trust setting changed in between";
}

// Through a real proxy with Basic authentication.
class ChannelProxy : public Channel {
protected:
  TinyProxy proxy{"vokr", "pr0xy"};
  std::string target() const { return "127.0.0.1:" + std::to_string(server.port()); }
  Connection viaProxy(const std::string& user, const std::string& password, const std::string& bypass = "") {
    Connection c = connection();
    c.proxy = proxy.address();
    c.proxyUserName = user;
    c.proxyPassword = password;
    c.proxyByPass = bypass;
    return c;
  }
  static bool sendsCredentials(const CapturedRequest& r) {
    return r.hasHeader("Proxy-Authorization") || r.hasHeader("Authorization");
  }
};

TEST_F(ChannelProxy, TunnelsThroughTheProxyWithItsCredentials) {
  settings = channelSettings(viaProxy("vokr", "pr0xy"));
  answerOk();
  EXPECT_NO_THROW(reserveZpmz(settings));
  EXPECT_TRUE(proxy.sawConnect(target())) << proxy.log();
  EXPECT_FALSE(sendsCredentials(onlyRequest())) << "proxy credentials stay with the proxy";
}

TEST_F(ChannelProxy, FailsWhenTheProxyRefusesTheCredentials) {
  settings = channelSettings(viaProxy("vokr", "wrong"));
  answerOk();
  vokr::Error e = failureOf([&] { reserveZpmz(settings); });
  EXPECT_EQ(e.kindName(), "ETransportError");
  EXPECT_TRUE(contains(e.what(), "CONNECT tunnel failed")) << e.what();
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(ChannelProxy, GoesDirectForAHostOnTheBypassList) {
  settings = channelSettings(viaProxy("vokr", "pr0xy", "*.cuzk.cz;127.0.0.*"));
  answerOk();
  EXPECT_NO_THROW(reserveZpmz(settings));
  EXPECT_FALSE(proxy.sawAnyClient()) << proxy.log();
  EXPECT_FALSE(sendsCredentials(onlyRequest()));
}

// Without a proxy in the settings the call goes direct: proxy credentials in the settings and
// a proxy in the environment are both ignored.
TEST_F(ChannelProxy, GoesDirectWithoutAProxySettingWhateverTheEnvironmentSays) {
  Connection c = connection();
  c.proxyUserName = "vokr";
  c.proxyPassword = "pr0xy";
  settings = channelSettings(c);
  ScopedEnv https("https_proxy", "http://" + proxy.address());
  ScopedEnv all("ALL_PROXY", "http://" + proxy.address());
  answerOk();
  EXPECT_NO_THROW(reserveZpmz(settings));
  EXPECT_FALSE(proxy.sawAnyClient()) << proxy.log();
  EXPECT_FALSE(sendsCredentials(onlyRequest()));
}

} // namespace
