#include "platform/trust.h"

#include "platform/paths.h"

namespace vokr::platform {

// Debian's libcurl ignores the OpenSSL variables; they are honoured as OpenSSL itself would.
TrustAnchors trustAnchors() {
  return {nativePath(environment("SSL_CERT_FILE").value_or("")),
          nativePath(environment("SSL_CERT_DIR").value_or("")), false};
}

} // namespace vokr::platform
