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

#include "commands.h"
#include "errors.h"
#include "interrupt.h"
#include "proposals.h"
#include "settings.h"
#include "show.h"
#include "signing_key.h"

namespace host {

namespace {

class Workflow {
public:
  // Everything that can be checked locally is, before step 1 opens a proceeding for real.
  explicit Workflow(Context& c) : c_(c), o_(c.options), out_(c.out), f_(c.families), memory_(c.families.memory()) {
    if (o_.key.empty()) throw UsageError("the workflow signs proposals: give --key PEM");
    checkSigningKey(o_.key, keyPassword(o_));
    parcels_ = o_.parcels.empty() ? std::vector<std::string>{"3079440601", "3079441601"} : o_.parcels;
    makeDirectories(o_.outDir);
    attachment_ = o_.attachment.empty() ? writeAttachment() : attachmentPath(o_.attachment);
  }

  void run();

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
  ProposalData proposal() const;
  void pause() const { pauseBetweenPolls(o_); }

  Context& c_;
  const Options& o_;
  Output& out_;
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

void Workflow::run() {
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
  Json results = Json::array();
  for (size_t i = 0; i < total; ++i) {
    const Step& s = steps[i];
    if (firstFailed && !s.cleanup) {
      ++unsuccessful;
      continue;
    }
    say("\n[" + std::to_string(i + 1) + "/" + std::to_string(total) + "] " + s.title + "\n");
    bool ok = (this->*s.run)();
    line(ok ? "ok" : "FAILED");
    std::fflush(stdout);
    results.push(Json::object().set("step", static_cast<int32_t>(i + 1)).set("title", s.title).set("ok", ok));
    if (!ok) {
      ++unsuccessful;
      if (!firstFailed) firstFailed = i + 1;
    }
  }
  out_.result(Json::object().set("steps", results));
  if (!firstFailed) {
    say("\nworkflow: all " + std::to_string(total) + " steps succeeded\n");
    return;
  }
  std::string summary = std::to_string(unsuccessful) + " of " + std::to_string(total) +
                        " steps did not succeed; the first to fail was step " + std::to_string(firstFailed) +
                        ", " + steps[firstFailed - 1].title;
  say("\nworkflow: " + summary + "\n");
  out_.fail("workflow: " + summary, Exit::failure);  // the failed call's cause stays the exit status
}

bool Workflow::openProceeding() {
  auto a = f_.zalozRizeniPM(o_.job, {o_.area}, {parcels_.front()});
  if (!out_.call("zalozRizeniPM", a.messages)) return false;
  proceeding_ = *a.out;
  line("proceeding " + get(proceeding_.idRizeni) + ", " + get(proceeding_.cisloRizeni) + " (" +
       get(proceeding_.rizeniTyp) + " " + get(proceeding_.poradoveCislo) + "/" + get(proceeding_.rok) +
       ", office " + get(proceeding_.praresKod) + ")");
  return true;
}

bool Workflow::listProceedings() {
  auto a = f_.seznamRizeniPM();
  if (!out_.call("seznamRizeniPM", a.messages)) return false;
  printProceedings(*a.out);
  return true;
}

bool Workflow::addParcels() {
  std::vector<std::string> more(parcels_.begin() + 1, parcels_.end());
  if (more.empty()) {
    line("only one parcel given: nothing to add");
    return true;
  }
  auto a = f_.vlozParceluPM(get(proceeding_.idRizeni), more);
  if (!out_.call("vlozParcelu", a.messages)) return false;
  line("added " + joined(more));
  return true;
}

bool Workflow::reserveZpmz() {
  auto a = f_.vytvorRezervaciZPMZ(get(proceeding_.idRizeni), o_.area);
  if (!out_.call("vytvorRezervaciZPMZ", a.messages)) return false;
  zpmz_ = get(a.out->cisloZPMZ);
  line("ZPMZ number " + zpmz_ + " in area " + get(a.out->katuzeKod));
  return true;
}

bool Workflow::reserveElements() {
  ElementOrder order{get(proceeding_.idRizeni), o_.area, zpmz_, 2, o_.stem, 2, 3};
  auto a = f_.vytvorRezervaciPrvku(order);
  if (!out_.call("vytvorRezervaciPrvku", a.messages)) return false;
  elements_ = a.out;
  printElementReservations(*a.out);
  return true;
}

bool Workflow::readDetail() {
  auto a = f_.detailRizeniPM(get(proceeding_.idRizeni), true);
  if (!out_.call("detailRizeniPM", a.messages)) return false;
  printDetail(*a.out);
  return true;
}

bool Workflow::orderExport() {
  // A closed square ring in S-JTSK: the first position repeated as the last.
  auto& in = exportOrder(memory_, get(proceeding_.idRizeni),
                         "-740100.00 -1040100.00, -740000.00 -1040100.00, -740000.00 -1040000.00, "
                         "-740100.00 -1040000.00, -740100.00 -1040100.00",
                         "CP1250", "", "nemo,vlst,pkmp");
  auto a = f_.exportVF(in);
  if (!out_.call("exportVF", a.messages)) return false;
  behId_ = get(a.out->behId);
  line("export run " + behId_);
  return true;
}

bool Workflow::pollExport() {
  return pollExportRun(c_, behId_, [](const TExportVFStatusRec& run) {
    line("link " + get(run.linkVF));
    line("hash " + get(run.hashExportu));
  });
}

bool Workflow::generateReport() {
  auto a = f_.generujSestavyPM(get(proceeding_.idRizeni), parcels_, false);
  if (!out_.call("generujLVProParcelyPM", a.messages)) return false;
  auto reports = entries<const TSestavaRec>(a.out->reportList);
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
  Progress progress("waiting for report " + std::to_string(reportId_) + " to be made");
  for (int32_t poll = 1; poll <= o_.pollLimit; ++poll) {
    auto a = f_.seznamSestavLV();
    if (!a.ok()) return out_.call("seznamSestav", a.messages);
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
  return fetchReportInto(c_, reportId_, path);
}

bool Workflow::deleteReport() {
  auto a = f_.smazSestavuLV(reportId_);
  if (!out_.call("smazSestavu", a.messages)) return false;
  line("report " + std::to_string(reportId_) + " deleted");
  return true;
}

bool Workflow::findZpmz() {
  auto a = findZpmzFiles(c_, o_.area, o_.result);
  zpmzFiles_ = a.out;
  return a.ok();
}

bool Workflow::downloadZpmz() {
  std::string dir = o_.outDir + "/zpmz-" + o_.area + "-" + o_.result;
  makeDirectories(dir);
  return downloadZpmzFiles(c_, o_.area, o_.result, dir, *zpmzFiles_);
}

std::string Workflow::writeAttachment() {
  std::string path = o_.outDir + "/geometricky-plan.txt";
  writing(path);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << "Geometrický plán pro rozdělení pozemku\r\n"
       << "zakázka " << o_.job << ", k.ú. " << o_.area << "\r\n";
  if (!file.flush()) throw FileError("cannot write the attachment " + path);
  doneWriting(path);
  return attachmentPath(path);
}

// The demo's applicant and plan: the proposals' data, the ZPMZ number as reserved.
ProposalData Workflow::proposal() const {
  return {.job = o_.job, .office = get(proceeding_.praresKod), .area = o_.area, .zpmz = zpmz_,
          .proceedingId = get(proceeding_.idRizeni), .attachment = attachment_, .date = today(), .parcels = parcels_,
          .firstName = local("Jan"), .surname = local("Novák"), .birthDate = "1970-05-14", .dataBox = "abc123x",
          .street = local("Polní"), .houseNumber = "12", .postCode = "60200", .municipality = local("Horní Lhota")};
}

bool Workflow::submitZpg() {
  ProposalData d = proposal();
  d.note = local("Rozdělení pozemku pro stavbu rodinného domu.");
  auto a = submitZpgProposal(c_, zpgRecord(f_, d, o_));
  if (!a.ok()) return false;
  zpg_ = a.out;
  return true;
}

bool Workflow::submitZdp() {
  ProposalData d = proposal();
  d.note = local("Doplnění listin k návrhu na potvrzení plánu.");
  d.office = get(zpg_->praresKod);
  auto& in = zdpRecord(f_, d, get(zpg_->rizeniTyp), get(zpg_->poradoveCislo), get(zpg_->rok), o_);
  return submitZdpProposal(c_, in);
}

bool Workflow::listPgp() {
  auto a = f_.seznamRizeniPGP();
  if (!out_.call("seznamRizeniPGP", a.messages)) return false;
  printPgpProceedings(*a.out);
  return true;
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
  if (!out_.call("zrusRezervaciPrvku", a.messages)) return false;
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
  if (!out_.call("zrusRezervaciZPMZ", a.messages)) return false;
  line("ZPMZ number " + zpmz_ + " given back");
  return true;
}

} // namespace

void runWorkflow(Context& c) { Workflow(c).run(); }

} // namespace host
