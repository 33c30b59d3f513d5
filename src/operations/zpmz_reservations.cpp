// ZPMZ number reservations: reserve a number in a cadastral area, give one back.
#include "operations/host_values.h"
#include "plugin/export.h"
#include "plugin/family.h"

using namespace vokr;
using namespace vokr::operations;
using schema::Operation;

namespace {
plugin::Family<schema::VytvorRezervaciZPMZResponse> reservation;
plugin::Family<schema::ZrusRezervaciZPMZResponse> cancellation;
} // namespace

VOKR_API void VOKR_STDCALL loadVytvorRezervaciZPMZ(const TVytvorRezervaciZPMZIn* in, char* result, int32_t) {
  reservation.load(Operation::vytvorRezervaciZPMZ, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::VytvorRezervaciZPMZRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    request->katuzeKod = decimal(host.katuzeKod);
    return request;
  });
}

VOKR_API void VOKR_STDCALL getVytvorRezervaciZPMZ(char*, int32_t, TVytvorRezervaciZPMZOut* out) {
  reservation.get(out, [&](const schema::VytvorRezervaciZPMZResponse& r) {
    // A success without the number leaves the host's fields as they were.
    const schema::RezervCisloZPMZType* number = schema::presentValue(r.rezervCisloZPMZ);
    if (!number) return;
    writeDecimal(out->katuzeKod, number->katuzeKod);
    writeDecimal(out->cisloZPMZ, number->cisloZPMZ);
  });
}

VOKR_API void VOKR_STDCALL getVytvorRezervaciZPMZ_ListSizes(char*, int32_t, TMessageCounts* counts) {
  reservation.messageCounts(counts);
}

VOKR_API void VOKR_STDCALL freeVytvorRezervaciZPMZ(char*, int32_t) { reservation.release(); }

VOKR_API void VOKR_STDCALL loadZrusRezervaciZPMZ(const TZrusRezervaciZPMZIn* in, char* result, int32_t) {
  cancellation.load(Operation::zrusRezervaciZPMZ, result, [&] {
    const auto& host = input(in);
    auto request = std::make_unique<schema::ZrusRezervaciZPMZRequest>();
    request->idRizeniPM = decimal(host.idRizeniPM);
    request->rezervCisloZPMZ = std::make_unique<schema::RezervCisloZPMZType>();
    request->rezervCisloZPMZ->katuzeKod = decimal(host.katuzeKod);
    request->rezervCisloZPMZ->cisloZPMZ = decimal(host.cisloZPMZ);
    return request;
  });
}

VOKR_API void VOKR_STDCALL getZrusRezervaciZPMZ(char*, int32_t, THostMessageBlock* out) {
  cancellation.get(out);
}

VOKR_API void VOKR_STDCALL getZrusRezervaciZPMZ_ListSizes(char*, int32_t, TMessageCounts* counts) {
  cancellation.messageCounts(counts);
}

VOKR_API void VOKR_STDCALL freeZrusRezervaciZPMZ(char*, int32_t) { cancellation.release(); }
