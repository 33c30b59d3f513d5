// Proceeding creation: open a PM proceeding for a job, its cadastral areas and affected parcels.
#include "operations/host_values.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using plugin::readText;
using plugin::writeText;
using schema::Operation;

namespace {
plugin::Family<schema::ZalozRizeniPMResponse> founding;
constexpr size_t kAreaCodeWidth = 7, kParcelIdWidth = 31;
} // namespace

VOKR_API void VOKR_STDCALL loadZalozRizeniPM(const TZalozRizeniPMIn* in, char* result, int32_t) {
  founding.load(Operation::zalozRizeniPM, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::ZalozRizeniPMRequest>();
    request->cisloZakazky = readText(host.cisloZakazky);
    request->katuzeKodList = decimalList<kAreaCodeWidth>(host.katuzeKodList);
    request->dotceneParcely = decimalList<kParcelIdWidth>(host.dotceneParcely);
    return request;
  });
}

VOKR_API void VOKR_STDCALL getZalozRizeniPM(char*, int32_t, TZalozRizeniPMOut* out) {
  founding.get(out, [&](const schema::ZalozRizeniPMResponse& r) {
    // A success without the identification leaves the host's fields as they were.
    const schema::IdentifikaceRizeniType* found = schema::presentValue(r.rizeniPM);
    if (!found) return;
    const schema::IdentifikaceRizeniType& id = *found;
    writeDecimal(out->idRizeni, id.idRizeni);
    writeText(out->cisloRizeni, id.cisloRizeni);
    writeDecimal(out->praresKod, id.praresKod);
    writeText(out->rizeniTyp, id.rizeniTyp);
    writeDecimal(out->poradoveCislo, id.poradoveCislo);
    writeDecimal(out->rok, id.rok);
  });
}

VOKR_API void VOKR_STDCALL getZalozRizeniPM_ListSizes(char*, int32_t, TMessageCounts* counts) {
  founding.messageCounts(counts);
}

VOKR_API void VOKR_STDCALL freeZalozRizeniPM(char*, int32_t) { founding.release(); }
