#include "families.h"

#include <type_traits>

namespace host {

namespace {

// The ignored character array of most families, and their result text: the plug-in writes
// "0" there when a call failed, which the host also sees as the code "1000" message.
char ignored[1];
char resultText[2];

// The message block of an output record: the record itself where it holds nothing else.
THostMessageBlock& block(THostMessageBlock& out) { return out; }
template <class Out> THostMessageBlock& block(Out& out) { return out.zpravy; }

// Calls a ListSizes, get or free export in its shape: the ignored text and its high first,
// the report id first, or the record alone.
template <class Fn, class... A> void call(Fn fn, int64_t id, A... a) {
  if constexpr (std::is_invocable_v<Fn, char*, int32_t, A...>)
    fn(ignored, 0, a...);
  else if constexpr (std::is_invocable_v<Fn, int64_t, A...>)
    fn(id, a...);
  else
    fn(a...);
}

template <class Sizes, class Get, class Free> struct Trio {
  Sizes sizes;
  Get get;
  Free free;
};
template <class Sizes, class Get, class Free> Trio<Sizes, Get, Free> trio(Sizes s, Get g, Free f) {
  return {s, g, f};
}
// The ListSizes, get and free exports of a family.
#define VOKR_HOST_TRIO(family) trio(x_.get##family##_ListSizes, x_.get##family, x_.free##family)

constexpr auto noLists = [](auto&, auto&) {};

} // namespace

Messages readMessages(const THostMessageBlock& block) {
  Messages m;
  m.success = block.success;
  m.information = block.information;
  m.warning = block.warning;
  m.error = block.error;
  m.callFailure = block.callFailure;
  for (const THostMessageRec& r : entries<const THostMessageRec>(block.messages))
    m.list.push_back({get(r.kod), r.uroven, get(r.text)});
  return m;
}

template <class Counts, class Out, class Load, class Exports3, class Prepare>
Answer<Out> Families::cycle(Load load, const Exports3& exports, Prepare prepare, int64_t id,
                            const std::function<void(Out&)>& held) {
  load();
  auto* counts = memory_.make<Counts>();
  call(exports.sizes, id, counts);
  auto* out = memory_.make<Out>();
  block(*out).messages = memory_.list<THostMessageRec>(counts->MessageCount);
  prepare(*out, *counts);
  call(exports.get, id, out);
  if (held) held(*out);
  call(exports.free, id);
  return {out, readMessages(block(*out))};
}

const char* Families::pathField(const std::string& path, std::string_view what) {
  auto* field = static_cast<char(*)[1025]>(memory_.alloc(1025));
  put(*field, path, what);
  return *field;
}

Answer<TZalozRizeniPMOut> Families::zalozRizeniPM(const std::string& cisloZakazky,
                                                  const std::vector<std::string>& areas,
                                                  const std::vector<std::string>& parcels) {
  auto* in = memory_.make<TZalozRizeniPMIn>();
  put(in->cisloZakazky, cisloZakazky, "job number");
  in->katuzeKodList = textList<AreaCode>(areas, "cadastral area code");
  in->dotceneParcely = textList<ParcelId>(parcels, "parcel identifier");
  return cycle<TMessageCounts, TZalozRizeniPMOut>([&] { x_.loadZalozRizeniPM(in, resultText, 1); },
                                                  VOKR_HOST_TRIO(ZalozRizeniPM), noLists);
}

Answer<TSeznamRizeniPMOut> Families::seznamRizeniPM() {
  return cycle<TSeznamRizeniPMSizes, TSeznamRizeniPMOut>(
      [&] { x_.loadSeznamRizeniPM(resultText, 1); }, VOKR_HOST_TRIO(SeznamRizeniPM),
      [&](TSeznamRizeniPMOut& out, const TSeznamRizeniPMSizes& n) {
        out.rizeniPMList = memory_.list<TRizeniPMRec>(n.rizeniPMList);
      });
}

Answer<TDetailRizeniPMOut> Families::detailRizeniPM(const std::string& idRizeniPM, bool reservations) {
  auto* in = memory_.make<TDetailRizeniPMIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  in->rezervace = reservations;
  return cycle<TDetailRizeniPMSizes, TDetailRizeniPMOut>(
      [&] { x_.loadDetailRizeniPM(in, resultText, 1); }, VOKR_HOST_TRIO(DetailRizeniPM),
      [&](TDetailRizeniPMOut& out, const TDetailRizeniPMSizes& n) {
        out.katuzeKodList = memory_.list<AreaCode>(n.katuzeKodList);
        out.dotceneParcely = memory_.list<ParcelId>(n.dotceneParcely);
        out.rezervCislaZPMZList = memory_.list<TRezervCisloZPMZRec>(n.rezervCislaZPMZList);
        out.rezervParCislaList = memory_.list<TRezervParcelyRec>(n.rezervParCislaList);
        out.rezervPoddeleniList = memory_.list<TRezervPoddeleniRec>(n.rezervPoddeleniList);
        out.rezervPBPPList = memory_.list<TRezervBodyPBPPRec>(n.rezervPBPPList);
        // The nested number lists, sized entry by entry.
        int32_t i = 0;
        for (TRezervParcelyRec& e : entries<TRezervParcelyRec>(out.rezervParCislaList))
          e.kmenoveCislo = memory_.list<StemNumber>(x_.getDetailRizeniPM_RezervParCislaListItemSize(ignored, 0, i++));
        i = 0;
        for (TRezervPoddeleniRec& e : entries<TRezervPoddeleniRec>(out.rezervPoddeleniList))
          e.poddeleniCisla =
              memory_.list<SubdivisionNumber>(x_.getDetailRizeniPM_RezervPoddeleniListItemSize(ignored, 0, i++));
        i = 0;
        for (TRezervBodyPBPPRec& e : entries<TRezervBodyPBPPRec>(out.rezervPBPPList))
          e.cisloPBPP = memory_.list<PointNumber>(x_.getDetailRizeniPM_RezervPBPPListItemSize(ignored, 0, i++));
      });
}

Answer<THostMessageBlock> Families::mylneRizeniPM(const std::string& idRizeniPM, const std::string& popis) {
  auto* in = memory_.make<TMylneRizeniPMIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  put(in->popis, popis, "reason");
  return cycle<TMessageCounts, THostMessageBlock>([&] { x_.loadMylneRizeniPM(in, resultText, 1); },
                                                  VOKR_HOST_TRIO(MylneRizeniPM), noLists);
}

Answer<THostMessageBlock> Families::vlozParceluPM(const std::string& idRizeniPM,
                                                  const std::vector<std::string>& parcels) {
  auto* in = memory_.make<TVlozParceluPMIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  in->dotceneParcely = textList<ParcelId>(parcels, "parcel identifier");
  return cycle<TMessageCounts, THostMessageBlock>([&] { x_.loadVlozParceluPM(in, resultText, 1); },
                                                  VOKR_HOST_TRIO(VlozParceluPM), noLists);
}

Answer<TVytvorRezervaciZPMZOut> Families::vytvorRezervaciZPMZ(const std::string& idRizeniPM,
                                                              const std::string& katuzeKod) {
  auto* in = memory_.make<TVytvorRezervaciZPMZIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  return cycle<TMessageCounts, TVytvorRezervaciZPMZOut>(
      [&] { x_.loadVytvorRezervaciZPMZ(in, resultText, 1); }, VOKR_HOST_TRIO(VytvorRezervaciZPMZ), noLists);
}

Answer<THostMessageBlock> Families::zrusRezervaciZPMZ(const std::string& idRizeniPM,
                                                      const std::string& katuzeKod,
                                                      const std::string& cisloZPMZ) {
  auto* in = memory_.make<TZrusRezervaciZPMZIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  put(in->cisloZPMZ, cisloZPMZ, "ZPMZ number");
  return cycle<TMessageCounts, THostMessageBlock>([&] { x_.loadZrusRezervaciZPMZ(in, resultText, 1); },
                                                  VOKR_HOST_TRIO(ZrusRezervaciZPMZ), noLists);
}

Answer<TVytvorRezervaciPrvkuOut> Families::vytvorRezervaciPrvku(const ElementOrder& order) {
  auto* in = memory_.make<TVytvorRezervaciPrvkuIn>();
  put(in->idRizeniPM, order.idRizeniPM, "proceeding id");
  put(in->katuzeKod, order.katuzeKod, "cadastral area code");
  if (order.stems > 0) {
    TRezervaceParcelIn& b = in->rezervaceParcela;
    put(b.cisloZPMZ, order.cisloZPMZ, "ZPMZ number");
    put(b.pocetRezParcel, std::to_string(order.stems), "count of stem numbers");
    b.Present = 1;
  }
  if (order.subdivisions > 0) {
    TRezervacePoddeleniIn& b = in->rezervacePoddeleni;
    put(b.cisloZPMZ, order.cisloZPMZ, "ZPMZ number");
    put(b.kmenoveCislo, order.subdividedStem, "stem number");
    put(b.pocetRezPoddeleni, std::to_string(order.subdivisions), "count of subdivision numbers");
    b.Present = 1;
  }
  if (order.points > 0) {
    put(in->rezervacePBPP.pocetRezPBPP, std::to_string(order.points), "count of survey points");
    in->rezervacePBPP.Present = 1;
  }
  return cycle<TVytvorRezervaciPrvkuSizes, TVytvorRezervaciPrvkuOut>(
      [&] { x_.loadVytvorRezervaciPrvku(in, resultText, 1); }, VOKR_HOST_TRIO(VytvorRezervaciPrvku),
      [&](TVytvorRezervaciPrvkuOut& out, const TVytvorRezervaciPrvkuSizes& n) {
        out.rezervParcely.kmenoveCislo = memory_.list<StemNumber>(n.kmenoveCislo);
        out.rezervPoddeleni.poddeleniCisla = memory_.list<SubdivisionNumber>(n.poddeleniCisla);
        out.rezervBodyPBPP.cisloPBPP = memory_.list<PointNumber>(n.cisloPBPP);
      });
}

Answer<THostMessageBlock> Families::zrusRezervaciPrvku(const ElementRelease& release) {
  auto* in = memory_.make<TZrusRezervaciPrvkuIn>();
  put(in->idRizeniPM, release.idRizeniPM, "proceeding id");
  if (release.stems) {
    in->rezervParcely = *release.stems;
    in->rezervParcelyPresent = 1;
  }
  if (release.subdivisions) {
    in->rezervPoddeleni = *release.subdivisions;
    in->rezervPoddeleniPresent = 1;
  }
  if (release.points) {
    in->rezervBodyPBPP = *release.points;
    in->rezervBodyPBPPPresent = 1;
  }
  return cycle<TMessageCounts, THostMessageBlock>([&] { x_.loadZrusRezervaciPrvku(in, resultText, 1); },
                                                  VOKR_HOST_TRIO(ZrusRezervaciPrvku), noLists);
}

Answer<TSeznamRizeniPGPOut> Families::seznamRizeniPGP() {
  return cycle<TSeznamRizeniPGPSizes, TSeznamRizeniPGPOut>(
      [&] { x_.loadSeznamRizeniPGP(resultText, 1); }, VOKR_HOST_TRIO(SeznamRizeniPGP),
      [&](TSeznamRizeniPGPOut& out, const TSeznamRizeniPGPSizes& n) {
        // Every proceeding gets an area list of the largest size, every area a number list likewise.
        out.rizeniPGPList = memory_.list<TRizeniPGPRec>(n.rizeniPGPList);
        for (TRizeniPGPRec& p : entries<TRizeniPGPRec>(out.rizeniPGPList)) {
          p.katuzeZPMZ = memory_.list<TKatuzeZPMZRec>(n.katuzeZPMZMax);
          for (TKatuzeZPMZRec& a : entries<TKatuzeZPMZRec>(p.katuzeZPMZ))
            a.cislaZPMZ = memory_.list<ZpmzNumber>(n.cislaZPMZMax);
        }
      });
}

Answer<TExportVFOut> Families::exportVF(const TExportVFIn& in) {
  return cycle<TMessageCounts, TExportVFOut>([&] { x_.loadExportVF(&in, resultText, 1); },
                                             VOKR_HOST_TRIO(ExportVF), noLists);
}

Answer<TExportVFStatusOut> Families::exportVFStatus(const std::string& behId) {
  auto* in = memory_.make<TExportVFStatusIn>();
  put(in->behId, behId, "export run id");
  return cycle<TExportVFStatusSizes, TExportVFStatusOut>(
      [&] { x_.loadExportVFStatus(in, resultText, 1); }, VOKR_HOST_TRIO(ExportVFStatus),
      [&](TExportVFStatusOut& out, const TExportVFStatusSizes& n) {
        out.exportVFStatusList = memory_.list<TExportVFStatusRec>(n.exportVFStatusList);
      });
}

namespace {
// The report lists of the report families.
auto reportList(HostMemory& memory) {
  return [&memory](TSestavyOut& out, const TSestavySizes& n) {
    out.reportList = memory.list<TSestavaRec>(n.reportList);
  };
}
} // namespace

Answer<TSestavyOut> Families::generujSestavyPM(const std::string& idRizeniPM,
                                               const std::vector<std::string>& parcels, bool partial) {
  auto* in = memory_.make<TGenerujSestavyPMIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  in->seznamParcel = textList<ParcelId>(parcels, "parcel identifier");
  in->castecnyVypis = partial;
  return cycle<TSestavySizes, TSestavyOut>([&] { x_.loadGenerujSestavyPM(in); },
                                           VOKR_HOST_TRIO(GenerujSestavyPM), reportList(memory_));
}

Answer<TSestavyOut> Families::seznamSestavLV() {
  return cycle<TSestavySizes, TSestavyOut>([&] { x_.loadSeznamSestavLV(); }, VOKR_HOST_TRIO(SeznamSestavLV),
                                           reportList(memory_));
}

Answer<TSestavyOut> Families::vratSestavuLV(int64_t idSestavy, const std::string& savePath) {
  const char* path = savePath.empty() ? nullptr : pathField(savePath, "report file path");
  return cycle<TSestavySizes, TSestavyOut>(
      [&] { x_.loadVratSestavuLV(idSestavy); }, VOKR_HOST_TRIO(VratSestavuLV), reportList(memory_), idSestavy,
      [&](TSestavyOut& out) {
        if (path && out.zpravy.success) x_.saveSestavuLV(idSestavy, path);
      });
}

Answer<THostMessageBlock> Families::smazSestavuLV(int64_t idSestavy) {
  return cycle<TSestavySizes, THostMessageBlock>([&] { x_.loadSmazSestavuLV(idSestavy); },
                                                 VOKR_HOST_TRIO(SmazSestavuLV), noLists, idSestavy);
}

Answer<TNajdiSouborZPMZOut> Families::najdiSouborZPMZ(const std::string& katuzeKod,
                                                      const std::string& cisloVysledku) {
  auto* in = memory_.make<TNajdiSouborZPMZIn>();
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  put(in->cisloVysledkuZemCinnosti, cisloVysledku, "surveying result number");
  return cycle<TNajdiSouborZPMZSizes, TNajdiSouborZPMZOut>(
      [&] { x_.loadNajdiSouborZPMZ(in); }, VOKR_HOST_TRIO(NajdiSouborZPMZ),
      [&](TNajdiSouborZPMZOut& out, const TNajdiSouborZPMZSizes& n) {
        out.souborZPMZList = memory_.list<TSouborZPMZRec>(n.souborZPMZList);
      });
}

Answer<TVratSouborZPMZOut> Families::vratSouborZPMZ(const std::string& katuzeKod, const std::string& cisloVysledku,
                                                    const std::string& zpmzDokumentId, const std::string& savePath) {
  auto* in = memory_.make<TVratSouborZPMZIn>();
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  put(in->cisloVysledkuZemCinnosti, cisloVysledku, "surveying result number");
  put(in->zpmzDokumentId, zpmzDokumentId, "document id");
  const char* path = savePath.empty() ? nullptr : pathField(savePath, "file path");
  return cycle<TMessageCounts, TVratSouborZPMZOut>(
      [&] { x_.loadVratSouborZPMZ(in); }, VOKR_HOST_TRIO(VratSouborZPMZ), noLists, 0,
      [&](TVratSouborZPMZOut& out) {
        if (path && out.zpravy.success) x_.saveSouborZPMZ(path);
      });
}

Answer<TVratSouborZPMZOut> Families::dwnldFileZPMZ(const std::string& katuzeKod,
                                                   const std::string& cisloVysledku,
                                                   const std::string& targetDir,
                                                   const std::string& zpmzDokumentId) {
  // The answer's message count is not known before the call; a few records are plenty.
  constexpr int32_t kMessageRecords = 8;
  auto* in = memory_.make<TDwnldFilesZPMZIn>();
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  put(in->cisloVysledkuZemCinnosti, cisloVysledku, "surveying result number");
  put(in->TargetDir, targetDir, "target directory");
  in->DocumentIds = textList<DocumentId>({zpmzDokumentId}, "document id");
  THostPtr results = memory_.list<TVratSouborZPMZOut>(1);
  auto* out = fromHost<TVratSouborZPMZOut>(results);
  out->zpravy.messages = memory_.list<THostMessageRec>(kMessageRecords);
  x_.dwnldFilesZPMZ(in, &results, 1);
  Messages messages = readMessages(out->zpravy);
  // Only the records the plug-in wrote: the others still have an empty code and text.
  while (!messages.list.empty() && messages.list.back().kod.empty() && messages.list.back().text.empty())
    messages.list.pop_back();
  return {out, messages};
}

Answer<TZalozNavrhZPGOut> Families::zalozNavrhZPG(const TZalozNavrhZPGIn& in) {
  return cycle<TZalozNavrhCounts, TZalozNavrhZPGOut>([&] { x_.loadZalozNavrhZPG(&in); },
                                                     VOKR_HOST_TRIO(ZalozNavrhZPG), noLists);
}

Answer<TZalozNavrhZDPOut> Families::zalozNavrhZDP(const TZalozNavrhZDPIn& in) {
  return cycle<TZalozNavrhCounts, TZalozNavrhZDPOut>([&] { x_.loadZalozNavrhZDP(&in); },
                                                     VOKR_HOST_TRIO(ZalozNavrhZDP), noLists);
}

#undef VOKR_HOST_TRIO

} // namespace host
