#include "signing_key.h"

#include <cstdio>
#include <memory>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

#include "errors.h"

namespace host {

namespace {

template <class T, void (*Free)(T*)> struct Deleter {
  void operator()(T* p) const { Free(p); }
};
using Bio = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using Cert = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using P12 = std::unique_ptr<PKCS12, Deleter<PKCS12, PKCS12_free>>;

std::string lastError() {
  unsigned long e = ERR_peek_last_error();
  char text[256] = "no detail";
  if (e) ERR_error_string_n(e, text, sizeof text);
  ERR_clear_error();
  return text;
}

int givePassword(char* buffer, int size, int, void* password) {
  const std::string& p = *static_cast<const std::string*>(password);
  int n = static_cast<int>(std::min<size_t>(p.size(), static_cast<size_t>(size)));
  std::copy(p.data(), p.data() + n, buffer);
  return n;
}

} // namespace

void checkSigningKey(const std::string& path, const std::string& password) {
  Bio file(BIO_new_file(path.c_str(), "rb"));
  if (!file) throw FileError("--key: cannot read " + path);
  Key key;
  Cert cert;
  auto doesNotOpen = [&] {
    return FileError("--key: the key in " + path + " does not open with the given password (" + lastError() + ")");
  };
  if (P12 p12{d2i_PKCS12_bio(file.get(), nullptr)}) {
    EVP_PKEY* k = nullptr;
    X509* c = nullptr;
    if (!PKCS12_parse(p12.get(), password.c_str(), &k, &c, nullptr))
      throw doesNotOpen();
    key.reset(k);
    cert.reset(c);
  } else {
    ERR_clear_error();
    file.reset(BIO_new_file(path.c_str(), "rb"));
    std::string pass = password;
    key.reset(PEM_read_bio_PrivateKey(file.get(), nullptr, givePassword, &pass));
    if (!key) throw doesNotOpen();
    file.reset(BIO_new_file(path.c_str(), "rb"));
    cert.reset(PEM_read_bio_X509(file.get(), nullptr, nullptr, nullptr));
    ERR_clear_error();
  }
  if (!cert) throw FileError("--key: " + path + " holds no certificate beside the key");
  if (X509_check_private_key(cert.get(), key.get()) != 1) {
    ERR_clear_error();
    throw FileError("--key: the certificate in " + path + " does not belong to its key");
  }
}

} // namespace host
