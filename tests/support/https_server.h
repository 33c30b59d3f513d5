#pragma once
// A loopback HTTPS server for tests: a thread of the test process, with a certificate made
// fresh at start. It answers each request with the next scripted answer and records what it
// received, so a test can see the exact wire of a call and shape the failures a client meets.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "system.h"

struct ssl_st;

namespace vokr::test {

using Headers = std::vector<std::pair<std::string, std::string>>;
using std::chrono::milliseconds;

struct CapturedRequest {
  std::string method;
  std::string path;  // the request target as sent
  Headers headers;   // in the order received, names as sent
  std::string body;  // empty when the bytes went to ServerOptions::bodySink
  uint64_t bodySize = 0;
  std::string tlsVersion;  // as OpenSSL names it, e.g. "TLSv1.2"
  bool tlsResumed = false;  // the connection resumed an earlier TLS session

  // Value of the first header of that name (case-insensitive); empty when absent.
  std::string header(std::string_view name) const;
  bool hasHeader(std::string_view name) const;
};

struct Answer {
  int status = 200;
  std::string reason = "OK";
  Headers headers;  // Content-Length and Connection: close are added
  std::string body;
  // When set, the body is `generatedLength` bytes pulled from the generator instead of `body`.
  std::function<size_t(char* buffer, size_t n)> generator;
  uint64_t generatedLength = 0;

  milliseconds delayBeforeHeaders{0};  // after the request has been read
  milliseconds delayMidBody{0};        // after half of the body has been sent
  milliseconds trickle{0};             // when set, the body goes one byte at a time, each after this
  uint64_t claimedLength = 0;          // when set, the Content-Length sent instead of the body's
  milliseconds stallReading{0};        // before reading the request body at all
  enum class Close { normally, beforeAnswer, midBody } close = Close::normally;

  static Answer soap(std::string body, int status = 200, std::string reason = "OK");
};

enum class Tls { v1_0, v1_1, v1_2, v1_3 };

struct ServerOptions {
  Tls minTls = Tls::v1_0;
  Tls maxTls = Tls::v1_3;
  std::vector<std::string> names = {"127.0.0.1", "localhost"};  // IPs and DNS names of the cert
  milliseconds handshakeDelay{0};  // a connection that is accepted but not yet served
  // When set, request bodies go here as they arrive (on the server thread) instead of being
  // kept: for bodies too large to hold twice.
  std::function<void(const char* data, size_t n)> bodySink = nullptr;
};

class HttpsServer {
public:
  explicit HttpsServer(ServerOptions options = {});
  ~HttpsServer();
  HttpsServer(const HttpsServer&) = delete;
  HttpsServer& operator=(const HttpsServer&) = delete;

  uint16_t port() const { return port_; }
  std::string url() const;  // "https://127.0.0.1:<port>"
  const std::string& certificateFile() const { return certFile_; }
  // Makes this server's certificate the only one trusted (SSL_CERT_FILE; SSL_CERT_DIR unset).
  void trust() const;

  // Answers are used in order, one per request; with none left the server answers 599.
  void enqueue(Answer answer);
  std::vector<CapturedRequest> requests() const;
  // Waits until `n` requests have been seen or the time is up; returns the requests.
  std::vector<CapturedRequest> waitForRequests(size_t n, milliseconds limit);
  size_t connections() const;

private:
  struct TlsContext;
  void run();
  void serve(Socket fd);
  Answer nextAnswer();
  bool sendAnswer(ssl_st* ssl, Socket fd, Answer& answer);  // false: the connection is done with
  bool pause(milliseconds d);  // false when the server is stopping

  ServerOptions options_;
  std::unique_ptr<TlsContext> tls_;
  std::string dir_, certFile_;
  Socket listenFd_ = -1;
  uint16_t port_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  Socket clientFd_ = -1;
  size_t connections_ = 0;
  std::deque<Answer> answers_;
  std::vector<CapturedRequest> requests_;
  std::thread thread_;
};

} // namespace vokr::test
