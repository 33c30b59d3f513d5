#include "schema/messages.h"

#include "schema/namespaces.h"

namespace vokr::schema {

// ---- enumerations ----

namespace {
const EnumInfo kAnoNeType{ns::baseTypes, "AnoNeType", {"a", "n"}};
const EnumInfo kDruhCislovaniParType{ns::baseTypes, "DruhCislovaniParType", {"1", "2"}};
const EnumInfo kFormatSestavyType{ns::baseTypes, "FormatSestavyType", {"pdf", "xml", "html", "zip"}};
const EnumInfo kReportStavType{ns::baseTypes, "ReportStavType",
                               {"čeká", "vytváří se", "podepisuje se", "zpracován",
                                "chyba při vytváření", "chyba při zpracování", "zaúčtován",
                                "zrušen"}};
const EnumInfo kTypKompreseType{ns::baseTypes, "TypKompreseType", {"ZIP", "GZIP"}};
const EnumInfo kZpravaServeruTypeType{ns::baseTypes, "ZpravaServeruTypeType",
                                      {"INFORMACE", "VAROVANI", "CHYBA"}};
const EnumInfo kStavExportuVF{ns::geoCommonTypes, "StavExportuVF", {"B", "C", "D", "P", "S"}};
const EnumInfo kZnakovaSadaVFType{ns::geoCommonTypes, "ZnakovaSadaVFType", {"ISO8859-2", "CP1250"}};
} // namespace

const EnumInfo& enumInfo(AnoNeType) { return kAnoNeType; }
const EnumInfo& enumInfo(DruhCislovaniParType) { return kDruhCislovaniParType; }
const EnumInfo& enumInfo(FormatSestavyType) { return kFormatSestavyType; }
const EnumInfo& enumInfo(ReportStavType) { return kReportStavType; }
const EnumInfo& enumInfo(TypKompreseType) { return kTypKompreseType; }
const EnumInfo& enumInfo(ZpravaServeruTypeType) { return kZpravaServeruTypeType; }
const EnumInfo& enumInfo(StavExportuVF) { return kStavExportuVF; }
const EnumInfo& enumInfo(ZnakovaSadaVFType) { return kZnakovaSadaVFType; }

// ---- shared types ----

const ClassOf<ZpravaServeruType> ZpravaServeruType::info{
    ns::commonTypes, "ZpravaServeruType",
    {member<&ZpravaServeruType::Text>("Text", kTextContent),
     member<&ZpravaServeruType::kod>("kod", kAttribute),
     member<&ZpravaServeruType::uroven>("uroven", kAttribute, {.ns = ns::baseTypes})}};

MemberInfo vysledekMember() {
  return member<&ServiceResponse::vysledek>("vysledek", 0, {.itemName = "zprava"});
}

const ClassOf<RezervCisloZPMZType> RezervCisloZPMZType::info{
    ns::types, "RezervCisloZPMZType",
    {member<&RezervCisloZPMZType::katuzeKod>("katuzeKod"),
     member<&RezervCisloZPMZType::cisloZPMZ>("cisloZPMZ")}};

const ClassOf<RezervParcelyType> RezervParcelyType::info{
    ns::types, "RezervParcelyType",
    {member<&RezervParcelyType::katuzeKod>("katuzeKod"),
     member<&RezervParcelyType::cisloZPMZ>("cisloZPMZ"),
     member<&RezervParcelyType::druhCislovaniPar>("druhCislovaniPar"),
     member<&RezervParcelyType::kmenoveCislo>("kmenoveCislo", kUnbounded)}};

const ClassOf<RezervPoddeleniType> RezervPoddeleniType::info{
    ns::types, "RezervPoddeleniType",
    {member<&RezervPoddeleniType::katuzeKod>("katuzeKod"),
     member<&RezervPoddeleniType::cisloZPMZ>("cisloZPMZ"),
     member<&RezervPoddeleniType::druhCislovaniPar>("druhCislovaniPar"),
     member<&RezervPoddeleniType::kmenoveCislo>("kmenoveCislo"),
     member<&RezervPoddeleniType::poddeleniCisla>("poddeleniCisla", kUnbounded)}};

const ClassOf<RezervBodyPBPPType> RezervBodyPBPPType::info{
    ns::types, "RezervBodyPBPPType",
    {member<&RezervBodyPBPPType::katuzeKod>("katuzeKod"),
     member<&RezervBodyPBPPType::cisloPBPP>("cisloPBPP", kUnbounded)}};

const ClassOf<IdentifikaceRizeniType> IdentifikaceRizeniType::info{
    ns::types, "IdentifikaceRizeniType",
    {member<&IdentifikaceRizeniType::idRizeni>("idRizeni"),
     member<&IdentifikaceRizeniType::cisloRizeni>("cisloRizeni"),
     member<&IdentifikaceRizeniType::praresKod>("praresKod"),
     member<&IdentifikaceRizeniType::rizeniTyp>("rizeniTyp"),
     member<&IdentifikaceRizeniType::poradoveCislo>("poradoveCislo"),
     member<&IdentifikaceRizeniType::rok>("rok")}};

const ClassOf<RizeniPomocneType> RizeniPomocneType::info{
    ns::commonTypes, "RizeniPomocneType",
    {member<&RizeniPomocneType::idRizeni>("idRizeni"),
     member<&RizeniPomocneType::cisloPodani>("cisloPodani"),
     member<&RizeniPomocneType::createDate>("createDate"),
     member<&RizeniPomocneType::praresKod>("praresKod"),
     member<&RizeniPomocneType::rizeniTyp>("rizeniTyp"),
     member<&RizeniPomocneType::poradoveCislo>("poradoveCislo"),
     member<&RizeniPomocneType::rok>("rok"),
     member<&RizeniPomocneType::noveRizeniId>("noveRizeniId")}};

const ClassOf<KatuzeZPMZType> KatuzeZPMZType::info{
    ns::types, "KatuzeZPMZType",
    {member<&KatuzeZPMZType::katuzeKod>("katuzeKod"),
     member<&KatuzeZPMZType::katuzeNazev>("katuzeNazev"),
     member<&KatuzeZPMZType::cislaZPMZList>("cislaZPMZList", 0, {.itemName = "cisloZPMZ"})}};

const ClassOf<StavSluzbyType> StavSluzbyType::info{
    ns::commonTypes, "StavSluzbyType",
    {member<&StavSluzbyType::verze>("verze"),
     member<&StavSluzbyType::prihlasovaciJmeno>("prihlasovaciJmeno"),
     member<&StavSluzbyType::zpracovano>("zpracovano")}};

// ---- 0 stavWS ----

const ClassOf<StavWSRequestType> StavWSRequestType::info{ns::commonTypes, "StavWSRequestType"};
const ClassOf<StavWSRequestType2> StavWSRequestType2::info{
    ns::types, "StavWSRequestType2"};
const ClassOf<StavWSRequest> StavWSRequest::info{ns::types, "StavWSRequest"};
const ClassOf<StavWSResponseType> StavWSResponseType::info{
    ns::commonTypes, "StavWSResponseType",
    {vysledekMember(), member<&StavWSResponseType::stavSluzby>("stavSluzby")}};
const ClassOf<StavWSResponseType2> StavWSResponseType2::info{
    ns::types, "StavWSResponseType2"};
const ClassOf<StavWSResponse> StavWSResponse::info{ns::types, "StavWSResponse"};

// ---- 1 zalozRizeniPM ----

const ClassOf<ZalozRizeniPMRequestType> ZalozRizeniPMRequestType::info{
    ns::types, "ZalozRizeniPMRequestType",
    {member<&ZalozRizeniPMRequestType::cisloZakazky>("cisloZakazky"),
     member<&ZalozRizeniPMRequestType::katuzeKodList>("katuzeKodList", 0, {.itemName = "katuzeKod"}),
     member<&ZalozRizeniPMRequestType::dotceneParcely>("dotceneParcely", 0, {.itemName = "idParcely"})}};
const ClassOf<ZalozRizeniPMRequest> ZalozRizeniPMRequest::info{ns::types, "ZalozRizeniPMRequest"};
const ClassOf<ZalozRizeniPMResponseType> ZalozRizeniPMResponseType::info{
    ns::types, "ZalozRizeniPMResponseType",
    {vysledekMember(), member<&ZalozRizeniPMResponseType::rizeniPM>("rizeniPM")}};
const ClassOf<ZalozRizeniPMResponse> ZalozRizeniPMResponse::info{ns::types, "ZalozRizeniPMResponse"};

// ---- 2 vytvorRezervaciZPMZ ----

const ClassOf<VytvorRezervaciZPMZRequestType> VytvorRezervaciZPMZRequestType::info{
    ns::types, "VytvorRezervaciZPMZRequestType",
    {member<&VytvorRezervaciZPMZRequestType::idRizeniPM>("idRizeniPM"),
     member<&VytvorRezervaciZPMZRequestType::katuzeKod>("katuzeKod")}};
const ClassOf<VytvorRezervaciZPMZRequest> VytvorRezervaciZPMZRequest::info{
    ns::types, "VytvorRezervaciZPMZRequest"};
const ClassOf<VytvorRezervaciZPMZResponseType> VytvorRezervaciZPMZResponseType::info{
    ns::types, "VytvorRezervaciZPMZResponseType",
    {vysledekMember(),
     member<&VytvorRezervaciZPMZResponseType::rezervCisloZPMZ>("rezervCisloZPMZ")}};
const ClassOf<VytvorRezervaciZPMZResponse> VytvorRezervaciZPMZResponse::info{
    ns::types, "VytvorRezervaciZPMZResponse"};

// ---- 3 zrusRezervaciZPMZ ----

const ClassOf<ZrusRezervaciZPMZRequestType> ZrusRezervaciZPMZRequestType::info{
    ns::types, "ZrusRezervaciZPMZRequestType",
    {member<&ZrusRezervaciZPMZRequestType::idRizeniPM>("idRizeniPM"),
     member<&ZrusRezervaciZPMZRequestType::rezervCisloZPMZ>("rezervCisloZPMZ")}};
const ClassOf<ZrusRezervaciZPMZRequest> ZrusRezervaciZPMZRequest::info{
    ns::types, "ZrusRezervaciZPMZRequest"};
const ClassOf<ZrusRezervaciZPMZResponseType> ZrusRezervaciZPMZResponseType::info{
    ns::types, "ZrusRezervaciZPMZResponseType", {vysledekMember()}};
const ClassOf<ZrusRezervaciZPMZResponse> ZrusRezervaciZPMZResponse::info{
    ns::types, "ZrusRezervaciZPMZResponse"};

// ---- 4 vytvorRezervaciPrvku ----

const ClassOf<RezervaceParcelType> RezervaceParcelType::info{
    ns::types, "RezervaceParcelType",
    {member<&RezervaceParcelType::cisloZPMZ>("cisloZPMZ"),
     member<&RezervaceParcelType::druhCislovaniPar>("druhCislovaniPar"),
     member<&RezervaceParcelType::pocetRezParcel>("pocetRezParcel")}};
const ClassOf<RezervacePoddeleniType> RezervacePoddeleniType::info{
    ns::types, "RezervacePoddeleniType",
    {member<&RezervacePoddeleniType::cisloZPMZ>("cisloZPMZ"),
     member<&RezervacePoddeleniType::druhCislovaniPar>("druhCislovaniPar"),
     member<&RezervacePoddeleniType::kmenoveCislo>("kmenoveCislo"),
     member<&RezervacePoddeleniType::pocetRezPoddeleni>("pocetRezPoddeleni")}};
const ClassOf<RezervacePBPP> RezervacePBPP::info{
    ns::types, "RezervacePBPP", {member<&RezervacePBPP::pocetRezPBPP>("pocetRezPBPP")}};

const ClassOf<VytvorRezervaciPrvkuRequestType> VytvorRezervaciPrvkuRequestType::info{
    ns::types, "VytvorRezervaciPrvkuRequestType",
    {member<&VytvorRezervaciPrvkuRequestType::idRizeniPM>("idRizeniPM"),
     member<&VytvorRezervaciPrvkuRequestType::katuzeKod>("katuzeKod"),
     member<&VytvorRezervaciPrvkuRequestType::rezervaceParcela>("rezervaceParcela"),
     member<&VytvorRezervaciPrvkuRequestType::rezervacePoddeleni>("rezervacePoddeleni"),
     member<&VytvorRezervaciPrvkuRequestType::rezervacePBPP>("rezervacePBPP")}};
const ClassOf<VytvorRezervaciPrvkuRequest> VytvorRezervaciPrvkuRequest::info{
    ns::types, "VytvorRezervaciPrvkuRequest"};
const ClassOf<VytvorRezervaciPrvkuResponseType> VytvorRezervaciPrvkuResponseType::info{
    ns::types, "VytvorRezervaciPrvkuResponseType",
    {vysledekMember(),
     member<&VytvorRezervaciPrvkuResponseType::rezervParcely>("rezervParcely"),
     member<&VytvorRezervaciPrvkuResponseType::rezervPoddeleni>("rezervPoddeleni"),
     member<&VytvorRezervaciPrvkuResponseType::rezervBodyPBPP>("rezervBodyPBPP")}};
const ClassOf<VytvorRezervaciPrvkuResponse> VytvorRezervaciPrvkuResponse::info{
    ns::types, "VytvorRezervaciPrvkuResponse"};

// ---- 5 zrusRezervaciPrvku ----

const ClassOf<ZrusRezervaciPrvkuRequestType> ZrusRezervaciPrvkuRequestType::info{
    ns::types, "ZrusRezervaciPrvkuRequestType",
    {member<&ZrusRezervaciPrvkuRequestType::idRizeniPM>("idRizeniPM"),
     member<&ZrusRezervaciPrvkuRequestType::rezervParcely>("rezervParcely"),
     member<&ZrusRezervaciPrvkuRequestType::rezervPoddeleni>("rezervPoddeleni"),
     member<&ZrusRezervaciPrvkuRequestType::rezervBodyPBPP>("rezervBodyPBPP")}};
const ClassOf<ZrusRezervaciPrvkuRequest> ZrusRezervaciPrvkuRequest::info{
    ns::types, "ZrusRezervaciPrvkuRequest"};
const ClassOf<ZrusRezervaciPrvkuResponseType> ZrusRezervaciPrvkuResponseType::info{
    ns::types, "ZrusRezervaciPrvkuResponseType", {vysledekMember()}};
const ClassOf<ZrusRezervaciPrvkuResponse> ZrusRezervaciPrvkuResponse::info{
    ns::types, "ZrusRezervaciPrvkuResponse"};

// ---- 6 mylneRizeniPM ----

const ClassOf<MylneRizeniPMRequestType> MylneRizeniPMRequestType::info{
    ns::types, "MylneRizeniPMRequestType",
    {member<&MylneRizeniPMRequestType::idRizeniPM>("idRizeniPM"),
     member<&MylneRizeniPMRequestType::popis>("popis")}};
const ClassOf<MylneRizeniPMRequest> MylneRizeniPMRequest::info{ns::types, "MylneRizeniPMRequest"};
const ClassOf<MylneRizeniPMResponseType> MylneRizeniPMResponseType::info{
    ns::types, "MylneRizeniPMResponseType", {vysledekMember()}};
const ClassOf<MylneRizeniPMResponse> MylneRizeniPMResponse::info{ns::types, "MylneRizeniPMResponse"};

// ---- 7 seznamRizeniPM ----

const ClassOf<RizeniPMType> RizeniPMType::info{
    ns::types, "RizeniPMType",
    {member<&RizeniPMType::idRizeniPM>("idRizeniPM"),
     member<&RizeniPMType::cisloRizeni>("cisloRizeni"),
     member<&RizeniPMType::cisloZakazky>("cisloZakazky")}};
const ClassOf<SeznamRizeniPMRequestType> SeznamRizeniPMRequestType::info{
    ns::types, "SeznamRizeniPMRequestType"};
const ClassOf<SeznamRizeniPMRequest> SeznamRizeniPMRequest::info{ns::types, "SeznamRizeniPMRequest"};
const ClassOf<SeznamRizeniPMResponseType> SeznamRizeniPMResponseType::info{
    ns::types, "SeznamRizeniPMResponseType",
    {vysledekMember(),
     member<&SeznamRizeniPMResponseType::rizeniPMList>("rizeniPMList", 0, {.itemName = "rizeniPM"})}};
const ClassOf<SeznamRizeniPMResponse> SeznamRizeniPMResponse::info{
    ns::types, "SeznamRizeniPMResponse"};

// ---- 8 detailRizeniPM ----

const ClassOf<DetailRizeniPMRequestType> DetailRizeniPMRequestType::info{
    ns::types, "DetailRizeniPMRequestType",
    {member<&DetailRizeniPMRequestType::idRizeniPM>("idRizeniPM"),
     member<&DetailRizeniPMRequestType::rezervace>("rezervace")}};
const ClassOf<DetailRizeniPMRequest> DetailRizeniPMRequest::info{ns::types, "DetailRizeniPMRequest"};
const ClassOf<DetailRizeniPMResponseType> DetailRizeniPMResponseType::info{
    ns::types, "DetailRizeniPMResponseType",
    {vysledekMember(),
     member<&DetailRizeniPMResponseType::idRizeniPM>("idRizeniPM"),
     member<&DetailRizeniPMResponseType::cisloRizeni>("cisloRizeni"),
     member<&DetailRizeniPMResponseType::cisloZakazky>("cisloZakazky"),
     member<&DetailRizeniPMResponseType::katuzeKodList>("katuzeKodList", 0, {.itemName = "katuzeKod"}),
     member<&DetailRizeniPMResponseType::dotceneParcely>("dotceneParcely", 0,
                                                         {.itemName = "idParcely"}),
     member<&DetailRizeniPMResponseType::rezervCislaZPMZList>("rezervCislaZPMZList", 0,
                                                              {.itemName = "rezervCisloZPMZ"}),
     member<&DetailRizeniPMResponseType::rezervParCislaList>("rezervParCislaList", 0,
                                                             {.itemName = "rezervParcely"}),
     member<&DetailRizeniPMResponseType::rezervPoddeleniList>("rezervPoddeleniList", 0,
                                                              {.itemName = "rezervPoddeleni"}),
     member<&DetailRizeniPMResponseType::rezervPBPPList>("rezervPBPPList", 0,
                                                         {.itemName = "rezervBodyPBPP"})}};
const ClassOf<DetailRizeniPMResponse> DetailRizeniPMResponse::info{
    ns::types, "DetailRizeniPMResponse"};

// ---- 9 exportVF ----

const ClassOf<ExportVFRequestType> ExportVFRequestType::info{
    ns::types, "ExportVFRequestType",
    {member<&ExportVFRequestType::idRizeni>("idRizeni"),
     member<&ExportVFRequestType::charset>("charset"),
     member<&ExportVFRequestType::email>("email"),
     member<&ExportVFRequestType::Polygon>("Polygon", kReference),
     member<&ExportVFRequestType::skNemo>("skNemo"),
     member<&ExportVFRequestType::skBdpa>("skBdpa"),
     member<&ExportVFRequestType::skVlst>("skVlst"),
     member<&ExportVFRequestType::skJpvz>("skJpvz"),
     member<&ExportVFRequestType::skPkmp>("skPkmp"),
     member<&ExportVFRequestType::skBpej>("skBpej"),
     member<&ExportVFRequestType::skGmpl>("skGmpl"),
     member<&ExportVFRequestType::skReze>("skReze"),
     member<&ExportVFRequestType::skDebo>("skDebo")}};
const ClassOf<ExportVFRequest> ExportVFRequest::info{ns::types, "ExportVFRequest"};
const ClassOf<ExportVFResponseType> ExportVFResponseType::info{
    ns::types, "ExportVFResponseType",
    {vysledekMember(), member<&ExportVFResponseType::behId>("behId")}};
const ClassOf<ExportVFResponse> ExportVFResponse::info{ns::types, "ExportVFResponse"};

// ---- 10 exportVFStatus ----

const ClassOf<ExportVFStatusType> ExportVFStatusType::info{
    ns::types, "ExportVFStatusType",
    {member<&ExportVFStatusType::behId>("behId"),
     member<&ExportVFStatusType::stavBehu>("stavBehu"),
     member<&ExportVFStatusType::linkVF>("linkVF"),
     member<&ExportVFStatusType::hashExportu>("hashExportu")}};
const ClassOf<ExportVFStatusRequestType> ExportVFStatusRequestType::info{
    ns::types, "ExportVFStatusRequestType",
    {member<&ExportVFStatusRequestType::behId>("behId")}};
const ClassOf<ExportVFStatusRequest> ExportVFStatusRequest::info{ns::types, "ExportVFStatusRequest"};
const ClassOf<ExportVFStatusResponseType> ExportVFStatusResponseType::info{
    ns::types, "ExportVFStatusResponseType",
    {vysledekMember(),
     member<&ExportVFStatusResponseType::exportVFStatusList>("exportVFStatusList", 0,
                                                             {.itemName = "exportVFStatus"})}};
const ClassOf<ExportVFStatusResponse> ExportVFStatusResponse::info{
    ns::types, "ExportVFStatusResponse"};

// ---- 11, 12 zalozNavrhZPG, zalozNavrhZDP ----

const ClassOf<PrilohaNavrhuType> PrilohaNavrhuType::info{
    ns::types, "PrilohaNavrhuType",
    {member<&PrilohaNavrhuType::idPrilohy>("idPrilohy", kAttribute, {.ns = ns::baseTypes}),
     member<&PrilohaNavrhuType::typKompresePDF>("typKompresePDF", kAttribute),
     member<&PrilohaNavrhuType::Text>("Text", kTextContent)}};
const ClassOf<ZalozNavrhZPGRequestType> ZalozNavrhZPGRequestType::info{
    ns::types, "ZalozNavrhZPGRequestType",
    {member<&ZalozNavrhZPGRequestType::XMLNavrhu>("XMLNavrhu"),
     member<&ZalozNavrhZPGRequestType::hashNavrhu>("hashNavrhu"),
     member<&ZalozNavrhZPGRequestType::prilohaNavrhu>("prilohaNavrhu", kUnbounded)}};
const ClassOf<ZalozNavrhZPGRequest> ZalozNavrhZPGRequest::info{ns::types, "ZalozNavrhZPGRequest"};
const ClassOf<ZalozNavrhZDPRequestType> ZalozNavrhZDPRequestType::info{
    ns::types, "ZalozNavrhZDPRequestType",
    {member<&ZalozNavrhZDPRequestType::XMLNavrhu>("XMLNavrhu"),
     member<&ZalozNavrhZDPRequestType::hashNavrhu>("hashNavrhu"),
     member<&ZalozNavrhZDPRequestType::prilohaNavrhu>("prilohaNavrhu", kUnbounded)}};
const ClassOf<ZalozNavrhZDPRequest> ZalozNavrhZDPRequest::info{ns::types, "ZalozNavrhZDPRequest"};
const ClassOf<ZalozNavrhResponseType> ZalozNavrhResponseType::info{
    ns::types, "ZalozNavrhResponseType",
    {vysledekMember(), member<&ZalozNavrhResponseType::rizeni>("rizeni")}};
const ClassOf<ZalozNavrhZPGResponse> ZalozNavrhZPGResponse::info{ns::types, "ZalozNavrhZPGResponse"};
const ClassOf<ZalozNavrhZDPResponse> ZalozNavrhZDPResponse::info{ns::types, "ZalozNavrhZDPResponse"};

// ---- 13 seznamRizeniPGP ----

const ClassOf<RizeniPGPType> RizeniPGPType::info{
    ns::types, "RizeniPGPType",
    {member<&RizeniPGPType::idRizeniPGP>("idRizeniPGP"),
     member<&RizeniPGPType::cisloRizeni>("cisloRizeni"),
     member<&RizeniPGPType::datumPrijetiZPG>("datumPrijetiZPG"),
     member<&RizeniPGPType::stavRizeni>("stavRizeni"),
     member<&RizeniPGPType::katuzeZPMZList>("katuzeZPMZList", 0, {.itemName = "katuzeZPMZ"}),
     member<&RizeniPGPType::cisloZPG>("cisloZPG")}};
const ClassOf<SeznamRizeniPGPRequestType> SeznamRizeniPGPRequestType::info{
    ns::types, "SeznamRizeniPGPRequestType"};
const ClassOf<SeznamRizeniPGPRequest> SeznamRizeniPGPRequest::info{
    ns::types, "SeznamRizeniPGPRequest"};
const ClassOf<SeznamRizeniPGPResponseType> SeznamRizeniPGPResponseType::info{
    ns::types, "SeznamRizeniPGPResponseType",
    {vysledekMember(),
     member<&SeznamRizeniPGPResponseType::rizeniPGPList>("rizeniPGPList", 0,
                                                         {.itemName = "rizeniPGP"})}};
const ClassOf<SeznamRizeniPGPResponse> SeznamRizeniPGPResponse::info{
    ns::types, "SeznamRizeniPGPResponse"};

// ---- 14 vlozParcelu ----

const ClassOf<VlozParceluRequestType> VlozParceluRequestType::info{
    ns::types, "VlozParceluRequestType",
    {member<&VlozParceluRequestType::idRizeniPM>("idRizeniPM"),
     member<&VlozParceluRequestType::dotceneParcely>("dotceneParcely", 0, {.itemName = "idParcely"})}};
const ClassOf<VlozParceluRequest> VlozParceluRequest::info{ns::types, "VlozParceluRequest"};
const ClassOf<VlozParceluResponseType> VlozParceluResponseType::info{
    ns::types, "VlozParceluResponseType", {vysledekMember()}};
const ClassOf<VlozParceluResponse> VlozParceluResponse::info{ns::types, "VlozParceluResponse"};

// ---- 15..18 report operations ----

const ClassOf<ReportType> ReportType::info{
    ns::types, "ReportType",
    {member<&ReportType::id>("id"),
     member<&ReportType::nazev>("nazev"),
     member<&ReportType::pocetStran>("pocetStran"),
     member<&ReportType::datumPozadavku>("datumPozadavku"),
     member<&ReportType::datumSpusteni>("datumSpusteni"),
     member<&ReportType::datumVytvoreni>("datumVytvoreni"),
     member<&ReportType::stav>("stav"),
     member<&ReportType::format>("format"),
     member<&ReportType::souborSestavy>("souborSestavy")}};
const ClassOf<GenerujLVProParcelyPMRequestType> GenerujLVProParcelyPMRequestType::info{
    ns::types, "GenerujLVProParcelyPMRequestType",
    {member<&GenerujLVProParcelyPMRequestType::idRizeniPM>("idRizeniPM"),
     member<&GenerujLVProParcelyPMRequestType::seznamParcel>("seznamParcel", kUnbounded),
     member<&GenerujLVProParcelyPMRequestType::castecnyVypis>("castecnyVypis")}};
const ClassOf<GenerujLVProParcelyPMRequest> GenerujLVProParcelyPMRequest::info{
    ns::types, "GenerujLVProParcelyPMRequest"};
const ClassOf<SeznamSestavRequestType> SeznamSestavRequestType::info{
    ns::types, "SeznamSestavRequestType",
    {member<&SeznamSestavRequestType::idSestavy>("idSestavy")}};
const ClassOf<SeznamSestavRequest> SeznamSestavRequest::info{ns::types, "SeznamSestavRequest"};
const ClassOf<SmazSestavuRequestType> SmazSestavuRequestType::info{
    ns::types, "SmazSestavuRequestType",
    {member<&SmazSestavuRequestType::idSestavy>("idSestavy")}};
const ClassOf<SmazSestavuRequest> SmazSestavuRequest::info{ns::types, "SmazSestavuRequest"};
const ClassOf<VratSestavuRequestType> VratSestavuRequestType::info{
    ns::types, "VratSestavuRequestType",
    {member<&VratSestavuRequestType::idSestavy>("idSestavy")}};
const ClassOf<VratSestavuRequest> VratSestavuRequest::info{ns::types, "VratSestavuRequest"};
const ClassOf<GenerujSestavuResponseType> GenerujSestavuResponseType::info{
    ns::types, "GenerujSestavuResponseType",
    {vysledekMember(),
     member<&GenerujSestavuResponseType::reportList>("reportList", 0, {.itemName = "report"})}};
const ClassOf<GenerujSestavuResponse> GenerujSestavuResponse::info{
    ns::types, "GenerujSestavuResponse"};

// ---- 19, 20 ZPMZ files ----

const ClassOf<SouborZPMZIdentType> SouborZPMZIdentType::info{
    ns::types, "SouborZPMZIdentType",
    {member<&SouborZPMZIdentType::zpmzDokumentId>("zpmzDokumentId"),
     member<&SouborZPMZIdentType::nazevSouboru>("nazevSouboru"),
     member<&SouborZPMZIdentType::velikostSouboru>("velikostSouboru")}};
const ClassOf<SouborZPMZType> SouborZPMZType::info{
    ns::types, "SouborZPMZType",
    {member<&SouborZPMZType::zpmzDokumentId>("zpmzDokumentId"),
     member<&SouborZPMZType::nazevSouboru>("nazevSouboru"),
     member<&SouborZPMZType::velikostSouboru>("velikostSouboru"),
     member<&SouborZPMZType::obsahSouboru>("obsahSouboru")}};
const ClassOf<NajdiSouborZPMZRequestType> NajdiSouborZPMZRequestType::info{
    ns::types, "NajdiSouborZPMZRequestType",
    {member<&NajdiSouborZPMZRequestType::katuzeKod>("katuzeKod"),
     member<&NajdiSouborZPMZRequestType::cisloVysledkuZemCinnosti>("cisloVysledkuZemCinnosti")}};
const ClassOf<NajdiSouborZPMZRequest> NajdiSouborZPMZRequest::info{
    ns::types, "NajdiSouborZPMZRequest"};
const ClassOf<NajdiSouborZPMZResponseType> NajdiSouborZPMZResponseType::info{
    ns::types, "NajdiSouborZPMZResponseType",
    {vysledekMember(),
     member<&NajdiSouborZPMZResponseType::souborZPMZList>("souborZPMZList", 0,
                                                          {.itemName = "souborZPMZ"})}};
const ClassOf<NajdiSouborZPMZResponse> NajdiSouborZPMZResponse::info{
    ns::types, "NajdiSouborZPMZResponse"};
const ClassOf<VratSouborZPMZRequestType> VratSouborZPMZRequestType::info{
    ns::types, "VratSouborZPMZRequestType",
    {member<&VratSouborZPMZRequestType::katuzeKod>("katuzeKod"),
     member<&VratSouborZPMZRequestType::cisloVysledkuZemCinnosti>("cisloVysledkuZemCinnosti"),
     member<&VratSouborZPMZRequestType::zpmzDokumentId>("zpmzDokumentId")}};
const ClassOf<VratSouborZPMZRequest> VratSouborZPMZRequest::info{ns::types, "VratSouborZPMZRequest"};
const ClassOf<VratSouborZPMZResponseType> VratSouborZPMZResponseType::info{
    ns::types, "VratSouborZPMZResponseType",
    {vysledekMember(), member<&VratSouborZPMZResponseType::souborZPMZ>("souborZPMZ")}};
const ClassOf<VratSouborZPMZResponse> VratSouborZPMZResponse::info{
    ns::types, "VratSouborZPMZResponse"};

} // namespace vokr::schema
