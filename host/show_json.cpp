#include "show.h"

namespace host {

namespace {

template <size_t N> Json text(const char (&field)[N]) { return utf8(get(field)); }

template <class Entry> Json textsJson(THostPtr list) {
  Json a = Json::array();
  for (const std::string& t : texts<Entry>(list)) a.push(utf8(t));
  return a;
}

// An object of text members: name, host text; given several to a line.
Json textMembers(std::initializer_list<std::pair<const char*, std::string>> members) {
  Json o = Json::object();
  for (const auto& [name, value] : members) o.set(name, utf8(value));
  return o;
}

Json dateJson(THostDateTime days) { return days == 0.0 ? Json() : Json(dateTime(days)); }

Json stems(const TRezervParcelyRec& r) {
  return Json::object()
      .set("katuzeKod", text(r.katuzeKod))
      .set("cisloZPMZ", text(r.cisloZPMZ))
      .set("druhCislovaniPar", int32_t{r.druhCislovaniPar})
      .set("kmenoveCislo", textsJson<StemNumber>(r.kmenoveCislo));
}

Json subdivisions(const TRezervPoddeleniRec& r) {
  return Json::object()
      .set("katuzeKod", text(r.katuzeKod))
      .set("cisloZPMZ", text(r.cisloZPMZ))
      .set("druhCislovaniPar", int32_t{r.druhCislovaniPar})
      .set("kmenoveCislo", text(r.kmenoveCislo))
      .set("poddeleniCisla", textsJson<SubdivisionNumber>(r.poddeleniCisla));
}

Json points(const TRezervBodyPBPPRec& r) {
  return Json::object().set("katuzeKod", text(r.katuzeKod)).set("cisloPBPP", textsJson<PointNumber>(r.cisloPBPP));
}

template <class Rec, class Fn> Json each(THostPtr list, Fn fn) {
  Json a = Json::array();
  for (const Rec& r : entries<const Rec>(list)) a.push(fn(r));
  return a;
}

} // namespace

Json toJson(const TZalozRizeniPMOut& o) {
  return textMembers({{"idRizeni", get(o.idRizeni)}, {"cisloRizeni", get(o.cisloRizeni)},
                      {"praresKod", get(o.praresKod)}, {"rizeniTyp", get(o.rizeniTyp)},
                      {"poradoveCislo", get(o.poradoveCislo)}, {"rok", get(o.rok)}});
}

Json toJson(const TSeznamRizeniPMOut& o) {
  return each<TRizeniPMRec>(o.rizeniPMList, [](const TRizeniPMRec& r) {
    return textMembers({{"idRizeniPM", get(r.idRizeniPM)}, {"cisloRizeni", get(r.cisloRizeni)},
                        {"cisloZakazky", get(r.cisloZakazky)}});
  });
}

Json toJson(const TDetailRizeniPMOut& o) {
  return Json::object()
      .set("idRizeniPM", text(o.idRizeniPM))
      .set("cisloRizeni", text(o.cisloRizeni))
      .set("cisloZakazky", text(o.cisloZakazky))
      .set("katuzeKodList", textsJson<AreaCode>(o.katuzeKodList))
      .set("dotceneParcely", textsJson<ParcelId>(o.dotceneParcely))
      .set("rezervCislaZPMZList", each<TRezervCisloZPMZRec>(o.rezervCislaZPMZList,
                                                            [](const TRezervCisloZPMZRec& r) {
                                                              return Json::object()
                                                                  .set("katuzeKod", text(r.katuzeKod))
                                                                  .set("cisloZPMZ", text(r.cisloZPMZ));
                                                            }))
      .set("rezervParCislaList", each<TRezervParcelyRec>(o.rezervParCislaList, stems))
      .set("rezervPoddeleniList", each<TRezervPoddeleniRec>(o.rezervPoddeleniList, subdivisions))
      .set("rezervPBPPList", each<TRezervBodyPBPPRec>(o.rezervPBPPList, points));
}

Json toJson(const TVytvorRezervaciZPMZOut& o) {
  return Json::object().set("katuzeKod", text(o.katuzeKod)).set("cisloZPMZ", text(o.cisloZPMZ));
}

Json toJson(const TVytvorRezervaciPrvkuOut& o) {
  return Json::object()
      .set("rezervParcely", o.rezervParcely.katuzeKod[0] ? stems(o.rezervParcely) : Json())
      .set("rezervPoddeleni", o.rezervPoddeleni.katuzeKod[0] ? subdivisions(o.rezervPoddeleni) : Json())
      .set("rezervBodyPBPP", o.rezervBodyPBPP.katuzeKod[0] ? points(o.rezervBodyPBPP) : Json());
}

Json toJson(const TSeznamRizeniPGPOut& o) {
  return each<TRizeniPGPRec>(o.rizeniPGPList, [](const TRizeniPGPRec& p) {
    Json areas = Json::array();
    auto list = entries<const TKatuzeZPMZRec>(p.katuzeZPMZ);
    for (const TKatuzeZPMZRec& a : list.first(written(list.size(), p.KatuzeZPMZHigh))) {
      Json numbers = Json::array();
      auto all = texts<ZpmzNumber>(a.cislaZPMZ);
      all.resize(written(all.size(), a.CislaZPMZHigh));
      for (const std::string& n : all) numbers.push(utf8(n));
      areas.push(Json::object()
                     .set("katuzeKod", text(a.katuzeKod))
                     .set("katuzeNazev", text(a.katuzeNazev))
                     .set("cislaZPMZ", numbers));
    }
    return Json::object()
        .set("idRizeniPGP", text(p.idRizeniPGP))
        .set("cisloRizeni", text(p.cisloRizeni))
        .set("datumPrijetiZPG", dateJson(p.datumPrijetiZPG))
        .set("stavRizeni", text(p.stavRizeni))
        .set("cisloZPG", text(p.cisloZPG))
        .set("katuzeZPMZ", areas);
  });
}

Json toJson(const TExportVFStatusRec& r) {
  return textMembers({{"behId", get(r.behId)}, {"stavBehu", std::string(1, exportState(r.stavBehu))},
                      {"linkVF", get(r.linkVF)}, {"hashExportu", get(r.hashExportu)}});
}

Json toJson(const TSestavaRec& r) {
  return Json::object()
      .set("id", r.id)
      .set("nazev", text(r.nazev))
      .set("pocetStran", r.pocetStran)
      .set("datumPozadavku", dateJson(r.datumPozadavku))
      .set("datumSpusteni", dateJson(r.datumSpusteni))
      .set("datumVytvoreni", dateJson(r.datumVytvoreni))
      .set("stav", text(r.stav))
      .set("format", text(r.format));
}

// The found files and a fetched one share these members.
template <class File> Json fileJson(const File& f) {
  return textMembers({{"zpmzDokumentId", get(f.zpmzDokumentId)}, {"nazevSouboru", get(f.nazevSouboru)},
                      {"velikostSouboru", get(f.velikostSouboru)}});
}

Json toJson(const TSouborZPMZRec& f) { return fileJson(f); }
Json toJson(const TVratSouborZPMZOut& f) { return fileJson(f); }

Json toJson(const TZalozNavrhZPGOut& o) {
  return textMembers({{"idRizeni", get(o.idRizeni)}, {"cisloPodani", get(o.cisloPodani)},
                      {"createDate", get(o.createDate)}, {"praresKod", get(o.praresKod)},
                      {"rizeniTyp", get(o.rizeniTyp)}, {"poradoveCislo", get(o.poradoveCislo)},
                      {"rok", get(o.rok)}, {"noveRizeniId", get(o.noveRizeniId)}});
}

Json toJson(const TZalozNavrhZDPOut& o) {
  return textMembers({{"idRizeni", get(o.idRizeni)}, {"cisloPodani", get(o.cisloPodani)}});
}

} // namespace host
