// The HTTPS transport on its own: payloads far larger than any buffer, the send time-out, and
// the proxy bypass list. Everything a call sends and meets on the wire is tested through
// channel::call in channel_call_test.cpp.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstring>
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

// MD5 over a byte stream: enough to tell two 100 MB streams apart without holding either.
class Digest {
public:
  Digest() : ctx_(EVP_MD_CTX_new(), EVP_MD_CTX_free) { EVP_DigestInit_ex(ctx_.get(), EVP_md5(), nullptr); }
  void add(const char* data, size_t n) {
    EVP_DigestUpdate(ctx_.get(), data, n);
    size += n;
  }
  std::string value() {
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    EVP_DigestFinal_ex(ctx_.get(), md, &len);
    return std::string(reinterpret_cast<char*>(md), len);
  }
  uint64_t size = 0;

private:
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx_;
};

// Bytes that differ from position to position with a period (a prime) that no buffer size of
// either side shares, generated rather than held.
constexpr size_t kPeriod = 65521;
const std::string& patternBlock() {
  static const std::string block = [] {
    std::string b(2 * kPeriod, '\0');
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<char>((i % kPeriod) * 131 ^ (i % kPeriod) >> 7);
    return b;
  }();
  return block;
}
// Fills n <= kPeriod bytes of the pattern from position `at`.
void pattern(uint64_t at, char* out, size_t n) {
  std::memcpy(out, patternBlock().data() + at % kPeriod, n);
}

class PatternSource : public vokr::schema::ByteSource {
public:
  explicit PatternSource(uint64_t size) : size_(size) {}
  uint64_t size() const override { return size_; }
  size_t read(uint64_t offset, void* buffer, size_t n) const override {
    size_t count = static_cast<size_t>(std::min<uint64_t>({n, kPeriod, size_ - std::min(offset, size_)}));
    pattern(offset, static_cast<char*>(buffer), count);
    return count;
  }

private:
  uint64_t size_;
};

constexpr std::string_view kHead =
    "<?xml version=\"1.0\"?>\r\n<SOAP-ENV:Envelope><SOAP-ENV:Body><soubor>";
constexpr std::string_view kTail = "</soubor></SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n";

Rope envelopeAround(uint64_t attachmentBytes) {
  Rope rope;
  rope.append(kHead);
  rope.appendBase64(std::make_shared<PatternSource>(attachmentBytes));
  rope.append(kTail);
  return rope;
}

// The same envelope as the wire should carry it, encoded here by OpenSSL: base64 lines of 76
// characters, each full one ended by CR LF.
Digest expectedEnvelope(uint64_t attachmentBytes) {
  Digest d;
  d.add(kHead.data(), kHead.size());
  for (uint64_t at = 0; at < attachmentBytes; at += 57) {
    char in[57];
    unsigned char out[80];
    size_t n = static_cast<size_t>(std::min<uint64_t>(57, attachmentBytes - at));
    pattern(at, in, n);
    int len = EVP_EncodeBlock(out, reinterpret_cast<unsigned char*>(in), static_cast<int>(n));
    d.add(reinterpret_cast<char*>(out), static_cast<size_t>(len));
    if (n == 57) d.add("\r\n", 2);
  }
  d.add(kTail.data(), kTail.size());
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
  bool body(const char* data, size_t n) override {
    received.add(data, n);
    return true;
  }
};

TransportSettings to(const HttpsServer& server) {
  TransportSettings s;
  s.endpoint = server.url() + "/ws/geo/2.9/geo";
  return s;
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
  EXPECT_FALSE(requests[0].hasHeader("Expect")) << "no waiting for 100 Continue";
  Digest expected = expectedEnvelope(100u << 20);
  EXPECT_EQ(received.size, expected.size);
  EXPECT_EQ(received.value(), expected.value());
}

TEST(Transport, StreamsAnAnswerLargerThanAHundredMegabytes) {
  const uint64_t size = (100u << 20) + 12345;
  HttpsServer server;
  server.trust();
  Answer big = Answer::soap("");
  uint64_t produced = 0;
  big.generatedLength = size;
  big.generator = [&](char* buffer, size_t n) {
    n = std::min(n, kPeriod);
    pattern(produced, buffer, n);
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
    size_t n = static_cast<size_t>(std::min<uint64_t>(kPeriod, size - at));
    expected.add(patternBlock().data() + at % kPeriod, n);
    at += n;
  }
  EXPECT_EQ(sink.begins, 1);
  EXPECT_EQ(sink.status.contentType, "text/xml; charset=utf-8");
  EXPECT_EQ(sink.received.size, size);
  EXPECT_EQ(sink.received.value(), expected.value());
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
    EXPECT_EQ(e.kindName(), "ETransportError");
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
