#include "commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "errors.h"
#include "show.h"

namespace host {

namespace {

int status(bool ok) { return ok ? 0 : 1; }

// A length-prefixed text of the identification exports.
template <class Fn> std::string shortText(Fn fn) {
  uint8_t text[256] = {};
  fn(text, 255);
  return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

std::string secretShown(const char* field) { return field[0] ? "***" : "(empty)"; }

void setting(const char* name, const std::string& value) {
  std::printf("  %-16s %s\n", name, value.c_str());
}

} // namespace

int runInfo(Context& c) {
  const Exports& x = *c.plugin;
  std::printf("plug-in %s\n", c.plugin.path().c_str());
  setting("name", shortText(x.GetPelkPluginName));
  setting("version", shortText(x.GetPelkPluginVersion));
  setting("info", shortText(x.GetPelkPluginInfo));
  char service[16] = {};
  x.GetVOKRVersion(service, sizeof service - 1);
  setting("service version", get(service));

  TConnectInfo info{};
  x.GetConnectInfo(&info);
  std::printf("connection settings\n");
  setting("URL", get(info.URL));
  setting("UserName", get(info.UserName));
  setting("UserPassword", secretShown(info.UserPassword));
  setting("WSDLLocation", get(info.WSDLLocation));
  setting("Proxy", get(info.Proxy));
  setting("ProxyByPass", get(info.ProxyByPass));
  setting("ProxyUserName", get(info.ProxyUserName));
  setting("ProxyPassword", secretShown(info.ProxyPassword));
  setting("ConnectTimeout", std::to_string(info.ConnectTimeout));
  setting("SendTimeout", std::to_string(info.SendTimeout));
  setting("ReceiveTimeout", std::to_string(info.ReceiveTimeout));

  TVOKR_HostParams params{};
  x.GetVOKRParams(&params);
  std::printf("working parameters\n");
  setting("TmpPath", get(params.TmpPath));
  setting("LogPath", get(params.LogPath));
  setting("LogLevel", std::to_string(params.LogLevel));
  setting("LogUseTimestamp", std::to_string(params.LogUseTimestamp));
  return 0;
}

int runProceedings(Context& c) {
  auto a = c.families.seznamRizeniPM();
  printMessages(a.messages);
  if (a.ok()) printProceedings(*a.out);
  return status(a.ok());
}

int runDetail(Context& c) {
  auto a = c.families.detailRizeniPM(c.options.args[0], true);
  printMessages(a.messages);
  if (a.ok()) printDetail(*a.out);
  return status(a.ok());
}

int runReserveZpmz(Context& c) {
  auto a = c.families.vytvorRezervaciZPMZ(c.options.args[0], c.options.args[1]);
  printMessages(a.messages);
  if (a.ok()) line("ZPMZ number " + get(a.out->cisloZPMZ) + " reserved in area " + get(a.out->katuzeKod));
  return status(a.ok());
}

int runReports(Context& c) {
  auto a = c.families.seznamSestavLV();
  printMessages(a.messages);
  if (a.ok()) {
    auto reports = entries<const TSestavaRec>(a.out->reportList);
    if (reports.empty()) line("no reports");
    for (const TSestavaRec& r : reports) printReport(r);
  }
  return status(a.ok());
}

int runDownloadZpmz(Context& c) {
  const auto& args = c.options.args;
  auto found = findZpmzFiles(c.families, args[0], args[1]);
  if (!found.ok()) return 1;
  makeDirectory(args[2]);
  return status(downloadZpmzFiles(c.families, args[0], args[1], args[2], *found.out));
}

Answer<TNajdiSouborZPMZOut> findZpmzFiles(Families& f, const std::string& area, const std::string& result) {
  auto a = f.najdiSouborZPMZ(area, result);
  printMessages(a.messages);
  if (a.ok()) {
    auto files = entries<const TSouborZPMZRec>(a.out->souborZPMZList);
    if (files.empty()) line("no files");
    for (const TSouborZPMZRec& file : files) printZpmzFile(file);
  }
  return a;
}

bool downloadZpmzFiles(Families& f, const std::string& area, const std::string& result,
                       const std::string& dir, const TNajdiSouborZPMZOut& found) {
  auto files = entries<const TSouborZPMZRec>(found.souborZPMZList);
  bool all = true;
  size_t i = 0;
  for (const TSouborZPMZRec& file : files) {
    std::string name = get(file.nazevSouboru);
    std::string path = dir + (dir.back() == '/' ? "" : "/") + name;
    std::printf("    [%zu/%zu] %s ... ", ++i, files.size(), name.c_str());
    std::fflush(stdout);
    FileSnapshot before = snapshot(path);
    auto a = f.dwnldFileZPMZ(area, result, dir, get(file.zpmzDokumentId));
    FileSnapshot now = snapshot(path);
    bool saved = a.ok() && savedSince(before, now);
    bool complete = saved && std::to_string(now.size) == get(file.velikostSouboru);
    if (complete)
      std::printf("%lld bytes\n", static_cast<long long>(now.size));
    else
      std::printf(saved ? "size differs from the announced one\n" : "not saved\n");
    if (!saved) printMessages(a.messages);
    all = all && complete;
  }
  if (all) line(std::to_string(files.size()) + " files in " + dir);
  return all;
}

FileSnapshot snapshot(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return {};
  return {true, st.st_dev, st.st_ino, st.st_size};
}

bool savedSince(const FileSnapshot& before, const FileSnapshot& now) {
  return now.exists && (!before.exists || before.device != now.device || before.inode != now.inode);
}

void makeDirectory(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return;
  if (mkdir(dir.c_str(), 0777) != 0)
    throw HostError("cannot make directory " + dir + ": " + std::strerror(errno));
}

} // namespace host
