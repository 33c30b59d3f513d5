#include "platform/trust.h"

#include "platform/paths.h"

namespace vokr::platform {

// The libcurl of this build has no bundle of its own: the Windows store is the trust, and a
// PEM file named by SSL_CERT_FILE adds to it (tests trust their own servers so).
TrustAnchors trustAnchors() { return {nativePath(environment("SSL_CERT_FILE").value_or("")), "", true}; }

} // namespace vokr::platform
