#include "schema/registry.h"

#include "schema/messages.h"

namespace vokr::schema {

namespace {

#define VOKR_ACTION(name) "http://katastr.cuzk.cz/geows/" name

// Port type geo, in port-type order: an operation is invoked by its position.
const OperationInfo kOperations[kOperationCount] = {
    {"stavWS", VOKR_ACTION("stavWS"), &StavWSRequest::info, &StavWSResponse::info},
    {"zalozRizeniPM", VOKR_ACTION("zalozRizeniPM"), &ZalozRizeniPMRequest::info,
     &ZalozRizeniPMResponse::info},
    {"vytvorRezervaciZPMZ", VOKR_ACTION("vytvorRezervaciZPMZ"), &VytvorRezervaciZPMZRequest::info,
     &VytvorRezervaciZPMZResponse::info},
    {"zrusRezervaciZPMZ", VOKR_ACTION("zrusRezervaciZPMZ"), &ZrusRezervaciZPMZRequest::info,
     &ZrusRezervaciZPMZResponse::info},
    {"vytvorRezervaciPrvku", VOKR_ACTION("vytvorRezervaciPrvku"),
     &VytvorRezervaciPrvkuRequest::info, &VytvorRezervaciPrvkuResponse::info},
    {"zrusRezervaciPrvku", VOKR_ACTION("zrusRezervaciPrvku"), &ZrusRezervaciPrvkuRequest::info,
     &ZrusRezervaciPrvkuResponse::info},
    {"mylneRizeniPM", VOKR_ACTION("mylneRizeniPM"), &MylneRizeniPMRequest::info,
     &MylneRizeniPMResponse::info},
    {"seznamRizeniPM", VOKR_ACTION("seznamRizeniPM"), &SeznamRizeniPMRequest::info,
     &SeznamRizeniPMResponse::info},
    {"detailRizeniPM", VOKR_ACTION("detailRizeniPM"), &DetailRizeniPMRequest::info,
     &DetailRizeniPMResponse::info},
    // The service names this operation's action differently from the operation.
    {"exportVF", VOKR_ACTION("exportNVF"), &ExportVFRequest::info, &ExportVFResponse::info},
    {"exportVFStatus", VOKR_ACTION("exportVFStatus"), &ExportVFStatusRequest::info,
     &ExportVFStatusResponse::info},
    {"zalozNavrhZPG", VOKR_ACTION("zalozNavrhZPG"), &ZalozNavrhZPGRequest::info,
     &ZalozNavrhZPGResponse::info},
    {"zalozNavrhZDP", VOKR_ACTION("zalozNavrhZDP"), &ZalozNavrhZDPRequest::info,
     &ZalozNavrhZDPResponse::info},
    {"seznamRizeniPGP", VOKR_ACTION("seznamRizeniPGP"), &SeznamRizeniPGPRequest::info,
     &SeznamRizeniPGPResponse::info},
    {"vlozParcelu", VOKR_ACTION("vlozParcelu"), &VlozParceluRequest::info,
     &VlozParceluResponse::info},
    {"generujLVProParcelyPM", VOKR_ACTION("generujLVProParcelyPM"),
     &GenerujLVProParcelyPMRequest::info, &GenerujSestavuResponse::info},
    {"seznamSestav", VOKR_ACTION("seznamSestav"), &SeznamSestavRequest::info,
     &GenerujSestavuResponse::info},
    {"smazSestavu", VOKR_ACTION("smazSestavu"), &SmazSestavuRequest::info,
     &GenerujSestavuResponse::info},
    {"vratSestavu", VOKR_ACTION("vratSestavu"), &VratSestavuRequest::info,
     &GenerujSestavuResponse::info},
    {"najdiSouborZPMZ", VOKR_ACTION("najdiSouborZPMZ"), &NajdiSouborZPMZRequest::info,
     &NajdiSouborZPMZResponse::info},
    {"vratSouborZPMZ", VOKR_ACTION("vratSouborZPMZ"), &VratSouborZPMZRequest::info,
     &VratSouborZPMZResponse::info},
};

#undef VOKR_ACTION

} // namespace

const OperationInfo& operationInfo(Operation op) { return kOperations[static_cast<size_t>(op)]; }

} // namespace vokr::schema
