// vokr-host: a command-line host application for the VOKR plug-in.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>

#include "commands.h"
#include "errors.h"
#include "host_text.h"
#include "interrupt.h"
#include "settings.h"
#include "system.h"

namespace {

using namespace host;

constexpr std::string_view kEndpointPath = "/ws/geo/2.9/geo";

size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
}

const Command& findCommand(const std::string& name) {
  const Command* nearest = nullptr;
  size_t best = SIZE_MAX;
  for (const Command& c : commands()) {
    if (name == c.name) return c;
    size_t d = editDistance(name, c.name);
    if (d < best) best = d, nearest = &c;
  }
  std::string message = "unknown command '" + name + "'";
  if (nearest && best <= std::max<size_t>(2, name.size() / 3))
    message += "; did you mean '" + std::string(nearest->name) + "'?";
  throw UsageError(message);
}

std::string commandList() {
  std::string text;
  for (const Command& c : commands()) {
    std::string head = std::string("  ") + c.name + (*c.arguments ? std::string(" ") + c.arguments : "");
    head.resize(std::max<size_t>(head.size() + 1, 36), ' ');
    text += head + c.summary + "\n";
  }
  return text + "  help [COMMAND]                    this text, or a command's\n";
}

std::string helpOf(const Command& c) {
  return commandUsage(std::string(c.name) + (*c.arguments ? std::string(" ") + c.arguments : ""), c.description,
                      c.options);
}

// libvokr.so beside vokr-host (or --plugin) with its version, or why it cannot be loaded.
std::string versionText(const Options& o) {
  std::string text = "vokr-host " VOKR_HOST_VERSION "\n";
  try {
    Plugin plugin(o.plugin.empty() ? defaultPluginPath() : o.plugin);
    uint8_t version[256] = {};
    plugin->GetPelkPluginVersion(version, 255);
    text += "plug-in " + plugin.path() + " " + std::string(reinterpret_cast<char*>(version + 1), version[0]) + "\n";
  } catch (const HostError& e) {
    text += std::string("plug-in: ") + e.what() + "\n";
  }
  return text;
}

void run(const Options& options, Output& out) {
  const Command& command = findCommand(options.command);
  const auto& args = options.args;
  if (args.size() < command.minArguments || args.size() > command.maxArguments)
    throw UsageError("usage: vokr-host " + std::string(command.name) +
                     (*command.arguments ? std::string(" ") + command.arguments : "") + " [OPTIONS]");
  if (!options.cacert.empty()) {
    // The plug-in's TLS reads its trusted certificates from SSL_CERT_FILE when it is loaded.
    if (!std::ifstream(options.cacert)) throw FileError("--cacert: cannot read " + options.cacert);
    sys::setEnvironment("SSL_CERT_FILE", options.cacert);
  }
  initCodePage();
  Plugin plugin(options.plugin.empty() ? defaultPluginPath() : options.plugin);
  HostMemory memory;
  applySettings(*plugin, memory, options, command.service);
  Families families(*plugin, memory);
  Context context{options, plugin, families, out};
  command.run(context);
}

// Help and version need no plug-in and talk to no service.
bool answeredAtOnce(const Options& o) {
  if (o.version) {
    std::fputs(versionText(o).c_str(), stdout);
    return true;
  }
  if (o.command == "help" || (o.help && o.command.empty())) {
    std::string topic = o.command == "help" && !o.args.empty() ? o.args[0] : "";
    std::fputs(topic.empty() ? usage(commandList()).c_str() : helpOf(findCommand(topic)).c_str(), stdout);
    return true;
  }
  if (o.help) {
    std::fputs(helpOf(findCommand(o.command)).c_str(), stdout);
    return true;
  }
  return false;
}

} // namespace

int main(int argc, char** argv) {
  installInterruptHandling();
  bool json = false;
  std::string command;
  try {
    Options options = parseOptions(argc, argv);
    json = options.json;
    command = options.command;
    if (answeredAtOnce(options)) return 0;
    if (options.command.empty()) throw UsageError("no command given");
    findCommand(options.command);
    bool urlHasEndpoint = options.url.size() >= kEndpointPath.size() &&
                          options.url.compare(options.url.size() - kEndpointPath.size(), kEndpointPath.size(),
                                              kEndpointPath) == 0;
    Output out(options.command, options.json, options.url.empty() ? "" : options.url + std::string(kEndpointPath),
               urlHasEndpoint);
    try {
      run(options, out);
    } catch (const UsageError& e) {
      out.fail(std::string(e.what()) + "\nTry 'vokr-host " + options.command + " --help'.", e.cause);
    } catch (const HostError& e) {
      out.fail(e.what(), e.cause);
    } catch (const std::exception& e) {
      out.fail(e.what(), Exit::failure);
    }
    return out.finish();
  } catch (const UsageError& e) {
    // Before a command could start: the command line itself.
    Output out(command, json, "", false);
    out.fail(std::string(e.what()) + "\nTry 'vokr-host --help'.", Exit::usage);
    return out.finish();
  }
}
