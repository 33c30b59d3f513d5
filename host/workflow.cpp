// A whole surveyor session: a proceeding opened, numbers reserved, the detail read, data
// exported, reports and ZPMZ files fetched, signed proposals submitted, the plan-confirmation
// proceedings listed and the reservations given back.
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "commands.h"
#include "errors.h"
#include "settings.h"
#include "show.h"

namespace host {

namespace {

constexpr const char* kExportStates = "BCDPS";  // the ordinal bytes of an export run's state

std::string absolute(const std::string& path) {
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) throw UsageError("--attachment: no such file " + path);
  return resolved;
}

std::string today() {
  time_t now = time(nullptr);
  struct tm tm;
  char text[16];
  localtime_r(&now, &tm);
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return text;
}

class Workflow {
public:
  explicit Workflow(Context& c) : o_(c.options), f_(c.families), memory_(c.families.memory()) {
    if (o_.key.empty()) throw UsageError("the workflow signs proposals: give --key PEM");
    if (access(o_.key.c_str(), R_OK) != 0) throw UsageError("--key: cannot read " + o_.key);
    parcels_ = o_.parcels.empty() ? std::vector<std::string>{"3079440601", "3079441601"} : o_.parcels;
    makeDirectory(o_.outDir);
    attachment_ = o_.attachment.empty() ? writeAttachment() : absolute(o_.attachment);
  }

  int run();

private:
  struct Step {
    const char* title;
    bool (Workflow::*run)();
    bool cleanup;  // runs also after a failed step: gives back what was reserved
  };

  bool openProceeding();
  bool listProceedings();
  bool addParcels();
  bool reserveZpmz();
  bool reserveElements();
  bool readDetail();
  bool orderExport();
  bool pollExport();
  bool generateReport();
  bool waitForReport();
  bool fetchReport();
  bool deleteReport();
  bool findZpmz();
  bool downloadZpmz();
  bool submitZpg();
  bool submitZdp();
  bool listPgp();
  bool releaseElements();
  bool releaseZpmz();

  std::string writeAttachment();
  THostPtr document();
  void pause() const {
    std::this_thread::sleep_for(std::chrono::duration<double>(o_.pollInterval));
  }

  const Options& o_;
  Families& f_;
  HostMemory& memory_;
  std::vector<std::string> parcels_;
  std::string attachment_;

  // What the steps learn, for the steps after them.
  TZalozRizeniPMOut proceeding_{};
  std::string zpmz_;
  TVytvorRezervaciPrvkuOut* elements_ = nullptr;
  std::string behId_;
  int64_t reportId_ = 0;
  std::string reportFormat_ = "pdf";
  TNajdiSouborZPMZOut* zpmzFiles_ = nullptr;
  TZalozNavrhZPGOut* zpg_ = nullptr;
};

int Workflow::run() {
  static const Step steps[] = {
      {"Open a survey proceeding (zalozRizeniPM)", &Workflow::openProceeding, false},
      {"List the surveyor's proceedings (seznamRizeniPM)", &Workflow::listProceedings, false},
      {"Add affected parcels (vlozParcelu)", &Workflow::addParcels, false},
      {"Reserve a ZPMZ number (vytvorRezervaciZPMZ)", &Workflow::reserveZpmz, false},
      {"Reserve parcel, subdivision and survey-point numbers (vytvorRezervaciPrvku)",
       &Workflow::reserveElements, false},
      {"Read the proceeding detail (detailRizeniPM)", &Workflow::readDetail, false},
      {"Order an exchange-format export (exportVF)", &Workflow::orderExport, false},
      {"Poll the export to its end (exportVFStatus)", &Workflow::pollExport, false},
      {"Generate ownership-sheet reports (generujLVProParcelyPM)", &Workflow::generateReport, false},
      {"Wait for the report (seznamSestav)", &Workflow::waitForReport, false},
      {"Fetch and save the report (vratSestavu)", &Workflow::fetchReport, false},
      {"Delete the report (smazSestavu)", &Workflow::deleteReport, false},
      {"Find the ZPMZ files of a surveying result (najdiSouborZPMZ)", &Workflow::findZpmz, false},
      {"Download the ZPMZ files (dwnldFilesZPMZ)", &Workflow::downloadZpmz, false},
      {"Submit a signed ZPG proposal (zalozNavrhZPG)", &Workflow::submitZpg, false},
      {"Submit a signed ZDP proposal (zalozNavrhZDP)", &Workflow::submitZdp, false},
      {"List plan-confirmation proceedings (seznamRizeniPGP)", &Workflow::listPgp, false},
      {"Give the element numbers back (zrusRezervaciPrvku)", &Workflow::releaseElements, true},
      {"Give the ZPMZ number back (zrusRezervaciZPMZ)", &Workflow::releaseZpmz, true},
  };
  const size_t total = std::size(steps);
  size_t firstFailed = 0, unsuccessful = 0;
  for (size_t i = 0; i < total; ++i) {
    const Step& s = steps[i];
    if (firstFailed && !s.cleanup) {
      ++unsuccessful;
      continue;
    }
    std::printf("\n[%zu/%zu] %s\n", i + 1, total, s.title);
    bool ok = (this->*s.run)();
    std::printf("    %s\n", ok ? "ok" : "FAILED");
    std::fflush(stdout);
    if (!ok) {
      ++unsuccessful;
      if (!firstFailed) firstFailed = i + 1;
    }
  }
  if (!firstFailed) {
    std::printf("\nworkflow: all %zu steps succeeded\n", total);
    return 0;
  }
  std::printf("\nworkflow: %zu of %zu steps did not succeed; the first to fail was step %zu, %s\n",
              unsuccessful, total, firstFailed, steps[firstFailed - 1].title);
  return 1;
}

bool Workflow::openProceeding() {
  auto a = f_.zalozRizeniPM(o_.job, {o_.area}, {parcels_.front()});
  printMessages(a.messages);
  if (!a.ok()) return false;
  proceeding_ = *a.out;
  line("proceeding " + get(proceeding_.idRizeni) + ", " + get(proceeding_.cisloRizeni) + " (" +
       get(proceeding_.rizeniTyp) + " " + get(proceeding_.poradoveCislo) + "/" + get(proceeding_.rok) +
       ", office " + get(proceeding_.praresKod) + ")");
  return true;
}

bool Workflow::listProceedings() {
  auto a = f_.seznamRizeniPM();
  printMessages(a.messages);
  if (a.ok()) printProceedings(*a.out);
  return a.ok();
}

bool Workflow::addParcels() {
  std::vector<std::string> more(parcels_.begin() + 1, parcels_.end());
  if (more.empty()) {
    line("only one parcel given: nothing to add");
    return true;
  }
  auto a = f_.vlozParceluPM(get(proceeding_.idRizeni), more);
  printMessages(a.messages);
  if (a.ok()) line("added " + joined(more));
  return a.ok();
}

bool Workflow::reserveZpmz() {
  auto a = f_.vytvorRezervaciZPMZ(get(proceeding_.idRizeni), o_.area);
  printMessages(a.messages);
  if (!a.ok()) return false;
  zpmz_ = get(a.out->cisloZPMZ);
  line("ZPMZ number " + zpmz_ + " in area " + get(a.out->katuzeKod));
  return true;
}

bool Workflow::reserveElements() {
  ElementOrder order{get(proceeding_.idRizeni), o_.area, zpmz_, 2, o_.stem, 2, 3};
  auto a = f_.vytvorRezervaciPrvku(order);
  printMessages(a.messages);
  if (!a.ok()) return false;
  elements_ = a.out;
  printElementReservations(*a.out);
  return true;
}

bool Workflow::readDetail() {
  auto a = f_.detailRizeniPM(get(proceeding_.idRizeni), true);
  printMessages(a.messages);
  if (a.ok()) printDetail(*a.out);
  return a.ok();
}

bool Workflow::orderExport() {
  // A closed square ring in S-JTSK: the first position repeated as the last.
  static const char* const ring[][2] = {{"-740100.00", "-1040100.00"}, {"-740000.00", "-1040100.00"},
                                        {"-740000.00", "-1040000.00"}, {"-740100.00", "-1040000.00"},
                                        {"-740100.00", "-1040100.00"}};
  auto* in = memory_.make<TExportVFIn>();
  put(in->idRizeni, get(proceeding_.idRizeni), "proceeding id");
  put(in->charset, "CP1250", "charset");
  put(in->PolygonId, "vokr-export-1", "polygon id");
  put(in->srsName, "urn:ogc:def:crs:EPSG::5514", "srsName");
  put(in->srsDimension, "2", "srsDimension");
  in->Exterior = memory_.list<TPosRec>(std::size(ring));
  TPosRec* pos = fromHost<TPosRec>(in->Exterior);
  for (const auto& p : ring) {
    put(pos->Coord1, p[0], "coordinate");
    put(pos->Coord2, p[1], "coordinate");
    ++pos;
  }
  in->skNemo = in->skVlst = in->skPkmp = 1;
  auto a = f_.exportVF(*in);
  printMessages(a.messages);
  if (!a.ok()) return false;
  behId_ = get(a.out->behId);
  line("export run " + behId_);
  return true;
}

bool Workflow::pollExport() {
  for (int32_t poll = 1; poll <= o_.pollLimit; ++poll) {
    auto a = f_.exportVFStatus(behId_);
    auto runs = entries<const TExportVFStatusRec>(a.out->exportVFStatusList);
    if (!a.ok() || runs.empty()) {
      printMessages(a.messages);
      return false;
    }
    const TExportVFStatusRec& run = runs.front();
    char state = run.stavBehu < 5 ? kExportStates[run.stavBehu] : '?';
    line("poll " + std::to_string(poll) + ": run " + get(run.behId) + " in state " + state);
    if (state == 'D') {
      line("link " + get(run.linkVF));
      line("hash " + get(run.hashExportu));
      return true;
    }
    if (state != 'B' && state != 'C') return false;  // ended without data
    pause();
  }
  line("still not done after " + std::to_string(o_.pollLimit) + " polls");
  return false;
}

bool Workflow::generateReport() {
  auto a = f_.generujSestavyPM(get(proceeding_.idRizeni), parcels_, false);
  printMessages(a.messages);
  auto reports = entries<const TSestavaRec>(a.out->reportList);
  if (!a.ok()) return false;
  if (reports.empty()) {
    line("the answer names no report");
    return false;
  }
  for (const TSestavaRec& r : reports) printReport(r);
  reportId_ = reports.front().id;
  return true;
}

bool Workflow::waitForReport() {
  const std::string waiting[] = {local("čeká"), local("vytváří se"), local("podepisuje se")};
  const std::string done = local("zpracován");
  for (int32_t poll = 1; poll <= o_.pollLimit; ++poll) {
    auto a = f_.seznamSestavLV();
    if (!a.ok()) {
      printMessages(a.messages);
      return false;
    }
    const TSestavaRec* report = nullptr;
    for (const TSestavaRec& r : entries<const TSestavaRec>(a.out->reportList))
      if (r.id == reportId_) report = &r;
    if (!report) {
      line("report " + std::to_string(reportId_) + " is not listed");
      return false;
    }
    std::string stav = get(report->stav);
    line("poll " + std::to_string(poll) + ": report " + std::to_string(reportId_) + " " + stav);
    if (stav == done) {
      reportFormat_ = get(report->format);
      printReport(*report);
      return true;
    }
    if (std::find(std::begin(waiting), std::end(waiting), stav) == std::end(waiting)) return false;
    pause();
  }
  line("still not made after " + std::to_string(o_.pollLimit) + " polls");
  return false;
}

bool Workflow::fetchReport() {
  std::string path = o_.outDir + "/sestava-" + std::to_string(reportId_) + "." + reportFormat_;
  FileSnapshot before = snapshot(path);
  auto a = f_.vratSestavuLV(reportId_, path);
  printMessages(a.messages);
  if (!a.ok()) return false;
  for (const TSestavaRec& r : entries<const TSestavaRec>(a.out->reportList)) printReport(r);
  FileSnapshot now = snapshot(path);
  if (!savedSince(before, now)) {
    line("the report was not saved to " + path);
    return false;
  }
  line("saved " + path + " (" + std::to_string(now.size) + " bytes)");
  return true;
}

bool Workflow::deleteReport() {
  auto a = f_.smazSestavuLV(reportId_);
  printMessages(a.messages);
  if (a.ok()) line("report " + std::to_string(reportId_) + " deleted");
  return a.ok();
}

bool Workflow::findZpmz() {
  auto a = findZpmzFiles(f_, o_.area, o_.result);
  zpmzFiles_ = a.out;
  return a.ok();
}

bool Workflow::downloadZpmz() {
  std::string dir = o_.outDir + "/zpmz-" + o_.area + "-" + o_.result;
  makeDirectory(dir);
  return downloadZpmzFiles(f_, o_.area, o_.result, dir, *zpmzFiles_);
}

std::string Workflow::writeAttachment() {
  std::string path = o_.outDir + "/geometricky-plan.txt";
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << "Geometrický plán pro rozdělení pozemku\r\n"
       << "zakázka " << o_.job << ", k.ú. " << o_.area << "\r\n";
  if (!file.flush()) throw HostError("cannot write the attachment " + path);
  return absolute(path);
}

// A document list of one entry with the attachment file; its area and ZPMZ number name the
// plan's survey records.
THostPtr Workflow::document() {
  THostPtr list = memory_.list<TListinaRec>(1);
  TListinaRec& d = *fromHost<TListinaRec>(list);
  put(d.typKod, "GP", "document type");
  put(d.datumVyhotoveni, today(), "date of issue");
  put(d.textCislaJednaciho, o_.job, "reference number");
  put(d.stran, "1", "pages");
  put(d.popis, local("Geometrický plán"), "document description");
  put(d.idPrilohy, "1", "attachment id");
  put(d.souborPrilohy, attachment_, "--attachment (full path)");
  put(d.katuzeKod, o_.area, "cadastral area code");
  put(d.cisloZPMZ, zpmz_, "ZPMZ number");
  return list;
}

void printProposalAnswer(const Messages& m, const std::string& idRizeni, const std::string& cisloPodani) {
  printMessages(m);
  if (m.success) line("proceeding " + idRizeni + ", filing " + cisloPodani);
}

bool Workflow::submitZpg() {
  auto* in = memory_.make<TZalozNavrhZPGIn>();
  put(in->typ, "ZPG", "proposal type");
  put(in->extIdentifikace, o_.job, "external identification");
  put(in->pracovisteKod, get(proceeding_.praresKod), "office code");
  in->katastralniUzemi = memory_.list<TKatastralniUzemiRec>(1);
  put(fromHost<TKatastralniUzemiRec>(in->katastralniUzemi)->kod, o_.area, "cadastral area code");
  in->poznamky = f_.textList<Note>({local("Rozdělení pozemku pro stavbu rodinného domu.")}, "note");
  in->parcely = f_.textList<ParcelId>(parcels_, "parcel identifier");

  in->ucastnici = memory_.list<TUcastnikRec>(1);
  TUcastnikRec& u = *fromHost<TUcastnikRec>(in->ucastnici);
  put(u.ucastnikDruh, "N", "participant kind");
  put(u.ucastnikTyp, "FO", "participant type");
  put(u.id, "1", "participant id");
  put(u.jmeno, local("Jan"), "first name");
  put(u.prijmeni, local("Novák"), "surname");
  put(u.datumNarozeni, "1970-05-14", "date of birth");
  put(u.idDS, "abc123x", "data box");
  u.adresy = memory_.list<TAdresaRec>(1);
  TAdresaRec& adresa = *fromHost<TAdresaRec>(u.adresy);
  put(adresa.adresaTyp, "T", "address type");
  put(adresa.obecNazev, local("Horní Lhota"), "municipality");
  put(adresa.ulice, local("Polní"), "street");
  put(adresa.cisloDomovni, "12", "house number");
  put(adresa.psc, "60200", "post code");

  in->listiny = document();
  in->zaverPritomen = 1;
  put(in->rizeniId, get(proceeding_.idRizeni), "proceeding id");
  in->zpusobUhrady = 4;  // transfer from an account
  in->zmocneniUhrada = 1;
  in->zpusobPrevzeti = 1;  // data box
  in->zmocneniPrevzeti = 1;
  fillSigningBlock(in->signingBlock, o_);

  auto a = f_.zalozNavrhZPG(*in);
  printProposalAnswer(a.messages, get(a.out->idRizeni), get(a.out->cisloPodani));
  if (!a.ok()) return false;
  zpg_ = a.out;
  line(get(zpg_->rizeniTyp) + " " + get(zpg_->poradoveCislo) + "/" + get(zpg_->rok) + ", office " +
       get(zpg_->praresKod) + ", created " + get(zpg_->createDate));
  return true;
}

bool Workflow::submitZdp() {
  auto* in = memory_.make<TZalozNavrhZDPIn>();
  put(in->typ, "ZDP", "proposal type");
  put(in->extIdentifikace, o_.job, "external identification");
  in->poznamky = f_.textList<Note>({local("Doplnění listin k návrhu na potvrzení plánu.")}, "note");
  put(in->rizeniTyp, get(zpg_->rizeniTyp), "proceeding type");
  put(in->poradoveCislo, get(zpg_->poradoveCislo), "proceeding number");
  put(in->rok, get(zpg_->rok), "proceeding year");
  put(in->praresKod, get(zpg_->praresKod), "office code");
  in->listiny = document();
  fillSigningBlock(in->signingBlock, o_);

  auto a = f_.zalozNavrhZDP(*in);
  printProposalAnswer(a.messages, get(a.out->idRizeni), get(a.out->cisloPodani));
  return a.ok();
}

bool Workflow::listPgp() {
  auto a = f_.seznamRizeniPGP();
  printMessages(a.messages);
  if (a.ok()) printPgpProceedings(*a.out);
  return a.ok();
}

bool Workflow::releaseElements() {
  if (!elements_) {
    line("nothing reserved");
    return true;
  }
  // Blocks the reservation did not return keep an empty area code.
  ElementRelease release{get(proceeding_.idRizeni)};
  if (elements_->rezervParcely.katuzeKod[0]) release.stems = &elements_->rezervParcely;
  if (elements_->rezervPoddeleni.katuzeKod[0]) release.subdivisions = &elements_->rezervPoddeleni;
  if (elements_->rezervBodyPBPP.katuzeKod[0]) release.points = &elements_->rezervBodyPBPP;
  auto a = f_.zrusRezervaciPrvku(release);
  printMessages(a.messages);
  if (!a.ok()) return false;
  printElementReservations(*elements_);
  line("given back");
  return true;
}

bool Workflow::releaseZpmz() {
  if (zpmz_.empty()) {
    line("nothing reserved");
    return true;
  }
  auto a = f_.zrusRezervaciZPMZ(get(proceeding_.idRizeni), o_.area, zpmz_);
  printMessages(a.messages);
  if (a.ok()) line("ZPMZ number " + zpmz_ + " given back");
  return a.ok();
}

} // namespace

int runWorkflow(Context& c) { return Workflow(c).run(); }

} // namespace host
