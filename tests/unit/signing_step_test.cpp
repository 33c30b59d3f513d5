// The signing step: temporary files in the temporary folder, the call into a real signing library loaded
// from disk (the test signing library, steered through the signing block; the stand-in signer
// where it is built), statuses and failure texts, and the signed-document dump.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host_memory.h"
#include "platform/error.h"
#include "plugin/settings.h"
#include "proposals/signing.h"
#include "signing_keys.h"
#include "test_signer.h"
#include "vokr.h"
#include "system.h"

namespace {

namespace fs = std::filesystem;
using testing::HasSubstr;
using testing::StartsWith;
using vokr::proposals::loadSigner;
using vokr::proposals::signDocument;
using vokr::proposals::SigningFailure;
using vokr::proposals::SigningOutcome;
using vokr::proposals::unloadSigner;
using vokr::signing_test::readFile;
using vokr::signing_test::writeFile;
using vokr::test::kTestSignature;

constexpr size_t kBlockWidth = 1228;
using Block = std::array<uint8_t, kBlockWidth>;

// A signing block whose first field is the test signing library's command.
Block commandBlock(const std::string& command) {
  Block b{};
  std::memcpy(b.data(), command.data(), command.size());
  return b;
}

std::vector<std::string> filesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SigningStep : public ::testing::Test {
protected:
  void SetUp() override {
    root = fs::path(::testing::TempDir()) / ("vokr-signing-" + std::to_string(getpid())) /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(root);
    tmp = root / "tmp";
    log = root / "log";
    fs::create_directories(tmp);
    fs::create_directories(log);
    setParams(tmp.string(), 0);
    vokr::test::unsetEnv("VOKR_TEST_SIGNER_RECORD");
    loadSigner(VOKR_TEST_SIGNER_DIR);
    document = readFile(VOKR_TEST_DATA "/signing/inner.xml");
  }
  void TearDown() override {
    unloadSigner();
    vokr::test::unsetEnv("VOKR_TEST_SIGNER_RECORD");
    fs::remove_all(root.parent_path());
  }

  // What a load hands the step: the temporary folder, and the dump settings the library makes
  // of the working parameters (dumps into `log`, named without timestamps).
  void setParams(const std::string& tmpPath, int32_t logLevel) {
    tmpFolder = tmpPath + "/";
    vokr::plugin::Params params;
    params.logPath = log.string() + "/";
    params.logLevel = logLevel;
    params.logUseTimestamp = 0;
    dumps = vokr::plugin::channelSettings(TConnectInfo{}, params).dumps;
  }

  SigningOutcome sign(const std::string& command, const char* operation = "zalozNavrhZPG") {
    return sign(commandBlock(command), operation);
  }
  SigningOutcome sign(const Block& block, const char* operation = "zalozNavrhZPG") {
    return signDocument(document, block, operation, tmpFolder, dumps);
  }

  static const SigningFailure& failureOf(const SigningOutcome& o) {
    static const SigningFailure none{0, "<signed>"};
    const auto* f = std::get_if<SigningFailure>(&o);
    return f ? *f : none;
  }
  static std::string signedOf(const SigningOutcome& o) {
    const auto* s = std::get_if<std::string>(&o);
    return s ? *s : "<failed: " + std::get<SigningFailure>(o).text + ">";
  }

  fs::path root, tmp, log;
  std::string tmpFolder;
  vokr::channel::DumpSettings dumps;
  std::string document;
};

// A True gives back exactly what the library wrote, whatever it left in the result record; the
// temporary files go, and with dumps on the signed document is dumped under its family's label.
TEST_F(SigningStep, ReturnsTheSignedFileAndDumpsIt) {
  struct Case {
    const char* command;
    const char* operation;
    int32_t logLevel;
    std::vector<std::string> dumps;
  };
  const Case cases[] = {
      {"sign", "zalozNavrhZPG", 0, {}},
      {"sign", "zalozNavrhZPG", -5, {}},
      {"sign", "zalozNavrhZPG", 1, {"VOKR_zalozNavrhZPG - vnitrni xml signed_req.xml"}},
      {"sign", "zalozNavrhZDP", 3, {"VOKR_zalozNavrhZDP - vnitrni xml signed_req.xml"}},
      {"true-with-code -5 left over", "zalozNavrhZPG", 0, {}},
      {"true-with-code 10001", "zalozNavrhZDP", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " " + c.operation);
    fs::remove_all(log);
    fs::create_directories(log);
    setParams(tmp.string(), c.logLevel);
    const SigningOutcome outcome = sign(c.command, c.operation);
    EXPECT_EQ(signedOf(outcome), document + kTestSignature);
    EXPECT_THAT(filesIn(tmp), testing::IsEmpty());
    EXPECT_EQ(filesIn(log), c.dumps);
    for (const std::string& name : c.dumps)
      EXPECT_EQ(readFile(log / name), document + kTestSignature);
  }
}

// The library receives the two paths, each ending with a zero byte in a zero-filled field, the
// host's signing block unchanged, and the one fixed configuration.
TEST_F(SigningStep, PassesTheRecordsByteForByte) {
  const fs::path recorded = root / "records.bin";
  vokr::test::setEnv("VOKR_TEST_SIGNER_RECORD", recorded);
  Block block = commandBlock("sign");
  for (size_t i = 5; i < kBlockWidth; ++i) block[i] = static_cast<uint8_t>(i * 37 + 11);
  ASSERT_TRUE(std::holds_alternative<std::string>(
      sign(block)));

  const std::string bytes = readFile(recorded);
  ASSERT_EQ(bytes.size(), 3278u + 159u);
  auto pathField = [](const fs::path& p) {
    std::string f(1025, '\0');
    f.replace(0, p.string().size(), p.string());
    return f;
  };
  EXPECT_EQ(bytes.substr(0, 1025), pathField(tmp / "tmpSign.xml"));
  EXPECT_EQ(bytes.substr(1025, 1025), pathField(tmp / "tmpSigned.xml"));
  EXPECT_EQ(bytes.substr(2050, 1228), std::string(block.begin(), block.end()));

  std::string config(159, '\0');
  config.replace(0, 5, "utf-8");
  config[51] = 2;  // enveloped
  config[52] = 1;  // inclusive canonicalisation
  config[53] = 0;  // signature, not MAC
  config[54] = 3;  // RSA-SHA256
  config[55] = 3;  // HMAC-SHA256
  config[56] = 3;  // SHA-256
  config[158] = 1;
  EXPECT_EQ(bytes.substr(3278), config);
}

// A False fails the step with the library's code and text; a True without a signed document
// fails with 10001. Either way both temporary files stay as they are, and nothing is dumped.
TEST_F(SigningStep, FailuresKeepTheFilesAndCarryTheStatus) {
  struct Case {
    const char* command;
    int32_t status;
    std::string text;
    bool outputLeft;
  };
  const std::string missing = (tmp / "tmpSigned.xml").string();
  const Case cases[] = {
      {"fail -42 Certificate not found", -42,
       "Signature utility error - -42\r\nCertificate not found", false},
      {"fail -7", -7, "Signature utility error - -7\r\n", false},
      {"fail 3 positive code", 3, "Signature utility error - 3\r\npositive code", false},
      {"fail-after-output -9 half done", -9, "Signature utility error - -9\r\nhalf done", true},
      {"no-output", 10001,
       "Signature utility error - 10001\r\nsigned document not found: " + missing, false},
  };
  setParams(tmp.string(), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const SigningFailure f = failureOf(sign(c.command));
    EXPECT_EQ(f.status, c.status);
    EXPECT_EQ(f.text, c.text);
    EXPECT_EQ(readFile(tmp / "tmpSign.xml"), document);
    EXPECT_EQ(fs::exists(tmp / "tmpSigned.xml"), c.outputLeft);
    EXPECT_THAT(filesIn(log), testing::IsEmpty());
  }
}

// Files left by an earlier signing are removed before the library runs: a stale signed file is
// never taken for new output.
TEST_F(SigningStep, RemovesStaleFilesFirst) {
  writeFile(tmp / "tmpSign.xml", "old input");
  writeFile(tmp / "tmpSigned.xml", "stale signed document");
  EXPECT_EQ(failureOf(sign("no-output")).status, 10001);
  EXPECT_EQ(readFile(tmp / "tmpSign.xml"), document);

  ASSERT_EQ(failureOf(sign("fail-after-output -1 left behind")).status, -1);
  EXPECT_EQ(signedOf(sign("sign")), document + kTestSignature);
  EXPECT_THAT(filesIn(tmp), testing::IsEmpty());
}

// A link planted at either temporary path is removed, never written or read through.
TEST_F(SigningStep, DoesNotFollowPlantedLinks) {
  const fs::path victim = root / "victim.txt", ghost = root / "ghost.txt";
  writeFile(victim, "precious");

  fs::create_symlink(victim, tmp / "tmpSign.xml");
  EXPECT_EQ(signedOf(sign("sign")), document + kTestSignature);
  EXPECT_EQ(readFile(victim), "precious");

  fs::create_symlink(ghost, tmp / "tmpSign.xml");
  EXPECT_EQ(signedOf(sign("sign")), document + kTestSignature);
  EXPECT_FALSE(fs::exists(ghost));

  fs::create_symlink(victim, tmp / "tmpSigned.xml");
  EXPECT_EQ(failureOf(sign("no-output")).status, 10001);
  EXPECT_EQ(readFile(victim), "precious");
  EXPECT_FALSE(fs::is_symlink(tmp / "tmpSign.xml"));
}

// Without the library or its function every signing fails with 10002 and says what is missing;
// once the library is there again, signing works.
TEST_F(SigningStep, MissingLibraryFailsWith10002) {
  const fs::path empty = root / "empty";
  fs::create_directories(empty);
  struct Case {
    const char* name;
    std::function<void()> load;
    std::string reason;
  };
  const Case cases[] = {
      {"no library", [&] { loadSigner(empty.string() + "/"); },
       "signing library libPelkSigner.so not found: " + empty.string() + "/libPelkSigner.so"},
      {"no function", [] { loadSigner(VOKR_SIGNER_WITHOUT_SYMBOL_DIR); },
       std::string("function PelkSigner_SignXML not found in ") +
           VOKR_SIGNER_WITHOUT_SYMBOL_DIR "libPelkSigner.so"},
      {"never loaded", [] { unloadSigner(); }, "the signing library is not loaded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.load();
    const SigningFailure f = failureOf(sign("sign"));
    EXPECT_EQ(f.status, 10002);
    EXPECT_THAT(f.text, StartsWith("Signature utility error - 10002\r\n" + c.reason));
  }
  loadSigner(VOKR_TEST_SIGNER_DIR);
  EXPECT_EQ(signedOf(sign("sign")), document + kTestSignature);
}

// Trouble with the temporary files is raised as an input/output error, not reported as a
// signing failure; a path the library could not be given is refused before any file work.
TEST_F(SigningStep, FileTroubleIsRaised) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string message;
  };
  const Case cases[] = {
      {"input path is a directory",
       [this] { fs::create_directories(tmp / "tmpSign.xml" / "x"); },
       "cannot delete " + (tmp / "tmpSign.xml").string()},
      {"output path is a directory",
       [this] { fs::create_directories(tmp / "tmpSigned.xml" / "x"); },
       "cannot delete " + (tmp / "tmpSigned.xml").string()},
      {"TmpPath gone", [this] { fs::remove_all(tmp); },
       "cannot create " + (tmp / "tmpSign.xml").string()},
      {"path too long for its field",
       [this] {
         fs::path deep = root;
         while (deep.string().size() < 1020) deep /= std::string(200, 'd');
         fs::create_directories(deep);
         setParams(deep.string(), 0);
       },
       "the path cannot be handed to the signing library"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    const fs::path recorded = root / "records.bin";
    vokr::test::setEnv("VOKR_TEST_SIGNER_RECORD", recorded);
    c.arrange();
    try {
      sign("sign");
      ADD_FAILURE() << "no error raised";
    } catch (const vokr::Error& e) {
      EXPECT_EQ(e.kindName(), "EInOutError");
      EXPECT_THAT(e.what(), HasSubstr(c.message));
    }
    EXPECT_FALSE(fs::exists(recorded)) << "the library was called";
  }
}

#ifdef VOKR_REAL_SIGNER_DIR
// Through the step, the stand-in library signs for real: the bytes returned verify.
TEST_F(SigningStep, StandInLibrarySignsThroughTheStep) {
  fs::create_directories(root / "keys");
  const vokr::signing_test::SigningKeys keys(root / "keys");
  loadSigner(VOKR_REAL_SIGNER_DIR);
  Block block{};
  const std::string key = keys.encryptedPem.string();
  std::memcpy(block.data(), key.c_str(), key.size());
  std::memcpy(block.data() + 1025, keys.kPassword, std::strlen(keys.kPassword));

  const SigningOutcome outcome = sign(block);
  ASSERT_TRUE(std::holds_alternative<std::string>(outcome)) << failureOf(outcome).text;
  writeFile(root / "signed.xml", std::get<std::string>(outcome));
  EXPECT_TRUE(vokr::signing_test::xmlsecVerifies(root / "signed.xml", keys.certificate));
  EXPECT_THAT(filesIn(tmp), testing::IsEmpty());

  std::memcpy(block.data() + 1025, "spatne\0", 7);
  const SigningFailure f = failureOf(sign(block));
  EXPECT_EQ(f.status, -3);
  EXPECT_THAT(f.text, StartsWith("Signature utility error - -3\r\nthe private key in "));
}
#endif

} // namespace
