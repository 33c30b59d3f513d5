#include "channel/transport.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>

#include "platform/error.h"
#include "channel/tls_share.h"
#include "platform/trust.h"
#include "schema/rope.h"
#include "vokr.h"  // the version

namespace vokr::channel {

namespace {

constexpr const char* kUserAgent = "VOKR/" VOKR_SERVICE_VERSION " (libvokr " VOKR_VERSION_TEXT ")";

using Clock = std::chrono::steady_clock;

[[noreturn]] void transportError(const std::string& message) {
  throw Error(ErrorKind::TransportError, message);
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), s.begin(),
                    [](char a, char b) { return lower(a) == lower(b); });
}

// '*' matches any run of characters; everything else one character, without regard to case.
bool wildcardMatch(std::string_view pattern, std::string_view text) {
  size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && lower(pattern[p]) == lower(text[t])) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string endpointHost(const std::string& endpoint) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), curl_url_cleanup);
  char* host = nullptr;
  if (curl_url_set(url.get(), CURLUPART_URL, endpoint.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK ||
      curl_url_get(url.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK)
    return {};
  std::string result(host);
  curl_free(host);
  return result;
}

// One transfer: the body source, the answer sink and the inactivity clocks.
struct Transfer {
  const TransportSettings& settings;
  const schema::Rope& rope;
  AnswerSink& sink;
  std::optional<schema::Rope::Reader> reader;
  uint64_t bodySize = 0;

  HttpStatus status;
  bool begun = false;
  bool declined = false;       // the sink wanted no more of the answer
  std::exception_ptr failure;  // thrown inside a callback, rethrown after the transfer
  std::shared_ptr<x509_store_st> trustStore;  // kept for the connection's TLS context

  bool sending = false;  // the first body bytes have been asked for
  bool sentAll = false;  // the last one has gone out
  uint64_t received = 0;  // header and body bytes of the answer
  uint64_t movedAtProgress = 0;
  Clock::time_point lastProgress;
  enum class Limit { none, send, receive } fired = Limit::none;

  Transfer(const TransportSettings& s, const schema::Rope& r, AnswerSink& k)
      : settings(s), rope(r), sink(k), reader(std::in_place, r), bodySize(r.size()) {}

  void progress(uint64_t moved) {
    movedAtProgress = moved;
    lastProgress = Clock::now();
  }

  void beginAnswer() {
    if (!begun) {
      begun = true;
      sink.begin(status);
    }
  }

  // Keeps SendTimeout while the request goes out and ReceiveTimeout from then on; the clock
  // starts once the connection stands (the first body bytes are asked for; until then the
  // connect limit applies) and starts again at every progress, and when the last byte of the
  // request has gone out.
  bool timedOut(curl_off_t ulnow) {
    if (!sending) return false;
    const uint64_t up = static_cast<uint64_t>(ulnow), moved = up + received;
    const bool uploading = up < bodySize;
    if (moved - movedAtProgress >= kProgressBytes || (!uploading && !sentAll)) {
      sentAll = !uploading;
      progress(moved);
      return false;
    }
    int32_t limit = uploading ? settings.sendTimeout : settings.receiveTimeout;
    if (Clock::now() - lastProgress < std::chrono::milliseconds(limit)) return false;
    fired = uploading ? Limit::send : Limit::receive;
    return true;
  }
};

size_t readBody(char* buffer, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  if (!t->sending) {
    t->sending = true;
    t->progress(0);
  }
  try {
    return t->reader->read(buffer, size * count);
  } catch (...) {
    t->failure = std::current_exception();
    return CURL_READFUNC_ABORT;
  }
}

// Lets libcurl send the body again from the start, as it must after some proxy exchanges.
int seekBody(void* user, curl_off_t offset, int origin) {
  auto* t = static_cast<Transfer*>(user);
  if (offset != 0 || origin != SEEK_SET) return CURL_SEEKFUNC_CANTSEEK;
  t->reader.emplace(t->rope);
  return CURL_SEEKFUNC_OK;
}

std::string_view headerValue(std::string_view line) {
  std::string_view value = line.substr(line.find(':') + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  return value;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  t->received += line.size();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (startsWithNoCase(line, "HTTP/")) {
    // A new status line: an interim answer's headers do not carry over.
    t->status = HttpStatus{};
    size_t codeStart = line.find(' ');
    if (codeStart != std::string_view::npos) {
      t->status.code = std::strtol(std::string(line.substr(codeStart + 1, 3)).c_str(), nullptr, 10);
      size_t reasonStart = line.find(' ', codeStart + 1);
      if (reasonStart != std::string_view::npos) t->status.reason = line.substr(reasonStart + 1);
    }
  } else if (startsWithNoCase(line, "Content-Type:")) {
    t->status.contentType = headerValue(line);
  } else if (startsWithNoCase(line, "Content-Length:")) {
    t->status.contentLength = std::strtoull(std::string(headerValue(line)).c_str(), nullptr, 10);
  }
  return size * count;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  try {
    t->beginAnswer();
    t->received += size * count;
    if (t->sink.body(data, size * count)) return size * count;
    t->declined = true;
    return CURL_WRITEFUNC_ERROR;
  } catch (...) {
    t->failure = std::current_exception();
    return CURL_WRITEFUNC_ERROR;
  }
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t ulnow) {
  return static_cast<Transfer*>(user)->timedOut(ulnow) ? 1 : 0;
}

struct EasyDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiDeleter {
  void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct ListDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

void setProxy(CURL* easy, const TransportSettings& s) {
  bool useProxy = !s.proxy.empty() && !bypassesProxy(endpointHost(s.endpoint), s.proxyBypass);
  // An empty proxy also keeps libcurl from taking one from the environment: the settings
  // exports are the only configuration.
  curl_easy_setopt(easy, CURLOPT_PROXY, useProxy ? s.proxy.c_str() : "");
  curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  if (!useProxy) return;
  curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, s.proxyUserName.c_str());
  curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, s.proxyPassword.c_str());
  curl_easy_setopt(easy, CURLOPT_PROXYAUTH, CURLAUTH_ANY);
  curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
}

std::shared_ptr<x509_store_st> setTrust(CURL* easy) {
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
  const platform::TrustAnchors anchors = platform::trustAnchors();
  if (anchors.systemStore) {
    // The Windows certificate store is read by libcurl into each channel's own context; a
    // shared store would hide it.
    if (!anchors.file.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, anchors.file.c_str());
    curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, long(CURLSSLOPT_NATIVE_CA));
    return nullptr;
  }
  return shareTls(easy, Trust{anchors.file, anchors.directory});
}

} // namespace

bool bypassesProxy(std::string_view host, std::string_view bypassList) {
  if (host.empty()) return false;
  size_t pos = 0;
  while (pos < bypassList.size()) {
    size_t end = bypassList.find_first_of("; \t", pos);
    if (end == std::string_view::npos) end = bypassList.size();
    std::string_view entry = bypassList.substr(pos, end - pos);
    pos = end + 1;
    if (entry.empty()) continue;
    if (entry.size() == 7 && startsWithNoCase(entry, "<local>")) {
      if (host.find('.') == std::string_view::npos) return true;
    } else if (wildcardMatch(entry, host)) {
      return true;
    }
  }
  return false;
}

namespace {

std::unique_ptr<curl_slist, ListDeleter> soapHeaders(std::string_view soapAction) {
  const std::string action = "SOAPAction: \"" + std::string(soapAction) + "\"";
  std::unique_ptr<curl_slist, ListDeleter> list;
  // "Expect:" keeps libcurl from waiting for a 100 Continue before a large body.
  for (const char* h : {"Content-Type: text/xml; charset=\"utf-8\"", action.c_str(), "Accept: */*", "Expect:"}) {
    curl_slist* longer = curl_slist_append(list.get(), h);
    if (!longer) transportError("out of memory");
    (void)list.release();  // `longer` is the same list, one entry longer
    list.reset(longer);
  }
  return list;
}

void configure(CURL* e, Transfer& t, curl_slist* headers, char* errorText) {
  const TransportSettings& s = t.settings;
  curl_easy_setopt(e, CURLOPT_URL, s.endpoint.c_str());
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);  // the host's signal handling stays its own
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "https");
  curl_easy_setopt(e, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(e, CURLOPT_POST, 1L);
  curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(t.bodySize));
  curl_easy_setopt(e, CURLOPT_READFUNCTION, readBody);
  curl_easy_setopt(e, CURLOPT_READDATA, &t);
  curl_easy_setopt(e, CURLOPT_SEEKFUNCTION, seekBody);
  curl_easy_setopt(e, CURLOPT_SEEKDATA, &t);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, onProgress);
  curl_easy_setopt(e, CURLOPT_XFERINFODATA, &t);
  curl_easy_setopt(e, CURLOPT_SSLVERSION,
                   static_cast<long>(CURL_SSLVERSION_TLSv1_0) | static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
  t.trustStore = setTrust(e);
  setProxy(e, s);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(s.connectTimeout));
}

// Runs the transfer on a multi handle of its own. The loop wakes often enough for the
// inactivity limits to be kept to some milliseconds; curl_easy_perform would look at them only
// about once a second.
CURLcode perform(CURL* easy) {
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!multi) transportError("libcurl could not be initialised");
  curl_multi_add_handle(multi.get(), easy);
  constexpr int wakeMs = 10;
  CURLMcode mc = CURLM_OK;
  int running = 1;
  while (mc == CURLM_OK && running) {
    mc = curl_multi_perform(multi.get(), &running);
    if (mc == CURLM_OK && running) mc = curl_multi_poll(multi.get(), nullptr, 0, wakeMs, nullptr);
  }
  int left = 0;
  CURLMsg* msg = mc == CURLM_OK ? curl_multi_info_read(multi.get(), &left) : nullptr;
  CURLcode result = msg && msg->msg == CURLMSG_DONE ? msg->data.result : CURLE_FAILED_INIT;
  curl_multi_remove_handle(multi.get(), easy);
  if (mc != CURLM_OK) transportError(curl_multi_strerror(mc));
  return result;
}

// What a failed transfer reports: an error of a callback as it was, a time-out by its setting.
[[noreturn]] void fail(const Transfer& t, CURLcode result, const char* errorText) {
  if (t.failure) std::rethrow_exception(t.failure);
  const TransportSettings& s = t.settings;
  if (t.fired != Transfer::Limit::none) {
    bool send = t.fired == Transfer::Limit::send;
    transportError("Operation timed out: less than " + std::to_string(kProgressBytes) + " bytes " +
                   (send ? "sent" : "received") +
                   " in " + std::to_string(send ? s.sendTimeout : s.receiveTimeout) +
                   " milliseconds (" + (send ? "SendTimeout" : "ReceiveTimeout") + ")");
  }
  std::string message = *errorText ? errorText : curl_easy_strerror(result);
  if (result == CURLE_OPERATION_TIMEDOUT)  // the only time-out libcurl keeps itself
    message += " (" + std::string(s.connectTimeoutName) + " " + std::to_string(s.connectTimeout) + " ms)";
  transportError(message);
}

} // namespace

HttpStatus post(const TransportSettings& settings, std::string_view soapAction,
                const schema::Rope& body, AnswerSink& sink) {
  // Declared before the handle: its callbacks and error text must outlive it.
  Transfer t(settings, body, sink);
  char errorText[CURL_ERROR_SIZE] = "";
  const auto headers = soapHeaders(soapAction);
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  if (!easy) transportError("libcurl could not be initialised");

  configure(easy.get(), t, headers.get(), errorText);
  CURLcode result = perform(easy.get());
  const bool ended = result == CURLE_OK || (result == CURLE_WRITE_ERROR && t.declined);
  if (!ended || t.failure) fail(t, result, errorText);
  t.beginAnswer();
  return t.status;
}

} // namespace vokr::channel
