// The response reader: answers in the shapes the service sends, fed in chunks of many sizes,
// the value conversions, failures, hostile input, a very large file and MTOM answers.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/error.h"
#include "schema/messages.h"
#include "schema/reader.h"
#include "schema/writer.h"
#include "schema_testing.h"
#include "open_files.h"
#include "rope_text.h"
#include "scoped_env.h"

namespace vokr::schema {

// Values the service's responses carry no example of: Booleans, integers and every
// enumeration, as elements of one object.
struct TestValues : Remotable<TestValues> {
  Optional<bool> flag;
  Optional<int32_t> number;
  Optional<std::optional<TXSDateTime>> when;
  AnoNeType anoNe{};
  DruhCislovaniParType druhCislovani{};
  FormatSestavyType formatSestavy{};
  ReportStavType reportStav{};
  TypKompreseType typKomprese{};
  ZpravaServeruTypeType uroven{};
  StavExportuVF stavExportu{};
  ZnakovaSadaVFType znakovaSada{};
  static const ClassOf<TestValues> info;
};
const ClassOf<TestValues> TestValues::info{
    "urn:vokr:test", "TestValues",
    {member<&TestValues::flag>("flag"), member<&TestValues::number>("number"),
     member<&TestValues::when>("when"), member<&TestValues::anoNe>("anoNe"),
     member<&TestValues::druhCislovani>("druhCislovani"),
     member<&TestValues::formatSestavy>("formatSestavy"),
     member<&TestValues::reportStav>("reportStav"), member<&TestValues::typKomprese>("typKomprese"),
     member<&TestValues::uroven>("uroven"), member<&TestValues::stavExportu>("stavExportu"),
     member<&TestValues::znakovaSada>("znakovaSada")}};

namespace {

using vokr::test::ropeText;

using testing::read;
using testing::securityHeader;
using testing::wireText;

const size_t kChunkSizes[] = {1, 7, 61, 4096};

std::string envelope(const std::string& body) {
  return "<?xml version='1.0' encoding='UTF-8'?>\n<S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/"
         "soap/envelope/\">\n  <S:Header/>\n  <S:Body>\n" +
         body + "\n  </S:Body>\n</S:Envelope>\n";
}

std::string testValues(const std::string& children) {
  return envelope("<t:TestValues xmlns:t=\"urn:vokr:test\">" + children + "</t:TestValues>");
}

std::string reservation(const std::string& children) {
  return envelope(
      "<ns1:VytvorRezervaciZPMZResponse xmlns:ns0=\"http://katastr.cuzk.cz/commonTypes/v2.9\" "
      "xmlns:ns1=\"http://katastr.cuzk.cz/geows/types/v2.9\">" +
      children + "</ns1:VytvorRezervaciZPMZResponse>");
}

// The error a reading ends with; the reader is fed in chunks of `chunk` bytes.
Error failureOf(const ClassInfo& cls, std::string_view text, size_t chunk = 4096,
                std::string_view contentType = "text/xml", bool* notEnvelope = nullptr) {
  ResponseReader reader(cls, contentType);
  try {
    for (size_t at = 0; at < text.size(); at += chunk)
      reader.feed(text.data() + at, std::min(chunk, text.size() - at));
    reader.finish();
  } catch (const Error& e) {
    if (notEnvelope) *notEnvelope = reader.notEnvelope();
    return e;
  }
  return Error(ErrorKind::OutOfResources, "the answer was read without failure");
}

std::string message(const ZpravaServeruType& z) { return z.kod ? z.kod->text : "<none>"; }

TEST(SchemaReader, ReadsTheServiceShapeInAnyChunking) {
  const std::string text = wireText("vytvorRezervaciZPMZ.response.xml");
  for (size_t chunk : kChunkSizes) {
    SCOPED_TRACE(chunk);
    auto r = read<VytvorRezervaciZPMZResponse>(Operation::vytvorRezervaciZPMZ, text, chunk);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->vysledek.size(), 2u);
    EXPECT_EQ(r->vysledek[0]->Text, "Požadavek byl úspěšně zpracován.");
    EXPECT_EQ(message(*r->vysledek[0]), "0");
    EXPECT_EQ(r->vysledek[0]->uroven, ZpravaServeruTypeType::INFORMACE);
    // The level qualified in the base types namespace, character and entity references.
    EXPECT_EQ(r->vysledek[1]->Text, "Číslo ZPMZ bylo přiděleno zálohy & je platné.");
    EXPECT_EQ(message(*r->vysledek[1]), "4711");
    EXPECT_EQ(r->vysledek[1]->uroven, ZpravaServeruTypeType::VAROVANI);
    ASSERT_TRUE(r->rezervCisloZPMZ.present);
    EXPECT_EQ(r->rezervCisloZPMZ.value->katuzeKod->text, "600016");
    EXPECT_EQ(r->rezervCisloZPMZ.value->cisloZPMZ->text, "00815");
  }
}

TEST(SchemaReader, ReadsNestedWrappedAndRepeatedLists) {
  const std::string text = wireText("detailRizeniPM.response.xml");
  for (size_t chunk : {size_t{13}, size_t{4096}}) {
    SCOPED_TRACE(chunk);
    auto r = read<DetailRizeniPMResponse>(Operation::detailRizeniPM, text, chunk);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->idRizeniPM.value->text, "314159");
    EXPECT_EQ(r->cisloZakazky.value, "Zakázka č. 7");
    // The unknown element before the lists holds a katuzeKod of its own: it is not taken.
    ASSERT_TRUE(r->katuzeKodList.present);
    ASSERT_EQ(r->katuzeKodList.value.size(), 2u);
    EXPECT_EQ(r->katuzeKodList.value[1].text, "600024");
    ASSERT_EQ(r->dotceneParcely.value.size(), 1u);
    EXPECT_EQ(r->dotceneParcely.value[0].text, "000123");
    ASSERT_EQ(r->rezervCislaZPMZList.value.size(), 1u);
    EXPECT_EQ(r->rezervCislaZPMZList.value[0]->cisloZPMZ->text, "815");
    ASSERT_EQ(r->rezervParCislaList.value.size(), 1u);
    const RezervParcelyType& parcels = *r->rezervParCislaList.value[0];
    EXPECT_EQ(parcels.druhCislovaniPar, DruhCislovaniParType::_2);
    ASSERT_EQ(parcels.kmenoveCislo.size(), 3u);
    EXPECT_EQ(parcels.kmenoveCislo[2].text, "1003");
    const RezervPoddeleniType& sub = *r->rezervPoddeleniList.value[0];
    EXPECT_EQ(sub.druhCislovaniPar, DruhCislovaniParType::_1);
    EXPECT_EQ(sub.kmenoveCislo->text, "77");
    ASSERT_EQ(sub.poddeleniCisla.size(), 1u);
    ASSERT_EQ(r->rezervPBPPList.value.size(), 2u);
    EXPECT_EQ(r->rezervPBPPList.value[0]->cisloPBPP.size(), 2u);
    EXPECT_TRUE(r->rezervPBPPList.value[1]->cisloPBPP.empty());
  }
}

TEST(SchemaReader, ReadsReportsWithDatesStatesAndFiles) {
  auto r = read<GenerujSestavuResponse>(Operation::seznamSestav, wireText("seznamSestav.response.xml"), 5);
  ASSERT_TRUE(r);
  ASSERT_EQ(r->reportList.value.size(), 2u);
  const ReportType& first = *r->reportList.value[0];
  EXPECT_EQ(first.pocetStran.value->text, "2");
  EXPECT_EQ(first.datumPozadavku->text, "2023-11-23");  // a date without time, kept as sent
  EXPECT_EQ(first.datumSpusteni.value->text, "2023-11-23T16:16:36.123+01:00");
  EXPECT_FALSE(first.datumVytvoreni.present);
  EXPECT_FALSE(first.souborSestavy.present);
  EXPECT_EQ(first.stav, ReportStavType::vytvariSe);
  EXPECT_EQ(first.format, FormatSestavyType::xml);
  const ReportType& second = *r->reportList.value[1];
  EXPECT_FALSE(second.pocetStran.present);
  EXPECT_EQ(second.stav, ReportStavType::zrusen);
  ASSERT_TRUE(second.souborSestavy.present);
  const std::string pdf = "%PDF-1.4\n% äöü";
  EXPECT_EQ(std::string(second.souborSestavy.value.bytes.begin(), second.souborSestavy.value.bytes.end()), pdf);
}

// Room reserved from the answer's length is given back when a file turns out small, so that
// many files in one answer do not each take the answer's size.
TEST(SchemaReader, GivesBackRoomAFileDidNotNeed) {
  const std::string text = wireText("seznamSestav.response.xml");
  ResponseReader reader(Operation::seznamSestav, "text/xml", text.size() + (64u << 20));
  reader.feed(text.data(), text.size());
  auto response = reader.finish();
  const auto& file = dynamic_cast<GenerujSestavuResponse&>(*response).reportList.value[1]->souborSestavy.value.bytes;
  EXPECT_EQ(file.size(), 17u);
  EXPECT_LT(file.capacity(), size_t{1} << 20);
}

struct EnumText {
  const char* member;
  int ordinal;
  const char* text;
};

// Every wire text of every enumeration, in ordinal order.
const EnumText kEnumTexts[] = {
    {"anoNe", 0, "a"}, {"anoNe", 1, "n"},
    {"druhCislovani", 0, "1"}, {"druhCislovani", 1, "2"},
    {"formatSestavy", 0, "pdf"}, {"formatSestavy", 1, "xml"}, {"formatSestavy", 2, "html"},
    {"formatSestavy", 3, "zip"},
    {"reportStav", 0, "čeká"}, {"reportStav", 1, "vytváří se"}, {"reportStav", 2, "podepisuje se"},
    {"reportStav", 3, "zpracován"}, {"reportStav", 4, "chyba při vytváření"},
    {"reportStav", 5, "chyba při zpracování"}, {"reportStav", 6, "zaúčtován"},
    {"reportStav", 7, "zrušen"},
    {"typKomprese", 0, "ZIP"}, {"typKomprese", 1, "GZIP"},
    {"uroven", 0, "INFORMACE"}, {"uroven", 1, "VAROVANI"}, {"uroven", 2, "CHYBA"},
    {"stavExportu", 0, "B"}, {"stavExportu", 1, "C"}, {"stavExportu", 2, "D"},
    {"stavExportu", 3, "P"}, {"stavExportu", 4, "S"},
    {"znakovaSada", 0, "ISO8859-2"}, {"znakovaSada", 1, "CP1250"},
};

uint8_t& enumField(TestValues& v, std::string_view member) {
  const MemberInfo* m = nullptr;
  for (const MemberInfo* candidate : TestValues::info.wireMembers())
    if (candidate->name == member) m = candidate;
  return m->value<uint8_t>(v);
}

TEST(SchemaReader, EveryEnumerationTextBothWays) {
  for (const EnumText& c : kEnumTexts) {
    SCOPED_TRACE(c.text);
    std::string element = std::string("<") + c.member + ">" + c.text + "</" + c.member + ">";
    TestValues values;
    enumField(values, c.member) = static_cast<uint8_t>(c.ordinal);
    std::string written = ropeText(writeEnvelope(values, securityHeader("", "")));
    EXPECT_NE(written.find(element), std::string::npos);

    std::string prefixed = std::string("<t:") + c.member + ">" + c.text + "</t:" + c.member + ">";
    auto back = read<TestValues>(TestValues::info, testValues(prefixed), 3);
    ASSERT_TRUE(back);
    EXPECT_EQ(enumField(*back, c.member), c.ordinal);
  }
}

struct ValueCase {
  const char* children;
  std::function<void(const TestValues&)> check;
};

TEST(SchemaReader, ConvertsValuesByTheirKind) {
  const ValueCase cases[] = {
      {"<t:flag>TRUE</t:flag>", [](auto& v) { EXPECT_TRUE(v.flag.value); }},
      {"<t:flag>1</t:flag>", [](auto& v) { EXPECT_TRUE(v.flag.value); }},
      {"<t:flag>False</t:flag>", [](auto& v) { EXPECT_TRUE(v.flag.present); EXPECT_FALSE(v.flag.value); }},
      {"<t:flag>0</t:flag>", [](auto& v) { EXPECT_TRUE(v.flag.present); EXPECT_FALSE(v.flag.value); }},
      {"<t:number>-2147483648</t:number>", [](auto& v) { EXPECT_EQ(v.number.value, INT32_MIN); }},
      {"<t:number> 42 </t:number>", [](auto& v) { EXPECT_EQ(v.number.value, 42); }},
      {"<t:when>2024-02-29</t:when>", [](auto& v) { EXPECT_EQ(v.when.value->text, "2024-02-29"); }},
      {"<t:when>2023-01-31T23:59:59.5Z</t:when>", [](auto& v) { EXPECT_TRUE(v.when.present); }},
      {"<t:when>2023-01-31T24:00:00</t:when>", [](auto& v) { EXPECT_TRUE(v.when.present); }},
      {"<t:when>\n  2023-01-31T10:00:00+01:00 \r\n</t:when>",
       [](auto& v) { EXPECT_EQ(v.when.value->text, "2023-01-31T10:00:00+01:00"); }},
      // An empty enumeration text gives the first member; a missing member keeps its start value.
      {"<t:reportStav></t:reportStav>", [](auto& v) { EXPECT_EQ(v.reportStav, ReportStavType::ceka); }},
      {"<t:other>x</t:other>", [](auto& v) { EXPECT_FALSE(v.flag.present); EXPECT_FALSE(v.number.present); }},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.children);
    auto v = read<TestValues>(TestValues::info, testValues(c.children));
    ASSERT_TRUE(v);
    c.check(*v);
  }
}

TEST(SchemaReader, ServerMessageEdgeCases) {
  struct Case {
    const char* children;
    std::function<void(const VytvorRezervaciZPMZResponse&)> check;
  } cases[] = {
      {"<ns1:vysledek><ns0:zprava>bez kódu</ns0:zprava></ns1:vysledek>",
       [](auto& r) {
         ASSERT_EQ(r.vysledek.size(), 1u);
         EXPECT_FALSE(r.vysledek[0]->kod);
         EXPECT_EQ(r.vysledek[0]->uroven, ZpravaServeruTypeType::INFORMACE);
       }},
      {"<ns1:vysledek><ns0:zprava kod=\"7\" uroven=\"CHYBA\"/></ns1:vysledek>",
       [](auto& r) {
         EXPECT_EQ(r.vysledek[0]->uroven, ZpravaServeruTypeType::CHYBA);
         EXPECT_EQ(r.vysledek[0]->Text, "");
       }},
      {"<ns1:rezervCisloZPMZ><ns1:cisloZPMZ>1</ns1:cisloZPMZ></ns1:rezervCisloZPMZ>",
       [](auto& r) {
         EXPECT_TRUE(r.vysledek.empty());
         EXPECT_FALSE(r.rezervCisloZPMZ.value->katuzeKod);
       }},
      {"<ns1:vysledek/><ns1:neznamy><ns1:vysledek><ns0:zprava/></ns1:vysledek></ns1:neznamy>",
       [](auto& r) {
         EXPECT_TRUE(r.vysledek.empty());
         EXPECT_FALSE(r.rezervCisloZPMZ.present);
       }},
      // A second element of a member already read is not taken.
      {"<ns1:rezervCisloZPMZ><ns1:katuzeKod>1</ns1:katuzeKod></ns1:rezervCisloZPMZ>"
       "<ns1:rezervCisloZPMZ><ns1:katuzeKod>2</ns1:katuzeKod></ns1:rezervCisloZPMZ>",
       [](auto& r) { EXPECT_EQ(r.rezervCisloZPMZ.value->katuzeKod->text, "1"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.children);
    auto r = read<VytvorRezervaciZPMZResponse>(Operation::vytvorRezervaciZPMZ, reservation(c.children), 2);
    ASSERT_TRUE(r);
    c.check(*r);
  }
}

struct FailureCase {
  const char* name;
  std::string text;
  std::string kind;
  std::string message;  // the whole message, or its start followed by "..."
  bool notEnvelope;
};

TEST(SchemaReader, FailuresEndTheReading) {
  const FailureCase cases[] = {
      {"a SOAP fault", wireText("fault.response.xml"), "ERemotableException",
       "Neplatné přihlašovací údaje", false},
      {"an unknown level", reservation("<ns1:vysledek><ns0:zprava uroven=\"KRITICKA\"/></ns1:vysledek>"),
       "EXmlReadError", "Invalid property element: KRITICKA", false},
      {"a report state without its Czech letters",
       envelope("<GenerujSestavuResponse><reportList><report><stav>vytvari se</stav></report></reportList>"
                "</GenerujSestavuResponse>"),
       "EXmlReadError", "Invalid property element: vytvari se", false},
      {"a bad Boolean", testValues("<t:flag>yes</t:flag>"), "EXmlReadError", "'yes' is not a valid Boolean value", false},
      {"a bad integer", testValues("<t:number>12a</t:number>"), "EXmlReadError", "'12a' is not a valid integer value", false},
      {"an integer out of range", testValues("<t:number>2147483648</t:number>"), "EXmlReadError",
       "'2147483648' is not a valid integer value", false},
      {"an empty integer", testValues("<t:number/>"), "EXmlReadError", "'' is not a valid integer value", false},
      {"a bad date", testValues("<t:when>2023-02-29</t:when>"), "EXmlReadError",
       "'2023-02-29' is not a valid date and time", false},
      {"a bad time", testValues("<t:when>2023-02-28T10:61:00</t:when>"), "EXmlReadError",
       "'2023-02-28T10:61:00' is not a valid date and time", false},
      {"a date with a blank before the time", testValues("<t:when>2023-02-28 10:00:00</t:when>"),
       "EXmlReadError", "'2023-02-28 10:00:00' is not a valid date and time", false},
      {"bad base64", envelope("<GenerujSestavuResponse><reportList><report><souborSestavy>ab!d</souborSestavy>"
                              "</report></reportList></GenerujSestavuResponse>"),
       "EXmlReadError", "Invalid base64 text", false},
      {"an HTML error page", "<html><body><h1>503 Service Unavailable</h1></body></html>", "EXmlReadError",
       "the answer is not a SOAP envelope: its document element is html", true},
      {"plain text", "Service Unavailable", "EXmlReadError", "XML error at line 1: ...", true},
      {"an empty answer", "", "EXmlReadError", "the answer is empty", true},
      {"an envelope of another namespace", "<Envelope xmlns=\"urn:other\"><Body/></Envelope>", "EXmlReadError",
       "the answer is not a SOAP envelope: its document element is Envelope", true},
      {"an envelope cut short", envelope("<GenerujSestavuResponse>").substr(0, 150), "EXmlReadError",
       "XML error at line ...", false},
      {"an empty body", envelope(""), "EXmlReadError", "the SOAP body holds no response", false},
      {"entities declared in a DTD",
       "<?xml version=\"1.0\"?>\n<!DOCTYPE S:Envelope [\n <!ENTITY a \"aaaaaaaaaa\">\n <!ENTITY b "
       "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n" +
           reservation("<ns1:vysledek><ns0:zprava>&c;</ns0:zprava></ns1:vysledek>").substr(39),
       "EXmlReadError", "a DTD is not allowed in an answer", true},
      {"an entity without a DTD", reservation("<ns1:vysledek><ns0:zprava>&x;</ns0:zprava></ns1:vysledek>"),
       "EXmlReadError", "XML error at line ...", false},
  };
  for (const FailureCase& c : cases) {
    for (size_t chunk : {size_t{3}, size_t{4096}}) {
      SCOPED_TRACE(std::string(c.name) + ", chunks of " + std::to_string(chunk));
      const ClassInfo& cls =
          c.text.find("TestValues") != std::string::npos ? TestValues::info
          : c.text.find("GenerujSestavu") != std::string::npos ? *operationInfo(Operation::seznamSestav).response
                                                               : *operationInfo(Operation::vytvorRezervaciZPMZ).response;
      bool notEnvelope = false;
      Error e = failureOf(cls, c.text, chunk, "text/xml", &notEnvelope);
      EXPECT_EQ(e.kindName(), c.kind);
      std::string expected = c.message;
      if (expected.size() > 3 && expected.ends_with("...")) {
        expected.resize(expected.size() - 3);
        EXPECT_EQ(std::string(e.what()).substr(0, expected.size()), expected) << e.what();
      } else {
        EXPECT_EQ(e.what(), expected);
      }
      EXPECT_EQ(notEnvelope, c.notEnvelope);
    }
  }
}

// Base64 text goes to the decoder past the parser; wherever the run is broken (character
// references, a comment, a CDATA section, line ends) the parser hands on what follows, and the
// bytes are the same however the answer is cut into chunks.
TEST(SchemaReader, ByteArrayTextBrokenByMarkupInAnyChunking) {
  std::string bytes;
  for (int i = 0; i < 600; ++i) bytes += char(i * 7 + i / 256);
  std::string plain(bytes.size() / 3 * 4 + 4, '\0');
  plain.resize(size_t(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(plain.data()),
                                      reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()))));
  // A character reference for a base64 character, and one for a blank, inside groups.
  std::string text = plain.substr(0, 101) + "&#x" + [&] {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", unsigned(uint8_t(plain[101])));
    return std::string(hex);
  }() + ";" + plain.substr(102, 200) + "&#13;&#10;" + plain.substr(302, 98) + "<!-- a note -->" +
                     plain.substr(400, 150) + "<![CDATA[" + plain.substr(550, 150) + "]]>\r\n" + plain.substr(700);
  const std::string answer =
      envelope("<GenerujSestavuResponse><reportList><report><souborSestavy>" + text +
               "</souborSestavy></report></reportList></GenerujSestavuResponse>");
  for (size_t chunk : {size_t{1}, size_t{5}, size_t{61}, size_t{250}, size_t{4096}}) {
    SCOPED_TRACE(chunk);
    auto r = read<GenerujSestavuResponse>(Operation::seznamSestav, answer, chunk);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->reportList.value.size(), 1u);
    const auto& file = r->reportList.value[0]->souborSestavy.value.bytes;
    EXPECT_EQ(std::string(file.begin(), file.end()), bytes);
  }
}

// A byte the declared encoding lacks stops libxml2's conversion, which it reports differently
// for different chunkings; whatever it says, the answer cut short there is never a success.
TEST(SchemaReader, AnAnswerWhoseConversionStopsFails) {
  const std::string text = "<?xml version=\"1.0\" encoding=\"windows-1250\"?>" +
                           reservation("<ns1:vysledek><ns0:zprava>a\x81" "b</ns0:zprava></ns1:vysledek>").substr(39);
  for (size_t chunk : kChunkSizes) {
    SCOPED_TRACE("chunks of " + std::to_string(chunk));
    Error e = failureOf(*operationInfo(Operation::vytvorRezervaciZPMZ).response, text, chunk);
    EXPECT_EQ(e.kindName(), "EXmlReadError") << e.what();
  }
}

TEST(SchemaReader, FeedFailsAsSoonAsTheAnswerCannotBeValid) {
  ResponseReader reader(Operation::seznamRizeniPM, "text/html");
  std::string page = "<html><head><title>Error</title></head>";
  EXPECT_THROW(reader.feed(page.data(), page.size()), Error);
  EXPECT_TRUE(reader.notEnvelope());
  EXPECT_THROW(reader.finish(), Error);
}

// ---- a very large file ----

// Produces an answer whose one byte array holds `size` bytes of a pattern, base64-encoded in
// lines of 76 characters, chunk by chunk, without ever holding the text whole.
class LargeAnswer {
public:
  explicit LargeAnswer(uint64_t size) : size_(size) {
    head_ = "<?xml version='1.0' encoding='UTF-8'?><S:Envelope xmlns:S=\"http://schemas.xmlsoap.org/"
            "soap/envelope/\"><S:Body><ns1:VratSouborZPMZResponse xmlns:ns1=\"urn:t\"><ns1:souborZPMZ>"
            "<ns1:nazevSouboru>big.zip</ns1:nazevSouboru><ns1:obsahSouboru>";
    tail_ = "</ns1:obsahSouboru></ns1:souborZPMZ></ns1:VratSouborZPMZResponse></S:Body></S:Envelope>";
  }
  static uint8_t byteAt(uint64_t i) { return static_cast<uint8_t>((i * 2654435761u) >> 13); }
  uint64_t length() const {
    uint64_t chars = (size_ + 2) / 3 * 4;
    return head_.size() + chars + chars / 76 * 2 + tail_.size();
  }

  template <class Sink> void produce(Sink&& sink) const {
    sink(head_);
    std::vector<uint8_t> raw(57 * 1024);
    std::string text;
    for (uint64_t at = 0; at < size_;) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(raw.size(), size_ - at));
      for (size_t i = 0; i < n; ++i) raw[i] = byteAt(at + i);
      text.clear();
      for (size_t line = 0; line < n; line += 57) {
        size_t bytes = std::min<size_t>(57, n - line);
        char encoded[80];
        int chars = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded), raw.data() + line, static_cast<int>(bytes));
        text.append(encoded, static_cast<size_t>(chars));
        if (chars == 76) text += "\r\n";
      }
      sink(text);
      at += n;
    }
    sink(tail_);
  }

private:
  uint64_t size_;
  std::string head_, tail_;
};

long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// A fresh folder, removed with what is in it.
struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/vokr-spill-XXXXXX";
    path = mkdtemp(name);
  }
  ~Folder() { std::filesystem::remove_all(path); }
};

// The whole content of an array that went to a scratch file, checked against the pattern.
uint64_t wrongBytes(const TByteSOAPArray& array) {
  std::vector<uint8_t> block(1 << 20);
  uint64_t wrong = 0;
  for (uint64_t at = 0; at < array.size();) {
    const size_t n = array.source->read(at, block.data(), block.size());
    if (n == 0) return array.size() - at;
    for (size_t i = 0; i < n; ++i) wrong += block[i] != LargeAnswer::byteAt(at + i);
    at += n;
  }
  return wrong;
}

// A file larger than memory should hold goes to a scratch file in the spill folder as it is
// decoded: memory stays small, the content reads back whole, and the file, which never had a
// name there, is gone once the response is released.
TEST(SchemaReader, DecodesAHugeFileIntoAScratchFileAsItArrives) {
  const uint64_t decoded = 150u << 20;  // 200 MiB of base64 text
  LargeAnswer answer(decoded);
  Folder folder;
#if defined(__SANITIZE_ADDRESS__)
  const bool measure = false;  // the sanitizer's own bookkeeping would swamp the figure
#else
  const bool measure = std::ofstream("/proc/self/clear_refs") << "5" ? true : false;
#endif
  long before = measure ? peakResidentKiB() : 0;

  ResponseReader reader(Operation::vratSouborZPMZ, "text/xml", answer.length(), SpillSettings{folder.path});
  answer.produce([&](const std::string& chunk) { reader.feed(chunk.data(), chunk.size()); });
  auto response = reader.finish();
  long after = measure ? peakResidentKiB() : 0;

  const TByteSOAPArray& content = dynamic_cast<VratSouborZPMZResponse&>(*response).souborZPMZ.value->obsahSouboru;
  EXPECT_TRUE(content.bytes.empty());
  ASSERT_TRUE(content.source && content.source->file());
  ASSERT_EQ(content.size(), decoded);
  EXPECT_EQ(wrongBytes(content), 0u);
  EXPECT_EQ(vokr::test::openFilesIn(folder.path).size(), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(folder.path)) << "the scratch file has no name";
  if (measure) {
    // A few MB of working memory: no copy of the text, nor of the file.
    long grownMiB = (after - before) / 1024;
    EXPECT_LT(grownMiB, 40) << "peak memory grew by " << grownMiB << " MiB";
  }
  response.reset();
  EXPECT_TRUE(vokr::test::openFilesIn(folder.path).empty());
}

// A spill folder that takes no file: the scratch file goes to the temporary folder. An array
// below the threshold stays in memory.
TEST(SchemaReader, SpillsToTheTemporaryFolderWhenTheSpillFolderTakesNone) {
  Folder temporary;
  vokr::test::ScopedEnv tmp("tmp", temporary.path);
  for (uint64_t size : {uint64_t{1} << 20, uint64_t{3} << 20}) {
    LargeAnswer answer(size);
    ResponseReader reader(Operation::vratSouborZPMZ, "text/xml", answer.length(),
                          SpillSettings{"/nonexistent/folder/", 2u << 20});
    answer.produce([&](const std::string& chunk) { reader.feed(chunk.data(), chunk.size()); });
    auto response = reader.finish();
    const TByteSOAPArray& content = dynamic_cast<VratSouborZPMZResponse&>(*response).souborZPMZ.value->obsahSouboru;
    const bool spilled = size > (2u << 20);
    EXPECT_EQ(content.source != nullptr, spilled) << size;
    EXPECT_EQ(content.bytes.size(), spilled ? 0 : size);
    EXPECT_EQ(vokr::test::openFilesIn(temporary.path).size(), spilled ? 1u : 0u) << size;
    if (spilled) {
      EXPECT_EQ(wrongBytes(content), 0u);
    }
  }
}

// ---- MTOM ----

const char kMtomType[] =
    "multipart/related; type=\"application/xop+xml\"; boundary=\"uuid:a1b2c3\"; "
    "start-info=\"text/xml\"";

TEST(SchemaReader, TakesTheBytesOfAnMtomPart) {
  const std::string file = wireText("vratSouborZPMZ.file.bin");
  struct Case {
    const char* answer;
    std::string contentType;
  } cases[] = {
      {"vratSouborZPMZ_mtom.response.mime", kMtomType},
      {"vratSouborZPMZ_mtom_root_last.response.mime",
       std::string(kMtomType) + "; start=\"<root.message@cxf.apache.org>\""},
  };
  for (const Case& c : cases) {
    for (size_t chunk : kChunkSizes) {
      SCOPED_TRACE(std::string(c.answer) + ", chunks of " + std::to_string(chunk));
      auto r = read<VratSouborZPMZResponse>(Operation::vratSouborZPMZ, wireText(c.answer), chunk, c.contentType);
      ASSERT_TRUE(r);
      ASSERT_EQ(r->vysledek.size(), 1u);
      EXPECT_EQ(r->souborZPMZ.value->nazevSouboru, "zpmz_815.zip");
      const auto& bytes = r->souborZPMZ.value->obsahSouboru.bytes;
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), file);
    }
  }
}

TEST(SchemaReader, MtomFailures) {
  const ClassInfo& cls = *operationInfo(Operation::vratSouborZPMZ).response;
  const std::string whole = wireText("vratSouborZPMZ_mtom.response.mime");
  struct Case {
    const char* name;
    std::string text, contentType, message;
  } cases[] = {
      {"a cid: that names no part", wireText("vratSouborZPMZ_mtom_missing_part.response.mime"), kMtomType,
       "no part of the answer is named cid:missing@cuzk.cz"},
      {"no closing boundary", whole.substr(0, whole.size() - 20), kMtomType,
       "Malformed multipart answer: the closing boundary is missing"},
      {"a start naming no part", whole, std::string(kMtomType) + "; start=\"<other@x>\"",
       "multipart answer without its root part"},
      {"no boundary", whole, "multipart/related; type=\"application/xop+xml\"",
       "multipart answer without a boundary"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Error e = failureOf(cls, c.text, 11, c.contentType);
    EXPECT_EQ(e.kindName(), "EXmlReadError");
    EXPECT_EQ(e.what(), c.message);
  }
}

} // namespace
} // namespace vokr::schema
