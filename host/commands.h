#pragma once
// The commands of vokr-host, and the steps they share with the workflow.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "families.h"
#include "options.h"
#include "output.h"
#include "plugin.h"
#include "system.h"

namespace host {

struct Context {
  const Options& options;
  const Plugin& plugin;
  Families& families;
  Output& out;
};

struct Command {
  const char* name;
  const char* arguments;  // synopsis of the positional arguments
  size_t minArguments, maxArguments;
  bool service;           // talks to the service: needs the URL, user and password
  const char* options;    // the options it reads, for its help
  const char* summary;    // its line in the help of vokr-host
  const char* description;
  void (*run)(Context&);
};

// Every command, in the order of the help text.
const std::vector<Command>& commands();

void runWorkflow(Context& c);

// Steps the workflow shares with the single commands; each shows what it does and returns
// whether it succeeded.
Answer<TNajdiSouborZPMZOut> findZpmzFiles(Context& c, const std::string& area, const std::string& result);
// Downloads the found files one by one into dir; true when every one arrived with its
// announced size.
bool downloadZpmzFiles(Context& c, const std::string& area, const std::string& result, const std::string& dir,
                       const TNajdiSouborZPMZOut& found);
bool fetchReportInto(Context& c, int64_t report, const std::string& path);
// Polls an export run until it has ended; `done` shows a run that has its data.
bool pollExportRun(Context& c, const std::string& behId, const std::function<void(const TExportVFStatusRec&)>& done);
// An export order: a polygon "X Y, X Y, ..." (closed), data groups by name ("nemo,vlst").
TExportVFIn& exportOrder(HostMemory& memory, const std::string& idRizeni, const std::string& polygon,
                         const std::string& charset, const std::string& email, const std::string& groups);
Answer<TZalozNavrhZPGOut> submitZpgProposal(Context& c, const TZalozNavrhZPGIn& in);
bool submitZdpProposal(Context& c, const TZalozNavrhZDPIn& in);
void pauseBetweenPolls(const Options& o);

// Makes a directory and its parents unless it exists; throws FileError when it cannot.
void makeDirectories(const std::string& dir);

// A file as it stands. The plug-in saves into a fresh file that replaces the old one whole, so
// a file it saved is another file than the one before the call.
struct FileSnapshot {
  std::optional<sys::FileIdentity> identity;  // none: no file there
  uintmax_t size = 0;
};
FileSnapshot snapshot(const std::string& path);
bool savedSince(const FileSnapshot& before, const FileSnapshot& now);

} // namespace host
