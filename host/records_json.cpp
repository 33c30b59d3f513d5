#include "records_json.h"

#include "show.h"

namespace host {

namespace {

template <size_t N> Json text(const char (&field)[N]) { return utf8(get(field)); }

template <class Entry> Json textsJson(THostPtr list) {
  Json a = Json::array();
  for (const std::string& t : texts<Entry>(list)) a.push(utf8(t));
  return a;
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
  return Json::object()
      .set("idRizeni", text(o.idRizeni))
      .set("cisloRizeni", text(o.cisloRizeni))
      .set("praresKod", text(o.praresKod))
      .set("rizeniTyp", text(o.rizeniTyp))
      .set("poradoveCislo", text(o.poradoveCislo))
      .set("rok", text(o.rok));
}

Json toJson(const TSeznamRizeniPMOut& o) {
  return each<TRizeniPMRec>(o.rizeniPMList, [](const TRizeniPMRec& r) {
    return Json::object()
        .set("idRizeniPM", text(r.idRizeniPM))
        .set("cisloRizeni", text(r.cisloRizeni))
        .set("cisloZakazky", text(r.cisloZakazky));
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
  return Json::object()
      .set("behId", text(r.behId))
      .set("stavBehu", std::string(1, exportState(r.stavBehu)))
      .set("linkVF", text(r.linkVF))
      .set("hashExportu", text(r.hashExportu));
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

Json toJson(const TSouborZPMZRec& f) {
  return Json::object()
      .set("zpmzDokumentId", text(f.zpmzDokumentId))
      .set("nazevSouboru", text(f.nazevSouboru))
      .set("velikostSouboru", text(f.velikostSouboru));
}

Json toJson(const TZalozNavrhZPGOut& o) {
  return Json::object()
      .set("idRizeni", text(o.idRizeni))
      .set("cisloPodani", text(o.cisloPodani))
      .set("createDate", text(o.createDate))
      .set("praresKod", text(o.praresKod))
      .set("rizeniTyp", text(o.rizeniTyp))
      .set("poradoveCislo", text(o.poradoveCislo))
      .set("rok", text(o.rok))
      .set("noveRizeniId", text(o.noveRizeniId));
}

Json toJson(const TZalozNavrhZDPOut& o) {
  return Json::object().set("idRizeni", text(o.idRizeni)).set("cisloPodani", text(o.cisloPodani));
}

} // namespace host
