#pragma once
// The commands of vokr-host.
#include <string>
#include <sys/types.h>

#include "families.h"
#include "options.h"
#include "plugin.h"

namespace host {

struct Context {
  const Options& options;
  const Plugin& plugin;
  Families& families;
};

// Each returns the exit status: 0 when every call succeeded.
int runInfo(Context& c);
int runProceedings(Context& c);
int runDetail(Context& c);
int runReserveZpmz(Context& c);
int runReports(Context& c);
int runDownloadZpmz(Context& c);
int runWorkflow(Context& c);

// The ZPMZ files of a surveying result, printed.
Answer<TNajdiSouborZPMZOut> findZpmzFiles(Families& f, const std::string& area, const std::string& result);
// Downloads the found files one by one into dir, showing each as it goes; true when every one
// arrived with its announced size.
bool downloadZpmzFiles(Families& f, const std::string& area, const std::string& result,
                       const std::string& dir, const TNajdiSouborZPMZOut& found);

// Makes a directory unless it exists; throws HostError when it cannot.
void makeDirectory(const std::string& dir);

// A file as it stands. The plug-in saves into a fresh file that replaces the old one whole, so
// a file it saved is another file than the one before the call.
struct FileSnapshot {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
};
FileSnapshot snapshot(const std::string& path);
bool savedSince(const FileSnapshot& before, const FileSnapshot& now);

} // namespace host
