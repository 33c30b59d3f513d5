#include "platform/error.h"

#include <iterator>

namespace vokr {

std::string_view kindName(ErrorKind kind) {
  static constexpr std::string_view kNames[] = {
      "ERemotableException", "ETransportError", "EHttpError",     "EXmlReadError",
      "EConvertError",       "EInOutError",     "EProposalError", "EOutOfResources",
  };
  static_assert(std::size(kNames) == size_t(ErrorKind::OutOfResources) + 1);
  return kNames[size_t(kind)];
}

} // namespace vokr
