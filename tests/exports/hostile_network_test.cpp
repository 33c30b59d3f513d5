// What an unsafe URL, a planted link, an unlucky network and a hostile server must not do to a
// load, through the exports: no password in clear, no dump written through a link, no call
// without an end, no memory taken on a server's word.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "family_calls.h"
#include "host_records.h"
#include "other_process.h"

using namespace vokr::test;
namespace fs = std::filesystem;

namespace {

// TSeznamRizeniPMOut (13): message block at 0, list at 9. TVratSouborZPMZIn (71): katuzeKod 7
// at 0, cisloVysledkuZemCinnosti 33 at 7, zpmzDokumentId 31 at 40.
constexpr size_t kSeznamOut = 13, kVratIn = 71;
// TVOKR_HostParams (2055): LogPath 1025 at 1025, LogLevel at 2050, LogUseTimestamp at 2054.
constexpr size_t kParamsSize = 2055, kLogPath = 1025, kLogLevel = 2050, kLogUseTimestamp = 2054;

// A hang ends the test process (SIGALRM) instead of holding the run: the limits are far above
// what a sound call takes, and far below what the faults they catch took.
class Deadline {
public:
  explicit Deadline(unsigned seconds) { alarm(seconds); }
  ~Deadline() { alarm(0); }
};

// A plain TCP listener on loopback that records every connection and byte sent to it.
class PlainListener {
public:
  PlainListener() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd_, 4) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      throw std::runtime_error("plain listener");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
  }
  ~PlainListener() {
    stop_ = true;
    thread_.join();
    close(fd_);
  }
  uint16_t port() const { return port_; }
  size_t connections() const { return connections_; }
  size_t bytes() const { return bytes_; }

private:
  void run() {
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      ++connections_;
      char buffer[4096];
      pollfd c{client, POLLIN, 0};
      // What comes within a second, then the connection is closed: a client in clear text
      // fails at once instead of waiting for an answer.
      while (poll(&c, 1, 1000) > 0) {
        ssize_t n = read(client, buffer, sizeof buffer);
        if (n <= 0) break;
        bytes_ += size_t(n);
      }
      close(client);
    }
  }
  int fd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<size_t> connections_{0}, bytes_{0};
  std::thread thread_;
};

struct Outcome {
  std::string result, flags, kod, text;
};

class HostileNetwork : public FamilyTest {
protected:
  // loadSeznamRizeniPM and the first message then held.
  Outcome listProceedings() {
    Outcome o;
    o.result = load("SeznamRizeniPM", nullptr);
    Record out = newRecord(arena, kSeznamOut, 0xCC);
    HostMessages m = HostMessages::attach(arena, out, 0, 1);
    out.ptr(9, 0);
    get("SeznamRizeniPM", out);
    o.flags = messageFlags(out);
    o.kod = m.kod(0);
    o.text = m.text(0);
    return o;
  }
  // The server's connection settings with these time-outs.
  void timeouts(int32_t connect, int32_t send, int32_t receive, const std::string& url = "") {
    Record info = newRecord(arena, connectInfo::kSize);
    set(info, connectInfo::url, url.empty() ? server.url() : url);
    set(info, connectInfo::userName, "surveyor");
    set(info, connectInfo::userPassword, "heslo");
    info.i32(connectInfo::connectTimeout, connect)
        .i32(connectInfo::sendTimeout, send)
        .i32(connectInfo::receiveTimeout, receive);
    plugin->fn<RecordFn>("SetConnectInfo")(info.data());
  }
  // Dumps on, without timestamps, into `folder`.
  void dumpInto(const fs::path& folder) {
    Record params = newRecord(arena, kParamsSize);
    params.text(kLogPath, 1025, folder.string() + "/").i32(kLogLevel, 1).u8(kLogUseTimestamp, 0);
    plugin->fn<RecordFn>("SetVOKRParams")(params.data());
  }
  fs::path freshFolder(const std::string& name) {
    fs::path p = fs::path(::testing::TempDir()) / (name + "-" + std::to_string(getpid()));
    fs::remove_all(p);
    fs::create_directories(p);
    folders_.push_back(p);
    return p;
  }
  void TearDown() override {
    for (const fs::path& p : folders_) fs::remove_all(p);
  }

private:
  std::vector<fs::path> folders_;
};

bool startsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// ---- only https:// ----

TEST_F(HostileNetwork, UrlWithoutHttpsIsRefusedBeforeAnythingIsSent) {
  PlainListener listener;
  const std::string at = "127.0.0.1:" + std::to_string(listener.port());
  for (const std::string& url : {"http://" + at, "HTTP://" + at, at, "ftp://" + at, "//" + at}) {
    timeouts(2000, 2000, 2000, url);
    Outcome o = listProceedings();
    EXPECT_EQ(o.result, "0") << url;
    EXPECT_EQ(o.flags, "00010") << url << ": refused before the call, no failed call";
    EXPECT_EQ(o.kod, "1001") << url;
    EXPECT_EQ(o.text, "EConvertError; the service is reached over HTTPS only: " + url + "/ws/geo/2.9/geo");
  }
  EXPECT_EQ(listener.connections(), 0u);
  EXPECT_EQ(listener.bytes(), 0u);
}

TEST_F(HostileNetwork, HttpsInCapitalsIsHttpsAndAnEmptyUrlAFailedCall) {
  answerWith("seznamRizeniPM/three.response.xml");
  std::string upper = server.url();
  upper.replace(0, 5, "HTTPS");
  timeouts(2000, 2000, 2000, upper);
  EXPECT_EQ(listProceedings().flags, "10000");

  Record info = newRecord(arena, connectInfo::kSize);  // no URL at all
  plugin->fn<RecordFn>("SetConnectInfo")(info.data());
  Outcome o = listProceedings();
  EXPECT_EQ(o.flags, "00011");
  EXPECT_EQ(o.kod, "1000");
  EXPECT_TRUE(startsWith(o.text, "ETransportError; ")) << o.text;
  EXPECT_EQ(server.requests().size(), 1u);
}

// ---- dumps and planted links ----

TEST_F(HostileNetwork, DumpsReplaceAPlantedLinkInsteadOfWritingThroughIt) {
  const fs::path logs = freshFolder("vokr-dumps"), elsewhere = freshFolder("vokr-victim");
  const fs::path victim = elsewhere / "victim.txt";
  { std::ofstream(victim) << "the host's own file"; }
  fs::permissions(victim, fs::perms(0644));
  for (const char* kind : {"req", "resp"})
    fs::create_symlink(victim, logs / ("VOKR_seznamRizeniPM_" + std::string(kind) + ".xml"));
  dumpInto(logs);
  answerWith("seznamRizeniPM/three.response.xml");

  EXPECT_EQ(listProceedings().flags, "10000");

  EXPECT_EQ(readFile(victim.string()), "the host's own file");
  EXPECT_EQ(fs::status(victim).permissions(), fs::perms(0644));
  size_t entries = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(logs)) {
    ++entries;
    EXPECT_TRUE(e.is_regular_file() && !e.is_symlink()) << e.path();
    EXPECT_EQ(fs::symlink_status(e.path()).permissions(), fs::perms(0600)) << e.path();
  }
  EXPECT_EQ(entries, 2u) << "the two dumps and nothing left beside them";
  EXPECT_EQ(readFile((logs / "VOKR_seznamRizeniPM_resp.xml").string()),
            withCrLf(readDataFile("seznamRizeniPM/three.response.xml")));
  EXPECT_TRUE(startsWith(readFile((logs / "VOKR_seznamRizeniPM_req.xml").string()), "<?xml"));
}

// ---- a broken answer ends the transfer ----

// "not XML", then bytes without end: the reader fails at once, and nothing more is waited for.
TEST_F(HostileNetwork, AnswerTheReaderGaveUpOnIsNotReadToItsEnd) {
  for (bool dumps : {false, true}) {
    const fs::path logs = freshFolder(dumps ? "vokr-endless-dumps" : "vokr-endless");
    if (dumps) dumpInto(logs);
    Answer a = Answer::soap("");
    a.generatedLength = uint64_t(1) << 40;
    a.generator = [sent = std::string("not XML ")](char* buffer, size_t n) mutable {
      std::memset(buffer, 'x', n);
      const size_t head = std::min(n, sent.size());
      std::memcpy(buffer, sent.data(), head);
      sent.erase(0, head);
      return n;
    };
    server.enqueue(std::move(a));
    Outcome o;
    {
      Deadline deadline(60);
      o = listProceedings();
    }
    EXPECT_EQ(o.kod, "1000") << "dumps " << dumps;
    EXPECT_TRUE(startsWith(o.text, "EXmlReadError; ")) << o.text;
    if (dumps) {
      EXPECT_TRUE(startsWith(readFile((logs / "VOKR_seznamRizeniPM_resp.xml").string()), "not XML xxx"));
    }
  }
}

// ---- time-outs ----

// The server takes the connection but never answers the ClientHello; only ReceiveTimeout is set.
TEST_F(HostileNetwork, ReceiveTimeoutBoundsAStalledTlsHandshake) {
  HttpsServer silent({.handshakeDelay = milliseconds(120000)});
  timeouts(-1, -1, 1500, silent.url());
  Outcome o;
  {
    Deadline deadline(60);
    o = listProceedings();
  }
  EXPECT_EQ(o.kod, "1000");
  EXPECT_TRUE(startsWith(o.text, "ETransportError; ")) << o.text;
  EXPECT_NE(o.text.find("(ReceiveTimeout 1500 ms)"), std::string::npos) << o.text;
  EXPECT_EQ(silent.connections(), 1u);
}

// An answer that comes a byte every 100 ms: bytes flow, but never 1 KiB within the limit.
TEST_F(HostileNetwork, TricklingAnswerEndsTheCallAtTheReceiveLimit) {
  Answer a = Answer::soap(readDataFile("seznamRizeniPM/three.response.xml"));
  a.trickle = milliseconds(100);
  server.enqueue(std::move(a));
  timeouts(-1, -1, 1500);
  Outcome o;
  {
    Deadline deadline(60);
    o = listProceedings();
  }
  EXPECT_EQ(o.kod, "1000");
  EXPECT_EQ(o.text, "ETransportError; Operation timed out: less than 1024 bytes received in 1500 "
                    "milliseconds (ReceiveTimeout)");
}

// ---- hostile shapes ----

TEST_F(HostileNetwork, DeepNestingFailsTheRead) {
  const int depth = 100000;
  std::string body = R"(<S:Envelope xmlns:S="http://schemas.xmlsoap.org/soap/envelope/"><S:Body>)"
                     R"(<ns0:SeznamRizeniPMResponse xmlns:ns0="http://katastr.cuzk.cz/geows/types/v2.9">)";
  for (int i = 0; i < depth; ++i) body += "<a>";
  for (int i = 0; i < depth; ++i) body += "</a>";
  body += "</ns0:SeznamRizeniPMResponse></S:Body></S:Envelope>";
  server.enqueue(Answer::soap(body));
  Outcome o;
  {
    Deadline deadline(60);
    o = listProceedings();
  }
  EXPECT_EQ(o.kod, "1000");
  EXPECT_EQ(o.text, "EXmlReadError; the answer nests elements deeper than 256 levels");
}

// The peak of the process's address space (VmPeak), in bytes.
uint64_t addressSpacePeak() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (startsWith(line, "VmPeak:")) return std::strtoull(line.c_str() + 7, nullptr, 10) * 1024;
  return 0;
}

// A header announcing 2 GB before a small body: the file's room grows with what arrives. The
// load runs in a child, whose address-space peak starts afresh at the fork.
TEST_F(HostileNetwork, AnnouncedLengthReservesNothingAhead) {
  Answer a = Answer::soap(
      R"(<S:Envelope xmlns:S="http://schemas.xmlsoap.org/soap/envelope/"><S:Body>)"
      R"(<ns0:VratSouborZPMZResponse xmlns:ns0="http://katastr.cuzk.cz/geows/types/v2.9">)"
      "<ns0:souborZPMZ><ns0:zpmzDokumentId>11</ns0:zpmzDokumentId><ns0:obsahSouboru>" +
      std::string(4000, 'A'));
  a.claimedLength = 2000000000;
  server.enqueue(std::move(a));
  Record in = newRecord(arena, kVratIn);
  in.text(0, 7, "600001").text(7, 33, "1234").text(40, 31, "11");
  constexpr uint64_t kLimit = uint64_t(256) << 20;
  const int status = runInChild([&] {
    const uint64_t before = addressSpacePeak();
    plugin->fn<PlainLoadFn>("loadVratSouborZPMZ")(in.data());
    const uint64_t growth = addressSpacePeak() - before;
    std::fprintf(stderr, "address space grew by %llu bytes\n", static_cast<unsigned long long>(growth));
    _exit(before == 0 ? 3 : growth < kLimit ? 0 : 2);
  });
  EXPECT_EQ(status, 0) << "exit status " << WEXITSTATUS(status) << ": 2 means reserved ahead";
  EXPECT_EQ(server.waitForRequests(1, milliseconds(5000)).size(), 1u);
}

} // namespace
