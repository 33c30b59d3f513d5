// vokr-host: a command-line host application for the VOKR plug-in.
#include <cstdio>
#include <exception>
#include <string>

#include "commands.h"
#include "errors.h"
#include "host_text.h"
#include "settings.h"

namespace {

using namespace host;

struct Command {
  const char* name;
  size_t arguments;
  const char* argumentNames;
  bool service;  // talks to the service: needs the URL, user and password
  int (*run)(Context&);
};

constexpr Command kCommands[] = {
    {"info", 0, "", false, runInfo},
    {"workflow", 0, "", true, runWorkflow},
    {"proceedings", 0, "", true, runProceedings},
    {"detail", 1, " ID", true, runDetail},
    {"reserve-zpmz", 2, " ID AREA", true, runReserveZpmz},
    {"reports", 0, "", true, runReports},
    {"download-zpmz", 3, " AREA RESULT DIR", true, runDownloadZpmz},
};

int run(int argc, char** argv) {
  Options options = parseOptions(argc, argv);
  if (options.help) {
    std::fputs(usage().c_str(), stdout);
    return 0;
  }
  if (options.command.empty()) throw UsageError("no command given");
  const Command* command = nullptr;
  for (const Command& c : kCommands)
    if (options.command == c.name) command = &c;
  if (!command) throw UsageError("unknown command '" + options.command + "'");
  if (options.args.size() != command->arguments)
    throw UsageError(std::string("usage: vokr-host ") + command->name + command->argumentNames +
                     " [OPTIONS]");

  initCodePage();
  Plugin plugin(options.plugin.empty() ? defaultPluginPath() : options.plugin);
  HostMemory memory;
  applySettings(*plugin, memory, options, command->service);
  Families families(*plugin, memory);
  Context context{options, plugin, families};
  return command->run(context);
}

} // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const UsageError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "vokr-host: %s\nTry 'vokr-host --help'.\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "vokr-host: %s\n", e.what());
    return 1;
  }
}
