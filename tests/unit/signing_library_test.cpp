// The stand-in signing library libPelkSigner.so, loaded with dlopen and called with records laid
// out byte by byte; its signatures are judged by Debian's xmlsec1. Built where the library is.
#ifdef VOKR_REAL_SIGNER_DIR

#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include "signing_keys.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using vokr::signing_test::readFile;
using vokr::signing_test::SigningKeys;
using vokr::signing_test::writeFile;
using vokr::signing_test::xmlsecVerifies;

#if defined(__i386__)
#define SIGNER_STDCALL __attribute__((stdcall))
#else
#define SIGNER_STDCALL
#endif

// The three records as plain bytes: files (3278, by value), configuration (159, by value),
// result (1029, by reference).
struct FilesRecord {
  uint8_t bytes[3278];
};
struct ConfigRecord {
  uint8_t bytes[159];
};
using SignXML = uint8_t(SIGNER_STDCALL*)(FilesRecord, ConfigRecord, uint8_t*);

constexpr size_t kInputAt = 0, kOutputAt = 1025, kBlockAt = 2050, kPathWidth = 1025;
constexpr size_t kKeyFileAt = 0, kPasswordAt = 1025, kPasswordWidth = 101;

void putText(uint8_t* at, size_t width, const std::string& text) {
  ASSERT_LT(text.size(), width);
  std::memcpy(at, text.c_str(), text.size() + 1);
}

// The one configuration the plug-in passes, from its byte table.
ConfigRecord standardConfig() {
  ConfigRecord c{};
  std::memcpy(c.bytes, "utf-8", 5);
  c.bytes[51] = 2;   // Enveloped
  c.bytes[52] = 1;   // Canon
  c.bytes[53] = 0;   // Sig
  c.bytes[54] = 3;   // RSA_SHA256
  c.bytes[55] = 3;   // HMAC_SHA256
  c.bytes[56] = 3;   // SHA256
  c.bytes[158] = 1;
  return c;
}

struct Outcome {
  bool signedOk;
  int32_t code;
  std::string message;
};

class SigningLibrary : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    root_ = new fs::path(fs::path(::testing::TempDir()) /
                         ("vokr-signer-" + std::to_string(getpid())));
    fs::remove_all(*root_);
    fs::create_directories(*root_ / "keys");
    keys_ = new SigningKeys(*root_ / "keys");
    handle_ = dlopen(VOKR_REAL_SIGNER_DIR "libPelkSigner.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    sign_ = reinterpret_cast<SignXML>(dlsym(handle_, "PelkSigner_SignXML"));
    ASSERT_NE(sign_, nullptr);
  }
  static void TearDownTestSuite() {
    if (handle_) dlclose(handle_);
    fs::remove_all(*root_);
    delete keys_;
    delete root_;
  }

  void SetUp() override {
    dir = *root_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
    input = dir / "in.xml";
    output = dir / "out.xml";
    writeFile(input, readFile(VOKR_TEST_DATA "/signing/inner.xml"));
  }

  Outcome sign(const fs::path& keyFile, const std::string& password,
               const ConfigRecord& config = standardConfig()) {
    FilesRecord files{};
    putText(files.bytes + kInputAt, kPathWidth, input.string());
    putText(files.bytes + kOutputAt, kPathWidth, output.string());
    putText(files.bytes + kBlockAt + kKeyFileAt, kPathWidth, keyFile.string());
    putText(files.bytes + kBlockAt + kPasswordAt, kPasswordWidth, password);
    std::array<uint8_t, 1029> result{};
    const uint8_t ok = sign_(files, config, result.data());
    int32_t code;
    std::memcpy(&code, result.data(), 4);
    const char* text = reinterpret_cast<const char*>(result.data() + 4);
    return {ok != 0, code, std::string(text, strnlen(text, 1025))};
  }

  static const SigningKeys& keys() { return *keys_; }

public:  // the refusal cases arrange these
  fs::path dir, input, output;

private:
  static inline fs::path* root_ = nullptr;
  static inline SigningKeys* keys_ = nullptr;
  static inline void* handle_ = nullptr;
  static inline SignXML sign_ = nullptr;
};

struct DocDeleter {
  void operator()(xmlDocPtr d) const { xmlFreeDoc(d); }
};
using Doc = std::unique_ptr<xmlDoc, DocDeleter>;

Doc parse(const std::string& bytes) {
  return Doc(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                           XML_PARSE_NONET));
}

xmlNodePtr lastElementChild(xmlNodePtr node) {
  xmlNodePtr last = nullptr;
  for (xmlNodePtr c = node->children; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE) last = c;
  return last;
}

xmlNodePtr firstElement(xmlNodePtr node, const char* name) {
  for (xmlNodePtr c = node ? node->children : nullptr; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(c->name), name) == 0)
      return c;
  return nullptr;
}

std::string attribute(xmlNodePtr node, const char* name) {
  if (!node) return "<no element>";
  xmlChar* v = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  std::string s = v ? reinterpret_cast<const char*>(v) : "<none>";
  xmlFree(v);
  return s;
}

std::string content(xmlNodePtr node) {
  if (!node) return "<no element>";
  xmlChar* v = xmlNodeGetContent(node);
  std::string s = reinterpret_cast<const char*>(v);
  xmlFree(v);
  return s;
}

std::string withoutWhitespace(std::string s) {
  std::erase_if(s, [](char c) { return c == '\n' || c == '\r' || c == ' '; });
  return s;
}

constexpr char kDsig[] = "http://www.w3.org/2000/09/xmldsig#";
constexpr char kC14n[] = "http://www.w3.org/TR/2001/REC-xml-c14n-20010315";
constexpr char kRsaSha256[] = "http://www.w3.org/2001/04/xmldsig-more#rsa-sha256";
constexpr char kSha256[] = "http://www.w3.org/2001/04/xmlenc#sha256";
constexpr char kEnveloped[] = "http://www.w3.org/2000/09/xmldsig#enveloped-signature";

// Every form of the key signs, and what it signs is an enveloped signature as agreed: the last
// child of the root, inclusive C14N, RSA-SHA256, SHA-256, URI "", the certificate in KeyInfo.
TEST_F(SigningLibrary, SignsWithEveryKeyFormAndXmlsecVerifies) {
  struct Case {
    const char* name;
    fs::path SigningKeys::*key;
    std::string password;
  };
  const Case cases[] = {
      {"unencrypted PEM", &SigningKeys::plainPem, ""},
      {"encrypted PEM", &SigningKeys::encryptedPem, SigningKeys::kPassword},
      {"PKCS#12", &SigningKeys::pkcs12, SigningKeys::kPassword},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(output);
    const Outcome o = sign(keys().*c.key, c.password);
    ASSERT_TRUE(o.signedOk) << o.code << " " << o.message;
    EXPECT_TRUE(xmlsecVerifies(output, keys().certificate));
    EXPECT_FALSE(xmlsecVerifies(output, keys().otherCertificate));

    Doc doc = parse(readFile(output));
    ASSERT_TRUE(doc);
    xmlNodePtr root = xmlDocGetRootElement(doc.get());
    xmlNodePtr signature = lastElementChild(root);
    ASSERT_NE(signature, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(signature->name), "Signature");
    ASSERT_NE(signature->ns, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(signature->ns->href), kDsig);
    EXPECT_STREQ(reinterpret_cast<const char*>(signature->ns->prefix), "ds");

    xmlNodePtr signedInfo = firstElement(signature, "SignedInfo");
    xmlNodePtr reference = firstElement(signedInfo, "Reference");
    EXPECT_EQ(attribute(firstElement(signedInfo, "CanonicalizationMethod"), "Algorithm"), kC14n);
    EXPECT_EQ(attribute(firstElement(signedInfo, "SignatureMethod"), "Algorithm"), kRsaSha256);
    EXPECT_EQ(attribute(reference, "URI"), "");
    EXPECT_EQ(attribute(firstElement(firstElement(reference, "Transforms"), "Transform"),
                        "Algorithm"),
              kEnveloped);
    EXPECT_EQ(attribute(firstElement(reference, "DigestMethod"), "Algorithm"), kSha256);

    std::string pem = readFile(keys().certificate);
    pem = pem.substr(pem.find('\n') + 1);
    pem = pem.substr(0, pem.find("-----END"));
    EXPECT_EQ(withoutWhitespace(content(firstElement(
                  firstElement(firstElement(signature, "KeyInfo"), "X509Data"),
                  "X509Certificate"))),
              withoutWhitespace(pem));
  }
}

std::string dumpRoot(xmlDocPtr doc) {
  xmlBufferPtr buffer = xmlBufferCreate();
  xmlNodeDump(buffer, doc, xmlDocGetRootElement(doc), 0, 0);
  std::string text(reinterpret_cast<const char*>(xmlBufferContent(buffer)), xmlBufferLength(buffer));
  xmlBufferFree(buffer);
  return text;
}

// Apart from the signature, the signed document is the input document.
TEST_F(SigningLibrary, KeepsTheDocumentItSigns) {
  ASSERT_TRUE(sign(keys().plainPem, "").signedOk);
  Doc original = parse(readFile(input));
  Doc signedDoc = parse(readFile(output));
  ASSERT_TRUE(original && signedDoc);
  xmlNodePtr signature = lastElementChild(xmlDocGetRootElement(signedDoc.get()));
  xmlUnlinkNode(signature);
  xmlFreeNode(signature);
  EXPECT_EQ(dumpRoot(signedDoc.get()), dumpRoot(original.get()));
}

// A single changed byte anywhere in the signed content breaks the signature.
TEST_F(SigningLibrary, AChangedByteFailsVerification) {
  ASSERT_TRUE(sign(keys().plainPem, "").signedOk);
  const std::string signedBytes = readFile(output);
  const std::string edits[][2] = {
      {"693936", "693937"},           // element text
      {"typ=\"ZPG\"", "typ=\"ZDP\""},  // attribute value
      {"Žluťoučký", "Zluťoučký"},      // one character of Czech text
  };
  for (const auto& [from, to] : edits) {
    SCOPED_TRACE(from);
    std::string changed = signedBytes;
    const size_t at = changed.find(from);
    ASSERT_NE(at, std::string::npos);
    changed.replace(at, from.size(), to);
    writeFile(dir / "changed.xml", changed);
    EXPECT_FALSE(xmlsecVerifies(dir / "changed.xml", keys().certificate));
  }
  writeFile(dir / "unchanged.xml", signedBytes);
  EXPECT_TRUE(xmlsecVerifies(dir / "unchanged.xml", keys().certificate));
}

// The configuration's other supported values make other, equally valid signatures.
TEST_F(SigningLibrary, SupportedConfigurationVariantsVerify) {
  struct Case {
    uint8_t canonicalization, signatureMethod, digest;
    const char *canonicalizationUri, *signatureUri, *digestUri;
  };
  const Case cases[] = {
      {3, 2, 1, "http://www.w3.org/2001/10/xml-exc-c14n#",
       "http://www.w3.org/2000/09/xmldsig#rsa-sha1", "http://www.w3.org/2000/09/xmldsig#sha1"},
      {6, 3, 2, "http://www.w3.org/2006/12/xml-c14n11",
       "http://www.w3.org/2001/04/xmldsig-more#rsa-sha256",
       "http://www.w3.org/2001/04/xmldsig-more#sha224"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.canonicalizationUri);
    ConfigRecord config = standardConfig();
    config.bytes[52] = c.canonicalization;
    config.bytes[54] = c.signatureMethod;
    config.bytes[56] = c.digest;
    fs::remove(output);
    const Outcome o = sign(keys().plainPem, "", config);
    ASSERT_TRUE(o.signedOk) << o.message;
    EXPECT_TRUE(xmlsecVerifies(output, keys().certificate));
    const std::string text = readFile(output);
    EXPECT_THAT(text, HasSubstr(std::string("Algorithm=\"") + c.canonicalizationUri + "\""));
    EXPECT_THAT(text, HasSubstr(std::string("Algorithm=\"") + c.signatureUri + "\""));
    EXPECT_THAT(text, HasSubstr(std::string("Algorithm=\"") + c.digestUri + "\""));
  }
}

// Every refusal is False with a negative code and a message that names the trouble; no output
// file is left behind.
TEST_F(SigningLibrary, RefusesWithCodeAndMessage) {
  struct Case {
    const char* name;
    std::function<void(SigningLibrary&, fs::path& key, std::string& password, ConfigRecord&)>
        arrange;
    int32_t code;
    std::string message;
  };
  auto config = [](size_t at, uint8_t value) {
    return [=](SigningLibrary&, fs::path&, std::string&, ConfigRecord& c) { c.bytes[at] = value; };
  };
  const Case cases[] = {
      {"wrong password, PEM",
       [](SigningLibrary&, fs::path& k, std::string& p, ConfigRecord&) {
         k = keys().encryptedPem;
         p = "spatne";
       },
       -3, "does not open with the given password"},
      {"no password for an encrypted PEM",
       [](SigningLibrary&, fs::path& k, std::string&, ConfigRecord&) { k = keys().encryptedPem; },
       -3, "does not open with the given password"},
      {"wrong password, PKCS#12",
       [](SigningLibrary&, fs::path& k, std::string& p, ConfigRecord&) {
         k = keys().pkcs12;
         p = "spatne";
       },
       -3, "does not open with the given password"},
      {"key file missing",
       [](SigningLibrary& t, fs::path& k, std::string&, ConfigRecord&) { k = t.dir / "nic.pem"; },
       -2, "key file cannot be read"},
      {"key file is a directory",
       [](SigningLibrary& t, fs::path& k, std::string&, ConfigRecord&) { k = t.dir; }, -2,
       "key file cannot be read"},
      {"no key file named",
       [](SigningLibrary&, fs::path& k, std::string&, ConfigRecord&) { k.clear(); }, -2,
       "no file named"},
      {"certificate without its key",
       [](SigningLibrary&, fs::path& k, std::string&, ConfigRecord&) { k = keys().certificate; },
       -4, "no private key"},
      {"key without its certificate",
       [](SigningLibrary&, fs::path& k, std::string&, ConfigRecord&) { k = keys().keyOnly; }, -4,
       "no certificate"},
      {"key file of no known kind",
       [](SigningLibrary& t, fs::path& k, std::string&, ConfigRecord&) { k = t.input; }, -4,
       "neither a PEM nor a PKCS#12 file"},
      {"input not XML",
       [](SigningLibrary& t, fs::path&, std::string&, ConfigRecord&) {
         writeFile(t.input, "not <xml");
       },
       -6, "not an XML document"},
      {"input empty",
       [](SigningLibrary& t, fs::path&, std::string&, ConfigRecord&) { writeFile(t.input, ""); },
       -6, "not an XML document"},
      {"input missing",
       [](SigningLibrary& t, fs::path&, std::string&, ConfigRecord&) { fs::remove(t.input); }, -5,
       "input file cannot be read"},
      {"output directory missing",
       [](SigningLibrary& t, fs::path&, std::string&, ConfigRecord&) {
         t.output = t.dir / "missing" / "out.xml";
       },
       -8, "output file cannot be written"},
      {"output is a directory",
       [](SigningLibrary& t, fs::path&, std::string&, ConfigRecord&) {
         fs::create_directories(t.output / "inside");
       },
       -8, "output file cannot be written"},
      {"encoding windows-1250",
       [](SigningLibrary&, fs::path&, std::string&, ConfigRecord& c) {
         std::memcpy(c.bytes, "windows-1250", 12);
       },
       -1, "encoding"},
      {"detached signature", config(51, 0), -1, "signature type 0"},
      {"enveloping signature", config(51, 1), -1, "signature type 1"},
      {"no canonicalisation", config(52, 0), -1, "canonicalisation 0"},
      {"minimal canonicalisation", config(52, 5), -1, "canonicalisation 5"},
      {"MAC signature", config(53, 1), -1, "signature method type 1"},
      {"RSA-MD5", config(54, 1), -1, "signature method 1"},
      {"unknown signature method", config(54, 9), -1, "signature method 9"},
      {"MD5 digest", config(56, 0), -1, "digest method 0"},
      {"reserved byte set", config(100, 1), -1, "reserved"},
      {"final flag 0", config(158, 0), -1, "final flag 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    fs::path key = keys().plainPem;
    std::string password;
    ConfigRecord cfg = standardConfig();
    c.arrange(*this, key, password, cfg);
    const Outcome o = sign(key, password, cfg);
    EXPECT_FALSE(o.signedOk);
    EXPECT_EQ(o.code, c.code);
    EXPECT_THAT(o.message, HasSubstr(c.message));
    EXPECT_FALSE(fs::is_regular_file(output));
  }
}

// The output path is replaced, never written through: a link planted there stays a link's
// target untouched, and an old file there gives way to the signed document.
TEST_F(SigningLibrary, ReplacesTheOutputWithoutFollowingALink) {
  const fs::path victim = dir / "victim.txt";
  writeFile(victim, "precious");
  fs::create_symlink(victim, output);
  ASSERT_TRUE(sign(keys().plainPem, "").signedOk);
  EXPECT_EQ(readFile(victim), "precious");
  EXPECT_FALSE(fs::is_symlink(output));
  EXPECT_TRUE(xmlsecVerifies(output, keys().certificate));

  writeFile(output, "stale");
  ASSERT_TRUE(sign(keys().plainPem, "").signedOk);
  EXPECT_TRUE(xmlsecVerifies(output, keys().certificate));
}

} // namespace

#endif
