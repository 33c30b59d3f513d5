// The registry: the port type, and every class, enumeration and simple type the operations
// reach, with their namespaces and sound member descriptions.
#include <gtest/gtest.h>

#include <set>

#include "schema/messages.h"
#include "schema/namespaces.h"
#include "schema/registry.h"
#include "schema/security.h"

namespace vokr::schema {
namespace {

struct PortOperation {
  Operation op;
  const char* name;
  const char* action;
  const char* request;
  const char* response;
};

const PortOperation kPort[] = {
    {Operation::stavWS, "stavWS", "stavWS", "StavWSRequest", "StavWSResponse"},
    {Operation::zalozRizeniPM, "zalozRizeniPM", "zalozRizeniPM", "ZalozRizeniPMRequest", "ZalozRizeniPMResponse"},
    {Operation::vytvorRezervaciZPMZ, "vytvorRezervaciZPMZ", "vytvorRezervaciZPMZ", "VytvorRezervaciZPMZRequest",
     "VytvorRezervaciZPMZResponse"},
    {Operation::zrusRezervaciZPMZ, "zrusRezervaciZPMZ", "zrusRezervaciZPMZ", "ZrusRezervaciZPMZRequest",
     "ZrusRezervaciZPMZResponse"},
    {Operation::vytvorRezervaciPrvku, "vytvorRezervaciPrvku", "vytvorRezervaciPrvku", "VytvorRezervaciPrvkuRequest",
     "VytvorRezervaciPrvkuResponse"},
    {Operation::zrusRezervaciPrvku, "zrusRezervaciPrvku", "zrusRezervaciPrvku", "ZrusRezervaciPrvkuRequest",
     "ZrusRezervaciPrvkuResponse"},
    {Operation::mylneRizeniPM, "mylneRizeniPM", "mylneRizeniPM", "MylneRizeniPMRequest", "MylneRizeniPMResponse"},
    {Operation::seznamRizeniPM, "seznamRizeniPM", "seznamRizeniPM", "SeznamRizeniPMRequest", "SeznamRizeniPMResponse"},
    {Operation::detailRizeniPM, "detailRizeniPM", "detailRizeniPM", "DetailRizeniPMRequest", "DetailRizeniPMResponse"},
    {Operation::exportVF, "exportVF", "exportNVF", "ExportVFRequest", "ExportVFResponse"},
    {Operation::exportVFStatus, "exportVFStatus", "exportVFStatus", "ExportVFStatusRequest", "ExportVFStatusResponse"},
    {Operation::zalozNavrhZPG, "zalozNavrhZPG", "zalozNavrhZPG", "ZalozNavrhZPGRequest", "ZalozNavrhZPGResponse"},
    {Operation::zalozNavrhZDP, "zalozNavrhZDP", "zalozNavrhZDP", "ZalozNavrhZDPRequest", "ZalozNavrhZDPResponse"},
    {Operation::seznamRizeniPGP, "seznamRizeniPGP", "seznamRizeniPGP", "SeznamRizeniPGPRequest",
     "SeznamRizeniPGPResponse"},
    {Operation::vlozParcelu, "vlozParcelu", "vlozParcelu", "VlozParceluRequest", "VlozParceluResponse"},
    {Operation::generujLVProParcelyPM, "generujLVProParcelyPM", "generujLVProParcelyPM",
     "GenerujLVProParcelyPMRequest", "GenerujSestavuResponse"},
    {Operation::seznamSestav, "seznamSestav", "seznamSestav", "SeznamSestavRequest", "GenerujSestavuResponse"},
    {Operation::smazSestavu, "smazSestavu", "smazSestavu", "SmazSestavuRequest", "GenerujSestavuResponse"},
    {Operation::vratSestavu, "vratSestavu", "vratSestavu", "VratSestavuRequest", "GenerujSestavuResponse"},
    {Operation::najdiSouborZPMZ, "najdiSouborZPMZ", "najdiSouborZPMZ", "NajdiSouborZPMZRequest",
     "NajdiSouborZPMZResponse"},
    {Operation::vratSouborZPMZ, "vratSouborZPMZ", "vratSouborZPMZ", "VratSouborZPMZRequest", "VratSouborZPMZResponse"},
};

TEST(SchemaRegistry, PortTypeOperationsInOrder) {
  static_assert(std::size(kPort) == kOperationCount);
  for (size_t i = 0; i < std::size(kPort); ++i) {
    const PortOperation& p = kPort[i];
    SCOPED_TRACE(p.name);
    EXPECT_EQ(static_cast<size_t>(p.op), i);
    const OperationInfo& info = operationInfo(p.op);
    EXPECT_STREQ(info.name, p.name);
    EXPECT_EQ(std::string(info.soapAction), std::string("http://katastr.cuzk.cz/geows/") + p.action);
    ASSERT_TRUE(info.request && info.response);
    EXPECT_EQ(info.request->xmlName, p.request);
    EXPECT_EQ(info.response->xmlName, p.response);
    EXPECT_EQ(info.request->ns, ns::types);
    EXPECT_EQ(info.response->ns, ns::types);
  }
}

// The element classes derive, without members of their own, from literal schema types, and
// every response opens with its messages.
TEST(SchemaRegistry, MessageClassesAndTheirSchemaTypes) {
  std::set<const ClassInfo*> literal;
  for (const PortOperation& p : kPort) {
    SCOPED_TRACE(p.name);
    for (const ClassInfo* element : {operationInfo(p.op).request, operationInfo(p.op).response}) {
      EXPECT_FALSE(element->literal);
      EXPECT_TRUE(element->members.empty());
      ASSERT_TRUE(element->base);
      EXPECT_TRUE(element->base->literal);
      literal.insert(element->base);
    }
    auto response = operationInfo(p.op).response->create();
    EXPECT_NE(dynamic_cast<ServiceResponse*>(response.get()), nullptr);
    const MemberInfo& first = *response->classInfo().wireMembers().at(0);
    EXPECT_EQ(first.wireName(), "vysledek");
    EXPECT_EQ(first.options.itemName, "zprava");
    EXPECT_EQ(first.objectClass, &ZpravaServeruType::info);
  }
  EXPECT_EQ(literal.size(), 38u);
  size_t registeredLiteral = 0;
  for (const ClassInfo* c : registeredClasses()) registeredLiteral += c->literal;
  EXPECT_EQ(registeredLiteral, literal.size());
  EXPECT_EQ(StavWSRequest::info.base->base, &StavWSRequestType::info);
  EXPECT_EQ(ZalozNavrhZDPResponse::info.base, &ZalozNavrhResponseType::info);
}

// Walks every class a message can hold; checks that it is registered and that its members are
// described in a way the writer and the reader can follow.
void checkClass(const ClassInfo& c, std::set<const ClassInfo*>& seen) {
  if (!seen.insert(&c).second) return;
  SCOPED_TRACE(std::string(c.xmlName));
  EXPECT_EQ(findClass(c.ns, c.xmlName), &c);
  auto object = c.create();
  EXPECT_EQ(&object->classInfo(), &c);
  if (c.base) checkClass(*c.base, seen);
  for (const MemberInfo& m : c.members) {
    SCOPED_TRACE(std::string(m.name));
    bool simple = m.kind != Kind::object && m.kind != Kind::bytes;
    EXPECT_TRUE(!m.has(kAttribute) || (simple && !m.list));
    EXPECT_TRUE(!m.has(kTextContent) || ((m.kind == Kind::text || m.kind == Kind::bytes) && !m.list));
    EXPECT_TRUE(!m.has(kUnbounded) || m.list);
    bool wrappedValues = m.list && !m.has(kUnbounded) && m.kind != Kind::object;
    EXPECT_TRUE(!wrappedValues || !m.options.itemName.empty());
    EXPECT_TRUE(!m.has(kReference) || m.kind == Kind::object);
    EXPECT_EQ(m.kind == Kind::enumeration, m.enumeration != nullptr);
    EXPECT_EQ(m.kind == Kind::object, m.objectClass != nullptr);
    if (m.objectClass) checkClass(*m.objectClass, seen);
  }
}

TEST(SchemaRegistry, EveryReachableClassIsRegisteredAndSoundlyDescribed) {
  std::set<const ClassInfo*> seen;
  for (const PortOperation& p : kPort) {
    checkClass(*operationInfo(p.op).request, seen);
    checkClass(*operationInfo(p.op).response, seen);
  }
  checkClass(Security::info, seen);
  EXPECT_TRUE(seen.count(&Polygon::info));
  EXPECT_TRUE(seen.count(&pos::info));
}

TEST(SchemaRegistry, NamespacesOfSharedClasses) {
  const std::pair<const ClassInfo*, std::string_view> cases[] = {
      {&ZpravaServeruType::info, ns::commonTypes},   {&RizeniPomocneType::info, ns::commonTypes},
      {&StavWSRequestType::info, ns::commonTypes},   {&StavSluzbyType::info, ns::commonTypes},
      {&RezervCisloZPMZType::info, ns::types},       {&KatuzeZPMZType::info, ns::types},
      {&Polygon::info, ns::gml},                     {&LinearRing::info, ns::gml},
      {&Security::info, ns::secext},                 {&UsernameToken::info, ns::secext},
  };
  for (auto [cls, uri] : cases) {
    SCOPED_TRACE(std::string(cls->xmlName));
    EXPECT_EQ(cls->ns, uri);
  }
  EXPECT_EQ(ns::geoCommonTypes, "http://katastr.cuzk.cz/geoCommmonTypes/v2.9");
}

TEST(SchemaRegistry, Enumerations) {
  const std::tuple<const EnumInfo*, std::string_view, std::string_view> cases[] = {
      {&enumInfo(AnoNeType{}), ns::baseTypes, "AnoNeType"},
      {&enumInfo(DruhCislovaniParType{}), ns::baseTypes, "DruhCislovaniParType"},
      {&enumInfo(FormatSestavyType{}), ns::baseTypes, "FormatSestavyType"},
      {&enumInfo(ReportStavType{}), ns::baseTypes, "ReportStavType"},
      {&enumInfo(TypKompreseType{}), ns::baseTypes, "TypKompreseType"},
      {&enumInfo(ZpravaServeruTypeType{}), ns::baseTypes, "ZpravaServeruTypeType"},
      {&enumInfo(StavExportuVF{}), ns::geoCommonTypes, "StavExportuVF"},
      {&enumInfo(ZnakovaSadaVFType{}), ns::geoCommonTypes, "ZnakovaSadaVFType"},
  };
  for (auto [info, uri, name] : cases) {
    SCOPED_TRACE(std::string(name));
    EXPECT_EQ(findEnum(uri, name), info);
  }
}

TEST(SchemaRegistry, SimpleTypes) {
  const std::tuple<std::string_view, std::string_view, Kind> cases[] = {
      {ns::baseTypes, "IdType", Kind::decimal},
      {ns::baseTypes, "IdObjektuType", Kind::decimal},
      {ns::baseTypes, "IdPrilohyWSType", Kind::decimal},
      {ns::baseTypes, "KatastrUzemiKodType", Kind::decimal},
      {ns::baseTypes, "CisloZPMZType", Kind::decimal},
      {ns::baseTypes, "CisloPBPPType", Kind::decimal},
      {ns::baseTypes, "ParcelaKmenoveCisloType", Kind::decimal},
      {ns::baseTypes, "ParcelaPoddeleniType", Kind::decimal},
      {ns::baseTypes, "PocetStranType", Kind::decimal},
      {ns::baseTypes, "RizeniPoradoveCisloType", Kind::decimal},
      {ns::baseTypes, "RizeniPraresKodType", Kind::decimal},
      {ns::baseTypes, "RizeniRokType", Kind::decimal},
      {ns::baseTypes, "VelikostSouboruType", Kind::decimal},
      {ns::baseTypes, "CisloVysledkuZemCinnostiType", Kind::integer},
      {ns::baseTypes, "DatumPozadavkuType", Kind::dateTime},
      {ns::baseTypes, "DatumSpusteniType", Kind::dateTime},
      {ns::baseTypes, "DatumVytvoreniType", Kind::dateTime},
      {ns::baseTypes, "RizeniCreateDateType", Kind::dateTime},
      {ns::baseTypes, "EmailType", Kind::text},
      {ns::baseTypes, "KatastrUzemiNazevType", Kind::text},
      {ns::baseTypes, "NazevReportuType", Kind::text},
      {ns::baseTypes, "NazevSouboruType", Kind::text},
      {ns::baseTypes, "RizeniCisloPodaniType", Kind::text},
      {ns::baseTypes, "RizeniCisloType", Kind::text},
      {ns::baseTypes, "TextType", Kind::text},
      {ns::baseTypes, "TypRizeniKodType", Kind::text},
      {ns::geoCommonTypes, "CisloZakazkyType", Kind::text},
      {ns::geoCommonTypes, "DuvodMylnehoRizeniType", Kind::text},
      {ns::geoCommonTypes, "LinkVFType", Kind::text},
      {ns::geoCommonTypes, "RizeniStavType", Kind::text},
      {ns::geoCommonTypes, "RizeniDatumPrijetiZPGType", Kind::dateTime},
      {ns::commonTypes, "IdParcelyListType", Kind::decimal},
      {ns::commonTypes, "KatuzeKodListType", Kind::decimal},
      {ns::commonTypes, "ResponseInfoType", Kind::object},
      {ns::types, "CisloZPMZListType", Kind::decimal},
      {ns::baseTypes, "Array_Of_ParcelaKmenoveCisloType", Kind::decimal},
      {ns::baseTypes, "Array_Of_ParcelaPoddeleniType", Kind::decimal},
      {ns::baseTypes, "Array_Of_CisloPBPPType", Kind::decimal},
      {ns::baseTypes, "Array_Of_IdObjektuType", Kind::decimal},
  };
  for (auto [uri, name, kind] : cases) {
    SCOPED_TRACE(std::string(name));
    const SimpleTypeInfo* t = findSimpleType(uri, name);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->kind, kind);
    EXPECT_EQ(t->list, name.ends_with("ListType") || name.starts_with("Array_Of_") || name == "ResponseInfoType");
  }
}

} // namespace
} // namespace vokr::schema
