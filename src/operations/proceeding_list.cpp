// The surveyor's PM proceedings: list them, mark one as opened in error, add affected parcels.
#include "operations/host_values.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using plugin::listCount;
using plugin::readText;
using plugin::writeText;
using schema::Operation;

namespace {
plugin::Family<schema::SeznamRizeniPMResponse> list;
plugin::Family<schema::MylneRizeniPMResponse> erroneous;
plugin::Family<schema::VlozParceluResponse> parcels;
constexpr size_t kParcelIdWidth = 31;
} // namespace

VOKR_API void VOKR_STDCALL loadSeznamRizeniPM(char* result, int32_t) {
  list.load(Operation::seznamRizeniPM, result,
            [] { return std::make_unique<schema::SeznamRizeniPMRequest>(); });
}

VOKR_API void VOKR_STDCALL getSeznamRizeniPM(char*, int32_t, TSeznamRizeniPMOut* out) {
  list.get(out, [&](const schema::SeznamRizeniPMResponse& r) {
    writeList<TRizeniPMRec>(out->rizeniPMList, r.rizeniPMList.value,
                            [](TRizeniPMRec& host, const std::unique_ptr<schema::RizeniPMType>& item) {
                              if (!item) return;
                              writeDecimal(host.idRizeniPM, item->idRizeniPM);
                              writeText(host.cisloRizeni, item->cisloRizeni);
                              writeText(host.cisloZakazky, item->cisloZakazky);
                            });
  });
}

VOKR_API void VOKR_STDCALL getSeznamRizeniPM_ListSizes(char*, int32_t, TSeznamRizeniPMSizes* counts) {
  list.counts(counts, [&](const schema::SeznamRizeniPMResponse& r) {
    counts->MessageCount = listCount(r.vysledek.size());
    counts->rizeniPMList = listCount(r.rizeniPMList.value.size());
  });
}

VOKR_API void VOKR_STDCALL freeSeznamRizeniPM(char*, int32_t) { list.release(); }

VOKR_API void VOKR_STDCALL loadMylneRizeniPM(const TMylneRizeniPMIn* in, char* result, int32_t) {
  erroneous.load(Operation::mylneRizeniPM, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::MylneRizeniPMRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    // Always set: an empty reason is then left out as every empty text is.
    request->popis.set(readText(host.popis));
    return request;
  });
}

VOKR_API void VOKR_STDCALL getMylneRizeniPM(char*, int32_t, THostMessageBlock* out) { erroneous.get(out); }

VOKR_API void VOKR_STDCALL getMylneRizeniPM_ListSizes(char*, int32_t, TMessageCounts* counts) {
  erroneous.messageCounts(counts);
}

VOKR_API void VOKR_STDCALL freeMylneRizeniPM(char*, int32_t) { erroneous.release(); }

VOKR_API void VOKR_STDCALL loadVlozParceluPM(const TVlozParceluPMIn* in, char* result, int32_t) {
  parcels.load(Operation::vlozParcelu, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::VlozParceluRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    request->dotceneParcely = decimalList<kParcelIdWidth>(host.dotceneParcely);
    return request;
  });
}

VOKR_API void VOKR_STDCALL getVlozParceluPM(char*, int32_t, THostMessageBlock* out) { parcels.get(out); }

VOKR_API void VOKR_STDCALL getVlozParceluPM_ListSizes(char*, int32_t, TMessageCounts* counts) {
  parcels.messageCounts(counts);
}

VOKR_API void VOKR_STDCALL freeVlozParceluPM(char*, int32_t) { parcels.release(); }
