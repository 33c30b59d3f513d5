#include "show.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "system.h"

namespace host {

namespace {

const char* levelName(uint8_t uroven) {
  static const char* const names[] = {"INFORMACE", "VAROVANI", "CHYBA"};
  return uroven < 3 ? names[uroven] : "?";
}

// Multi-line message texts (CR LF inside) continue under their first line.
std::string indented(const std::string& text, size_t by) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out += c;
    if (c == '\n') out.append(by, ' ');
  }
  return out;
}

bool textOutput = true;

} // namespace

size_t written(size_t allocated, int32_t high) {
  return high < 0 ? 0 : std::min(allocated, static_cast<size_t>(high) + 1);
}

char exportState(uint8_t stavBehu) { return stavBehu < 5 ? "BCDPS"[stavBehu] : '?'; }

void setTextOutput(bool on) { textOutput = on; }

void say(const std::string& text) {
  if (textOutput) std::fputs(text.c_str(), stdout);
}

void line(const std::string& text) { say("    " + text + "\n"); }

void printMessages(const Messages& messages) {
  for (const Message& m : messages.list) {
    std::string head = "[" + m.kod + " " + levelName(m.uroven) + "] ";
    line(head + indented(m.text, 4 + head.size()));
  }
  if (messages.list.empty()) line("(no server messages)");
}

std::string dateTime(THostDateTime days) {
  if (days == 0.0) return "-";
  // Days since 1899-12-30 in local time: read as broken-down time, not converted again.
  double seconds = std::round((days - 25569.0) * 86400.0);
  time_t t = static_cast<time_t>(seconds);
  std::tm tm{};
  char text[32];
  if (!sys::utcCalendar(t, tm) || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm)) return "?";
  return text;
}

std::string joined(const std::vector<std::string>& items, const char* separator) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : separator) + item;
  return out.empty() ? "-" : out;
}

void printProceedings(const TSeznamRizeniPMOut& out) {
  auto list = entries<const TRizeniPMRec>(out.rizeniPMList);
  if (list.empty()) line("no proceedings");
  for (const TRizeniPMRec& r : list)
    line(get(r.idRizeniPM) + "  " + get(r.cisloRizeni) + "  job " + get(r.cisloZakazky));
}

void printDetail(const TDetailRizeniPMOut& out) {
  line("proceeding " + get(out.idRizeniPM) + ", " + get(out.cisloRizeni) + ", job " +
       get(out.cisloZakazky));
  line("cadastral areas: " + joined(texts<AreaCode>(out.katuzeKodList)));
  line("affected parcels: " + joined(texts<ParcelId>(out.dotceneParcely)));
  for (const TRezervCisloZPMZRec& r : entries<const TRezervCisloZPMZRec>(out.rezervCislaZPMZList))
    line("ZPMZ " + get(r.cisloZPMZ) + " in area " + get(r.katuzeKod));
  for (const TRezervParcelyRec& r : entries<const TRezervParcelyRec>(out.rezervParCislaList))
    line("stem numbers under ZPMZ " + get(r.cisloZPMZ) + " (area " + get(r.katuzeKod) +
         ", numbering " + std::to_string(r.druhCislovaniPar) + "): " + joined(texts<StemNumber>(r.kmenoveCislo)));
  for (const TRezervPoddeleniRec& r : entries<const TRezervPoddeleniRec>(out.rezervPoddeleniList))
    line("subdivisions of " + get(r.kmenoveCislo) + " under ZPMZ " + get(r.cisloZPMZ) + " (area " +
         get(r.katuzeKod) + "): " + joined(texts<SubdivisionNumber>(r.poddeleniCisla)));
  for (const TRezervBodyPBPPRec& r : entries<const TRezervBodyPBPPRec>(out.rezervPBPPList))
    line("survey points in area " + get(r.katuzeKod) + ": " + joined(texts<PointNumber>(r.cisloPBPP)));
}

void printElementReservations(const TVytvorRezervaciPrvkuOut& out) {
  const TRezervParcelyRec& p = out.rezervParcely;
  if (p.katuzeKod[0])
    line("stem numbers under ZPMZ " + get(p.cisloZPMZ) + ": " + joined(texts<StemNumber>(p.kmenoveCislo)));
  const TRezervPoddeleniRec& s = out.rezervPoddeleni;
  if (s.katuzeKod[0])
    line("subdivisions of " + get(s.kmenoveCislo) + ": " + joined(texts<SubdivisionNumber>(s.poddeleniCisla)));
  const TRezervBodyPBPPRec& b = out.rezervBodyPBPP;
  if (b.katuzeKod[0]) line("survey points: " + joined(texts<PointNumber>(b.cisloPBPP)));
}

void printPgpProceedings(const TSeznamRizeniPGPOut& out) {
  auto list = entries<const TRizeniPGPRec>(out.rizeniPGPList);
  if (list.empty()) line("no plan-confirmation proceedings");
  for (const TRizeniPGPRec& p : list) {
    line(get(p.idRizeniPGP) + "  " + get(p.cisloRizeni) + "  " + get(p.cisloZPG) + "  " +
         get(p.stavRizeni) + "  received " + dateTime(p.datumPrijetiZPG));
    // The High fields say how many entries the plug-in wrote (highest index).
    auto areas = entries<const TKatuzeZPMZRec>(p.katuzeZPMZ);
    for (const TKatuzeZPMZRec& a : areas.first(written(areas.size(), p.KatuzeZPMZHigh))) {
      auto numbers = texts<ZpmzNumber>(a.cislaZPMZ);
      numbers.resize(written(numbers.size(), a.CislaZPMZHigh));
      line("    area " + get(a.katuzeKod) + " " + get(a.katuzeNazev) + ": ZPMZ " + joined(numbers));
    }
  }
}

void printReport(const TSestavaRec& r) {
  line("report " + std::to_string(r.id) + " [" + get(r.stav) + ", " + get(r.format) + ", " +
       std::to_string(r.pocetStran) + " pages] " + get(r.nazev));
  line("    requested " + dateTime(r.datumPozadavku) + ", started " + dateTime(r.datumSpusteni) +
       ", made " + dateTime(r.datumVytvoreni));
}

void printZpmzFile(const TSouborZPMZRec& f) {
  line(get(f.zpmzDokumentId) + "  " + get(f.nazevSouboru) + "  (" + get(f.velikostSouboru) + " bytes)");
}

} // namespace host
