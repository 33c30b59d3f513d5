// The HTTPS transport on its own: payloads far larger than any buffer, the send time-out, and
// the proxy bypass list. Everything a call sends and meets on the wire is tested through
// channel::call in channel_call_test.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "channel/transport.h"
#include "https_server.h"
#include "platform/error.h"
#include "schema/rope.h"

namespace {

using namespace vokr::test;
using vokr::channel::AnswerSink;
using vokr::channel::HttpStatus;
using vokr::channel::TransportSettings;
using vokr::schema::Rope;

// FNV-1a over a byte stream: enough to tell two 100 MB streams apart without holding either.
struct Digest {
  uint64_t value = 1469598103934665603ull;
  uint64_t size = 0;
  void add(const char* data, size_t n) {
    for (size_t i = 0; i < n; ++i) value = (value ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    size += n;
  }
};

// Bytes that differ from position to position, generated rather than held.
unsigned char patternByte(uint64_t i) { return static_cast<unsigned char>((i * 131) ^ (i >> 11)); }

class PatternSource : public vokr::schema::ByteSource {
public:
  explicit PatternSource(uint64_t size) : size_(size) {}
  uint64_t size() const override { return size_; }
  size_t read(uint64_t offset, void* buffer, size_t n) const override {
    size_t count = static_cast<size_t>(std::min<uint64_t>(n, size_ - std::min(offset, size_)));
    auto* out = static_cast<unsigned char*>(buffer);
    for (size_t i = 0; i < count; ++i) out[i] = patternByte(offset + i);
    return count;
  }

private:
  uint64_t size_;
};

Digest digestOf(const Rope& rope) {
  Digest d;
  Rope::Reader reader(rope);
  char buffer[1 << 16];
  while (size_t n = reader.read(buffer, sizeof buffer)) d.add(buffer, n);
  return d;
}

struct DigestSink final : AnswerSink {
  HttpStatus status;
  int begins = 0;
  Digest received;
  void begin(const HttpStatus& s) override {
    status = s;
    ++begins;
  }
  void body(const char* data, size_t n) override { received.add(data, n); }
};

TransportSettings to(const HttpsServer& server) {
  TransportSettings s;
  s.endpoint = server.url() + "/ws/geo/2.9/geo";
  return s;
}

Rope envelopeAround(uint64_t attachmentBytes) {
  Rope rope;
  rope.append("<?xml version=\"1.0\"?>\r\n<SOAP-ENV:Envelope><SOAP-ENV:Body><soubor>");
  rope.appendBase64(std::make_shared<PatternSource>(attachmentBytes));
  rope.append("</soubor></SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n");
  return rope;
}

TEST(Transport, UploadsAHundredMegabyteAttachmentIntact) {
  Digest received;
  HttpsServer server({.bodySink = [&](const char* d, size_t n) { received.add(d, n); }});
  server.trust();
  server.enqueue(Answer::soap("<ok/>"));
  const Rope rope = envelopeAround(100u << 20);

  DigestSink sink;
  HttpStatus status = vokr::channel::post(to(server), "urn:action", rope, sink);

  auto requests = server.waitForRequests(1, std::chrono::seconds(5));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(status.code, 200);
  EXPECT_EQ(requests[0].header("Content-Length"), std::to_string(rope.size()));
  const Digest sent = digestOf(rope);
  EXPECT_EQ(received.size, sent.size);
  EXPECT_EQ(received.value, sent.value);
}

TEST(Transport, StreamsAnAnswerLargerThanAHundredMegabytes) {
  const uint64_t size = (100u << 20) + 12345;
  HttpsServer server;
  server.trust();
  Answer big = Answer::soap("");
  uint64_t produced = 0;
  big.generatedLength = size;
  big.generator = [&](char* buffer, size_t n) {
    for (size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(patternByte(produced + i));
    produced += n;
    return n;
  };
  server.enqueue(std::move(big));

  Rope request;
  request.append("<request/>");
  DigestSink sink;
  vokr::channel::post(to(server), "urn:action", request, sink);

  Digest expected;
  for (uint64_t at = 0; at < size;) {
    char chunk[1 << 16];
    size_t n = static_cast<size_t>(std::min<uint64_t>(sizeof chunk, size - at));
    for (size_t i = 0; i < n; ++i) chunk[i] = static_cast<char>(patternByte(at + i));
    expected.add(chunk, n);
    at += n;
  }
  EXPECT_EQ(sink.begins, 1);
  EXPECT_EQ(sink.status.contentType, "text/xml; charset=utf-8");
  EXPECT_EQ(sink.received.size, size);
  EXPECT_EQ(sink.received.value, expected.value);
}

// A server that stops reading: the request cannot go out, and SendTimeout ends the call
// long before the server would read again.
TEST(Transport, SendTimeoutEndsAStalledUpload) {
  HttpsServer server({.bodySink = [](const char*, size_t) {}});
  server.trust();
  Answer stalled = Answer::soap("<ok/>");
  stalled.stallReading = std::chrono::seconds(20);
  server.enqueue(std::move(stalled));
  TransportSettings settings = to(server);
  settings.sendTimeout = 400;
  settings.receiveTimeout = 60000;

  DigestSink sink;
  try {
    vokr::channel::post(settings, "urn:action", envelopeAround(64u << 20), sink);
    FAIL() << "the upload should have timed out";
  } catch (const vokr::Error& e) {
    EXPECT_EQ(e.kind(), "ETransportError");
    EXPECT_NE(std::string(e.what()).find("(SendTimeout)"), std::string::npos) << e.what();
  }
}

struct BypassCase {
  const char* host;
  const char* list;
  bool bypassed;
};

class ProxyBypass : public ::testing::TestWithParam<BypassCase> {};

TEST_P(ProxyBypass, MatchesTheWindowsFormOfTheList) {
  const BypassCase& c = GetParam();
  EXPECT_EQ(vokr::channel::bypassesProxy(c.host, c.list), c.bypassed) << c.host << " in \"" << c.list << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ProxyBypass,
    ::testing::Values(
        BypassCase{"localhost", "<local>", true},         // no dot: a local name
        BypassCase{"127.0.0.1", "<local>", false},
        BypassCase{"ws.cuzk.cz", "<LOCAL>", false},
        BypassCase{"ws.cuzk.cz", "WS.CUZK.CZ", true},      // letters without regard to case
        BypassCase{"ws.cuzk.cz", "ws.cuzk.c", false},      // whole names, no prefix match
        BypassCase{"ws.cuzk.cz", "*.cuzk.cz", true},
        BypassCase{"cuzk.cz", "*.cuzk.cz", false},
        BypassCase{"ws2.cuzk.cz", "ws*.cuzk.cz", true},
        BypassCase{"ws.katastr.cz", "ws*.cuzk.cz", false},
        BypassCase{"127.0.0.1", "10.*;192.168.*;127.*", true},
        BypassCase{"127.0.0.1", "10.* 192.168.*", false},  // blanks separate entries too
        BypassCase{"127.0.0.1", " ;; 127.0.0.1 ; ", true},  // empty entries are skipped
        BypassCase{"ws.cuzk.cz", "*", true},
        BypassCase{"ws.cuzk.cz", "", false}));

} // namespace
