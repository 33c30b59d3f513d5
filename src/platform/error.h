#pragma once
// The one error type inside the library, and the one table of the kinds of failure. The kind's
// name is what the host sees before "; " in the text of the server message a failure becomes.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vokr {

enum class ErrorKind : uint8_t {
  RemotableException,  // the service answered with a SOAP fault
  TransportError,      // the exchange did not complete (connection, proxy, TLS, time-out)
  HttpError,           // an HTTP error answer that is no SOAP message
  XmlReadError,        // the answer cannot be read
  ConvertError,        // host data that cannot become a request value
  InOutError,          // a file that cannot be read, written or deleted
  ProposalError,       // a proposal document cannot be built from the host's record
  OutOfResources,      // memory ran out, or an internal failure that should never happen
};

// "ERemotableException", "ETransportError", ...
std::string_view kindName(ErrorKind kind);

class Error : public std::runtime_error {
public:
  Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  ErrorKind kind() const { return kind_; }
  std::string_view kindName() const { return vokr::kindName(kind_); }

private:
  ErrorKind kind_;
};

} // namespace vokr
