// Element reservations within a PM proceeding: reserve parcel stem numbers, subdivision numbers
// and survey point numbers, or give reserved ones back; any combination of the three per call.
#include "operations/reservation_blocks.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using plugin::listCount;
using schema::DruhCislovaniParType;
using schema::Operation;
using schema::VytvorRezervaciPrvkuResponse;

namespace {
plugin::Family<VytvorRezervaciPrvkuResponse> reservation;
plugin::Family<schema::ZrusRezervaciPrvkuResponse> cancellation;

// A number-list slot of the counts: 0 when the block was not returned, else the counting rule.
template <class Block, class Numbers>
int32_t numbersCount(const schema::Optional<std::unique_ptr<Block>>& block, Numbers Block::*numbers) {
  const Block* b = schema::presentValue(block);
  return b ? listCount((b->*numbers).size()) : 0;
}
} // namespace

VOKR_API void VOKR_STDCALL loadVytvorRezervaciPrvku(const TVytvorRezervaciPrvkuIn* in, char* result, int32_t) {
  reservation.load(Operation::vytvorRezervaciPrvku, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::VytvorRezervaciPrvkuRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    request->katuzeKod = decimal(host.katuzeKod);
    if (const auto& p = host.rezervaceParcela; boolean(p.Present)) {
      auto block = std::make_unique<schema::RezervaceParcelType>();
      block->cisloZPMZ = decimal(p.cisloZPMZ);
      block->druhCislovaniPar =
          enumeration<DruhCislovaniParType>(p.druhCislovaniPar, "rezervaceParcela.druhCislovaniPar");
      block->pocetRezParcel = decimal(p.pocetRezParcel);
      request->rezervaceParcela.set(std::move(block));
    }
    if (const auto& s = host.rezervacePoddeleni; boolean(s.Present)) {
      auto block = std::make_unique<schema::RezervacePoddeleniType>();
      block->cisloZPMZ = decimal(s.cisloZPMZ);
      block->druhCislovaniPar =
          enumeration<DruhCislovaniParType>(s.druhCislovaniPar, "rezervacePoddeleni.druhCislovaniPar");
      block->kmenoveCislo = decimal(s.kmenoveCislo);
      block->pocetRezPoddeleni = decimal(s.pocetRezPoddeleni);
      request->rezervacePoddeleni.set(std::move(block));
    }
    if (const auto& b = host.rezervacePBPP; boolean(b.Present)) {
      auto block = std::make_unique<schema::RezervacePBPP>();
      block->pocetRezPBPP = decimal(b.pocetRezPBPP);
      request->rezervacePBPP.set(std::move(block));
    }
    return request;
  });
}

VOKR_API void VOKR_STDCALL getVytvorRezervaciPrvku(char*, int32_t, TVytvorRezervaciPrvkuOut* out) {
  reservation.get(out, [&](const VytvorRezervaciPrvkuResponse& r) {
    // A block the answer does not carry keeps what the host put there.
    if (const auto* b = schema::presentValue(r.rezervParcely)) writeBlock(out->rezervParcely, *b);
    if (const auto* b = schema::presentValue(r.rezervPoddeleni)) writeBlock(out->rezervPoddeleni, *b);
    if (const auto* b = schema::presentValue(r.rezervBodyPBPP)) writeBlock(out->rezervBodyPBPP, *b);
  });
}

VOKR_API void VOKR_STDCALL getVytvorRezervaciPrvku_ListSizes(char*, int32_t, TVytvorRezervaciPrvkuSizes* counts) {
  reservation.counts(counts, [&](const VytvorRezervaciPrvkuResponse& r) {
    counts->MessageCount = listCount(r.vysledek.size());
    counts->kmenoveCislo = numbersCount(r.rezervParcely, &schema::RezervParcelyType::kmenoveCislo);
    counts->poddeleniCisla = numbersCount(r.rezervPoddeleni, &schema::RezervPoddeleniType::poddeleniCisla);
    counts->cisloPBPP = numbersCount(r.rezervBodyPBPP, &schema::RezervBodyPBPPType::cisloPBPP);
  });
}

VOKR_API void VOKR_STDCALL freeVytvorRezervaciPrvku(char*, int32_t) { reservation.release(); }

VOKR_API void VOKR_STDCALL loadZrusRezervaciPrvku(const TZrusRezervaciPrvkuIn* in, char* result, int32_t) {
  cancellation.load(Operation::zrusRezervaciPrvku, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::ZrusRezervaciPrvkuRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    if (boolean(host.rezervParcelyPresent))
      request->rezervParcely.set(readBlock(host.rezervParcely, "rezervParcely"));
    if (boolean(host.rezervPoddeleniPresent))
      request->rezervPoddeleni.set(readBlock(host.rezervPoddeleni, "rezervPoddeleni"));
    if (boolean(host.rezervBodyPBPPPresent)) request->rezervBodyPBPP.set(readBlock(host.rezervBodyPBPP));
    return request;
  });
}

VOKR_API void VOKR_STDCALL getZrusRezervaciPrvku(char*, int32_t, THostMessageBlock* out) { cancellation.get(out); }

VOKR_API void VOKR_STDCALL getZrusRezervaciPrvku_ListSizes(char*, int32_t, TMessageCounts* counts) {
  cancellation.messageCounts(counts);
}

VOKR_API void VOKR_STDCALL freeZrusRezervaciPrvku(char*, int32_t) { cancellation.release(); }
