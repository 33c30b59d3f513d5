// Submitting ZPG and ZDP proposals through the exports: the inner document is built from the
// host's record, signed by the signing library found beside the plug-in (the stand-in library
// of the i386 build) or by its name (the test signing library, loaded first in the native
// build), and sent with its attachment files to the loopback service.
#include <dlfcn.h>
#include <openssl/evp.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include <gmock/gmock.h>
#include <libxml/globals.h>

#include "host_records.h"
#include "service_test.h"
#include "signing_keys.h"
#include "test_signer.h"
#include "system.h"

using namespace vokr::test;
using testing::HasSubstr;
using testing::MatchesRegex;
using testing::StartsWith;
namespace fs = std::filesystem;

namespace {

#ifdef VOKR_REAL_SIGNER_DIR
constexpr bool kRealSigner = true;
#else
constexpr bool kRealSigner = false;
#endif

// The counts record: two slots, only the second written.
constexpr size_t kCountsSize = 8;

// The signing block of the stand-in library begins with the path of its key file.
constexpr size_t kKeyFileWidth = 1025;


std::string dataPath(const std::string& relative) { return std::string(VOKR_TEST_DATA) + "/" + relative; }

std::string readFile(const fs::path& path) { return vokr::signing_test::readFile(path); }

std::string replaced(std::string text, const std::string& placeholder, const std::string& value) {
  const size_t at = text.find(placeholder);
  if (at != std::string::npos) text.replace(at, placeholder.size(), value);
  return text;
}

int base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Decodes base64 text, line ends and padding skipped; the quads are put together by hand, so
// that nothing of the library is used to check the library.
class Base64Decoder {
public:
  // Appends the bytes of `text` to `out`; false at a character that is no base64.
  bool feed(std::string_view text, std::string& out) {
    for (char c : text) {
      if (c == '\r' || c == '\n') continue;
      if (c == '=') {
        ++padding_;
        c = 'A';
      }
      const int v = base64Value(c);
      if (v < 0) return false;
      quad_ = quad_ << 6 | uint32_t(v);
      if (++have_ < 4) continue;
      const char bytes[3] = {char(quad_ >> 16), char(quad_ >> 8), char(quad_)};
      out.append(bytes, 3 - std::min(padding_, 2));
      quad_ = 0;
      have_ = 0;
    }
    return true;
  }
  bool complete() const { return have_ == 0; }

private:
  uint32_t quad_ = 0;
  int have_ = 0, padding_ = 0;
};

std::string decodeBase64(std::string_view text) {
  Base64Decoder d;
  std::string out;
  EXPECT_TRUE(d.feed(text, out) && d.complete()) << "not base64: " << text.substr(0, 80);
  return out;
}

std::string hex(const unsigned char* bytes, size_t n) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) s += {digits[bytes[i] >> 4], digits[bytes[i] & 15]};
  return s;
}

class Sha256 {
public:
  Sha256() : ctx_(EVP_MD_CTX_new()) { EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr); }
  ~Sha256() { EVP_MD_CTX_free(ctx_); }
  void update(const void* data, size_t n) { EVP_DigestUpdate(ctx_, data, n); }
  std::string hexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    EVP_DigestFinal_ex(ctx_, digest, &n);
    return hex(digest, n);
  }

private:
  EVP_MD_CTX* ctx_;
};

// Follows the content of the first attachment of a request as it streams past: the base64 text
// is decoded into a digest, so that neither the request nor the attachment is ever held.
class StreamedAttachment {
public:
  void feed(const char* data, size_t n) {
    std::string_view chunk(data, n);
    if (state_ == State::searching) {
      window_.append(chunk);
      const size_t at = window_.find(kStart);
      if (at == std::string::npos) {
        if (window_.size() > kStart.size()) window_.erase(0, window_.size() - kStart.size());
        return;
      }
      state_ = State::content;
      std::string rest = window_.substr(at + kStart.size());
      window_.clear();
      content(rest);
      return;
    }
    if (state_ == State::content) content(chunk);
  }

  bool complete() const { return state_ == State::done && !malformed_; }
  uint64_t size() const { return size_; }
  std::string digest() { return digest_.hexDigest(); }

private:
  static constexpr std::string_view kStart = "<prilohaNavrhu idPrilohy=\"1\">";
  enum class State { searching, content, done };

  void content(std::string_view text) {
    const size_t end = text.find('<');
    std::string bytes;
    if (!decoder_.feed(text.substr(0, end), bytes)) malformed_ = true;
    digest_.update(bytes.data(), bytes.size());
    size_ += bytes.size();
    if (end != std::string_view::npos) {
      state_ = State::done;
      malformed_ = malformed_ || !decoder_.complete();
    }
  }

  State state_ = State::searching;
  std::string window_;
  Base64Decoder decoder_;
  Sha256 digest_;
  uint64_t size_ = 0;
  bool malformed_ = false;
};

// What the process is given before the plug-in is loaded: the locale and time zone the date
// texts are checked in and, in the native build, the test signing library, which the plug-in
// then finds by its name.
struct ProposalEnvironment {
  ProposalEnvironment() {
    vokr::test::setEnv("LC_ALL", "C.UTF-8");
    vokr::test::setEnv("TZ", "Europe/Prague");
    tzset();
    if (!kRealSigner) {
      signer = dlopen(VOKR_TEST_SIGNER_DIR "libPelkSigner.so", RTLD_NOW | RTLD_LOCAL);
      if (!signer) ADD_FAILURE() << "test signing library: " << dlerror();
    }
  }
  ~ProposalEnvironment() {
    if (signer) dlclose(signer);
  }
  void* signer = nullptr;
};

// One document entry of a proposal and the file it names.
struct Document {
  std::string typKod, datumVyhotoveni, textCislaJednaciho, stran, popis, idPrilohy, path,
      katuzeKod, cisloZPMZ;
};

enum class Kind { zpg, zdp };

struct FamilyNames {
  const char* load;
  const char* counts;
  const char* operation;
};
FamilyNames names(Kind kind) {
  if (kind == Kind::zpg) return {"loadZalozNavrhZPG", "getZalozNavrhZPG_ListSizes", "zalozNavrhZPG"};
  return {"loadZalozNavrhZDP", "getZalozNavrhZDP_ListSizes", "zalozNavrhZDP"};
}

// The request as the server received it, its two varying parts taken out: the signed document
// (decoded) and the hash, whose places are marked @XMLNavrhu@ and @hashNavrhu@.
struct SentProposal {
  std::string request;
  std::string document;
  std::string hash;
};

SentProposal splitRequest(std::string body) {
  SentProposal sent;
  for (auto [element, value] : {std::pair{"XMLNavrhu", &sent.document}, {"hashNavrhu", &sent.hash}}) {
    const std::string open = "<" + std::string(element) + ">", close = "</" + std::string(element) + ">";
    const size_t from = body.find(open), to = body.find(close);
    if (from == std::string::npos || to == std::string::npos || to < from) {
      ADD_FAILURE() << element << " missing from the request";
      continue;
    }
    *value = body.substr(from + open.size(), to - from - open.size());
    body.replace(from + open.size(), value->size(), "@" + std::string(element) + "@");
  }
  sent.document = decodeBase64(sent.document);
  sent.request = std::move(body);
  return sent;
}

class Proposals : public ProposalEnvironment, public ServiceTest {
protected:
  void SetUp() override {
    ServiceTest::SetUp();
    dir = vokr::test::makeTempDirectory("vokr-proposals");
    fs::create_directory(dir / "tmp");
    fs::create_directory(dir / "log");
    if (kRealSigner) keys = std::make_unique<vokr::signing_test::SigningKeys>(dir);
    setParams(0);
  }
  void TearDown() override {
    if (!dir.empty()) fs::remove_all(dir);
  }

  void setParams(int32_t logLevel) {
    Record p = newRecord(arena, 2055);
    p.text(0, 1025, (dir / "tmp").string()).text(1025, 1025, (dir / "log").string());
    p.i32(2050, logLevel).u8(2054, 0);
    plugin->fn<RecordFn>("SetVOKRParams")(p.data());
  }

  // The signing block: one the signing library signs with, or one it refuses.
  void signingBlock(Record& in, size_t at, bool signs) {
    if (kRealSigner)
      in.text(at, kKeyFileWidth, signs ? keys->plainPem.string() : (dir / "missing.pem").string());
    else if (!signs)
      in.text(at, kKeyFileWidth, "fail -7 no signing key for this proposal");
  }
  // The status of that refusal: the stand-in's code for a key file it cannot read, or the code
  // the test signing library was told to fail with.
  static std::string refusalCode() { return kRealSigner ? "-2" : "-7"; }

  HostList documentList(const std::vector<Document>& documents) {
    HostList list(arena, int32_t(documents.size()), listina::kSize);
    for (size_t i = 0; i < documents.size(); ++i) {
      const Document& d = documents[i];
      Record e = list[i];
      set(e, listina::typKod, d.typKod);
      set(e, listina::datumVyhotoveni, d.datumVyhotoveni);
      set(e, listina::textCislaJednaciho, d.textCislaJednaciho);
      set(e, listina::stran, d.stran);
      set(e, listina::popis, d.popis);
      set(e, listina::idPrilohy, d.idPrilohy);
      set(e, listina::soubor, d.path);
      set(e, listina::katuzeKod, d.katuzeKod);
      set(e, listina::cisloZPMZ, d.cisloZPMZ);
    }
    return list;
  }

  // A ZPG proposal with one note and the given documents (a null list for none), no tail.
  Record zpgRecord(const std::vector<Document>& documents, bool signs = true) {
    Record in = newRecord(arena, zpgIn::kSize);
    set(in, zpgIn::typ, "ZPG");
    set(in, zpgIn::extIdentifikace, "GP-2024-017");
    set(in, zpgIn::pracoviste, "701");
    HostList notes(arena, 1, 4001);
    notes[0].text(0, 4001, "Geometrický plán pro rozdělení pozemku");
    in.ptr(zpgIn::poznamky, notes.address());
    in.ptr(zpgIn::listiny, documents.empty() ? 0 : documentList(documents).address());
    signingBlock(in, zpgIn::signing, signs);
    return in;
  }

  // A ZDP proposal for proceeding PGP-1543/2024 at office 701, without notes.
  Record zdpRecord(const std::vector<Document>& documents, bool signs = true) {
    Record in = newRecord(arena, zdpIn::kSize);
    set(in, zdpIn::typ, "ZDP");
    set(in, zdpIn::extIdentifikace, "Zakázka 2024/118");
    set(in, zdpIn::rizeniTyp, "PGP");
    set(in, zdpIn::poradoveCislo, "1543");
    set(in, zdpIn::rok, "2024");
    set(in, zdpIn::praresKod, "701");
    in.ptr(zdpIn::listiny, documents.empty() ? 0 : documentList(documents).address());
    signingBlock(in, zdpIn::signing, signs);
    return in;
  }

  Record record(Kind kind, const std::vector<Document>& documents, bool signs = true) {
    return kind == Kind::zpg ? zpgRecord(documents, signs) : zdpRecord(documents, signs);
  }

  void load(Kind kind, const Record& in) { plugin->fn<PlainLoadFn>(names(kind).load)(in.data()); }

  // Both slots of the counts record, preset to 0x7EADBEEF.
  std::pair<int32_t, int32_t> counts(Kind kind) {
    Record c = newRecord(arena, kCountsSize);
    c.i32(0, 0x7EADBEEF).i32(4, 0x7EADBEEF);
    plugin->fn<PlainGetFn>(names(kind).counts)(c.data());
    return {c.i32At(0), c.i32At(4)};
  }

  // A ZPG output record whose every field holds "keep", with two message records.
  Record getZpg(HostMessages* messages) {
    Record out = newRecord(arena, zpgOut::kSize, 0xCC);
    for (const auto& field : zpgOut::fields) set(out, field.second, "keep");
    *messages = HostMessages::attach(arena, out, zpgOut::block, 2);
    plugin->fn<PlainGetFn>("getZalozNavrhZPG")(out.data());
    return out;
  }

  // Answers the next request with the accepted ZPG answer, the proceeding created at `created`.
  void answerAccepted(const std::string& created = "2024-03-05T14:30:07+01:00") {
    server.enqueue(Answer::soap(
        replaced(readDataFile("zalozNavrhZPG/accepted.response.xml"), "@createDate@", created)));
  }

  // The signed document as the signing library wrote it, for the unsigned `inner` document.
  void expectSigned(const std::string& document, const std::string& inner) {
    if (!kRealSigner) {
      EXPECT_EQ(document, inner + kTestSignature);
      return;
    }
    const fs::path file = dir / "sent-signed.xml";
    vokr::signing_test::writeFile(file, document);
    EXPECT_TRUE(vokr::signing_test::xmlsecVerifies(file, keys->certificate));
    EXPECT_THAT(document, HasSubstr("<ds:Signature"));
  }

  std::set<std::string> logFiles() {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir / "log")) names.insert(e.path().filename());
    return names;
  }

  fs::path dir;
  std::unique_ptr<vokr::signing_test::SigningKeys> keys;
};

const std::vector<Document> kZpgDocuments = {
    {"GP", "01.03.2024", "1234-17/2024", "3", "Geometrický plán", "1",
     dataPath("zalozNavrhZPG/plan.pdf"), "600016", "1201"},
    {"TZ", "02.03.2024", "", "", "", "2", dataPath("zalozNavrhZPG/zprava.txt"), "", ""},
};
const std::vector<Document> kZdpDocuments = {
    {"GP", "15.03.2024", "", "", "", "7", dataPath("zalozNavrhZDP/opraveny_plan.pdf"), "", ""},
    {"JIN", "16.03.2024", "", "", "Průvodní dopis bez obsahu", "8",
     dataPath("zalozNavrhZDP/prazdna.txt"), "", ""},
};

// ---- the request ----

struct RequestCase {
  const char* name;
  Kind kind;
  std::vector<Document> documents;
  const char* data;  // tests/data/<data>.request.xml and .inner.xml
};
void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }

class ProposalRequest : public Proposals, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(ProposalRequest, SendsTheSignedDocumentWithEveryAttachment) {
  const RequestCase& c = GetParam();
  const FamilyNames n = names(c.kind);
  setParams(1);
  answerWith(c.kind == Kind::zpg ? "zalozNavrhZPG/accepted_minimal.response.xml"
                                 : "zalozNavrhZDP/accepted.response.xml");
  load(c.kind, record(c.kind, c.documents));

  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].header("SOAPAction"),
            "\"http://katastr.cuzk.cz/geows/" + std::string(n.operation) + "\"");
  SentProposal sent = splitRequest(requests[0].body);
  EXPECT_EQ(sent.request, withCrLf(readDataFile(std::string(c.data) + ".request.xml")));
  // The identity of the document object, a signed 32-bit number, not a digest.
  ASSERT_THAT(sent.hash, MatchesRegex("-?[0-9]+"));
  EXPECT_GE(std::stoll(sent.hash), INT32_MIN);
  EXPECT_LE(std::stoll(sent.hash), INT32_MAX);

  const std::string inner = readDataFile(std::string(c.data) + ".inner.xml");
  const fs::path log = dir / "log";
  EXPECT_EQ(readFile(log / ("VOKR_" + std::string(n.operation) + " - vnitrni xml_req.xml")), inner);
  expectSigned(sent.document, inner);
  EXPECT_EQ(readFile(log / ("VOKR_" + std::string(n.operation) + " - vnitrni xml signed_req.xml")),
            sent.document)
      << "the signed document is sent byte for byte as the signing library wrote it";
  EXPECT_EQ(counts(c.kind).second, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProposalRequest,
    ::testing::Values(
        RequestCase{"ZpgWithTwoAttachments", Kind::zpg, kZpgDocuments, "zalozNavrhZPG/two_attachments"},
        RequestCase{"ZpgWithoutDocuments", Kind::zpg, {}, "zalozNavrhZPG/no_documents"},
        // The second file is empty: an item without content.
        RequestCase{"ZdpWithAnEmptyAttachment", Kind::zdp, kZdpDocuments,
                    "zalozNavrhZDP/empty_attachment"}),
    [](const auto& info) { return std::string(info.param.name); });

// A host that uses libxml2 itself keeps its own indentation settings: the builder indents its
// document by two spaces without leaving libxml2's process-wide settings changed.
TEST_F(Proposals, BuildingLeavesTheHostsLibxml2SettingsAlone) {
  xmlIndentTreeOutput = 0;
  xmlTreeIndentString = "\t";
  const char* hostIndent = xmlTreeIndentString;
  answerWith("zalozNavrhZPG/accepted_minimal.response.xml");
  load(Kind::zpg, zpgRecord({}));
  EXPECT_EQ(xmlIndentTreeOutput, 0);
  EXPECT_EQ(xmlTreeIndentString, hostIndent);
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  expectSigned(splitRequest(requests[0].body).document, readDataFile("zalozNavrhZPG/no_documents.inner.xml"));
  xmlIndentTreeOutput = 1;
  xmlTreeIndentString = "  ";
}

// ---- inner-document dumps ----

struct DumpCase {
  const char* name;
  Kind kind;
  int32_t logLevel;
};
void PrintTo(const DumpCase& c, std::ostream* os) { *os << c.name; }

class ProposalDumps : public Proposals, public ::testing::WithParamInterface<DumpCase> {};

TEST_P(ProposalDumps, InnerDocumentsAreDumpedBesideTheMessagesWhenLoggingIsOn) {
  const DumpCase& c = GetParam();
  const std::string op = names(c.kind).operation;
  setParams(c.logLevel);
  answerWith(c.kind == Kind::zpg ? "zalozNavrhZPG/accepted_minimal.response.xml"
                                 : "zalozNavrhZDP/accepted.response.xml");
  load(c.kind, record(c.kind, {}));
  ASSERT_EQ(server.requests().size(), 1u);
  std::set<std::string> expected;
  if (c.logLevel > 0)
    expected = {"VOKR_" + op + " - vnitrni xml_req.xml", "VOKR_" + op + " - vnitrni xml signed_req.xml",
                "VOKR_" + op + "_req.xml", "VOKR_" + op + "_resp.xml"};
  EXPECT_EQ(logFiles(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProposalDumps,
                         ::testing::Values(DumpCase{"ZpgLogLevel0", Kind::zpg, 0},
                                           DumpCase{"ZpgLogLevel1", Kind::zpg, 1},
                                           DumpCase{"ZdpLogLevel0", Kind::zdp, 0},
                                           DumpCase{"ZdpLogLevel1", Kind::zdp, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- get ----

struct GetCase {
  const char* name;
  const char* response;
  std::string flags;
  // Expected text of every ZPG field in order; "keep" where the host's text stays.
  std::vector<std::string> fields;
};
void PrintTo(const GetCase& c, std::ostream* os) { *os << c.name; }

class ZpgGet : public Proposals, public ::testing::WithParamInterface<GetCase> {};

TEST_P(ZpgGet, CopiesTheProceedingOnlyOnSuccess) {
  const GetCase& c = GetParam();
  server.enqueue(Answer::soap(
      replaced(readDataFile(c.response), "@createDate@", "2024-03-05T14:30:07+01:00")));
  load(Kind::zpg, zpgRecord({}));
  HostMessages m;
  Record out = getZpg(&m);
  EXPECT_EQ(messageFlags(out, zpgOut::block), c.flags);
  for (size_t i = 0; i < std::size(zpgOut::fields); ++i) {
    const auto [name, f] = zpgOut::fields[i];
    EXPECT_EQ(text(out, f), c.fields[i]) << name;
  }
  EXPECT_TRUE(guardIntact(out));
  EXPECT_TRUE(m.list.guardIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZpgGet,
    ::testing::Values(
        GetCase{"EveryField", "zalozNavrhZPG/accepted.response.xml", "10000",
                {"90411", "PGP-1543/2024-701", "03/05/24 14:30:07", "701", "PGP", "1543", "2024", "90412"}},
        // What the answer does not carry stays as the host left it.
        GetCase{"AbsentFieldsKeepTheHostsText", "zalozNavrhZPG/accepted_minimal.response.xml", "10000",
                {"90411", "PGP-1543/2024-701", "keep", "keep", "PGP", "keep", "keep", "keep"}},
        GetCase{"RefusalCopiesNothing", "zalozNavrhZPG/refused.response.xml", "00110",
                {"keep", "keep", "keep", "keep", "keep", "keep", "keep", "keep"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Proposals, ZpgMessagesAndCountsSlot) {
  answerAccepted();
  load(Kind::zpg, zpgRecord({}));
  EXPECT_EQ(counts(Kind::zpg), std::pair(0x7EADBEEF, 1)) << "only the second slot is written";
  HostMessages m;
  getZpg(&m);
  EXPECT_EQ(m.kod(0), "0");
  EXPECT_EQ(m.uroven(0), 0);
  EXPECT_EQ(m.text(0), "Návrh na potvrzení geometrického plánu byl přijat.");
}

TEST_F(Proposals, ZdpCopiesIdentifierAndFilingNumberOnly) {
  answerWith("zalozNavrhZDP/accepted.response.xml");
  load(Kind::zdp, zdpRecord({}));
  Record out = newRecord(arena, zdpOut::kSize, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, zdpOut::block, 1);
  plugin->fn<PlainGetFn>("getZalozNavrhZDP")(out.data());
  EXPECT_EQ(messageFlags(out, zdpOut::block), "10000");
  EXPECT_EQ(text(out, zdpOut::idRizeni), "90533");
  EXPECT_EQ(text(out, zdpOut::cisloPodani), "ZDP-88/2024-701");
  EXPECT_EQ(m.text(0), "Návrh na doplnění byl přijat.");
  EXPECT_TRUE(guardIntact(out)) << "nothing is written past the 65 bytes of the record";
  EXPECT_EQ(counts(Kind::zdp), std::pair(0x7EADBEEF, 1));
}

TEST_F(Proposals, AnswerWithoutMessagesCountsMinusOneAndCopiesNothing) {
  answerWith("zalozNavrhZDP/without_messages.response.xml");
  load(Kind::zdp, zdpRecord({}));
  EXPECT_EQ(counts(Kind::zdp), std::pair(0x7EADBEEF, -1));
  Record out = newRecord(arena, zdpOut::kSize, 0xCC);
  set(out, zdpOut::idRizeni, "keep");
  HostMessages::attach(arena, out, zdpOut::block, 1);
  plugin->fn<PlainGetFn>("getZalozNavrhZDP")(out.data());
  EXPECT_EQ(messageFlags(out, zdpOut::block), "00000");
  EXPECT_EQ(text(out, zdpOut::idRizeni), "keep");
}

TEST_F(Proposals, FreeReleasesTheAnswer) {
  answerAccepted();
  load(Kind::zpg, zpgRecord({}));
  plugin->fn<NoArgFn>("freeZalozNavrhZPG")();
  EXPECT_EQ(counts(Kind::zpg), std::pair(0x7EADBEEF, 0x7EADBEEF)) << "nothing held, nothing written";
}

// ---- createDate as local date and time ----

struct DateCase {
  const char* name;
  const char* locale;
  const char* wire;
  const char* local;  // in Europe/Prague
};
void PrintTo(const DateCase& c, std::ostream* os) { *os << c.name; }

class CreateDate : public Proposals, public ::testing::WithParamInterface<DateCase> {};

TEST_P(CreateDate, IsWrittenInLocalTimeInTheRegionalForms) {
  const DateCase& c = GetParam();
  answerAccepted(c.wire);
  load(Kind::zpg, zpgRecord({}));
  vokr::test::setEnv("LC_ALL", c.locale);
  HostMessages m;
  Record out = getZpg(&m);
  EXPECT_EQ(text(out, zpgOut::createDate), c.local);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CreateDate,
    ::testing::Values(
        DateCase{"OffsetOfTheLocalZone", "C.UTF-8", "2024-03-05T14:30:07+01:00", "03/05/24 14:30:07"},
        DateCase{"OtherOffset", "C.UTF-8", "2024-03-05T08:15:00-05:00", "03/05/24 14:15:00"},
        DateCase{"WithoutOffsetTakenAsUtcInSummerTime", "C.UTF-8", "2024-07-01T12:00:00",
                 "07/01/24 14:00:00"},
        DateCase{"UtcIntoTheNextYear", "C.UTF-8", "2024-12-31T23:30:00Z", "01/01/25 00:30:00"},
        DateCase{"MidnightIsTheDateAlone", "C.UTF-8", "2024-03-05T00:00:00+01:00", "03/05/24"},
        DateCase{"MidnightAfterConversion", "C.UTF-8", "2024-03-04T23:00:00Z", "03/05/24"},
        DateCase{"HalfASecondAfterMidnightKeepsTheTime", "C.UTF-8", "2024-03-05T00:00:00.5+01:00",
                 "03/05/24 00:00:00"},
        DateCase{"DateWithoutTimeIsUtcMidnight", "C.UTF-8", "2024-03-05", "03/05/24 01:00:00"},
        DateCase{"CzechRegionalForms", "cs_CZ.cp1250", "2024-03-05T14:30:07+01:00", "5.3.2024 14:30:07"},
        // Beyond both ends of 32-bit time, and the last year; the first year in Prague's local
        // mean time of then (+00:57:44).
        DateCase{"Before32BitTime", "cs_CZ.cp1250", "1901-12-13T12:00:00Z", "13.12.1901 13:00:00"},
        DateCase{"After32BitTime", "cs_CZ.cp1250", "2038-01-20T12:00:00Z", "20.1.2038 13:00:00"},
        DateCase{"LastYear", "cs_CZ.cp1250", "9999-12-31T12:00:00Z", "31.12.9999 13:00:00"},
        DateCase{"FirstYear", "cs_CZ.cp1250", "0001-01-01T12:00:00Z", "1.1.1 12:57:44"},
        DateCase{"OutOfRangeStaysAsSent", "cs_CZ.cp1250", "9999-12-31T23:30:00Z", "9999-12-31T23:30:00Z"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- what ends a load before anything is sent ----

struct NotSentCase {
  const char* name;
  std::function<void(std::vector<Document>& documents, const fs::path& dir)> spoil;
  int payment;       // a way of paying the fee in the record's tail; -1: no tail
  std::string text;  // the message text begins so
};
void PrintTo(const NotSentCase& c, std::ostream* os) { *os << c.name; }

class NotSent : public Proposals, public ::testing::WithParamInterface<NotSentCase> {};

TEST_P(NotSent, HoldsCode1001InPlaceOfTheEarlierAnswer) {
  const NotSentCase& c = GetParam();
  answerAccepted();
  load(Kind::zpg, zpgRecord(kZpgDocuments));
  ASSERT_EQ(server.requests().size(), 1u);

  std::vector<Document> documents = kZpgDocuments;
  c.spoil(documents, dir);
  Record in = zpgRecord(documents);
  if (c.payment >= 0) in.u8(zpgIn::tail, 1).u8(zpgIn::zpusobUhrady, uint8_t(c.payment));
  load(Kind::zpg, in);

  EXPECT_EQ(server.requests().size(), 1u) << "nothing is sent";
  EXPECT_EQ(counts(Kind::zpg).second, 1);
  HostMessages m;
  Record out = getZpg(&m);
  EXPECT_EQ(messageFlags(out, zpgOut::block), "00010") << "an error, not a failed call";
  EXPECT_EQ(m.kod(0), "1001");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_THAT(m.text(0), StartsWith(c.text));
  EXPECT_EQ(text(out, zpgOut::idRizeni), "keep");
}

auto keep = [](std::vector<Document>&, const fs::path&) {};

INSTANTIATE_TEST_SUITE_P(
    Cases, NotSent,
    ::testing::Values(
        NotSentCase{"MissingAttachmentFile",
                    [](std::vector<Document>& d, const fs::path& dir) {
                      d[1].path = (dir / "chybi.pdf").string();
                    },
                    -1, "EInOutError; cannot open attachment "},
        NotSentCase{"EmptyAttachmentPath",
                    [](std::vector<Document>& d, const fs::path&) { d[0].path = ""; }, -1,
                    "EInOutError; cannot open attachment"},
        NotSentCase{"DirectoryForAnAttachment",
                    [](std::vector<Document>& d, const fs::path& dir) { d[1].path = dir.string(); },
                    -1, "EInOutError; cannot read attachment "},
        NotSentCase{"BuilderError", keep, 200,
                    "EProposalError; Chybná hodnota - TZpusobUhrady=|200|"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Proposals, NoInputRecordIsAnErrorNotACrash) {
  plugin->fn<PlainLoadFn>("loadZalozNavrhZDP")(nullptr);
  Record out = newRecord(arena, zdpOut::kSize, 0xCC);
  HostMessages m = HostMessages::attach(arena, out, zdpOut::block, 1);
  plugin->fn<PlainGetFn>("getZalozNavrhZDP")(out.data());
  EXPECT_EQ(m.kod(0), "1001");
  EXPECT_THAT(m.text(0), StartsWith("EConvertError; "));
  EXPECT_TRUE(server.requests().empty());
}

// ---- signing failure ----

TEST_F(Proposals, SigningFailureReplacesAnEarlierAnswer) {
  answerAccepted();
  load(Kind::zpg, zpgRecord(kZpgDocuments));
  ASSERT_EQ(server.requests().size(), 1u);

  load(Kind::zpg, zpgRecord(kZpgDocuments, false));
  EXPECT_EQ(server.requests().size(), 1u) << "nothing is sent";
  EXPECT_EQ(counts(Kind::zpg).second, 1);
  HostMessages m;
  Record out = getZpg(&m);
  EXPECT_EQ(messageFlags(out, zpgOut::block), "00010");
  EXPECT_EQ(m.kod(0), refusalCode()) << "the signing status is the code";
  EXPECT_EQ(m.uroven(0), 2);
  const std::string head = "Signature utility error - " + refusalCode() + "\r\n";
  if (kRealSigner) {
    EXPECT_THAT(m.text(0), StartsWith(head));
    EXPECT_GT(m.text(0).size(), head.size()) << "the signing library says why";
  } else {
    EXPECT_EQ(m.text(0), head + "no signing key for this proposal");
  }
  EXPECT_EQ(text(out, zpgOut::idRizeni), "keep");
}

// A signing library that throws: whatever it throws is status 10002 and replaces the success
// held before. The plug-in is loaded from a copy beside the test signing library, so that in
// every build the library it finds beside itself is one that can be told to throw.
struct ThrowCase {
  const char* name;
  const char* command;
  const char* reason;
};
void PrintTo(const ThrowCase& c, std::ostream* os) { *os << c.name; }

class ThrowingSigner : public Proposals, public ::testing::WithParamInterface<ThrowCase> {
protected:
  void SetUp() override {
    Proposals::SetUp();
    fs::create_directory(dir / "plugin");
    fs::copy_file(VOKR_LIBRARY_PATH, dir / "plugin/libvokr.so");
    fs::copy_file(VOKR_TEST_SIGNER_DIR "libPelkSigner.so", dir / "plugin/libPelkSigner.so");
    plugin.reset();
    plugin = std::make_unique<Plugin>((dir / "plugin/libvokr.so").string());
    ServiceTest::SetUp();
    setParams(0);
  }
  Record steered(const std::string& command) {
    Record in = zpgRecord(kZpgDocuments);
    in.text(zpgIn::signing, kKeyFileWidth, command);
    return in;
  }
};

TEST_P(ThrowingSigner, IsStatus10002AndReplacesAnEarlierSuccess) {
  answerAccepted();
  load(Kind::zpg, steered("sign"));
  ASSERT_EQ(server.requests().size(), 1u);
  HostMessages first;
  ASSERT_EQ(messageFlags(getZpg(&first), zpgOut::block), "10000");

  load(Kind::zpg, steered(GetParam().command));
  EXPECT_EQ(server.requests().size(), 1u) << "nothing is sent";
  EXPECT_EQ(counts(Kind::zpg).second, 1);
  HostMessages m;
  Record out = getZpg(&m);
  EXPECT_EQ(messageFlags(out, zpgOut::block), "00010");
  EXPECT_EQ(m.kod(0), "10002");
  EXPECT_EQ(m.uroven(0), 2);
  EXPECT_EQ(m.text(0), "Signature utility error - 10002\r\n" + std::string(GetParam().reason));
  EXPECT_EQ(text(out, zpgOut::idRizeni), "keep") << "the earlier proceeding is not copied";
}

INSTANTIATE_TEST_SUITE_P(
    Exceptions, ThrowingSigner,
    ::testing::Values(ThrowCase{"StdException", "throw-std the key store is locked",
                                "the signing library raised an exception: the key store is locked"},
                      ThrowCase{"OtherType", "throw-other", "the signing library raised an exception"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- a large attachment ----

// 100 MB of bytes that are not all alike, written in pieces while their digest is taken.
std::string writeLargeFile(const fs::path& path, uint64_t size) {
  std::ofstream out(path, std::ios::binary);
  Sha256 digest;
  std::vector<uint32_t> words(1 << 18);
  uint32_t x = 2463534242u;
  for (uint64_t done = 0; done < size;) {
    for (uint32_t& w : words) {
      x ^= x << 13;
      x ^= x >> 17;
      x ^= x << 5;
      w = x;
    }
    const size_t n = size_t(std::min<uint64_t>(size - done, words.size() * 4));
    out.write(reinterpret_cast<const char*>(words.data()), std::streamsize(n));
    digest.update(words.data(), n);
    done += n;
  }
  EXPECT_TRUE(out.flush());
  return digest.hexDigest();
}

TEST_F(Proposals, HundredMegabyteAttachmentArrivesIntact) {
  constexpr uint64_t kSize = uint64_t(100) << 20;
  const fs::path file = dir / "velky_plan.pdf";
  const std::string digest = writeLargeFile(file, kSize);

  auto streamed = std::make_shared<StreamedAttachment>();
  ServerOptions options;
  options.bodySink = [streamed](const char* data, size_t n) { streamed->feed(data, n); };
  HttpsServer large(options);
  large.trust();
  connect(large.url(), "surveyor", "heslo");
  large.enqueue(Answer::soap(
      replaced(readDataFile("zalozNavrhZPG/accepted.response.xml"), "@createDate@", "2024-03-05")));

  load(Kind::zpg, zpgRecord({{"GP", "01.03.2024", "", "", "", "1", file.string(), "", ""}}));
  auto requests = large.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_GT(requests[0].bodySize, kSize * 4 / 3);
  EXPECT_TRUE(streamed->complete());
  EXPECT_EQ(streamed->size(), kSize);
  EXPECT_EQ(streamed->digest(), digest);
  HostMessages m;
  Record out = getZpg(&m);
  EXPECT_EQ(messageFlags(out, zpgOut::block), "10000");
}

} // namespace
