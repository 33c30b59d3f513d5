// The request writer: whole envelopes against the wire texts in tests/data/schema, then the
// member rules one by one on the body they produce.
#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"
#include "schema/messages.h"
#include "schema/namespaces.h"
#include "schema/writer.h"
#include "schema_testing.h"
#include "rope_text.h"

namespace vokr::schema {

// Classes the service has no example of: an optional Boolean and integer, and a member whose
// object is of a class derived from the declared one.
struct TestShape : Remotable<TestShape> {
  std::string label;
  static const ClassOf<TestShape> info;
};
struct TestCircle : Remotable<TestCircle, TestShape> {
  std::optional<TXSDecimal> radius;
  static const ClassOf<TestCircle> info;
};
struct TestRequest : Remotable<TestRequest> {
  Optional<bool> flag;
  Optional<int32_t> count;
  std::unique_ptr<TestShape> shape;
  static const ClassOf<TestRequest> info;
};
const ClassOf<TestShape> TestShape::info{"urn:vokr:test", "TestShape", {member<&TestShape::label>("label")}};
const ClassOf<TestCircle> TestCircle::info{"urn:vokr:test:shapes", "TestCircle",
                                           {member<&TestCircle::radius>("radius")}};
const ClassOf<TestRequest> TestRequest::info{
    "urn:vokr:test", "TestRequest",
    {member<&TestRequest::flag>("flag"), member<&TestRequest::count>("count"),
     member<&TestRequest::shape>("shape")}};

namespace {

using vokr::test::ropeText;

using testing::bodyOf;
using testing::securityHeader;
using testing::wireText;

const std::string kTypes = "http://katastr.cuzk.cz/geows/types/v2.9";

TXSDecimal dec(std::string text) { return {std::move(text)}; }

template <class T> std::unique_ptr<T> make(std::function<void(T&)> fill) {
  auto object = std::make_unique<T>();
  fill(*object);
  return object;
}

// A ring of "x y" positions, each with the polygon's reference system attributes.
std::unique_ptr<LinearRing> ring(std::vector<std::string> points, const std::string& srsName,
                                 const std::string& srsDimension) {
  auto r = std::make_unique<LinearRing>();
  std::vector<std::unique_ptr<pos>> list;
  for (auto& p : points) {
    auto position = std::make_unique<pos>();
    position->Text = p;
    position->srsName.set(srsName);
    position->srsDimension.set(dec(srsDimension));
    list.push_back(std::move(position));
  }
  if (!list.empty()) r->pos.set(std::move(list));
  return r;
}

std::unique_ptr<ExportVFRequest> exportRequest(std::string id, std::string srsName,
                                               std::vector<std::string> exteriorPoints,
                                               std::vector<std::vector<std::string>> interiors) {
  auto request = std::make_unique<ExportVFRequest>();
  request->Polygon = std::make_unique<Polygon>();
  Polygon& polygon = *request->Polygon;
  polygon.id = std::move(id);
  polygon.srsName.set(srsName);
  polygon.srsDimension.set(dec("2"));
  auto outer = std::make_unique<exterior>();
  outer->AbstractRing = ring(exteriorPoints, srsName, "2");
  polygon.exterior.set(std::move(outer));
  std::vector<std::unique_ptr<interior>> inner;
  for (auto& points : interiors) {
    auto hole = std::make_unique<interior>();
    hole->AbstractRing = ring(points, srsName, "2");
    inner.push_back(std::move(hole));
  }
  if (!inner.empty()) polygon.interior.set(std::move(inner));
  return request;
}

std::unique_ptr<PrilohaNavrhuType> attachment(std::string id, std::string content) {
  auto a = std::make_unique<PrilohaNavrhuType>();
  a->idPrilohy = dec(std::move(id));
  a->Text.bytes.assign(content.begin(), content.end());
  return a;
}

struct WholeRequest {
  const char* file;
  Operation op;
  std::string user, password;
  std::function<std::unique_ptr<TRemotable>()> build;
};

const WholeRequest kWholeRequests[] = {
    {"vytvorRezervaciZPMZ.request.xml", Operation::vytvorRezervaciZPMZ, "geodet", "tajné heslo",
     [] {
       return make<VytvorRezervaciZPMZRequest>([](auto& r) {
         r.idRizeniPM = dec("1234567890123456789012345678901");
         r.katuzeKod = dec("600016");
       });
     }},
    {"zrusRezervaciZPMZ.request.xml", Operation::zrusRezervaciZPMZ, "geodet", "",
     [] {
       return make<ZrusRezervaciZPMZRequest>([](auto& r) {
         r.idRizeniPM = dec("42");
         r.rezervCisloZPMZ = std::make_unique<RezervCisloZPMZType>();
         r.rezervCisloZPMZ->katuzeKod = dec("600016");
         r.rezervCisloZPMZ->cisloZPMZ = dec("00123");
       });
     }},
    {"exportVF_polygon.request.xml", Operation::exportVF, "geodet", "heslo",
     [] {
       auto r = exportRequest("P1", "",
                              {"-744100.00 -1043200.00", "-744000.00 -1043200.00",
                               "-744000.00 -1043100.00", "-744100.00 -1043200.00"},
                              {{"-744080.00 -1043180.00", "-744070.00 -1043180.00",
                                "-744080.00 -1043180.00"},
                               {"-744030.00 -1043150.00", "-744020.00 -1043150.00",
                                "-744020.00 -1043140.00", "-744030.00 -1043150.00"}});
       r->idRizeni = dec("77");
       r->charset.set(ZnakovaSadaVFType::ISO8859_2);
       r->email = "geodet@example.cz";
       r->skNemo = r->skVlst = r->skBpej = r->skDebo = true;
       return r;
     }},
    {"exportVF_empty_exterior.request.xml", Operation::exportVF, "geodet", "heslo",
     [] {
       auto r = exportRequest("", "urn:ogc:def:crs:EPSG::5514", {}, {});
       r->idRizeni = dec("78");
       return r;
     }},
    {"zalozNavrhZPG.request.xml", Operation::zalozNavrhZPG, "geodet", "heslo",
     [] {
       return make<ZalozNavrhZPGRequest>([](auto& r) {
         std::string navrh =
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<enx xmlns=\"http://katastr.cuzk.cz/enx/"
             "v2.2\"><podpis>ok</podpis></enx>\n";
         r.XMLNavrhu.bytes.assign(navrh.begin(), navrh.end());
         r.hashNavrhu.set("4011994");
         r.prilohaNavrhu.push_back(attachment("1", "%PDF-1.4 first attachment"));
         std::string line;
         for (int i = 0; i < 57; ++i) line += static_cast<char>(i);
         r.prilohaNavrhu.push_back(attachment("2", line));
       });
     }},
};

TEST(SchemaWriter, WholeRequestsMatchTheirWireTexts) {
  for (const WholeRequest& c : kWholeRequests) {
    SCOPED_TRACE(c.file);
    auto request = c.build();
    Security header = securityHeader(c.user, c.password);
    EXPECT_EQ(ropeText(writeRequest(c.op, *request, header)), wireText(c.file));
  }
}

// The document is one line: the declaration, then the envelope, no whitespace between
// elements. Only base64 text carries line ends of its own.
TEST(SchemaWriter, WritesNoWhitespaceBetweenElements) {
  auto request = kWholeRequests[0].build();
  std::string text = ropeText(writeRequest(Operation::vytvorRezervaciZPMZ, *request, securityHeader("u", "p")));
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?><SOAP-ENV:Envelope ", 0), 0u);
  EXPECT_EQ(text.find_first_of("\r\n\t"), std::string::npos);
  EXPECT_EQ(text.find("> "), std::string::npos);
}

struct MemberCase {
  const char* name;
  std::function<std::unique_ptr<TRemotable>()> build;
  std::string body;  // expected, from <SOAP-ENV:Body to </SOAP-ENV:Body>
};

std::string body(const std::string& inner, const std::string& bodyAttributes = "") {
  return "<SOAP-ENV:Body" + bodyAttributes + ">" + inner + "</SOAP-ENV:Body>";
}

const MemberCase kMemberCases[] = {
    {"an empty required text and empty wrapped lists leave out their elements",
     [] { return std::make_unique<ZalozRizeniPMRequest>(); },
     body("<ZalozRizeniPMRequest xmlns=\"" + kTypes + "\"/>")},
    {"a decimal set to empty text is an empty element, one not set is absent",
     [] { return make<VytvorRezervaciZPMZRequest>([](auto& r) { r.idRizeniPM = dec(""); }); },
     body("<VytvorRezervaciZPMZRequest xmlns=\"" + kTypes + "\"><idRizeniPM/></VytvorRezervaciZPMZRequest>")},
    {"wrapped list items are named by ArrayItemName, empty items stay",
     [] {
       return make<ZalozRizeniPMRequest>([](auto& r) {
         r.cisloZakazky = "Z-1";
         r.katuzeKodList = {dec("600016"), dec("")};
         r.dotceneParcely = {dec("0012")};
       });
     },
     body("<ZalozRizeniPMRequest xmlns=\"" + kTypes +
          "\"><cisloZakazky>Z-1</cisloZakazky><katuzeKodList><katuzeKod>600016</katuzeKod><katuzeKod/>"
          "</katuzeKodList><dotceneParcely><idParcely>0012</idParcely></dotceneParcely></ZalozRizeniPMRequest>")},
    {"unbounded lists repeat their element and write nothing when empty; optional objects "
     "need their presence flag",
     [] {
       return make<ZrusRezervaciPrvkuRequest>([](auto& r) {
         r.idRizeniPM = dec("5");
         auto parcels = std::make_unique<RezervParcelyType>();
         parcels->katuzeKod = dec("1");
         parcels->cisloZPMZ = dec("2");
         parcels->druhCislovaniPar = DruhCislovaniParType::_2;
         r.rezervParcely.set(std::move(parcels));
         r.rezervPoddeleni.value = std::make_unique<RezervPoddeleniType>();  // flag not set
         auto points = std::make_unique<RezervBodyPBPPType>();
         points->katuzeKod = dec("1");
         points->cisloPBPP = {dec("7"), dec("8")};
         r.rezervBodyPBPP.set(std::move(points));
       });
     },
     body("<ZrusRezervaciPrvkuRequest xmlns=\"" + kTypes +
          "\"><idRizeniPM>5</idRizeniPM><rezervParcely><katuzeKod>1</katuzeKod><cisloZPMZ>2</cisloZPMZ>"
          "<druhCislovaniPar>2</druhCislovaniPar></rezervParcely><rezervBodyPBPP><katuzeKod>1</katuzeKod>"
          "<cisloPBPP>7</cisloPBPP><cisloPBPP>8</cisloPBPP></rezervBodyPBPP></ZrusRezervaciPrvkuRequest>")},
    {"an optional text set to empty is absent",
     [] { return make<MylneRizeniPMRequest>([](auto& r) { r.idRizeniPM = dec("3"); r.popis.set(""); }); },
     body("<MylneRizeniPMRequest xmlns=\"" + kTypes + "\"><idRizeniPM>3</idRizeniPM></MylneRizeniPMRequest>")},
    {"an optional Boolean set to false is written, an optional never set is absent",
     [] { return make<TestRequest>([](auto& r) { r.flag.set(false); }); },
     body("<TestRequest xmlns=\"urn:vokr:test\"><flag>false</flag></TestRequest>")},
    {"an object of a derived class names its type; its own namespace is declared on the body",
     [] {
       return make<TestRequest>([](auto& r) {
         auto circle = std::make_unique<TestCircle>();
         circle->label = "c";
         circle->radius = dec("1.5");
         r.shape = std::move(circle);
       });
     },
     body("<TestRequest xmlns=\"urn:vokr:test\"><shape xsi:type=\"NS2:TestCircle\"><label>c</label>"
          "<radius>1.5</radius></shape></TestRequest>",
          " xmlns:NS2=\"urn:vokr:test:shapes\"")},
    {"an empty item of a nullable list is a nil element",
     [] {
       return make<GenerujLVProParcelyPMRequest>([](auto& r) {
         r.idRizeniPM = dec("9");
         r.seznamParcel = {dec("100"), std::nullopt};
         r.castecnyVypis = AnoNeType::n;
       });
     },
     body("<GenerujLVProParcelyPMRequest xmlns=\"" + kTypes +
          "\"><idRizeniPM>9</idRizeniPM><seznamParcel>100</seznamParcel><seznamParcel xsi:nil=\"true\"/>"
          "<castecnyVypis>n</castecnyVypis></GenerujLVProParcelyPMRequest>")},
    {"an empty byte array is a nil element",
     [] { return std::make_unique<ZalozNavrhZDPRequest>(); },
     body("<ZalozNavrhZDPRequest xmlns=\"" + kTypes + "\"><XMLNavrhu xsi:nil=\"true\"/></ZalozNavrhZDPRequest>")},
    {"integers, Booleans and enumerations by their text forms",
     [] {
       return make<VytvorRezervaciPrvkuRequest>([](auto& r) {
         auto parcels = std::make_unique<RezervaceParcelType>();
         parcels->druhCislovaniPar = DruhCislovaniParType::_1;
         r.rezervaceParcela.set(std::move(parcels));
       });
     },
     body("<VytvorRezervaciPrvkuRequest xmlns=\"" + kTypes +
          "\"><rezervaceParcela><druhCislovaniPar>1</druhCislovaniPar></rezervaceParcela>"
          "</VytvorRezervaciPrvkuRequest>")},
    {"a negative integer",
     [] {
       return make<NajdiSouborZPMZRequest>([](auto& r) { r.cisloVysledkuZemCinnosti = -2147483647 - 1; });
     },
     body("<NajdiSouborZPMZRequest xmlns=\"" + kTypes +
          "\"><cisloVysledkuZemCinnosti>-2147483648</cisloVysledkuZemCinnosti></NajdiSouborZPMZRequest>")},
    {"a qualified attribute gets a prefix declared on the body; an unqualified one none",
     [] {
       return make<ZalozNavrhZDPRequest>([](auto& r) {
         r.XMLNavrhu.bytes = {'x'};
         auto a = attachment("7", "");
         a->typKompresePDF.set(TypKompreseType::GZIP);
         r.prilohaNavrhu.push_back(std::move(a));
       });
     },
     body("<ZalozNavrhZDPRequest xmlns=\"" + kTypes +
          "\"><XMLNavrhu>eA==</XMLNavrhu><prilohaNavrhu NS2:idPrilohy=\"7\" typKompresePDF=\"GZIP\"/>"
          "</ZalozNavrhZDPRequest>",
          " xmlns:NS2=\"http://katastr.cuzk.cz/baseTypes/v2.9\"")},
    {"text is escaped in content and in attributes",
     [] {
       auto r = exportRequest("a\"b&c<d>e", "", {}, {});
       r->email = "x&y<z>\"q'";
       r->charset.set(ZnakovaSadaVFType::CP1250);
       return r;
     },
     body("<ExportVFRequest xmlns=\"" + kTypes +
          "\"><charset>CP1250</charset><email>x&amp;y&lt;z&gt;&quot;q'</email><Polygon "
          "xmlns=\"http://www.opengis.net/gml/3.2\" id=\"a&quot;b&amp;c&lt;d&gt;e\" srsDimension=\"2\">"
          "<exterior><AbstractRing/></exterior></Polygon><skNemo>false</skNemo><skBdpa>false</skBdpa>"
          "<skVlst>false</skVlst><skJpvz>false</skJpvz><skPkmp>false</skPkmp><skBpej>false</skBpej>"
          "<skGmpl>false</skGmpl><skReze>false</skReze><skDebo>false</skDebo></ExportVFRequest>")},
};

TEST(SchemaWriter, MemberRules) {
  for (const MemberCase& c : kMemberCases) {
    SCOPED_TRACE(c.name);
    auto request = c.build();
    EXPECT_EQ(bodyOf(ropeText(writeEnvelope(*request, securityHeader("u", "p")))), c.body);
  }
}

TEST(SchemaWriter, SecurityHeaderLeavesOutEmptyTexts) {
  const std::string secext = std::string(ns::secext);
  struct Case {
    std::string user, password, header;
  } cases[] = {
      {"", "", "<NS1:Security xmlns:NS1=\"" + secext + "\"><NS1:UsernameToken/></NS1:Security>"},
      {"geodet", "", "<NS1:Security xmlns:NS1=\"" + secext +
                         "\"><NS1:UsernameToken><NS1:Username>geodet</NS1:Username></NS1:UsernameToken></NS1:Security>"},
      {"Šťastný", "p&<", "<NS1:Security xmlns:NS1=\"" + secext +
                             "\"><NS1:UsernameToken><NS1:Username>Šťastný</NS1:Username><NS1:Password>p&amp;&lt;"
                             "</NS1:Password></NS1:UsernameToken></NS1:Security>"},
  };
  SeznamRizeniPMRequest request;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.user);
    std::string text = ropeText(writeRequest(Operation::seznamRizeniPM, request, securityHeader(c.user, c.password)));
    size_t from = text.find("<SOAP-ENV:Header>") + 17;
    EXPECT_EQ(text.substr(from, text.find("</SOAP-ENV:Header>") - from), c.header);
  }
}

TEST(SchemaWriter, PrefixNumbersStartAfreshForEveryDocument) {
  auto request = kWholeRequests[4].build();
  Security header = securityHeader("geodet", "heslo");
  std::string first = ropeText(writeRequest(Operation::zalozNavrhZPG, *request, header));
  EXPECT_EQ(ropeText(writeRequest(Operation::zalozNavrhZPG, *request, header)), first);
}

// The password, escaped as on the wire, is the one secret segment: the dump masks exactly it.
TEST(SchemaWriter, HandsThePasswordToTheRopeAsASecret) {
  for (const char* password : {"heslo&<1>", ""}) {
    const Rope rope =
        writeRequest(Operation::seznamRizeniPM, SeznamRizeniPMRequest{}, securityHeader("geodet", password));
    std::vector<std::string> secrets;
    for (const Rope::Segment& segment : rope.segments())
      if (segment.secret) secrets.push_back(segment.text);
    EXPECT_EQ(secrets, *password ? std::vector<std::string>{"heslo&amp;&lt;1&gt;"}
                                 : std::vector<std::string>{})
        << "password '" << password << "'";
  }
}

TEST(SchemaWriter, RefusesWhatCannotBeWritten) {
  Security header = securityHeader("u", "p");
  VytvorRezervaciZPMZRequest reservation;
  try {
    writeRequest(Operation::zrusRezervaciZPMZ, reservation, header);
    ADD_FAILURE() << "a request of another operation was written";
  } catch (const Error& e) {
    EXPECT_EQ(e.kindName(), "EOutOfResources") << "a fault of the library, not of the host data";
  }
  GenerujLVProParcelyPMRequest report;
  report.castecnyVypis = static_cast<AnoNeType>(2);
  try {
    writeRequest(Operation::generujLVProParcelyPM, report, header);
    ADD_FAILURE() << "an enumeration value out of range was written";
  } catch (const Error& e) {
    EXPECT_EQ(e.kindName(), "EConvertError");
  }
}

} // namespace
} // namespace vokr::schema
