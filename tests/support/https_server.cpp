#include "https_server.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "system.h"

namespace vokr::test {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error("https server: " + what);
}

int protocolVersion(Tls v) {
  switch (v) {
  case Tls::v1_0: return TLS1_VERSION;
  case Tls::v1_1: return TLS1_1_VERSION;
  case Tls::v1_2: return TLS1_2_VERSION;
  case Tls::v1_3: return TLS1_3_VERSION;
  }
  return 0;
}

bool isIpAddress(const std::string& name) {
  ASN1_OCTET_STRING* address = a2i_IPADDRESS(name.c_str());
  ASN1_OCTET_STRING_free(address);
  return address != nullptr;
}

void addExtension(X509* cert, int nid, const std::string& value) {
  X509V3_CTX ctx;
  X509V3_set_ctx_nodb(&ctx);
  X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  if (!ext || !X509_add_ext(cert, ext, -1)) fail("certificate extension " + value);
  X509_EXTENSION_free(ext);
}

// A self-signed certificate naming the given hosts; it is its own trust anchor.
X509* makeCertificate(EVP_PKEY* key, const std::vector<std::string>& names) {
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  unsigned char serial[8];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7f;
  BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert));
  BN_free(bn);
  X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
  X509_gmtime_adj(X509_getm_notAfter(cert), 2 * 86400);
  X509_set_pubkey(cert, key);
  X509_NAME* subject = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(names.at(0).c_str()), -1, -1, 0);
  X509_set_issuer_name(cert, subject);
  std::string altNames;
  for (const std::string& n : names)
    altNames += (altNames.empty() ? "" : ",") + std::string(isIpAddress(n) ? "IP:" : "DNS:") + n;
  addExtension(cert, NID_subject_alt_name, altNames);
  addExtension(cert, NID_basic_constraints, "critical,CA:TRUE");
  addExtension(cert, NID_key_usage, "critical,digitalSignature,keyCertSign");
  addExtension(cert, NID_subject_key_identifier, "hash");
  if (!X509_sign(cert, key, EVP_sha256())) fail("signing the certificate");
  return cert;
}

std::string trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b, e - b + 1));
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

} // namespace

std::string CapturedRequest::header(std::string_view name) const {
  for (const auto& [n, v] : headers)
    if (sameName(n, name)) return v;
  return {};
}

bool CapturedRequest::hasHeader(std::string_view name) const {
  for (const auto& h : headers)
    if (sameName(h.first, name)) return true;
  return false;
}

Answer Answer::soap(std::string body, int status, std::string reason) {
  Answer a;
  a.status = status;
  a.reason = std::move(reason);
  a.headers = {{"Content-Type", "text/xml; charset=utf-8"}};
  a.body = std::move(body);
  return a;
}

struct HttpsServer::TlsContext {
  SSL_CTX* ctx = nullptr;
  ~TlsContext() { SSL_CTX_free(ctx); }
};

HttpsServer::HttpsServer(ServerOptions options)
    : options_(std::move(options)), tls_(std::make_unique<TlsContext>()) {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (!key) fail("key generation");
  X509* cert = makeCertificate(key, options_.names);

  dir_ = makeTempDirectory("vokr-https");
  certFile_ = dir_ + "/server.pem";
  FILE* f = std::fopen(certFile_.c_str(), "w");
  if (!f || !PEM_write_X509(f, cert)) fail("writing " + certFile_);
  std::fclose(f);

  tls_->ctx = SSL_CTX_new(TLS_server_method());
  SSL_CTX_set_min_proto_version(tls_->ctx, protocolVersion(options_.minTls));
  SSL_CTX_set_max_proto_version(tls_->ctx, protocolVersion(options_.maxTls));
  if (options_.minTls < Tls::v1_2) SSL_CTX_set_security_level(tls_->ctx, 0);
  if (SSL_CTX_use_certificate(tls_->ctx, cert) != 1 || SSL_CTX_use_PrivateKey(tls_->ctx, key) != 1)
    fail("certificate and key");
  X509_free(cert);
  EVP_PKEY_free(key);

  listenFd_ = listenOnLoopback(port_);
  thread_ = std::thread([this] { run(); });
}

HttpsServer::~HttpsServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    if (clientFd_ >= 0) shutdownSocket(clientFd_);
  }
  changed_.notify_all();
  // A connection of its own wakes the accepting thread, which then sees that it is stopping.
  Socket wake = connectToLoopback(port_);
  thread_.join();
  if (wake >= 0) closeSocket(wake);
  closeSocket(listenFd_);
  removeTree(dir_);
}

std::string HttpsServer::url() const { return "https://127.0.0.1:" + std::to_string(port_); }

void HttpsServer::trust() const {
  setEnv("SSL_CERT_FILE", certFile_);
  unsetEnv("SSL_CERT_DIR");
}

void HttpsServer::enqueue(Answer answer) {
  std::lock_guard lock(mutex_);
  answers_.push_back(std::move(answer));
}

std::vector<CapturedRequest> HttpsServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<CapturedRequest> HttpsServer::waitForRequests(size_t n, milliseconds limit) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, limit, [&] { return requests_.size() >= n; });
  return requests_;
}

size_t HttpsServer::connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

bool HttpsServer::pause(milliseconds d) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, d, [&] { return stopping_; });
}

void HttpsServer::run() {
  blockBrokenPipeSignal();
  for (;;) {
    Socket fd = acceptConnection(listenFd_);
    if (fd < 0) {
      std::lock_guard lock(mutex_);
      if (stopping_) return;
      continue;
    }
    setIoTimeout(fd, 30);
    {
      std::lock_guard lock(mutex_);
      if (stopping_) {
        closeSocket(fd);
        return;
      }
      clientFd_ = fd;
      ++connections_;
    }
    serve(fd);
    {
      std::lock_guard lock(mutex_);
      clientFd_ = -1;
    }
    closeSocket(fd);
  }
}

namespace {

// "METHOD target HTTP/1.1" and the header lines, without the blank line that ends them.
bool parseHead(std::string_view head, CapturedRequest& req) {
  size_t lineEnd = head.find("\r\n");
  std::string_view requestLine = head.substr(0, lineEnd);
  size_t sp1 = requestLine.find(' '), sp2 = requestLine.rfind(' ');
  if (sp1 == std::string_view::npos || sp2 <= sp1) return false;
  req.method = requestLine.substr(0, sp1);
  req.path = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
  while (lineEnd != std::string_view::npos) {
    size_t next = head.find("\r\n", lineEnd + 2);
    std::string_view line = head.substr(lineEnd + 2, next == std::string_view::npos ? next : next - lineEnd - 2);
    if (size_t colon = line.find(':'); colon != std::string_view::npos)
      req.headers.emplace_back(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
    lineEnd = next;
  }
  return true;
}

bool writeAll(SSL* ssl, const char* data, size_t n) {
  return n == 0 || SSL_write(ssl, data, static_cast<int>(n)) > 0;
}

} // namespace

Answer HttpsServer::nextAnswer() {
  std::lock_guard lock(mutex_);
  Answer answer;
  if (answers_.empty()) {
    answer.status = 599;
    answer.reason = "No Answer Scripted";
  } else {
    answer = std::move(answers_.front());
    answers_.pop_front();
  }
  return answer;
}

void HttpsServer::serve(Socket fd) {
  if (options_.handshakeDelay.count() > 0 && !pause(options_.handshakeDelay)) return;
  std::unique_ptr<SSL, decltype(&SSL_free)> owner(SSL_new(tls_->ctx), SSL_free);
  SSL* ssl = owner.get();
  SSL_set_fd(ssl, fd);
  if (SSL_accept(ssl) != 1) {
    ERR_clear_error();
    return;
  }

  std::string in;
  char buf[1 << 16];
  size_t headEnd;
  while ((headEnd = in.find("\r\n\r\n")) == std::string::npos) {
    int n = SSL_read(ssl, buf, sizeof buf);
    if (n <= 0 || in.size() > (1 << 20)) return;
    in.append(buf, n);
  }
  CapturedRequest req;
  req.tlsVersion = SSL_get_version(ssl);
  req.tlsResumed = SSL_session_reused(ssl) == 1;
  if (!parseHead(std::string_view(in).substr(0, headEnd), req)) return;
  Answer answer = nextAnswer();
  if (answer.stallReading.count() > 0 && !pause(answer.stallReading)) return;

  // The body, by its Content-Length; its first bytes may have come with the head.
  const uint64_t length = std::strtoull(req.header("Content-Length").c_str(), nullptr, 10);
  auto take = [&](const char* data, size_t n) {
    if (options_.bodySink) options_.bodySink(data, n);
    else req.body.append(data, n);
    req.bodySize += n;
  };
  if (!options_.bodySink) req.body.reserve(length);
  take(in.data() + headEnd + 4, std::min<uint64_t>(in.size() - headEnd - 4, length));
  while (req.bodySize < length) {
    int n = SSL_read(ssl, buf, static_cast<int>(std::min<uint64_t>(sizeof buf, length - req.bodySize)));
    if (n <= 0) return;
    take(buf, n);
  }
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(req));
  }
  changed_.notify_all();

  if (answer.close == Answer::Close::beforeAnswer) return resetOnClose(fd);
  if (answer.delayBeforeHeaders.count() > 0 && !pause(answer.delayBeforeHeaders)) return;
  if (sendAnswer(ssl, fd, answer)) SSL_shutdown(ssl);
}

bool HttpsServer::sendAnswer(SSL* ssl, Socket fd, Answer& answer) {
  const uint64_t total = answer.generator ? answer.generatedLength : answer.body.size();
  const uint64_t announced = answer.claimedLength ? answer.claimedLength : total;
  std::string head = "HTTP/1.1 " + std::to_string(answer.status) + " " + answer.reason + "\r\n";
  for (const auto& [n, v] : answer.headers) head += n + ": " + v + "\r\n";
  head += "Content-Length: " + std::to_string(announced) + "\r\nConnection: close\r\n\r\n";
  if (!writeAll(ssl, head.data(), head.size())) return false;
  if (answer.trickle.count() > 0) {
    for (char c : answer.body)
      if (!pause(answer.trickle) || !writeAll(ssl, &c, 1)) return false;
    return true;
  }

  // Each half of the body on its own, with what the answer wants between them.
  char buf[1 << 16];
  uint64_t sent = 0;
  for (int half = 0; half < 2; ++half) {
    const uint64_t end = half == 0 ? total / 2 : total;
    while (sent < end) {
      size_t chunk = static_cast<size_t>(std::min<uint64_t>(sizeof buf, end - sent));
      const char* data = answer.body.data() + sent;
      if (answer.generator) {
        chunk = answer.generator(buf, chunk);
        if (chunk == 0) return false;
        data = buf;
      }
      if (!writeAll(ssl, data, chunk)) return false;
      sent += chunk;
    }
    if (half == 1) break;
    if (answer.delayMidBody.count() > 0 && !pause(answer.delayMidBody)) return false;
    if (answer.close == Answer::Close::midBody) {
      resetOnClose(fd);
      return false;
    }
  }
  return true;
}

} // namespace vokr::test
