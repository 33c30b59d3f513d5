// The registry: the port type, and every class and enumeration the operations reach, with
// their namespaces and sound member descriptions.
#include <gtest/gtest.h>

#include <map>
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

// The element classes derive, without members of their own, from schema types, and every
// response opens with its messages.
TEST(SchemaRegistry, MessageClassesAndTheirSchemaTypes) {
  std::set<const ClassInfo*> schemaTypes;
  for (const PortOperation& p : kPort) {
    SCOPED_TRACE(p.name);
    for (const ClassInfo* element : {operationInfo(p.op).request, operationInfo(p.op).response}) {
      EXPECT_TRUE(element->members.empty());
      ASSERT_TRUE(element->base);
      schemaTypes.insert(element->base);
    }
    auto response = operationInfo(p.op).response->create();
    EXPECT_NE(dynamic_cast<ServiceResponse*>(response.get()), nullptr);
    const MemberInfo& first = *response->classInfo().wireMembers().at(0);
    EXPECT_EQ(first.wireName(), "vysledek");
    EXPECT_EQ(first.options.itemName, "zprava");
    EXPECT_EQ(first.objectClass, &ZpravaServeruType::info);
  }
  EXPECT_EQ(schemaTypes.size(), 38u);
  EXPECT_EQ(StavWSRequest::info.base->base, &StavWSRequestType::info);
  EXPECT_EQ(ZalozNavrhZDPResponse::info.base, &ZalozNavrhResponseType::info);
}

// Every class a message can hold, by its qualified name.
using Classes = std::map<std::pair<std::string_view, std::string_view>, const ClassInfo*>;

// Walks every class a message can hold; checks that no two descriptors share a name and that
// its members are described in a way the writer and the reader can follow.
void checkClass(const ClassInfo& c, Classes& seen) {
  auto [known, added] = seen.emplace(std::pair(c.ns, c.xmlName), &c);
  EXPECT_EQ(known->second, &c) << c.xmlName << " is described twice";
  if (!added) return;
  SCOPED_TRACE(std::string(c.xmlName));
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

TEST(SchemaRegistry, EveryReachableClassIsNamedOnceAndSoundlyDescribed) {
  Classes seen;
  for (const PortOperation& p : kPort) {
    checkClass(*operationInfo(p.op).request, seen);
    checkClass(*operationInfo(p.op).response, seen);
  }
  checkClass(Security::info, seen);
  EXPECT_EQ(seen[std::pair(ns::gml, std::string_view("Polygon"))], &Polygon::info);
  EXPECT_EQ(seen[std::pair(ns::gml, std::string_view("pos"))], &pos::info);
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
    EXPECT_EQ(info->ns, uri);
    EXPECT_EQ(info->xmlName, name);
  }
}

} // namespace
} // namespace vokr::schema
