#include "channel/channel.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <optional>

#include "channel/dump.h"
#include "channel/fixups.h"
#include "channel/transport.h"
#include "platform/error.h"
#include "schema/reader.h"
#include "schema/security.h"
#include "schema/writer.h"

namespace vokr::channel {

namespace {

schema::Security securityHeader(const ChannelSettings& settings) {
  schema::Security header;
  header.UsernameToken = std::make_unique<schema::UsernameToken>();
  header.UsernameToken->Username = settings.userName;
  header.UsernameToken->Password = settings.password;
  return header;
}

// The answer as it arrives: into the response dump and into the reader. Once the reader has
// given up the transfer ends: the dump keeps what came, and nothing more is waited for.
class AnswerReader final : public AnswerSink {
public:
  AnswerReader(schema::Operation op, const ChannelSettings& settings, std::string_view label)
      : op_(op), spill_(settings.spill) {
    if (settings.dumps.enabled) dump_.emplace(settings.dumps, label);
  }

  void begin(const HttpStatus& status) override {
    reader_.emplace(op_, status.contentType, status.contentLength, spill_);
  }

  bool body(const char* data, size_t n) override {
    if (dump_) dump_->feed(data, n);
    try {
      reader_->feed(data, n);
      return true;
    } catch (...) {
      failure_ = std::current_exception();
      return false;
    }
  }

  // The response object, or the error the answer stands for. A body is read as SOAP whatever
  // the status, so a fault sent with 500 is a fault; only a failed answer that is no SOAP at
  // all is reported by its status line.
  std::unique_ptr<schema::TRemotable> finish(const HttpStatus& status) {
    if (dump_) dump_->finish();
    try {
      if (failure_) std::rethrow_exception(failure_);
      return reader_->finish();
    } catch (const Error&) {
      bool success = status.code >= 200 && status.code < 300;
      if (success || !reader_->notEnvelope()) throw;
      throw Error(ErrorKind::HttpError, "HTTP " + std::to_string(status.code) + " " + status.reason);
    }
  }

private:
  schema::Operation op_;
  const schema::SpillSettings& spill_;
  std::optional<schema::ResponseReader> reader_;
  std::optional<ResponseDump> dump_;
  std::exception_ptr failure_;
};

// The request carries the password: it goes nowhere but over TLS. Any other scheme, or none
// (which libcurl would take for http), is refused before anything is written. No URL at all
// stays for the transport to report as a failed call.
void requireHttps(const std::string& endpoint) {
  constexpr std::string_view kScheme = "https://";
  bool https = endpoint.size() >= kScheme.size() &&
               std::equal(kScheme.begin(), kScheme.end(), endpoint.begin(), [](char a, char b) {
                 return a == std::tolower(static_cast<unsigned char>(b));
               });
  if (!endpoint.empty() && !https)
    throw Error(ErrorKind::ConvertError, "the service is reached over HTTPS only: " + endpoint);
}

} // namespace

std::string serviceEndpoint(std::string_view baseUrl) {
  return baseUrl.empty() ? std::string() : std::string(baseUrl) + "/ws/geo/2.9/geo";
}

std::unique_ptr<schema::TRemotable> call(const ChannelSettings& settings, schema::Operation op,
                                         const schema::TRemotable& request) {
  const schema::OperationInfo& operation = schema::operationInfo(op);
  requireHttps(settings.transport.endpoint);

  schema::Rope rope = schema::writeRequest(op, request, securityHeader(settings));
  applyFixups(operation.name, rope);
  if (settings.dumps.enabled) dumpRequest(settings.dumps, operation.name, rope);

  AnswerReader answer(op, settings, operation.name);
  HttpStatus status = post(settings.transport, operation.soapAction, rope, answer);
  return answer.finish(status);
}

} // namespace vokr::channel
