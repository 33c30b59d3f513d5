#include "channel/channel.h"

#include <exception>
#include <optional>

#include "channel/dump.h"
#include "channel/fixups.h"
#include "channel/transport.h"
#include "platform/error.h"
#include "plugin/host.h"
#include "plugin/settings.h"
#include "schema/reader.h"
#include "schema/security.h"
#include "schema/writer.h"

namespace vokr::channel {

namespace {

constexpr std::string_view kServicePath = "/ws/geo/2.9/geo";

TransportSettings transportSettings(const TConnectInfo& info) {
  TransportSettings s;
  // Appended as it stands: a URL ending in '/' gives two slashes, as the service is used to.
  s.endpoint = plugin::readText(info.URL) + std::string(kServicePath);
  s.proxy = plugin::readText(info.Proxy);
  if (!s.proxy.empty()) {  // the other proxy fields mean nothing without a proxy
    s.proxyBypass = plugin::readText(info.ProxyByPass);
    s.proxyUserName = plugin::readText(info.ProxyUserName);
    s.proxyPassword = plugin::readText(info.ProxyPassword);
  }
  s.connectTimeout = info.ConnectTimeout;
  s.sendTimeout = info.SendTimeout;
  s.receiveTimeout = info.ReceiveTimeout;
  return s;
}

schema::Security securityHeader(const TConnectInfo& info) {
  schema::Security header;
  header.UsernameToken = std::make_unique<schema::UsernameToken>();
  header.UsernameToken->Username = plugin::readText(info.UserName);
  header.UsernameToken->Password = plugin::readText(info.UserPassword);
  return header;
}

// The answer as it arrives: into the response dump and into the reader. Once the reader has
// given up, the rest still goes to the dump, so that it shows the whole answer.
class AnswerReader final : public AnswerSink {
public:
  AnswerReader(schema::Operation op, std::string_view label) : op_(op) {
    if (dumpsEnabled()) dump_.emplace(label);
  }

  void begin(const HttpStatus& status) override {
    reader_.emplace(op_, status.contentType, status.contentLength);
  }

  void body(const char* data, size_t n) override {
    if (dump_) dump_->feed(data, n);
    if (failure_) return;
    try {
      reader_->feed(data, n);
    } catch (...) {
      failure_ = std::current_exception();
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
      throw Error("EHttpError", "HTTP " + std::to_string(status.code) + " " + status.reason);
    }
  }

private:
  schema::Operation op_;
  std::optional<schema::ResponseReader> reader_;
  std::optional<ResponseDump> dump_;
  std::exception_ptr failure_;
};

} // namespace

std::unique_ptr<schema::TRemotable> call(schema::Operation op, const schema::TRemotable& request) {
  const TConnectInfo& info = plugin::connectInfo();
  const schema::OperationInfo& operation = schema::operationInfo(op);
  const TransportSettings settings = transportSettings(info);

  schema::Rope rope = schema::writeRequest(op, request, securityHeader(info));
  applyFixups(operation.name, rope);
  if (dumpsEnabled()) dumpRequest(operation.name, rope);

  AnswerReader answer(op, operation.name);
  HttpStatus status = post(settings, operation.soapAction, rope, answer);
  return answer.finish(status);
}

} // namespace vokr::channel
