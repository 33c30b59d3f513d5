// The plug-in against a raw streaming libcurl client, in one run over real TLS on loopback:
//
//   vokr_transfer_bench [--runs N] [--calls N] [--system-trust] [MB ...]
//
// For each size (default 1 16 100; 2048 on request) it uploads a proposal attachment of that
// size and downloads and saves a ZPMZ file of that size, each with both clients; then it makes
// N small calls (default 200) with each. The raw client streams the base64 through libcurl's
// callbacks, coding it on the fly with OpenSSL, saves the download to a file as the plug-in
// does (temporary file, fsync, rename) and opens a new easy handle per call. Both trust only
// the server's certificate; with --system-trust they trust the system's certificate store
// plus the server's, as a host in the field does (then the store's loading dominates a call).
//
// Every measurement runs in a child process of its own, so that its peak resident growth is
// its own; plug-in and raw client take turns, and medians of the runs are reported with the
// ratio plug-in / raw client. Every download is checked by its SHA-256, every upload by its
// length.
#include <curl/curl.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "channel/channel.h"
#include "large_answers.h"
#include "plugin/settings.h"
#include "proposals/byte_sources.h"
#include "schema/messages.h"
#include "service_test.h"
#include "vokr.h"

using namespace vokr;
namespace fs = std::filesystem;

namespace {

constexpr uint64_t kSeed = 7;
constexpr long kSmallCallId = 42;
const char kSystemTrust[] = "/etc/ssl/certs/ca-certificates.crt";
bool systemTrust = false;

const char kProposalAnswer[] =
    "<?xml version='1.0' encoding='UTF-8'?><S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<S:Body><ns0:ZalozNavrhZDPResponse xmlns:ns0=\"http://katastr.cuzk.cz/geows/types/v2.9\">"
    "<ns0:vysledek><zprava kod=\"0\" uroven=\"INFORMACE\">ok</zprava></ns0:vysledek>"
    "</ns0:ZalozNavrhZDPResponse></S:Body></S:Envelope>";

// The raw client's upload: the plug-in's request shape around the attachment's base64.
const char kUploadHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SOAP-ENV:Envelope "
    "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>"
    "<zalozNavrhZDPRequest xmlns=\"http://katastr.cuzk.cz/geows/types/v2.9\"><XMLNavrhu>PGVueC8+"
    "</XMLNavrhu><prilohaNavrhu idPrilohy=\"1\">";
const char kUploadTail[] = "</prilohaNavrhu></zalozNavrhZDPRequest></SOAP-ENV:Body></SOAP-ENV:Envelope>";

struct Result {
  double seconds = 0;
  long growthKb = 0;  // peak resident size after the work minus before it
  bool ok = false;
};

long peakKilobytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// Runs `work` in a child process; the child's result comes back through a pipe.
Result inChild(const std::function<Result()>& work) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    Result r;
    try {
      r = work();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "failed: %s\n", e.what());
    }
    (void)!write(fds[1], &r, sizeof r);
    _exit(0);
  }
  close(fds[1]);
  Result r;
  if (read(fds[0], &r, sizeof r) != sizeof r) r = {};
  close(fds[0]);
  waitpid(pid, nullptr, 0);
  return r;
}

// Times `transfer` and the growth of the peak resident size it causes.
Result measure(const std::function<bool()>& transfer) {
  const long before = peakKilobytes();
  const auto start = std::chrono::steady_clock::now();
  const bool ok = transfer();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {seconds, peakKilobytes() - before, ok};
}

std::string sha256OfFile(const std::string& path) {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr);
  std::vector<char> buffer(1 << 20);
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  ssize_t n;
  while (fd >= 0 && (n = read(fd, buffer.data(), buffer.size())) > 0) EVP_DigestUpdate(ctx, buffer.data(), size_t(n));
  if (fd >= 0) close(fd);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned len = 0;
  EVP_DigestFinal_ex(ctx, digest, &len);
  EVP_MD_CTX_free(ctx);
  return fd < 0 ? "" : std::string(reinterpret_cast<char*>(digest), len);
}

// The noise file of the download, written once per size; its digest is what a save must match.
std::string writeNoiseFile(const std::string& path, uint64_t bytes) {
  test::Noise noise(kSeed);
  std::ofstream out(path, std::ios::binary);
  std::vector<uint8_t> block(1 << 20);
  for (uint64_t left = bytes; left > 0;) {
    const size_t n = size_t(std::min<uint64_t>(block.size(), left));
    noise.fill(block.data(), n);
    out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(n));
    left -= n;
  }
  out.close();
  return sha256OfFile(path);
}

// A loopback service and the trust file that makes its certificate trusted.
struct Service {
  test::HttpsServer server;
  std::string trustFile;

  explicit Service(test::ServerOptions options, const std::string& dir)
      : server(std::move(options)), trustFile(dir + "/trust-" + std::to_string(getpid()) + ".pem") {
    std::ofstream out(trustFile, std::ios::binary);
    if (systemTrust) out << std::ifstream(kSystemTrust, std::ios::binary).rdbuf();
    out << std::ifstream(server.certificateFile(), std::ios::binary).rdbuf();
    out.close();
    setenv("SSL_CERT_FILE", trustFile.c_str(), 1);
    unsetenv("SSL_CERT_DIR");
  }
  ~Service() { fs::remove(trustFile); }
};

// ---- the plug-in, through its exports ----

void connectPlugin(const test::HttpsServer& server) {
  TConnectInfo info{};
  std::snprintf(info.URL, sizeof info.URL, "%s", server.url().c_str());
  std::snprintf(info.UserName, sizeof info.UserName, "surveyor");
  std::snprintf(info.UserPassword, sizeof info.UserPassword, "heslo");
  info.ConnectTimeout = info.SendTimeout = info.ReceiveTimeout = 60000;
  SetConnectInfo(&info);
}

// The request the proposal exports send once the document is signed (signing, a fixed cost of
// the signing library, is left out): the document and the attachment file.
bool pluginUpload(const std::string& attachment) {
  schema::ZalozNavrhZDPRequest request;
  request.XMLNavrhu.source = std::make_shared<proposals::StringSource>("<enx/>");
  auto item = std::make_unique<schema::PrilohaNavrhuType>();
  item->idPrilohy = schema::TXSDecimal{"1"};
  item->Text.source = std::make_shared<proposals::FileSource>(attachment);
  request.prilohaNavrhu.push_back(std::move(item));
  return channel::call(plugin::channelSettings(), schema::Operation::zalozNavrhZDP, request) != nullptr;
}

void pluginDownload(const std::string& target) {
  TVratSouborZPMZIn in{};
  std::snprintf(in.katuzeKod, sizeof in.katuzeKod, "600001");
  std::snprintf(in.cisloVysledkuZemCinnosti, sizeof in.cisloVysledkuZemCinnosti, "1234");
  std::snprintf(in.zpmzDokumentId, sizeof in.zpmzDokumentId, "31");
  loadVratSouborZPMZ(&in);
  char path[1025];
  std::snprintf(path, sizeof path, "%s", target.c_str());
  saveSouborZPMZ(path);
  freeVratSouborZPMZ();
}

void pluginSmallCall() {
  loadSmazSestavuLV(kSmallCallId);
  freeSmazSestavuLV(kSmallCallId);
}

// ---- the raw client: libcurl and OpenSSL's base64, nothing else ----

struct Easy {
  CURL* handle = curl_easy_init();
  curl_slist* headers = nullptr;
  ~Easy() {
    curl_easy_cleanup(handle);
    curl_slist_free_all(headers);
  }
};

// A POST as the plug-in makes it: same TLS versions, same trust, no 100-continue.
void configureRaw(Easy& e, const Service& service, const char* action) {
  for (const char* h : {"Content-Type: text/xml; charset=\"utf-8\"", action, "Expect:"})
    e.headers = curl_slist_append(e.headers, h);
  curl_easy_setopt(e.handle, CURLOPT_URL, (service.server.url() + "/ws/geo/2.9/geo").c_str());
  curl_easy_setopt(e.handle, CURLOPT_HTTPHEADER, e.headers);
  curl_easy_setopt(e.handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e.handle, CURLOPT_CAINFO, service.trustFile.c_str());
  curl_easy_setopt(e.handle, CURLOPT_SSLVERSION, long(CURL_SSLVERSION_TLSv1_0) | long(CURL_SSLVERSION_MAX_TLSv1_2));
  curl_easy_setopt(e.handle, CURLOPT_POST, 1L);
}

bool performRaw(Easy& e) {
  long code = 0;
  return curl_easy_perform(e.handle) == CURLE_OK &&
         curl_easy_getinfo(e.handle, CURLINFO_RESPONSE_CODE, &code) == CURLE_OK && code == 200;
}

size_t collect(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

// The attachment as base64 lines of 76 characters, each ended by CR LF, read and encoded block
// by block as libcurl asks for the body.
struct RawUpload {
  static constexpr size_t kLine = 57, kBlockLines = 1024;
  std::string head = kUploadHead, tail = kUploadTail;
  int fd;
  uint64_t fileSize;
  std::vector<unsigned char> raw = std::vector<unsigned char>(kLine * kBlockLines);
  std::string text;  // what is ready to send
  size_t sent = 0;
  int part = 0;  // 0 head, 1 attachment, 2 tail, 3 done

  RawUpload(const std::string& path) : fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)), fileSize(fs::file_size(path)) {
    text = head;
  }
  ~RawUpload() { close(fd); }

  uint64_t length() const {
    const uint64_t chars = (fileSize + 2) / 3 * 4;
    return head.size() + chars + chars / 76 * 2 + tail.size();
  }

  bool refill() {
    sent = 0;
    text.clear();
    if (part == 0) part = 1;
    if (part == 1) {
      const ssize_t n = read(fd, raw.data(), raw.size());
      if (n > 0) {
        text.resize(size_t(n) / kLine * 78 + 80);
        char* out = text.data();
        for (ssize_t at = 0; at < n; at += kLine) {
          const int line = int(std::min<ssize_t>(kLine, n - at));
          const int chars = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out), raw.data() + at, line);
          out += chars;
          if (chars == 76) {
            *out++ = '\r';
            *out++ = '\n';
          }
        }
        text.resize(size_t(out - text.data()));
        return true;
      }
      part = 2;
      text = tail;
      return true;
    }
    part = 3;
    return false;
  }

  static size_t pull(char* buffer, size_t size, size_t count, void* user) {
    auto* u = static_cast<RawUpload*>(user);
    size_t done = 0;
    while (done < size * count) {
      if (u->sent == u->text.size() && !u->refill()) break;
      const size_t take = std::min(size * count - done, u->text.size() - u->sent);
      std::memcpy(buffer + done, u->text.data() + u->sent, take);
      u->sent += take;
      done += take;
    }
    return done;
  }
};

bool rawUpload(const Service& service, const std::string& attachment) {
  Easy e;
  configureRaw(e, service, "SOAPAction: \"zalozNavrhZDP\"");
  RawUpload body(attachment);
  std::string answer;
  curl_easy_setopt(e.handle, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.length()));
  curl_easy_setopt(e.handle, CURLOPT_READFUNCTION, RawUpload::pull);
  curl_easy_setopt(e.handle, CURLOPT_READDATA, &body);
  curl_easy_setopt(e.handle, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(e.handle, CURLOPT_WRITEDATA, &answer);
  return performRaw(e) && answer.find("ZalozNavrhZDPResponse") != std::string::npos;
}

// The file content of the answer decoded as it arrives and written to a temporary file beside
// the target, which replaces the target once it is complete and durable.
struct RawDownload {
  static constexpr std::string_view kOpen = "obsahSouboru>";
  std::string head;
  bool inContent = false, done = false, failed = false;
  EVP_ENCODE_CTX* ctx = EVP_ENCODE_CTX_new();
  std::vector<unsigned char> pending;  // decoded bytes not yet written
  int fd;

  explicit RawDownload(const std::string& temporary)
      : fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)) {
    EVP_DecodeInit(ctx);
    pending.reserve(1 << 20);
  }
  ~RawDownload() {
    EVP_ENCODE_CTX_free(ctx);
    if (fd >= 0) close(fd);
  }

  void flush() {
    if (!pending.empty() && write(fd, pending.data(), pending.size()) != ssize_t(pending.size())) failed = true;
    pending.clear();
  }

  void decode(const char* p, size_t n) {
    while (n > 0) {
      const int take = int(std::min<size_t>(n, 1 << 16));
      const size_t at = pending.size();
      pending.resize(at + (size_t(take) + 80) / 4 * 3);  // with what the decoder held back
      int out = 0;
      if (EVP_DecodeUpdate(ctx, pending.data() + at, &out, reinterpret_cast<const unsigned char*>(p), take) < 0)
        failed = true;
      pending.resize(at + size_t(out));
      if (pending.size() >= (1 << 20) - (1 << 16)) flush();
      p += take;
      n -= size_t(take);
    }
  }

  void feed(const char* data, size_t n) {
    if (done) return;
    if (!inContent) {
      head.append(data, n);
      const size_t at = head.find(kOpen);
      if (at == std::string::npos) return;
      inContent = true;
      const std::string rest = head.substr(at + kOpen.size());
      return feed(rest.data(), rest.size());
    }
    const char* end = static_cast<const char*>(std::memchr(data, '<', n));
    decode(data, end ? size_t(end - data) : n);
    if (!end) return;
    done = true;
    int out = 0;
    pending.resize(pending.size() + 3);
    EVP_DecodeFinal(ctx, pending.data() + pending.size() - 3, &out);
    pending.resize(pending.size() - 3 + size_t(out));
    flush();
  }

  static size_t push(char* data, size_t size, size_t count, void* user) {
    static_cast<RawDownload*>(user)->feed(data, size * count);
    return size * count;
  }
};

bool rawDownload(const Service& service, const std::string& target) {
  Easy e;
  configureRaw(e, service, "SOAPAction: \"vratSouborZPMZ\"");
  const std::string request = "<?xml version=\"1.0\"?><Envelope><idSouboru>31</idSouboru></Envelope>";
  const std::string temporary = target + ".part";
  RawDownload sink(temporary);
  curl_easy_setopt(e.handle, CURLOPT_POSTFIELDS, request.c_str());
  curl_easy_setopt(e.handle, CURLOPT_WRITEFUNCTION, RawDownload::push);
  curl_easy_setopt(e.handle, CURLOPT_WRITEDATA, &sink);
  const bool ok = performRaw(e) && sink.done && !sink.failed && fsync(sink.fd) == 0;
  return ok && rename(temporary.c_str(), target.c_str()) == 0;
}

bool rawSmallCall(const Service& service, const std::string& request) {
  Easy e;
  configureRaw(e, service, "SOAPAction: \"smazSestavuLV\"");
  std::string answer;
  curl_easy_setopt(e.handle, CURLOPT_POSTFIELDS, request.c_str());
  curl_easy_setopt(e.handle, CURLOPT_WRITEFUNCTION, collect);
  curl_easy_setopt(e.handle, CURLOPT_WRITEDATA, &answer);
  return performRaw(e) && answer.find("vysledek") != std::string::npos;
}

// ---- the measurements, each in a child ----

enum class Client { plugin, raw };

Result upload(Client client, const std::string& dir, const std::string& attachment) {
  uint64_t received = 0;
  Service service(test::ServerOptions{.bodySink = [&](const char*, size_t n) { received += n; }}, dir);
  connectPlugin(service.server);
  service.server.enqueue(test::Answer::soap(kProposalAnswer));
  const uint64_t minimum = fs::file_size(attachment) / 3 * 4;  // its base64 alone
  Result r = measure([&] {
    return client == Client::plugin ? pluginUpload(attachment) : rawUpload(service, attachment);
  });
  r.ok = r.ok && received > minimum;
  return r;
}

Result download(Client client, const std::string& dir, uint64_t bytes, const std::string& digest) {
  Service service({}, dir);
  connectPlugin(service.server);
  service.server.enqueue(test::noiseFileAnswer(test::readDataFile("vratSouborZPMZ/large.response.xml"), bytes, kSeed));
  const std::string target = dir + "/saved-" + std::to_string(getpid()) + ".bin";
  Result r = measure([&] {
    if (client == Client::plugin) pluginDownload(target);
    else if (!rawDownload(service, target)) return false;
    return true;
  });
  r.ok = r.ok && sha256OfFile(target) == digest;
  fs::remove(target);
  return r;
}

Result smallCalls(Client client, const std::string& dir, int calls) {
  Service service({}, dir);
  connectPlugin(service.server);
  for (int i = 0; i < calls; ++i) service.server.enqueue(test::Answer::soap(test::readDataFile("reports/deleted.response.xml")));
  const std::string request = test::withCrLf(test::readDataFile("smazSestavu/request.request.xml"));
  Result r = measure([&] {
    for (int i = 0; i < calls; ++i) {
      if (client == Client::plugin) pluginSmallCall();
      else if (!rawSmallCall(service, request)) return false;
    }
    return true;
  });
  r.ok = r.ok && service.server.requests().size() == size_t(calls);
  r.seconds /= calls;
  return r;
}

// ---- the report ----

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Runs both clients `runs` times, taking turns, and prints one line of medians and the ratio.
bool compare(const char* work, const std::string& size, int runs, bool perCall,
             const std::function<Result(Client)>& measureOne) {
  std::vector<double> seconds[2], growth[2];
  bool ok[2] = {true, true};
  for (int run = 0; run < runs; ++run)
    for (Client c : {Client::raw, Client::plugin}) {
      const Result r = inChild([&] { return measureOne(c); });
      ok[int(c)] = ok[int(c)] && r.ok;
      seconds[int(c)].push_back(r.seconds);
      growth[int(c)].push_back(double(r.growthKb) / 1024);
    }
  const int p = int(Client::plugin), w = int(Client::raw);
  const double scale = perCall ? 1000 : 1;
  const char* unit = perCall ? "ms" : "s ";
  std::printf("%-18s %7s | %8.3f %s %7.1f MB | %8.3f %s %7.1f MB | %5.2f%s\n", work, size.c_str(),
              median(seconds[w]) * scale, unit, median(growth[w]), median(seconds[p]) * scale, unit,
              median(growth[p]), median(seconds[p]) / median(seconds[w]),
              !ok[w] ? "  RAW CLIENT FAILED" : !ok[p] ? "  PLUG-IN FAILED" : "");
  std::fflush(stdout);
  return ok[w] && ok[p];
}

} // namespace

int main(int argc, char** argv) {
  int runs = 5, calls = 200;
  std::vector<uint64_t> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--runs" && i + 1 < argc) runs = std::atoi(argv[++i]);
    else if (a == "--calls" && i + 1 < argc) calls = std::atoi(argv[++i]);
    else if (a == "--system-trust") systemTrust = true;
    else if (std::strtoull(a.c_str(), nullptr, 10) > 0) sizes.push_back(std::strtoull(a.c_str(), nullptr, 10));
    else {
      std::fprintf(stderr, "usage: %s [--runs N] [--calls N] [--system-trust] [MB ...]\n", argv[0]);
      return 2;
    }
  }
  if (sizes.empty()) sizes = {1, 16, 100};
  if (runs < 1 || calls < 1) return 2;

  const std::string dir = (fs::temp_directory_path() / ("vokr-bench-" + std::to_string(getpid()))).string();
  fs::create_directories(dir);
  std::printf("%d runs each, medians; time and peak resident growth of the work\n", runs);
  std::printf("%-18s %7s | %-22s | %-22s | %s\n", "work", "size", "raw streaming client", "plug-in", "ratio");
  bool ok = true;
  for (uint64_t mb : sizes) {
    const std::string label = std::to_string(mb) + " MB";
    const std::string payload = dir + "/payload.bin";
    const std::string digest = writeNoiseFile(payload, mb << 20);
    ok &= compare("upload", label, runs, false, [&](Client c) { return upload(c, dir, payload); });
    fs::remove(payload);  // the download's target disk space
    ok &= compare("download and save", label, runs, false,
                  [&](Client c) { return download(c, dir, mb << 20, digest); });
  }
  ok &= compare("small call", "x" + std::to_string(calls), runs, true,
                [&](Client c) { return smallCalls(c, dir, calls); });
  fs::remove_all(dir);
  return ok ? 0 : 1;
}
