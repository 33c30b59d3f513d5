#include "commands.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "errors.h"
#include "interrupt.h"
#include "proposals.h"
#include "settings.h"
#include "show.h"
#include "signing_key.h"

namespace host {

namespace {

// A length-prefixed text of the identification exports.
template <class Fn> std::string shortText(Fn fn) {
  uint8_t text[256] = {};
  fn(text, 255);
  return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

std::string secretShown(const char* field) { return field[0] ? "***" : "(empty)"; }

// One named setting: a text line, and a member of the JSON result.
void setting(Json& group, const char* name, const std::string& value) {
  say("  " + (name + std::string(16, ' ')).substr(0, 16) + " " + value + "\n");
  group.set(name, utf8(value));
}

std::string dirOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

int64_t reportId(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  long long id = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end || errno) throw UsageError("a report id is a number, got '" + text + "'");
  return id;
}

int32_t count(const std::string& text, const char* option) {
  if (text.empty()) return 0;
  char* end = nullptr;
  long n = std::strtol(text.c_str(), &end, 10);
  if (*end || n < 1 || n > 99) throw UsageError(std::string(option) + " wants a count from 1 to 99, got '" + text + "'");
  return static_cast<int32_t>(n);
}

std::vector<std::string> commaList(const std::string& text) {
  std::vector<std::string> items;
  size_t from = 0;
  while (from <= text.size() && !text.empty()) {
    size_t comma = text.find(',', from);
    std::string item = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
    while (!item.empty() && item.front() == ' ') item.erase(0, 1);
    if (!item.empty()) items.push_back(item);
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return items;
}

// --- the commands ---

void info(Context& c) {
  const Exports& x = *c.plugin;
  Json plugin = Json::object(), connection = Json::object(), parameters = Json::object();
  say("plug-in " + c.plugin.path() + "\n");
  setting(plugin, "path", c.plugin.path());
  setting(plugin, "name", shortText(x.GetPelkPluginName));
  setting(plugin, "version", shortText(x.GetPelkPluginVersion));
  setting(plugin, "info", shortText(x.GetPelkPluginInfo));
  char service[16] = {};
  x.GetVOKRVersion(service, sizeof service - 1);
  setting(plugin, "service version", get(service));

  TConnectInfo ci{};
  x.GetConnectInfo(&ci);
  say("connection settings\n");
  setting(connection, "URL", get(ci.URL));
  setting(connection, "UserName", get(ci.UserName));
  setting(connection, "UserPassword", secretShown(ci.UserPassword));
  setting(connection, "WSDLLocation", get(ci.WSDLLocation));
  setting(connection, "Proxy", get(ci.Proxy));
  setting(connection, "ProxyByPass", get(ci.ProxyByPass));
  setting(connection, "ProxyUserName", get(ci.ProxyUserName));
  setting(connection, "ProxyPassword", secretShown(ci.ProxyPassword));
  setting(connection, "ConnectTimeout", std::to_string(ci.ConnectTimeout));
  setting(connection, "SendTimeout", std::to_string(ci.SendTimeout));
  setting(connection, "ReceiveTimeout", std::to_string(ci.ReceiveTimeout));

  TVOKR_HostParams params{};
  x.GetVOKRParams(&params);
  say("working parameters\n");
  setting(parameters, "TmpPath", get(params.TmpPath));
  setting(parameters, "LogPath", get(params.LogPath));
  setting(parameters, "LogLevel", std::to_string(params.LogLevel));
  setting(parameters, "LogUseTimestamp", std::to_string(params.LogUseTimestamp));
  c.out.result(Json::object().set("plugin", plugin).set("connection", connection).set("parameters", parameters));
}

void open(Context& c) {
  const auto& a = c.options.args;
  auto r = c.families.zalozRizeniPM(a[0], {a[1]}, {a.begin() + 2, a.end()});
  if (!c.out.call("zalozRizeniPM", r.messages)) return;
  line("proceeding " + get(r.out->idRizeni) + ", " + get(r.out->cisloRizeni));
  c.out.result(toJson(*r.out));
}

void proceedings(Context& c) {
  auto r = c.families.seznamRizeniPM();
  if (!c.out.call("seznamRizeniPM", r.messages)) return;
  printProceedings(*r.out);
  c.out.result(toJson(*r.out));
}

void detail(Context& c) {
  auto r = c.families.detailRizeniPM(c.options.args[0], true);
  if (!c.out.call("detailRizeniPM", r.messages)) return;
  printDetail(*r.out);
  c.out.result(toJson(*r.out));
}

void markErroneous(Context& c) {
  auto r = c.families.mylneRizeniPM(c.options.args[0], c.options.reason);
  if (c.out.call("mylneRizeniPM", r.messages)) line("proceeding " + c.options.args[0] + " marked erroneous");
}

void addParcel(Context& c) {
  const auto& a = c.options.args;
  std::vector<std::string> parcels(a.begin() + 1, a.end());
  auto r = c.families.vlozParceluPM(a[0], parcels);
  if (c.out.call("vlozParcelu", r.messages)) line("added " + joined(parcels));
}

void reserveZpmz(Context& c) {
  auto r = c.families.vytvorRezervaciZPMZ(c.options.args[0], c.options.args[1]);
  if (!c.out.call("vytvorRezervaciZPMZ", r.messages)) return;
  line("ZPMZ number " + get(r.out->cisloZPMZ) + " reserved in area " + get(r.out->katuzeKod));
  c.out.result(toJson(*r.out));
}

void releaseZpmz(Context& c) {
  const auto& a = c.options.args;
  auto r = c.families.zrusRezervaciZPMZ(a[0], a[1], a[2]);
  if (c.out.call("zrusRezervaciZPMZ", r.messages)) line("ZPMZ number " + a[2] + " given back");
}

void reserveElements(Context& c) {
  const Options& o = c.options;
  ElementOrder order{o.args[0], o.args[1], o.args[2], count(o.stems, "--stems"), o.stem,
                     count(o.subdivisions, "--subdivisions"), count(o.points, "--points")};
  if (!order.stems && !order.subdivisions && !order.points)
    throw UsageError("give --stems, --subdivisions or --points");
  auto r = c.families.vytvorRezervaciPrvku(order);
  if (!c.out.call("vytvorRezervaciPrvku", r.messages)) return;
  printElementReservations(*r.out);
  c.out.result(toJson(*r.out));
}

void releaseElements(Context& c) {
  const Options& o = c.options;
  auto numbering = static_cast<uint8_t>(o.numbering);
  ElementRelease release{o.args[0]};
  TRezervParcelyRec stems{};
  TRezervPoddeleniRec subdivisions{};
  TRezervBodyPBPPRec points{};
  if (!o.stems.empty()) {
    put(stems.katuzeKod, o.args[1], "cadastral area code");
    put(stems.cisloZPMZ, o.args[2], "ZPMZ number");
    stems.druhCislovaniPar = numbering;
    stems.kmenoveCislo = c.families.textList<StemNumber>(commaList(o.stems), "--stems");
    release.stems = &stems;
  }
  if (!o.subdivisions.empty()) {
    put(subdivisions.katuzeKod, o.args[1], "cadastral area code");
    put(subdivisions.cisloZPMZ, o.args[2], "ZPMZ number");
    subdivisions.druhCislovaniPar = numbering;
    put(subdivisions.kmenoveCislo, o.stem, "--stem");
    subdivisions.poddeleniCisla = c.families.textList<SubdivisionNumber>(commaList(o.subdivisions), "--subdivisions");
    release.subdivisions = &subdivisions;
  }
  if (!o.points.empty()) {
    put(points.katuzeKod, o.args[1], "cadastral area code");
    points.cisloPBPP = c.families.textList<PointNumber>(commaList(o.points), "--points");
    release.points = &points;
  }
  if (!release.stems && !release.subdivisions && !release.points)
    throw UsageError("give --stems, --subdivisions or --points with the numbers to give back");
  auto r = c.families.zrusRezervaciPrvku(release);
  if (c.out.call("zrusRezervaciPrvku", r.messages)) line("given back");
}

void exportData(Context& c) {
  const Options& o = c.options;
  auto& in = exportOrder(c.families.memory(), o.args[0], o.args[1], o.charset, o.email, o.groups);
  auto r = c.families.exportVF(in);
  if (!c.out.call("exportVF", r.messages)) return;
  line("export run " + get(r.out->behId));
  c.out.result(Json::object().set("behId", utf8(get(r.out->behId))));
}

void showRun(const TExportVFStatusRec& run) {
  line("run " + get(run.behId) + " in state " + exportState(run.stavBehu) +
       (run.linkVF[0] ? ", link " + get(run.linkVF) : std::string()));
}

void exportStatus(Context& c) {
  std::string behId = c.options.args.empty() ? "" : c.options.args[0];
  if (c.options.wait) {
    if (behId.empty()) throw UsageError("--wait needs the export run RUN");
    pollExportRun(c, behId, [&](const TExportVFStatusRec& run) {
      line("link " + get(run.linkVF));
      line("hash " + get(run.hashExportu));
      c.out.result(Json::array().push(toJson(run)));
    });
    return;
  }
  auto r = c.families.exportVFStatus(behId);
  if (!c.out.call("exportVFStatus", r.messages)) return;
  for (const TExportVFStatusRec& run : entries<const TExportVFStatusRec>(r.out->exportVFStatusList)) showRun(run);
  c.out.result(listJson<TExportVFStatusRec>(r.out->exportVFStatusList));
}

void generateReport(Context& c) {
  const auto& a = c.options.args;
  auto r = c.families.generujSestavyPM(a[0], {a.begin() + 1, a.end()}, c.options.partial);
  if (!c.out.call("generujLVProParcelyPM", r.messages)) return;
  for (const TSestavaRec& rep : entries<const TSestavaRec>(r.out->reportList)) printReport(rep);
  c.out.result(listJson<TSestavaRec>(r.out->reportList));
}

void reports(Context& c) {
  auto r = c.families.seznamSestavLV();
  if (!c.out.call("seznamSestav", r.messages)) return;
  auto list = entries<const TSestavaRec>(r.out->reportList);
  if (list.empty()) line("no reports");
  for (const TSestavaRec& rep : list) printReport(rep);
  c.out.result(listJson<TSestavaRec>(r.out->reportList));
}

void fetchReport(Context& c) {
  const auto& a = c.options.args;
  fetchReportInto(c, reportId(a[0]), a.size() > 1 ? a[1] : "");
}

void deleteReport(Context& c) {
  auto r = c.families.smazSestavuLV(reportId(c.options.args[0]));
  if (c.out.call("smazSestavu", r.messages)) line("report " + c.options.args[0] + " deleted");
}

void zpmzFiles(Context& c) {
  auto r = findZpmzFiles(c, c.options.args[0], c.options.args[1]);
  if (r.ok()) c.out.result(listJson<TSouborZPMZRec>(r.out->souborZPMZList));
}

void fetchZpmz(Context& c) {
  const auto& a = c.options.args;
  std::string path = a.size() > 3 ? a[3] : "";
  if (!path.empty()) {
    makeDirectories(dirOf(path));
    savingInto(dirOf(path));
  }
  FileSnapshot before = snapshot(path);
  Answer<TVratSouborZPMZOut> r;
  {
    Progress progress("fetching document " + a[2]);
    r = c.families.vratSouborZPMZ(a[0], a[1], a[2], path);
  }
  if (!c.out.call("vratSouborZPMZ", r.messages)) return;
  line(get(r.out->zpmzDokumentId) + "  " + get(r.out->nazevSouboru) + "  (" + get(r.out->velikostSouboru) + " bytes)");
  c.out.result(toJson(*r.out));
  if (path.empty()) return;
  FileSnapshot now = snapshot(path);
  if (!savedSince(before, now)) throw FileError("the file was not saved to " + path);
  line("saved " + path + " (" + std::to_string(now.size) + " bytes)");
  c.out.file(path, now.size);
}

void downloadZpmz(Context& c) {
  const auto& a = c.options.args;
  makeDirectories(a[2]);  // before anything is asked of the service
  auto found = findZpmzFiles(c, a[0], a[1]);
  if (found.ok()) downloadZpmzFiles(c, a[0], a[1], a[2], *found.out);
}

void proposeZpg(Context& c) {
  const Options& o = c.options;
  if (o.key.empty()) throw UsageError("proposals are signed: give --key PEM");
  checkSigningKey(o.key, keyPassword(o));
  ProposalData d = proposalFromOptions(o);
  if (d.surname.empty()) throw UsageError("give the applicant: --applicant, --birth-date, --data-box, --address");
  auto r = submitZpgProposal(c, zpgRecord(c.families, d, o));
  if (r.ok()) c.out.result(toJson(*r.out));
}

void proposeZdp(Context& c) {
  const Options& o = c.options;
  if (o.key.empty()) throw UsageError("proposals are signed: give --key PEM");
  checkSigningKey(o.key, keyPassword(o));
  Options withOffice = o;
  withOffice.office = o.args[3];
  ProposalData d = proposalFromOptions(withOffice);
  submitZdpProposal(c, zdpRecord(c.families, d, o.args[0], o.args[1], o.args[2], o));
}

void pgpProceedings(Context& c) {
  auto r = c.families.seznamRizeniPGP();
  if (!c.out.call("seznamRizeniPGP", r.messages)) return;
  printPgpProceedings(*r.out);
  c.out.result(toJson(*r.out));
}

} // namespace

const std::vector<Command>& commands() {
  static const std::vector<Command> table = {
      {"info", "", 0, 0, false, "", "what the plug-in is and the settings it holds", "What the plug-in is and the settings it holds.", info},
      {"workflow", "", 0, 0, true,
       "key key-password job area parcel stem result out-dir attachment poll-interval poll-limit", "a whole surveyor session against the service",
       "A whole surveyor session against the service, nineteen steps: open a proceeding, reserve\n"
       "numbers, export, reports, ZPMZ files, signed ZPG and ZDP proposals, and give every\n"
       "reservation back. The signing key is checked before step 1.",
       runWorkflow},
      {"open", "JOB AREA [PARCEL...]", 2, SIZE_MAX, true, "", "open a survey proceeding",
       "Opens a survey proceeding (zalozRizeniPM) for the job in the cadastral area, with the\n"
       "affected parcels.",
       open},
      {"proceedings", "", 0, 0, true, "", "the surveyor's survey proceedings", "The surveyor's survey proceedings (seznamRizeniPM).", proceedings},
      {"detail", "ID", 1, 1, true, "", "one proceeding with its reservations", "One proceeding with its reservations (detailRizeniPM).", detail},
      {"mark-erroneous", "ID", 1, 1, true, "reason", "mark a proceeding as opened by mistake", "Marks a proceeding as opened by mistake (mylneRizeniPM).",
       markErroneous},
      {"add-parcel", "ID PARCEL...", 2, SIZE_MAX, true, "", "add affected parcels to a proceeding", "Adds affected parcels to a proceeding (vlozParcelu).",
       addParcel},
      {"reserve-zpmz", "ID AREA", 2, 2, true, "", "reserve a ZPMZ number in a cadastral area",
       "Reserves a ZPMZ number in a cadastral area of the proceeding (vytvorRezervaciZPMZ).", reserveZpmz},
      {"release-zpmz", "ID AREA NUMBER", 3, 3, true, "", "give a ZPMZ number back",
       "Gives a reserved ZPMZ number back (zrusRezervaciZPMZ).", releaseZpmz},
      {"reserve-elements", "ID AREA ZPMZ", 3, 3, true, "stems stem subdivisions points", "reserve stem, subdivision and survey-point numbers",
       "Reserves stem, subdivision and survey-point numbers under a reserved ZPMZ number\n"
       "(vytvorRezervaciPrvku): --stems N, --subdivisions N of --stem, --points N.",
       reserveElements},
      {"release-elements", "ID AREA ZPMZ", 3, 3, true, "stems stem subdivisions points numbering", "give stem, subdivision and survey-point numbers back",
       "Gives reserved element numbers back (zrusRezervaciPrvku): --stems 1201,1202,\n"
       "--subdivisions 1,2 of --stem, --points 1,2,3.",
       releaseElements},
      {"export", "ID POLYGON", 2, 2, true, "charset email groups", "order an exchange-format export of an area",
       "Orders an exchange-format export (exportVF) of the area inside POLYGON, a closed ring of\n"
       "S-JTSK positions 'X Y, X Y, ...' whose last position repeats the first.",
       exportData},
      {"export-status", "[RUN]", 0, 1, true, "wait poll-interval poll-limit", "the state of export runs",
       "The state of an export run, or of every run (exportVFStatus); with --wait, polls until\n"
       "the run has ended.",
       exportStatus},
      {"report", "ID PARCEL...", 2, SIZE_MAX, true, "partial", "have ownership-sheet reports generated",
       "Has ownership-sheet reports generated for parcels of a proceeding (generujLVProParcelyPM).",
       generateReport},
      {"reports", "", 0, 0, true, "", "the ownership-sheet reports kept by the service", "The ownership-sheet reports kept by the service (seznamSestav).", reports},
      {"fetch-report", "REPORT [FILE]", 1, 2, true, "", "fetch a report and save its file",
       "Fetches a report (vratSestavu) and saves its file as FILE (folders made as needed).", fetchReport},
      {"delete-report", "REPORT", 1, 1, true, "", "delete a report", "Deletes a report (smazSestavu).", deleteReport},
      {"zpmz-files", "AREA RESULT", 2, 2, true, "", "the ZPMZ files of a surveying result",
       "The ZPMZ files of a surveying result (najdiSouborZPMZ).", zpmzFiles},
      {"fetch-zpmz", "AREA RESULT DOCUMENT [FILE]", 3, 4, true, "", "fetch one ZPMZ file and save it",
       "Fetches one ZPMZ file (vratSouborZPMZ) and saves it as FILE (folders made as needed).", fetchZpmz},
      {"download-zpmz", "AREA RESULT DIR", 3, 3, true, "", "download the ZPMZ files of a surveying result into DIR",
       "Downloads every ZPMZ file of a surveying result into DIR (dwnldFilesZPMZ); DIR and its\n"
       "parents are made first.",
       downloadZpmz},
      {"propose-zpg", "", 0, 0, true,
       "key key-password attachment office area parcel zpmz proceeding job note applicant birth-date "
       "data-box address", "submit a signed plan-confirmation proposal (ZPG)",
       "Submits a signed proposal to confirm a geometric plan (zalozNavrhZPG): one document, the\n"
       "plan, with --attachment; the applicant with --applicant, --birth-date, --data-box and\n"
       "--address.",
       proposeZpg},
      {"propose-zdp", "TYPE NUMBER YEAR OFFICE", 4, 4, true,
       "key key-password attachment area zpmz job note", "submit a signed supplement to a proposal (ZDP)",
       "Submits a signed supplement (zalozNavrhZDP) to the plan-confirmation proceeding\n"
       "TYPE NUMBER/YEAR of the cadastral office OFFICE, with the document --attachment.",
       proposeZdp},
      {"pgp-proceedings", "", 0, 0, true, "", "the plan-confirmation proceedings", "The plan-confirmation proceedings (seznamRizeniPGP).",
       pgpProceedings},
  };
  return table;
}

// --- steps shared with the workflow ---

Answer<TNajdiSouborZPMZOut> findZpmzFiles(Context& c, const std::string& area, const std::string& result) {
  auto a = c.families.najdiSouborZPMZ(area, result);
  if (!c.out.call("najdiSouborZPMZ", a.messages)) return a;
  auto files = entries<const TSouborZPMZRec>(a.out->souborZPMZList);
  if (files.empty()) line("no files");
  for (const TSouborZPMZRec& file : files) printZpmzFile(file);
  return a;
}

bool downloadZpmzFiles(Context& c, const std::string& area, const std::string& result, const std::string& dir,
                       const TNajdiSouborZPMZOut& found) {
  auto files = entries<const TSouborZPMZRec>(found.souborZPMZList);
  savingInto(dir);
  bool all = true;
  size_t i = 0;
  for (const TSouborZPMZRec& file : files) {
    std::string name = get(file.nazevSouboru);
    std::string path = dir + (dir.back() == '/' ? "" : "/") + name;
    std::string counter = "[" + std::to_string(++i) + "/" + std::to_string(files.size()) + "] ";
    say("    " + counter + name + " ... ");
    std::fflush(stdout);
    FileSnapshot before = snapshot(path);
    Answer<TVratSouborZPMZOut> a;
    {
      Progress progress("downloading " + counter + name + " (" + get(file.velikostSouboru) + " bytes)");
      a = c.families.dwnldFileZPMZ(area, result, dir, get(file.zpmzDokumentId));
    }
    FileSnapshot now = snapshot(path);
    bool saved = a.ok() && savedSince(before, now);
    bool complete = saved && std::to_string(now.size) == get(file.velikostSouboru);
    say(complete ? std::to_string(now.size) + " bytes\n"
                 : saved ? "size differs from the announced one\n" : "not saved\n");
    if (saved) c.out.file(path, now.size);
    if (!a.ok()) c.out.call("vratSouborZPMZ", a.messages);
    else if (!complete) c.out.fail(path + (saved ? ": size differs from the announced one" : ": not saved"),
                                   Exit::localFile);
    all = all && complete;
  }
  if (all) line(std::to_string(files.size()) + " files in " + dir);
  return all;
}

bool fetchReportInto(Context& c, int64_t report, const std::string& path) {
  if (!path.empty()) {
    makeDirectories(dirOf(path));
    savingInto(dirOf(path));
  }
  FileSnapshot before = snapshot(path);
  Answer<TSestavyOut> a;
  {
    Progress progress("fetching report " + std::to_string(report));
    a = c.families.vratSestavuLV(report, path);
  }
  if (!c.out.call("vratSestavu", a.messages)) return false;
  for (const TSestavaRec& r : entries<const TSestavaRec>(a.out->reportList)) printReport(r);
  c.out.result(listJson<TSestavaRec>(a.out->reportList));
  if (path.empty()) return true;
  FileSnapshot now = snapshot(path);
  if (!savedSince(before, now)) {
    c.out.fail("the report was not saved to " + path, Exit::localFile);
    return false;
  }
  line("saved " + path + " (" + std::to_string(now.size) + " bytes)");
  c.out.file(path, now.size);
  return true;
}

bool pollExportRun(Context& c, const std::string& behId, const std::function<void(const TExportVFStatusRec&)>& done) {
  Progress progress("waiting for export run " + behId + " to end");
  for (int32_t poll = 1; poll <= c.options.pollLimit; ++poll) {
    auto a = c.families.exportVFStatus(behId);
    auto runs = entries<const TExportVFStatusRec>(a.out->exportVFStatusList);
    if (!a.ok() || runs.empty()) {
      if (c.out.call("exportVFStatus", a.messages)) c.out.fail("export run " + behId + " is not listed", Exit::refused);
      return false;
    }
    const TExportVFStatusRec& run = runs.front();
    char state = exportState(run.stavBehu);
    line("poll " + std::to_string(poll) + ": run " + get(run.behId) + " in state " + state);
    if (state == 'D') {
      done(run);
      return true;
    }
    if (state != 'B' && state != 'C') {
      c.out.fail("export run " + behId + " ended without data (state " + state + ")", Exit::refused);
      return false;
    }
    pauseBetweenPolls(c.options);
  }
  c.out.fail("export run " + behId + " still not done after " + std::to_string(c.options.pollLimit) + " polls",
             Exit::transport);
  return false;
}

TExportVFIn& exportOrder(HostMemory& memory, const std::string& idRizeni, const std::string& polygon,
                         const std::string& charset, const std::string& email, const std::string& groups) {
  auto* in = memory.make<TExportVFIn>();
  put(in->idRizeni, idRizeni, "proceeding id");
  put(in->charset, charset, "--charset");
  put(in->email, email, "--email");
  put(in->PolygonId, "vokr-export-1", "polygon id");
  put(in->srsName, "urn:ogc:def:crs:EPSG::5514", "srsName");
  put(in->srsDimension, "2", "srsDimension");
  std::vector<std::string> positions = commaList(polygon);
  if (positions.size() < 4) throw UsageError("POLYGON wants at least four positions 'X Y', the last one the first");
  in->Exterior = memory.list<TPosRec>(static_cast<int32_t>(positions.size()));
  TPosRec* pos = fromHost<TPosRec>(in->Exterior);
  for (const std::string& p : positions) {
    size_t space = p.find(' ');
    if (space == std::string::npos) throw UsageError("POLYGON: a position is 'X Y', got '" + p + "'");
    put(pos->Coord1, p.substr(0, space), "coordinate");
    put(pos->Coord2, p.substr(p.find_first_not_of(' ', space)), "coordinate");
    ++pos;
  }
  static const std::pair<const char*, uint8_t TExportVFIn::*> kGroups[] = {
      {"nemo", &TExportVFIn::skNemo}, {"bdpa", &TExportVFIn::skBdpa}, {"vlst", &TExportVFIn::skVlst},
      {"jpvz", &TExportVFIn::skJpvz}, {"pkmp", &TExportVFIn::skPkmp}, {"bpej", &TExportVFIn::skBpej},
      {"gmpl", &TExportVFIn::skGmpl}, {"reze", &TExportVFIn::skReze}, {"debo", &TExportVFIn::skDebo}};
  for (const std::string& g : commaList(groups)) {
    auto known = std::find_if(std::begin(kGroups), std::end(kGroups), [&](const auto& k) { return g == k.first; });
    if (known == std::end(kGroups)) throw UsageError("--groups: no data group '" + g + "'");
    in->*(known->second) = 1;
  }
  return *in;
}

Answer<TZalozNavrhZPGOut> submitZpgProposal(Context& c, const TZalozNavrhZPGIn& in) {
  Answer<TZalozNavrhZPGOut> a;
  {
    Progress progress("signing and sending the ZPG proposal");
    a = c.families.zalozNavrhZPG(in);
  }
  if (!c.out.call("zalozNavrhZPG", a.messages)) return a;
  const TZalozNavrhZPGOut& o = *a.out;
  line("proceeding " + get(o.idRizeni) + ", filing " + get(o.cisloPodani));
  line(get(o.rizeniTyp) + " " + get(o.poradoveCislo) + "/" + get(o.rok) + ", office " + get(o.praresKod) +
       ", created " + get(o.createDate));
  return a;
}

bool submitZdpProposal(Context& c, const TZalozNavrhZDPIn& in) {
  Answer<TZalozNavrhZDPOut> a;
  {
    Progress progress("signing and sending the ZDP proposal");
    a = c.families.zalozNavrhZDP(in);
  }
  if (!c.out.call("zalozNavrhZDP", a.messages)) return false;
  line("proceeding " + get(a.out->idRizeni) + ", filing " + get(a.out->cisloPodani));
  c.out.result(toJson(*a.out));
  return true;
}

void pauseBetweenPolls(const Options& o) {
  std::this_thread::sleep_for(std::chrono::duration<double>(o.pollInterval));
}

FileSnapshot snapshot(const std::string& path) {
  if (path.empty()) return {};
  return {sys::fileIdentity(path), sys::fileSize(path).value_or(0)};
}

// A saved file replaces the earlier one whole: a new file, not the old one written over.
bool savedSince(const FileSnapshot& before, const FileSnapshot& now) {
  return now.identity && now.identity != before.identity;
}

void makeDirectories(const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(dir, error)) {
    if (fs::is_directory(dir, error)) return;
    throw FileError("cannot make directory " + dir + ": a file of that name exists");
  }
  if (!fs::create_directories(dir, error) && error)
    throw FileError("cannot make directory " + dir + ": " + error.message());
}

} // namespace host
