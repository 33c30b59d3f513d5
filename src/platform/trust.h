#pragma once
// Where the trust anchors for the service's certificate come from.
#include <string>

namespace vokr::platform {

struct TrustAnchors {
  std::string file;          // a PEM file of trusted certificates (host code page), or empty
  std::string directory;     // a hashed certificate directory, or empty
  bool systemStore = false;  // the system's certificate store as well
};

// POSIX: the files SSL_CERT_FILE and SSL_CERT_DIR name when set, else libcurl's default bundle
// (the system's). Windows: the system's certificate store, plus the file SSL_CERT_FILE names.
TrustAnchors trustAnchors();

} // namespace vokr::platform
