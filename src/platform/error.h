#pragma once
// The one error type inside the library. `kind` is the name the host sees before "; " in the
// text of the server message a failure becomes (ETransportError, EXmlReadError, EConvertError...).
#include <stdexcept>
#include <string>

namespace vokr {

class Error : public std::runtime_error {
public:
  Error(std::string kind, const std::string& message)
      : std::runtime_error(message), kind_(std::move(kind)) {}
  const std::string& kind() const { return kind_; }

private:
  std::string kind_;
};

} // namespace vokr
