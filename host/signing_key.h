#pragma once
// The signing key checked before anything is sent, with OpenSSL as the signing library will
// read it: a PEM file with the private key and its certificate, or a PKCS#12 file.
#include <string>

namespace host {

// Throws FileError saying why the key cannot be used: unreadable file, wrong password, no key,
// no certificate, or a certificate that does not belong to the key.
void checkSigningKey(const std::string& path, const std::string& password);

} // namespace host
