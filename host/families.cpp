#include "families.h"

namespace host {

namespace {

// The ignored character array of most families, and their result text: the plug-in writes
// "0" there when a call failed, which the host also sees as the code "1000" message.
char ignored[1];
struct ResultText {
  char text[2] = {};
};

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

void Families::attach(THostMessageBlock& block, int32_t count) {
  block.messages = memory_.list<THostMessageRec>(count);
}

Answer<TZalozRizeniPMOut> Families::zalozRizeniPM(const std::string& cisloZakazky,
                                                  const std::vector<std::string>& areas,
                                                  const std::vector<std::string>& parcels) {
  auto* in = memory_.make<TZalozRizeniPMIn>();
  put(in->cisloZakazky, cisloZakazky, "job number");
  in->katuzeKodList = textList<7>(areas, "cadastral area code");
  in->dotceneParcely = textList<31>(parcels, "parcel identifier");
  ResultText result;
  x_.loadZalozRizeniPM(in, result.text, 1);
  auto* counts = memory_.make<TMessageCounts>();
  x_.getZalozRizeniPM_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TZalozRizeniPMOut>();
  attach(out->zpravy, counts->MessageCount);
  x_.getZalozRizeniPM(ignored, 0, out);
  x_.freeZalozRizeniPM(ignored, 0);
  return {out, readMessages(out->zpravy)};
}

Answer<TSeznamRizeniPMOut> Families::seznamRizeniPM() {
  ResultText result;
  x_.loadSeznamRizeniPM(result.text, 1);
  auto* counts = memory_.make<TSeznamRizeniPMSizes>();
  x_.getSeznamRizeniPM_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TSeznamRizeniPMOut>();
  attach(out->zpravy, counts->MessageCount);
  out->rizeniPMList = memory_.list<TRizeniPMRec>(counts->rizeniPMList);
  x_.getSeznamRizeniPM(ignored, 0, out);
  x_.freeSeznamRizeniPM(ignored, 0);
  return {out, readMessages(out->zpravy)};
}

Answer<TDetailRizeniPMOut> Families::detailRizeniPM(const std::string& idRizeniPM, bool reservations) {
  auto* in = memory_.make<TDetailRizeniPMIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  in->rezervace = reservations;
  ResultText result;
  x_.loadDetailRizeniPM(in, result.text, 1);
  auto* counts = memory_.make<TDetailRizeniPMSizes>();
  x_.getDetailRizeniPM_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TDetailRizeniPMOut>();
  attach(out->zpravy, counts->MessageCount);
  out->katuzeKodList = memory_.list(counts->katuzeKodList, 7);
  out->dotceneParcely = memory_.list(counts->dotceneParcely, 31);
  out->rezervCislaZPMZList = memory_.list<TRezervCisloZPMZRec>(counts->rezervCislaZPMZList);
  out->rezervParCislaList = memory_.list<TRezervParcelyRec>(counts->rezervParCislaList);
  out->rezervPoddeleniList = memory_.list<TRezervPoddeleniRec>(counts->rezervPoddeleniList);
  out->rezervPBPPList = memory_.list<TRezervBodyPBPPRec>(counts->rezervPBPPList);
  // The nested number lists, sized entry by entry.
  int32_t i = 0;
  for (TRezervParcelyRec& e : entries<TRezervParcelyRec>(out->rezervParCislaList))
    e.kmenoveCislo = memory_.list(x_.getDetailRizeniPM_RezervParCislaListItemSize(ignored, 0, i++), 6);
  i = 0;
  for (TRezervPoddeleniRec& e : entries<TRezervPoddeleniRec>(out->rezervPoddeleniList))
    e.poddeleniCisla = memory_.list(x_.getDetailRizeniPM_RezervPoddeleniListItemSize(ignored, 0, i++), 4);
  i = 0;
  for (TRezervBodyPBPPRec& e : entries<TRezervBodyPBPPRec>(out->rezervPBPPList))
    e.cisloPBPP = memory_.list(x_.getDetailRizeniPM_RezervPBPPListItemSize(ignored, 0, i++), 4);
  x_.getDetailRizeniPM(ignored, 0, out);
  x_.freeDetailRizeniPM(ignored, 0);
  return {out, readMessages(out->zpravy)};
}

Answer<THostMessageBlock> Families::vlozParceluPM(const std::string& idRizeniPM,
                                                  const std::vector<std::string>& parcels) {
  auto* in = memory_.make<TVlozParceluPMIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  in->dotceneParcely = textList<31>(parcels, "parcel identifier");
  ResultText result;
  x_.loadVlozParceluPM(in, result.text, 1);
  auto* counts = memory_.make<TMessageCounts>();
  x_.getVlozParceluPM_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<THostMessageBlock>();
  attach(*out, counts->MessageCount);
  x_.getVlozParceluPM(ignored, 0, out);
  x_.freeVlozParceluPM(ignored, 0);
  return {out, readMessages(*out)};
}

Answer<TVytvorRezervaciZPMZOut> Families::vytvorRezervaciZPMZ(const std::string& idRizeniPM,
                                                              const std::string& katuzeKod) {
  auto* in = memory_.make<TVytvorRezervaciZPMZIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  ResultText result;
  x_.loadVytvorRezervaciZPMZ(in, result.text, 1);
  auto* counts = memory_.make<TMessageCounts>();
  x_.getVytvorRezervaciZPMZ_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TVytvorRezervaciZPMZOut>();
  attach(out->zpravy, counts->MessageCount);
  x_.getVytvorRezervaciZPMZ(ignored, 0, out);
  x_.freeVytvorRezervaciZPMZ(ignored, 0);
  return {out, readMessages(out->zpravy)};
}

Answer<THostMessageBlock> Families::zrusRezervaciZPMZ(const std::string& idRizeniPM,
                                                      const std::string& katuzeKod,
                                                      const std::string& cisloZPMZ) {
  auto* in = memory_.make<TZrusRezervaciZPMZIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  put(in->cisloZPMZ, cisloZPMZ, "ZPMZ number");
  ResultText result;
  x_.loadZrusRezervaciZPMZ(in, result.text, 1);
  auto* counts = memory_.make<TMessageCounts>();
  x_.getZrusRezervaciZPMZ_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<THostMessageBlock>();
  attach(*out, counts->MessageCount);
  x_.getZrusRezervaciZPMZ(ignored, 0, out);
  x_.freeZrusRezervaciZPMZ(ignored, 0);
  return {out, readMessages(*out)};
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
  ResultText result;
  x_.loadVytvorRezervaciPrvku(in, result.text, 1);
  auto* counts = memory_.make<TVytvorRezervaciPrvkuSizes>();
  x_.getVytvorRezervaciPrvku_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TVytvorRezervaciPrvkuOut>();
  attach(out->zpravy, counts->MessageCount);
  out->rezervParcely.kmenoveCislo = memory_.list(counts->kmenoveCislo, 6);
  out->rezervPoddeleni.poddeleniCisla = memory_.list(counts->poddeleniCisla, 4);
  out->rezervBodyPBPP.cisloPBPP = memory_.list(counts->cisloPBPP, 4);
  x_.getVytvorRezervaciPrvku(ignored, 0, out);
  x_.freeVytvorRezervaciPrvku(ignored, 0);
  return {out, readMessages(out->zpravy)};
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
  ResultText result;
  x_.loadZrusRezervaciPrvku(in, result.text, 1);
  auto* counts = memory_.make<TMessageCounts>();
  x_.getZrusRezervaciPrvku_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<THostMessageBlock>();
  attach(*out, counts->MessageCount);
  x_.getZrusRezervaciPrvku(ignored, 0, out);
  x_.freeZrusRezervaciPrvku(ignored, 0);
  return {out, readMessages(*out)};
}

Answer<TSeznamRizeniPGPOut> Families::seznamRizeniPGP() {
  ResultText result;
  x_.loadSeznamRizeniPGP(result.text, 1);
  auto* counts = memory_.make<TSeznamRizeniPGPSizes>();
  x_.getSeznamRizeniPGP_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TSeznamRizeniPGPOut>();
  attach(out->zpravy, counts->MessageCount);
  // Every proceeding gets an area list of the largest size, every area a number list likewise.
  out->rizeniPGPList = memory_.list<TRizeniPGPRec>(counts->rizeniPGPList);
  for (TRizeniPGPRec& p : entries<TRizeniPGPRec>(out->rizeniPGPList)) {
    p.katuzeZPMZ = memory_.list<TKatuzeZPMZRec>(counts->katuzeZPMZMax);
    for (TKatuzeZPMZRec& a : entries<TKatuzeZPMZRec>(p.katuzeZPMZ))
      a.cislaZPMZ = memory_.list(counts->cislaZPMZMax, 6);
  }
  x_.getSeznamRizeniPGP(ignored, 0, out);
  x_.freeSeznamRizeniPGP(ignored, 0);
  return {out, readMessages(out->zpravy)};
}

Answer<TExportVFOut> Families::exportVF(const TExportVFIn& in) {
  ResultText result;
  x_.loadExportVF(&in, result.text, 1);
  auto* counts = memory_.make<TMessageCounts>();
  x_.getExportVF_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TExportVFOut>();
  attach(out->zpravy, counts->MessageCount);
  x_.getExportVF(ignored, 0, out);
  x_.freeExportVF(ignored, 0);
  return {out, readMessages(out->zpravy)};
}

Answer<TExportVFStatusOut> Families::exportVFStatus(const std::string& behId) {
  auto* in = memory_.make<TExportVFStatusIn>();
  put(in->behId, behId, "export run id");
  ResultText result;
  x_.loadExportVFStatus(in, result.text, 1);
  auto* counts = memory_.make<TExportVFStatusSizes>();
  x_.getExportVFStatus_ListSizes(ignored, 0, counts);
  auto* out = memory_.make<TExportVFStatusOut>();
  attach(out->zpravy, counts->MessageCount);
  out->exportVFStatusList = memory_.list<TExportVFStatusRec>(counts->exportVFStatusList);
  x_.getExportVFStatus(ignored, 0, out);
  x_.freeExportVFStatus(ignored, 0);
  return {out, readMessages(out->zpravy)};
}

Answer<TSestavyOut> Families::generujSestavyPM(const std::string& idRizeniPM,
                                               const std::vector<std::string>& parcels,
                                               bool partial) {
  auto* in = memory_.make<TGenerujSestavyPMIn>();
  put(in->idRizeniPM, idRizeniPM, "proceeding id");
  in->seznamParcel = textList<31>(parcels, "parcel identifier");
  in->castecnyVypis = partial;
  x_.loadGenerujSestavyPM(in);
  auto* counts = memory_.make<TSestavySizes>();
  x_.getGenerujSestavyPM_ListSizes(counts);
  auto* out = memory_.make<TSestavyOut>();
  attach(out->zpravy, counts->MessageCount);
  out->reportList = memory_.list<TSestavaRec>(counts->reportList);
  x_.getGenerujSestavyPM(out);
  x_.freeGenerujSestavyPM();
  return {out, readMessages(out->zpravy)};
}

Answer<TSestavyOut> Families::seznamSestavLV() {
  x_.loadSeznamSestavLV();
  auto* counts = memory_.make<TSestavySizes>();
  x_.getSeznamSestavLV_ListSizes(counts);
  auto* out = memory_.make<TSestavyOut>();
  attach(out->zpravy, counts->MessageCount);
  out->reportList = memory_.list<TSestavaRec>(counts->reportList);
  x_.getSeznamSestavLV(out);
  x_.freeSeznamSestavLV();
  return {out, readMessages(out->zpravy)};
}

Answer<TSestavyOut> Families::vratSestavuLV(int64_t idSestavy, const std::string& savePath) {
  x_.loadVratSestavuLV(idSestavy);
  auto* counts = memory_.make<TSestavySizes>();
  x_.getVratSestavuLV_ListSizes(counts);
  auto* out = memory_.make<TSestavyOut>();
  attach(out->zpravy, counts->MessageCount);
  out->reportList = memory_.list<TSestavaRec>(counts->reportList);
  x_.getVratSestavuLV(idSestavy, out);
  if (!savePath.empty() && out->zpravy.success) {
    auto* path = static_cast<char(*)[1025]>(memory_.alloc(1025));
    put(*path, savePath, "report file path");
    x_.saveSestavuLV(idSestavy, *path);
  }
  x_.freeVratSestavuLV(idSestavy);
  return {out, readMessages(out->zpravy)};
}

Answer<THostMessageBlock> Families::smazSestavuLV(int64_t idSestavy) {
  x_.loadSmazSestavuLV(idSestavy);
  auto* counts = memory_.make<TSestavySizes>();
  x_.getSmazSestavuLV_ListSizes(counts);
  auto* out = memory_.make<THostMessageBlock>();
  attach(*out, counts->MessageCount);
  x_.getSmazSestavuLV(idSestavy, out);
  x_.freeSmazSestavuLV(idSestavy);
  return {out, readMessages(*out)};
}

Answer<TNajdiSouborZPMZOut> Families::najdiSouborZPMZ(const std::string& katuzeKod,
                                                      const std::string& cisloVysledku) {
  auto* in = memory_.make<TNajdiSouborZPMZIn>();
  put(in->katuzeKod, katuzeKod, "cadastral area code");
  put(in->cisloVysledkuZemCinnosti, cisloVysledku, "surveying result number");
  x_.loadNajdiSouborZPMZ(in);
  auto* counts = memory_.make<TNajdiSouborZPMZSizes>();
  x_.getNajdiSouborZPMZ_ListSizes(counts);
  auto* out = memory_.make<TNajdiSouborZPMZOut>();
  attach(out->zpravy, counts->MessageCount);
  out->souborZPMZList = memory_.list<TSouborZPMZRec>(counts->souborZPMZList);
  x_.getNajdiSouborZPMZ(out);
  x_.freeNajdiSouborZPMZ();
  return {out, readMessages(out->zpravy)};
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
  in->DocumentIds = textList<31>({zpmzDokumentId}, "document id");
  THostPtr results = memory_.list<TVratSouborZPMZOut>(1);
  auto* out = fromHost<TVratSouborZPMZOut>(results);
  attach(out->zpravy, kMessageRecords);
  x_.dwnldFilesZPMZ(in, &results, 1);
  Messages messages = readMessages(out->zpravy);
  // Only the records the plug-in wrote: the others still have an empty code and text.
  while (!messages.list.empty() && messages.list.back().kod.empty() && messages.list.back().text.empty())
    messages.list.pop_back();
  return {out, messages};
}

Answer<TZalozNavrhZPGOut> Families::zalozNavrhZPG(const TZalozNavrhZPGIn& in) {
  x_.loadZalozNavrhZPG(&in);
  auto* counts = memory_.make<TZalozNavrhCounts>();
  x_.getZalozNavrhZPG_ListSizes(counts);
  auto* out = memory_.make<TZalozNavrhZPGOut>();
  attach(out->zpravy, counts->MessageCount);
  x_.getZalozNavrhZPG(out);
  x_.freeZalozNavrhZPG();
  return {out, readMessages(out->zpravy)};
}

Answer<TZalozNavrhZDPOut> Families::zalozNavrhZDP(const TZalozNavrhZDPIn& in) {
  x_.loadZalozNavrhZDP(&in);
  auto* counts = memory_.make<TZalozNavrhCounts>();
  x_.getZalozNavrhZDP_ListSizes(counts);
  auto* out = memory_.make<TZalozNavrhZDPOut>();
  attach(out->zpravy, counts->MessageCount);
  x_.getZalozNavrhZDP(out);
  x_.freeZalozNavrhZDP();
  return {out, readMessages(out->zpravy)};
}

} // namespace host
