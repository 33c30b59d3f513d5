#pragma once
// The HTTPS POST of one request, on libcurl: one easy handle per call, the body pulled from the
// rope as it is sent, the answer pushed to a sink as it arrives.
#include <cstdint>
#include <string>
#include <string_view>

#include "channel/settings.h"

namespace vokr::schema { class Rope; }

namespace vokr::channel {

struct HttpStatus {
  long code = 0;
  std::string reason;  // as sent on the status line
  std::string contentType;
  uint64_t contentLength = 0;  // 0 when not announced
};

// Receives the answer on the caller's thread, inside post(). begin() comes once, before the
// first body bytes (or at the end for an empty body). body() returns false when it wants no
// more of the answer: the transfer ends there and post() returns as at the answer's end. An
// exception thrown here ends the transfer and leaves post().
class AnswerSink {
public:
  virtual void begin(const HttpStatus& status) = 0;
  virtual bool body(const char* data, size_t n) = 0;

protected:
  ~AnswerSink() = default;
};

// Progress, for the send and receive limits, is at least this many bytes moved: a trickle
// does not keep a call alive.
inline constexpr uint64_t kProgressBytes = 1024;

// Posts `body` with the SOAP action. Throws vokr::Error (ETransportError) when the exchange does
// not complete; any complete HTTP answer, whatever its status, is returned.
HttpStatus post(const TransportSettings& settings, std::string_view soapAction,
                const schema::Rope& body, AnswerSink& sink);

// Whether `host` is on a proxy bypass list in the Windows form: entries separated by ';' or
// blanks, '*' matching any run of characters, "<local>" matching every name without a dot;
// letters compared without regard to case.
bool bypassesProxy(std::string_view host, std::string_view bypassList);

} // namespace vokr::channel
