#pragma once
// Files for signing tests: keys and certificates made at test time with the openssl command,
// and xmlsec1 as the independent judge of a signature.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vokr::signing_test {

namespace fs = std::filesystem;

inline std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

// Exit status of a shell command, its output discarded.
inline int run(const std::string& command) {
  const int rc = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

inline std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// True when xmlsec1 accepts the signature of `file`, trusting only `certificate`.
inline bool xmlsecVerifies(const fs::path& file, const fs::path& certificate) {
  return run("xmlsec1 --verify --trusted-pem " + quoted(certificate) + " " + quoted(file)) == 0;
}

// One signer's key in every form the stand-in library reads, and a stranger's certificate.
struct SigningKeys {
  static constexpr const char* kPassword = "tajne-heslo";

  fs::path certificate;       // the signer's self-signed certificate alone
  fs::path keyOnly;           // the private key alone, unencrypted
  fs::path plainPem;          // unencrypted key, then the certificate
  fs::path encryptedPem;      // key encrypted with kPassword, then the certificate
  fs::path pkcs12;            // key and certificate, protected with kPassword
  fs::path otherCertificate;  // someone else's certificate

  explicit SigningKeys(const fs::path& dir)
      : certificate(dir / "cert.pem"),
        keyOnly(dir / "key.pem"),
        plainPem(dir / "signer.pem"),
        encryptedPem(dir / "signer-encrypted.pem"),
        pkcs12(dir / "signer.p12"),
        otherCertificate(dir / "other-cert.pem") {
    const std::string pass = std::string("pass:") + kPassword;
    const fs::path otherKey = dir / "other-key.pem", encryptedKey = dir / "key-encrypted.pem";
    const std::string commands[] = {
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Signer -keyout " +
            quoted(keyOnly) + " -out " + quoted(certificate),
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=Other -keyout " +
            quoted(otherKey) + " -out " + quoted(otherCertificate),
        "openssl pkey -aes256 -passout " + pass + " -in " + quoted(keyOnly) + " -out " +
            quoted(encryptedKey),
        "openssl pkcs12 -export -passout " + pass + " -inkey " + quoted(keyOnly) + " -in " +
            quoted(certificate) + " -out " + quoted(pkcs12),
    };
    for (const std::string& c : commands)
      if (run(c) != 0) throw std::runtime_error("failed: " + c);
    writeFile(plainPem, readFile(keyOnly) + readFile(certificate));
    writeFile(encryptedPem, readFile(encryptedKey) + readFile(certificate));
  }
};

} // namespace vokr::signing_test
