// Proceeding detail: a PM proceeding with its areas, parcels and, on request, every reservation
// made in it. The reservation lists nest a list of numbers in each entry, which the host sizes
// entry by entry through the three item-size exports.
#include "operations/reservation_blocks.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using plugin::listCount;
using plugin::writeText;
using schema::DetailRizeniPMResponse;
using schema::Operation;

namespace {
plugin::Family<DetailRizeniPMResponse> detail;
constexpr size_t kAreaCodeWidth = 7, kParcelIdWidth = 31;

// The number of nested numbers of entry `index` of one reservation list, -1 when there are
// none, when the index is outside the list or when nothing is held.
template <auto List, auto Numbers> int32_t itemSize(int32_t index) noexcept {
  return plugin::guarded<int32_t>(-1, [&] {
    const DetailRizeniPMResponse* r = detail.held();
    if (!r || index < 0) return -1;
    const auto& entries = (r->*List).value;
    if (size_t(index) >= entries.size() || !entries[size_t(index)]) return -1;
    return listCount(((*entries[size_t(index)]).*Numbers).size());
  });
}
} // namespace

VOKR_API void VOKR_STDCALL loadDetailRizeniPM(const TDetailRizeniPMIn* in, char* result, int32_t) {
  detail.load(Operation::detailRizeniPM, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::DetailRizeniPMRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    request->rezervace = boolean(host.rezervace);
    return request;
  });
}

VOKR_API void VOKR_STDCALL getDetailRizeniPM(char*, int32_t, TDetailRizeniPMOut* out) {
  detail.get(out, [&](const DetailRizeniPMResponse& r) {
    writeDecimal(out->idRizeniPM, r.idRizeniPM.value);
    writeText(out->cisloRizeni, r.cisloRizeni.value);
    writeText(out->cisloZakazky, r.cisloZakazky.value);
    writeDecimalList<kAreaCodeWidth>(out->katuzeKodList, r.katuzeKodList.value);
    writeDecimalList<kParcelIdWidth>(out->dotceneParcely, r.dotceneParcely.value);
    writeBlocks<TRezervCisloZPMZRec>(out->rezervCislaZPMZList, r.rezervCislaZPMZList.value);
    writeBlocks<TRezervParcelyRec>(out->rezervParCislaList, r.rezervParCislaList.value);
    writeBlocks<TRezervPoddeleniRec>(out->rezervPoddeleniList, r.rezervPoddeleniList.value);
    writeBlocks<TRezervBodyPBPPRec>(out->rezervPBPPList, r.rezervPBPPList.value);
  });
}

VOKR_API void VOKR_STDCALL getDetailRizeniPM_ListSizes(char*, int32_t, TDetailRizeniPMSizes* counts) {
  detail.counts(counts, [&](const DetailRizeniPMResponse& r) {
    counts->MessageCount = listCount(r.vysledek.size());
    counts->katuzeKodList = listCount(r.katuzeKodList.value.size());
    counts->dotceneParcely = listCount(r.dotceneParcely.value.size());
    counts->rezervCislaZPMZList = listCount(r.rezervCislaZPMZList.value.size());
    counts->rezervParCislaList = listCount(r.rezervParCislaList.value.size());
    counts->rezervPoddeleniList = listCount(r.rezervPoddeleniList.value.size());
    counts->rezervPBPPList = listCount(r.rezervPBPPList.value.size());
  });
}

VOKR_API int32_t VOKR_STDCALL getDetailRizeniPM_RezervParCislaListItemSize(char*, int32_t, int32_t index) {
  return itemSize<&DetailRizeniPMResponse::rezervParCislaList, &schema::RezervParcelyType::kmenoveCislo>(index);
}

VOKR_API int32_t VOKR_STDCALL getDetailRizeniPM_RezervPoddeleniListItemSize(char*, int32_t, int32_t index) {
  return itemSize<&DetailRizeniPMResponse::rezervPoddeleniList,
                  &schema::RezervPoddeleniType::poddeleniCisla>(index);
}

VOKR_API int32_t VOKR_STDCALL getDetailRizeniPM_RezervPBPPListItemSize(char*, int32_t, int32_t index) {
  return itemSize<&DetailRizeniPMResponse::rezervPBPPList, &schema::RezervBodyPBPPType::cisloPBPP>(index);
}

VOKR_API void VOKR_STDCALL freeDetailRizeniPM(char*, int32_t) { detail.release(); }
