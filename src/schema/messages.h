#pragma once
// The service's message classes: shared types, then the request and response classes of every
// operation in port-type order. Member names are the wire names; members are in wire order.
// Request and response element classes derive, without members of their own, from the class
// of their schema type.
#include "schema/gml.h"
#include "schema/remotable.h"

namespace vokr::schema {

// ---- enumerations: members in ordinal order ----

enum class AnoNeType : uint8_t { a, n };
enum class DruhCislovaniParType : uint8_t { _1, _2 };  // wire texts "1", "2"
enum class FormatSestavyType : uint8_t { pdf, xml, html, zip };
enum class ReportStavType : uint8_t {
  ceka,                // "čeká"
  vytvariSe,           // "vytváří se"
  podepisujeSe,        // "podepisuje se"
  zpracovan,           // "zpracován"
  chybaPriVytvareni,   // "chyba při vytváření"
  chybaPriZpracovani,  // "chyba při zpracování"
  zauctovan,           // "zaúčtován"
  zrusen,              // "zrušen"
};
enum class TypKompreseType : uint8_t { ZIP, GZIP };
enum class ZpravaServeruTypeType : uint8_t { INFORMACE, VAROVANI, CHYBA };
enum class StavExportuVF : uint8_t { B, C, D, P, S };
enum class ZnakovaSadaVFType : uint8_t { ISO8859_2, CP1250 };  // "ISO8859-2", "CP1250"

const EnumInfo& enumInfo(AnoNeType);
const EnumInfo& enumInfo(DruhCislovaniParType);
const EnumInfo& enumInfo(FormatSestavyType);
const EnumInfo& enumInfo(ReportStavType);
const EnumInfo& enumInfo(TypKompreseType);
const EnumInfo& enumInfo(ZpravaServeruTypeType);
const EnumInfo& enumInfo(StavExportuVF);
const EnumInfo& enumInfo(ZnakovaSadaVFType);

// ---- shared types ----

// A server message: text, code ("0" marks success) and level.
struct ZpravaServeruType : Remotable<ZpravaServeruType> {
  std::string Text;
  std::optional<TXSDecimal> kod;
  ZpravaServeruTypeType uroven{};
  static const ClassOf<ZpravaServeruType> info;
};

// What every response starts with: its server messages, the wrapped list `vysledek`.
struct ServiceResponse : TRemotable {
  std::vector<std::unique_ptr<ZpravaServeruType>> vysledek;
};
// The descriptor of `vysledek`, first member of every response class.
MemberInfo vysledekMember();

struct RezervCisloZPMZType : Remotable<RezervCisloZPMZType> {
  std::optional<TXSDecimal> katuzeKod;
  std::optional<TXSDecimal> cisloZPMZ;
  static const ClassOf<RezervCisloZPMZType> info;
};

struct RezervParcelyType : Remotable<RezervParcelyType> {
  std::optional<TXSDecimal> katuzeKod;
  std::optional<TXSDecimal> cisloZPMZ;
  DruhCislovaniParType druhCislovaniPar{};
  std::vector<TXSDecimal> kmenoveCislo;  // repeated
  static const ClassOf<RezervParcelyType> info;
};

struct RezervPoddeleniType : Remotable<RezervPoddeleniType> {
  std::optional<TXSDecimal> katuzeKod;
  std::optional<TXSDecimal> cisloZPMZ;
  DruhCislovaniParType druhCislovaniPar{};
  std::optional<TXSDecimal> kmenoveCislo;
  std::vector<TXSDecimal> poddeleniCisla;  // repeated
  static const ClassOf<RezervPoddeleniType> info;
};

struct RezervBodyPBPPType : Remotable<RezervBodyPBPPType> {
  std::optional<TXSDecimal> katuzeKod;
  std::vector<TXSDecimal> cisloPBPP;  // repeated
  static const ClassOf<RezervBodyPBPPType> info;
};

struct IdentifikaceRizeniType : Remotable<IdentifikaceRizeniType> {
  std::optional<TXSDecimal> idRizeni;
  std::string cisloRizeni;
  std::optional<TXSDecimal> praresKod;
  std::string rizeniTyp;
  std::optional<TXSDecimal> poradoveCislo;
  std::optional<TXSDecimal> rok;
  static const ClassOf<IdentifikaceRizeniType> info;
};

struct RizeniPomocneType : Remotable<RizeniPomocneType> {
  std::optional<TXSDecimal> idRizeni;
  std::string cisloPodani;
  std::optional<TXSDateTime> createDate;
  std::optional<TXSDecimal> praresKod;
  std::string rizeniTyp;
  std::optional<TXSDecimal> poradoveCislo;
  std::optional<TXSDecimal> rok;
  Optional<std::optional<TXSDecimal>> noveRizeniId;
  static const ClassOf<RizeniPomocneType> info;
};

struct KatuzeZPMZType : Remotable<KatuzeZPMZType> {
  std::optional<TXSDecimal> katuzeKod;
  std::string katuzeNazev;
  std::vector<TXSDecimal> cislaZPMZList;  // items cisloZPMZ
  static const ClassOf<KatuzeZPMZType> info;
};

struct StavSluzbyType : Remotable<StavSluzbyType> {
  Optional<std::string> verze;
  Optional<std::string> prihlasovaciJmeno;
  Optional<std::optional<TXSDateTime>> zpracovano;
  static const ClassOf<StavSluzbyType> info;
};

// ---- 0 stavWS ----

struct StavWSRequestType : Remotable<StavWSRequestType> {
  static const ClassOf<StavWSRequestType> info;
};
struct StavWSRequestType2 : Remotable<StavWSRequestType2, StavWSRequestType> {
  static const ClassOf<StavWSRequestType2> info;
};
struct StavWSRequest : Remotable<StavWSRequest, StavWSRequestType2> {
  static const ClassOf<StavWSRequest> info;
};
struct StavWSResponseType : Remotable<StavWSResponseType, ServiceResponse> {
  std::unique_ptr<StavSluzbyType> stavSluzby;
  static const ClassOf<StavWSResponseType> info;
};
struct StavWSResponseType2 : Remotable<StavWSResponseType2, StavWSResponseType> {
  static const ClassOf<StavWSResponseType2> info;
};
struct StavWSResponse : Remotable<StavWSResponse, StavWSResponseType2> {
  static const ClassOf<StavWSResponse> info;
};

// ---- 1 zalozRizeniPM ----

struct ZalozRizeniPMRequestType : Remotable<ZalozRizeniPMRequestType> {
  std::string cisloZakazky;
  std::vector<TXSDecimal> katuzeKodList;   // items katuzeKod
  std::vector<TXSDecimal> dotceneParcely;  // items idParcely
  static const ClassOf<ZalozRizeniPMRequestType> info;
};
struct ZalozRizeniPMRequest : Remotable<ZalozRizeniPMRequest, ZalozRizeniPMRequestType> {
  static const ClassOf<ZalozRizeniPMRequest> info;
};
struct ZalozRizeniPMResponseType : Remotable<ZalozRizeniPMResponseType, ServiceResponse> {
  Optional<std::unique_ptr<IdentifikaceRizeniType>> rizeniPM;
  static const ClassOf<ZalozRizeniPMResponseType> info;
};
struct ZalozRizeniPMResponse : Remotable<ZalozRizeniPMResponse, ZalozRizeniPMResponseType> {
  static const ClassOf<ZalozRizeniPMResponse> info;
};

// ---- 2 vytvorRezervaciZPMZ ----

struct VytvorRezervaciZPMZRequestType : Remotable<VytvorRezervaciZPMZRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  std::optional<TXSDecimal> katuzeKod;
  static const ClassOf<VytvorRezervaciZPMZRequestType> info;
};
struct VytvorRezervaciZPMZRequest
    : Remotable<VytvorRezervaciZPMZRequest, VytvorRezervaciZPMZRequestType> {
  static const ClassOf<VytvorRezervaciZPMZRequest> info;
};
struct VytvorRezervaciZPMZResponseType
    : Remotable<VytvorRezervaciZPMZResponseType, ServiceResponse> {
  Optional<std::unique_ptr<RezervCisloZPMZType>> rezervCisloZPMZ;
  static const ClassOf<VytvorRezervaciZPMZResponseType> info;
};
struct VytvorRezervaciZPMZResponse
    : Remotable<VytvorRezervaciZPMZResponse, VytvorRezervaciZPMZResponseType> {
  static const ClassOf<VytvorRezervaciZPMZResponse> info;
};

// ---- 3 zrusRezervaciZPMZ ----

struct ZrusRezervaciZPMZRequestType : Remotable<ZrusRezervaciZPMZRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  std::unique_ptr<RezervCisloZPMZType> rezervCisloZPMZ;
  static const ClassOf<ZrusRezervaciZPMZRequestType> info;
};
struct ZrusRezervaciZPMZRequest
    : Remotable<ZrusRezervaciZPMZRequest, ZrusRezervaciZPMZRequestType> {
  static const ClassOf<ZrusRezervaciZPMZRequest> info;
};
struct ZrusRezervaciZPMZResponseType : Remotable<ZrusRezervaciZPMZResponseType, ServiceResponse> {
  static const ClassOf<ZrusRezervaciZPMZResponseType> info;
};
struct ZrusRezervaciZPMZResponse
    : Remotable<ZrusRezervaciZPMZResponse, ZrusRezervaciZPMZResponseType> {
  static const ClassOf<ZrusRezervaciZPMZResponse> info;
};

// ---- 4 vytvorRezervaciPrvku ----

struct RezervaceParcelType : Remotable<RezervaceParcelType> {
  std::optional<TXSDecimal> cisloZPMZ;
  DruhCislovaniParType druhCislovaniPar{};
  std::optional<TXSDecimal> pocetRezParcel;
  static const ClassOf<RezervaceParcelType> info;
};
struct RezervacePoddeleniType : Remotable<RezervacePoddeleniType> {
  std::optional<TXSDecimal> cisloZPMZ;
  DruhCislovaniParType druhCislovaniPar{};
  std::optional<TXSDecimal> kmenoveCislo;
  std::optional<TXSDecimal> pocetRezPoddeleni;
  static const ClassOf<RezervacePoddeleniType> info;
};
struct RezervacePBPP : Remotable<RezervacePBPP> {
  std::optional<TXSDecimal> pocetRezPBPP;
  static const ClassOf<RezervacePBPP> info;
};

struct VytvorRezervaciPrvkuRequestType : Remotable<VytvorRezervaciPrvkuRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  std::optional<TXSDecimal> katuzeKod;
  Optional<std::unique_ptr<RezervaceParcelType>> rezervaceParcela;
  Optional<std::unique_ptr<RezervacePoddeleniType>> rezervacePoddeleni;
  Optional<std::unique_ptr<schema::RezervacePBPP>> rezervacePBPP;
  static const ClassOf<VytvorRezervaciPrvkuRequestType> info;
};
struct VytvorRezervaciPrvkuRequest
    : Remotable<VytvorRezervaciPrvkuRequest, VytvorRezervaciPrvkuRequestType> {
  static const ClassOf<VytvorRezervaciPrvkuRequest> info;
};
struct VytvorRezervaciPrvkuResponseType
    : Remotable<VytvorRezervaciPrvkuResponseType, ServiceResponse> {
  Optional<std::unique_ptr<RezervParcelyType>> rezervParcely;
  Optional<std::unique_ptr<RezervPoddeleniType>> rezervPoddeleni;
  Optional<std::unique_ptr<RezervBodyPBPPType>> rezervBodyPBPP;
  static const ClassOf<VytvorRezervaciPrvkuResponseType> info;
};
struct VytvorRezervaciPrvkuResponse
    : Remotable<VytvorRezervaciPrvkuResponse, VytvorRezervaciPrvkuResponseType> {
  static const ClassOf<VytvorRezervaciPrvkuResponse> info;
};

// ---- 5 zrusRezervaciPrvku ----

struct ZrusRezervaciPrvkuRequestType : Remotable<ZrusRezervaciPrvkuRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  Optional<std::unique_ptr<RezervParcelyType>> rezervParcely;
  Optional<std::unique_ptr<RezervPoddeleniType>> rezervPoddeleni;
  Optional<std::unique_ptr<RezervBodyPBPPType>> rezervBodyPBPP;
  static const ClassOf<ZrusRezervaciPrvkuRequestType> info;
};
struct ZrusRezervaciPrvkuRequest
    : Remotable<ZrusRezervaciPrvkuRequest, ZrusRezervaciPrvkuRequestType> {
  static const ClassOf<ZrusRezervaciPrvkuRequest> info;
};
struct ZrusRezervaciPrvkuResponseType
    : Remotable<ZrusRezervaciPrvkuResponseType, ServiceResponse> {
  static const ClassOf<ZrusRezervaciPrvkuResponseType> info;
};
struct ZrusRezervaciPrvkuResponse
    : Remotable<ZrusRezervaciPrvkuResponse, ZrusRezervaciPrvkuResponseType> {
  static const ClassOf<ZrusRezervaciPrvkuResponse> info;
};

// ---- 6 mylneRizeniPM ----

struct MylneRizeniPMRequestType : Remotable<MylneRizeniPMRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  Optional<std::string> popis;
  static const ClassOf<MylneRizeniPMRequestType> info;
};
struct MylneRizeniPMRequest : Remotable<MylneRizeniPMRequest, MylneRizeniPMRequestType> {
  static const ClassOf<MylneRizeniPMRequest> info;
};
struct MylneRizeniPMResponseType : Remotable<MylneRizeniPMResponseType, ServiceResponse> {
  static const ClassOf<MylneRizeniPMResponseType> info;
};
struct MylneRizeniPMResponse : Remotable<MylneRizeniPMResponse, MylneRizeniPMResponseType> {
  static const ClassOf<MylneRizeniPMResponse> info;
};

// ---- 7 seznamRizeniPM ----

struct RizeniPMType : Remotable<RizeniPMType> {
  std::optional<TXSDecimal> idRizeniPM;
  std::string cisloRizeni;
  std::string cisloZakazky;
  static const ClassOf<RizeniPMType> info;
};
struct SeznamRizeniPMRequestType : Remotable<SeznamRizeniPMRequestType> {
  static const ClassOf<SeznamRizeniPMRequestType> info;
};
struct SeznamRizeniPMRequest : Remotable<SeznamRizeniPMRequest, SeznamRizeniPMRequestType> {
  static const ClassOf<SeznamRizeniPMRequest> info;
};
struct SeznamRizeniPMResponseType : Remotable<SeznamRizeniPMResponseType, ServiceResponse> {
  Optional<std::vector<std::unique_ptr<RizeniPMType>>> rizeniPMList;  // items rizeniPM
  static const ClassOf<SeznamRizeniPMResponseType> info;
};
struct SeznamRizeniPMResponse : Remotable<SeznamRizeniPMResponse, SeznamRizeniPMResponseType> {
  static const ClassOf<SeznamRizeniPMResponse> info;
};

// ---- 8 detailRizeniPM ----

struct DetailRizeniPMRequestType : Remotable<DetailRizeniPMRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  bool rezervace = false;
  static const ClassOf<DetailRizeniPMRequestType> info;
};
struct DetailRizeniPMRequest : Remotable<DetailRizeniPMRequest, DetailRizeniPMRequestType> {
  static const ClassOf<DetailRizeniPMRequest> info;
};
struct DetailRizeniPMResponseType : Remotable<DetailRizeniPMResponseType, ServiceResponse> {
  Optional<std::optional<TXSDecimal>> idRizeniPM;
  Optional<std::string> cisloRizeni;
  Optional<std::string> cisloZakazky;
  Optional<std::vector<TXSDecimal>> katuzeKodList;   // items katuzeKod
  Optional<std::vector<TXSDecimal>> dotceneParcely;  // items idParcely
  Optional<std::vector<std::unique_ptr<RezervCisloZPMZType>>> rezervCislaZPMZList;
  Optional<std::vector<std::unique_ptr<RezervParcelyType>>> rezervParCislaList;
  Optional<std::vector<std::unique_ptr<RezervPoddeleniType>>> rezervPoddeleniList;
  Optional<std::vector<std::unique_ptr<RezervBodyPBPPType>>> rezervPBPPList;
  static const ClassOf<DetailRizeniPMResponseType> info;
};
struct DetailRizeniPMResponse : Remotable<DetailRizeniPMResponse, DetailRizeniPMResponseType> {
  static const ClassOf<DetailRizeniPMResponse> info;
};

// ---- 9 exportVF ----

struct ExportVFRequestType : Remotable<ExportVFRequestType> {
  std::optional<TXSDecimal> idRizeni;
  Optional<ZnakovaSadaVFType> charset;
  std::string email;
  std::unique_ptr<schema::Polygon> Polygon;
  bool skNemo = false;
  bool skBdpa = false;
  bool skVlst = false;
  bool skJpvz = false;
  bool skPkmp = false;
  bool skBpej = false;
  bool skGmpl = false;
  bool skReze = false;
  bool skDebo = false;
  static const ClassOf<ExportVFRequestType> info;
};
struct ExportVFRequest : Remotable<ExportVFRequest, ExportVFRequestType> {
  static const ClassOf<ExportVFRequest> info;
};
struct ExportVFResponseType : Remotable<ExportVFResponseType, ServiceResponse> {
  Optional<std::optional<TXSDecimal>> behId;
  static const ClassOf<ExportVFResponseType> info;
};
struct ExportVFResponse : Remotable<ExportVFResponse, ExportVFResponseType> {
  static const ClassOf<ExportVFResponse> info;
};

// ---- 10 exportVFStatus ----

struct ExportVFStatusType : Remotable<ExportVFStatusType> {
  Optional<std::optional<TXSDecimal>> behId;
  Optional<StavExportuVF> stavBehu;
  Optional<std::string> linkVF;
  Optional<std::string> hashExportu;
  static const ClassOf<ExportVFStatusType> info;
};
struct ExportVFStatusRequestType : Remotable<ExportVFStatusRequestType> {
  Optional<std::optional<TXSDecimal>> behId;
  static const ClassOf<ExportVFStatusRequestType> info;
};
struct ExportVFStatusRequest : Remotable<ExportVFStatusRequest, ExportVFStatusRequestType> {
  static const ClassOf<ExportVFStatusRequest> info;
};
struct ExportVFStatusResponseType : Remotable<ExportVFStatusResponseType, ServiceResponse> {
  Optional<std::vector<std::unique_ptr<ExportVFStatusType>>> exportVFStatusList;
  static const ClassOf<ExportVFStatusResponseType> info;
};
struct ExportVFStatusResponse : Remotable<ExportVFStatusResponse, ExportVFStatusResponseType> {
  static const ClassOf<ExportVFStatusResponse> info;
};

// ---- 11, 12 zalozNavrhZPG, zalozNavrhZDP ----

// An attachment: its identifier as a qualified attribute, the file as base64 content.
struct PrilohaNavrhuType : Remotable<PrilohaNavrhuType> {
  std::optional<TXSDecimal> idPrilohy;
  Optional<TypKompreseType> typKompresePDF;
  TByteSOAPArray Text;
  static const ClassOf<PrilohaNavrhuType> info;
};
struct ZalozNavrhZPGRequestType : Remotable<ZalozNavrhZPGRequestType> {
  TByteSOAPArray XMLNavrhu;
  Optional<std::string> hashNavrhu;
  std::vector<std::unique_ptr<PrilohaNavrhuType>> prilohaNavrhu;  // repeated
  static const ClassOf<ZalozNavrhZPGRequestType> info;
};
struct ZalozNavrhZPGRequest : Remotable<ZalozNavrhZPGRequest, ZalozNavrhZPGRequestType> {
  static const ClassOf<ZalozNavrhZPGRequest> info;
};
struct ZalozNavrhZDPRequestType : Remotable<ZalozNavrhZDPRequestType> {
  TByteSOAPArray XMLNavrhu;
  Optional<std::string> hashNavrhu;
  std::vector<std::unique_ptr<PrilohaNavrhuType>> prilohaNavrhu;  // repeated
  static const ClassOf<ZalozNavrhZDPRequestType> info;
};
struct ZalozNavrhZDPRequest : Remotable<ZalozNavrhZDPRequest, ZalozNavrhZDPRequestType> {
  static const ClassOf<ZalozNavrhZDPRequest> info;
};
struct ZalozNavrhResponseType : Remotable<ZalozNavrhResponseType, ServiceResponse> {
  Optional<std::unique_ptr<RizeniPomocneType>> rizeni;
  static const ClassOf<ZalozNavrhResponseType> info;
};
struct ZalozNavrhZPGResponse : Remotable<ZalozNavrhZPGResponse, ZalozNavrhResponseType> {
  static const ClassOf<ZalozNavrhZPGResponse> info;
};
struct ZalozNavrhZDPResponse : Remotable<ZalozNavrhZDPResponse, ZalozNavrhResponseType> {
  static const ClassOf<ZalozNavrhZDPResponse> info;
};

// ---- 13 seznamRizeniPGP ----

struct RizeniPGPType : Remotable<RizeniPGPType> {
  std::optional<TXSDecimal> idRizeniPGP;
  std::string cisloRizeni;
  std::optional<TXSDateTime> datumPrijetiZPG;
  std::string stavRizeni;
  std::vector<std::unique_ptr<KatuzeZPMZType>> katuzeZPMZList;  // items katuzeZPMZ
  std::string cisloZPG;
  static const ClassOf<RizeniPGPType> info;
};
struct SeznamRizeniPGPRequestType : Remotable<SeznamRizeniPGPRequestType> {
  static const ClassOf<SeznamRizeniPGPRequestType> info;
};
struct SeznamRizeniPGPRequest : Remotable<SeznamRizeniPGPRequest, SeznamRizeniPGPRequestType> {
  static const ClassOf<SeznamRizeniPGPRequest> info;
};
struct SeznamRizeniPGPResponseType : Remotable<SeznamRizeniPGPResponseType, ServiceResponse> {
  Optional<std::vector<std::unique_ptr<RizeniPGPType>>> rizeniPGPList;  // items rizeniPGP
  static const ClassOf<SeznamRizeniPGPResponseType> info;
};
struct SeznamRizeniPGPResponse
    : Remotable<SeznamRizeniPGPResponse, SeznamRizeniPGPResponseType> {
  static const ClassOf<SeznamRizeniPGPResponse> info;
};

// ---- 14 vlozParcelu ----

struct VlozParceluRequestType : Remotable<VlozParceluRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  std::vector<TXSDecimal> dotceneParcely;  // items idParcely
  static const ClassOf<VlozParceluRequestType> info;
};
struct VlozParceluRequest : Remotable<VlozParceluRequest, VlozParceluRequestType> {
  static const ClassOf<VlozParceluRequest> info;
};
struct VlozParceluResponseType : Remotable<VlozParceluResponseType, ServiceResponse> {
  static const ClassOf<VlozParceluResponseType> info;
};
struct VlozParceluResponse : Remotable<VlozParceluResponse, VlozParceluResponseType> {
  static const ClassOf<VlozParceluResponse> info;
};

// ---- 15..18 report operations, one response class ----

struct ReportType : Remotable<ReportType> {
  std::optional<TXSDecimal> id;
  std::string nazev;
  Optional<std::optional<TXSDecimal>> pocetStran;
  std::optional<TXSDateTime> datumPozadavku;
  Optional<std::optional<TXSDateTime>> datumSpusteni;
  Optional<std::optional<TXSDateTime>> datumVytvoreni;
  ReportStavType stav{};
  FormatSestavyType format{};
  Optional<TByteSOAPArray> souborSestavy;
  static const ClassOf<ReportType> info;
};
struct GenerujLVProParcelyPMRequestType : Remotable<GenerujLVProParcelyPMRequestType> {
  std::optional<TXSDecimal> idRizeniPM;
  // Repeated; an empty item is written as a nil element.
  std::vector<std::optional<TXSDecimal>> seznamParcel;
  AnoNeType castecnyVypis{};
  static const ClassOf<GenerujLVProParcelyPMRequestType> info;
};
struct GenerujLVProParcelyPMRequest
    : Remotable<GenerujLVProParcelyPMRequest, GenerujLVProParcelyPMRequestType> {
  static const ClassOf<GenerujLVProParcelyPMRequest> info;
};
struct SeznamSestavRequestType : Remotable<SeznamSestavRequestType> {
  Optional<std::optional<TXSDecimal>> idSestavy;
  static const ClassOf<SeznamSestavRequestType> info;
};
struct SeznamSestavRequest : Remotable<SeznamSestavRequest, SeznamSestavRequestType> {
  static const ClassOf<SeznamSestavRequest> info;
};
struct SmazSestavuRequestType : Remotable<SmazSestavuRequestType> {
  std::optional<TXSDecimal> idSestavy;
  static const ClassOf<SmazSestavuRequestType> info;
};
struct SmazSestavuRequest : Remotable<SmazSestavuRequest, SmazSestavuRequestType> {
  static const ClassOf<SmazSestavuRequest> info;
};
struct VratSestavuRequestType : Remotable<VratSestavuRequestType> {
  std::optional<TXSDecimal> idSestavy;
  static const ClassOf<VratSestavuRequestType> info;
};
struct VratSestavuRequest : Remotable<VratSestavuRequest, VratSestavuRequestType> {
  static const ClassOf<VratSestavuRequest> info;
};
struct GenerujSestavuResponseType : Remotable<GenerujSestavuResponseType, ServiceResponse> {
  Optional<std::vector<std::unique_ptr<ReportType>>> reportList;  // items report
  static const ClassOf<GenerujSestavuResponseType> info;
};
struct GenerujSestavuResponse : Remotable<GenerujSestavuResponse, GenerujSestavuResponseType> {
  static const ClassOf<GenerujSestavuResponse> info;
};

// ---- 19, 20 ZPMZ files ----

struct SouborZPMZIdentType : Remotable<SouborZPMZIdentType> {
  std::optional<TXSDecimal> zpmzDokumentId;
  std::string nazevSouboru;
  std::optional<TXSDecimal> velikostSouboru;
  static const ClassOf<SouborZPMZIdentType> info;
};
struct SouborZPMZType : Remotable<SouborZPMZType> {
  std::optional<TXSDecimal> zpmzDokumentId;
  std::string nazevSouboru;
  std::optional<TXSDecimal> velikostSouboru;
  TByteSOAPArray obsahSouboru;
  static const ClassOf<SouborZPMZType> info;
};
struct NajdiSouborZPMZRequestType : Remotable<NajdiSouborZPMZRequestType> {
  std::optional<TXSDecimal> katuzeKod;
  int32_t cisloVysledkuZemCinnosti = 0;
  static const ClassOf<NajdiSouborZPMZRequestType> info;
};
struct NajdiSouborZPMZRequest : Remotable<NajdiSouborZPMZRequest, NajdiSouborZPMZRequestType> {
  static const ClassOf<NajdiSouborZPMZRequest> info;
};
struct NajdiSouborZPMZResponseType : Remotable<NajdiSouborZPMZResponseType, ServiceResponse> {
  Optional<std::vector<std::unique_ptr<SouborZPMZIdentType>>> souborZPMZList;  // items souborZPMZ
  static const ClassOf<NajdiSouborZPMZResponseType> info;
};
struct NajdiSouborZPMZResponse
    : Remotable<NajdiSouborZPMZResponse, NajdiSouborZPMZResponseType> {
  static const ClassOf<NajdiSouborZPMZResponse> info;
};
struct VratSouborZPMZRequestType : Remotable<VratSouborZPMZRequestType> {
  std::optional<TXSDecimal> katuzeKod;
  int32_t cisloVysledkuZemCinnosti = 0;
  std::optional<TXSDecimal> zpmzDokumentId;
  static const ClassOf<VratSouborZPMZRequestType> info;
};
struct VratSouborZPMZRequest : Remotable<VratSouborZPMZRequest, VratSouborZPMZRequestType> {
  static const ClassOf<VratSouborZPMZRequest> info;
};
struct VratSouborZPMZResponseType : Remotable<VratSouborZPMZResponseType, ServiceResponse> {
  Optional<std::unique_ptr<SouborZPMZType>> souborZPMZ;
  static const ClassOf<VratSouborZPMZResponseType> info;
};
struct VratSouborZPMZResponse : Remotable<VratSouborZPMZResponse, VratSouborZPMZResponseType> {
  static const ClassOf<VratSouborZPMZResponse> info;
};

} // namespace vokr::schema
