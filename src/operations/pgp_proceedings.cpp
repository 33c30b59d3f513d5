// Plan-confirmation (PGP) proceedings: every proceeding with its cadastral areas, each area with
// its ZPMZ numbers. The host sizes all nested lists by the two maxima of the counts.
#include <algorithm>

#include "operations/host_values.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using plugin::listCount;
using plugin::writeText;
using schema::Operation;
using schema::SeznamRizeniPGPResponse;

namespace {
plugin::Family<SeznamRizeniPGPResponse> pgp;
constexpr size_t kZpmzWidth = 6;

// The High fields hold the index of the last entry written, -1 for none.
int32_t high(size_t written) { return static_cast<int32_t>(written) - 1; }

void writeArea(TKatuzeZPMZRec& host, const std::unique_ptr<schema::KatuzeZPMZType>& area) {
  if (!area) return;
  writeDecimal(host.katuzeKod, area->katuzeKod);
  writeText(host.katuzeNazev, area->katuzeNazev);
  host.CislaZPMZHigh = high(writeDecimalList<kZpmzWidth>(host.cislaZPMZ, area->cislaZPMZList));
}

void writeProceeding(TRizeniPGPRec& host, const std::unique_ptr<schema::RizeniPGPType>& p) {
  if (!p) return;
  writeDecimal(host.idRizeniPGP, p->idRizeniPGP);
  writeText(host.cisloRizeni, p->cisloRizeni);
  host.datumPrijetiZPG = hostDateTime(p->datumPrijetiZPG);
  writeText(host.stavRizeni, p->stavRizeni);
  // Without areas the entry's list pointer is never followed.
  host.KatuzeZPMZHigh = high(writeList<TKatuzeZPMZRec>(host.katuzeZPMZ, p->katuzeZPMZList, writeArea));
  writeText(host.cisloZPG, p->cisloZPG);
}
} // namespace

VOKR_API void VOKR_STDCALL loadSeznamRizeniPGP(char* result, int32_t) {
  pgp.load(Operation::seznamRizeniPGP, result,
           [] { return std::make_unique<schema::SeznamRizeniPGPRequest>(); });
}

VOKR_API void VOKR_STDCALL getSeznamRizeniPGP(char*, int32_t, TSeznamRizeniPGPOut* out) {
  pgp.get(out, [&](const SeznamRizeniPGPResponse& r) {
    writeList<TRizeniPGPRec>(out->rizeniPGPList, r.rizeniPGPList.value, writeProceeding);
  });
}

VOKR_API void VOKR_STDCALL getSeznamRizeniPGP_ListSizes(char*, int32_t, TSeznamRizeniPGPSizes* counts) {
  pgp.counts(counts, [&](const SeznamRizeniPGPResponse& r) {
    size_t areas = 0, numbers = 0;
    for (const auto& p : r.rizeniPGPList.value) {
      if (!p) continue;
      areas = std::max(areas, p->katuzeZPMZList.size());
      for (const auto& a : p->katuzeZPMZList)
        if (a) numbers = std::max(numbers, a->cislaZPMZList.size());
    }
    counts->MessageCount = listCount(r.vysledek.size());
    counts->rizeniPGPList = listCount(r.rizeniPGPList.value.size());
    counts->katuzeZPMZMax = static_cast<int32_t>(areas);
    counts->cislaZPMZMax = static_cast<int32_t>(numbers);
  });
}

VOKR_API void VOKR_STDCALL freeSeznamRizeniPGP(char*, int32_t) { pgp.release(); }
