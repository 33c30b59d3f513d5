#include "options.h"

#include <charconv>
#include <cstdlib>
#include <functional>

#include "errors.h"

namespace host {

namespace {

int32_t integer(const std::string& name, const std::string& value) {
  int32_t n = 0;
  auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size())
    throw UsageError("--" + name + " wants an integer, got '" + value + "'");
  return n;
}

double seconds(const std::string& name, const std::string& value) {
  char* end = nullptr;
  double s = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !(s >= 0 && s <= 3600))
    throw UsageError("--" + name + " wants seconds from 0 to 3600, got '" + value + "'");
  return s;
}

struct Option {
  const char* name;
  const char* value;  // nullptr: a switch without value
  const char* help;
  std::function<void(Options&, const std::string& name, const std::string& value)> set;
};

template <auto Member> auto text() {
  return [](Options& o, const std::string&, const std::string& v) { o.*Member = v; };
}
template <auto Member> auto number() {
  return [](Options& o, const std::string& n, const std::string& v) { o.*Member = integer(n, v); };
}

const std::vector<Option>& table() {
  static const std::vector<Option> options = {
      {"url", "URL", "base URL of the service (the endpoint is URL/ws/geo/2.9/geo)", text<&Options::url>()},
      {"user", "NAME", "user name of the service; the password is VOKR_PASSWORD or asked for",
       text<&Options::user>()},
      {"wsdl", "LOCATION", "service description location (kept by the plug-in only)", text<&Options::wsdl>()},
      {"proxy", "HOST:PORT", "HTTP proxy", text<&Options::proxy>()},
      {"proxy-user", "NAME", "proxy user name; the password is VOKR_PROXY_PASSWORD or asked for",
       text<&Options::proxyUser>()},
      {"proxy-bypass", "LIST", "hosts reached without the proxy (';' separated, '*', <local>)",
       text<&Options::proxyBypass>()},
      {"connect-timeout", "MS", "connection time-out in milliseconds", number<&Options::connectTimeout>()},
      {"send-timeout", "MS", "send time-out in milliseconds", number<&Options::sendTimeout>()},
      {"receive-timeout", "MS", "receive time-out in milliseconds", number<&Options::receiveTimeout>()},
      {"tmp-dir", "DIR", "directory for the signing step's temporary files", text<&Options::tmpDir>()},
      {"log-dir", "DIR", "directory for message dumps", text<&Options::logDir>()},
      {"log-level", "N", "above 0: every request and response is dumped", number<&Options::logLevel>()},
      {"no-timestamps", nullptr, "dump names without a timestamp",
       [](Options& o, const std::string&, const std::string&) { o.timestamps = false; }},
      {"plugin", "PATH", "the plug-in (default: libvokr.so beside vokr-host, else the installed one)", text<&Options::plugin>()},
      {"key", "PEM", "signing key with its certificate, for the proposals", text<&Options::key>()},
      {"key-password", "TEXT", "password of the signing key (or VOKR_KEY_PASSWORD)",
       text<&Options::keyPassword>()},
      {"job", "TEXT", "workflow: the surveyor's job number", text<&Options::job>()},
      {"area", "CODE", "workflow: cadastral area code", text<&Options::area>()},
      {"parcel", "ID", "workflow: an affected parcel (repeatable)",
       [](Options& o, const std::string&, const std::string& v) { o.parcels.push_back(v); }},
      {"stem", "NUMBER", "workflow: the stem number to subdivide", text<&Options::stem>()},
      {"result", "NUMBER", "workflow: surveying result whose ZPMZ files are fetched", text<&Options::result>()},
      {"out-dir", "DIR", "workflow: where reports and ZPMZ files are saved (made if missing)",
       text<&Options::outDir>()},
      {"attachment", "FILE", "workflow: attachment of the proposals (default: one is written)",
       text<&Options::attachment>()},
      {"poll-interval", "SECONDS", "workflow: pause between polls (default 2)",
       [](Options& o, const std::string& n, const std::string& v) { o.pollInterval = seconds(n, v); }},
      {"poll-limit", "N", "workflow: polls before giving up (default 30)", number<&Options::pollLimit>()},
      {"help", nullptr, "this text", [](Options& o, const std::string&, const std::string&) { o.help = true; }},
  };
  return options;
}

} // namespace

Options parseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      (o.command.empty() ? o.command : o.args.emplace_back()) = arg;
      continue;
    }
    std::string name = arg.substr(2), value;
    size_t eq = name.find('=');
    bool inlineValue = eq != std::string::npos;
    if (inlineValue) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const Option* option = nullptr;
    for (const Option& candidate : table())
      if (name == candidate.name) option = &candidate;
    if (!option) throw UsageError("unknown option --" + name);
    if (!option->value) {
      if (inlineValue) throw UsageError("--" + name + " takes no value");
    } else if (!inlineValue) {
      if (i + 1 >= argc) throw UsageError("--" + name + " wants a value (" + option->value + ")");
      value = argv[++i];
    }
    option->set(o, name, value);
  }
  if (o.pollLimit < 1) throw UsageError("--poll-limit wants at least 1");
  return o;
}

std::string usage() {
  std::string text =
      "usage: vokr-host COMMAND [ARGUMENTS] [OPTIONS]\n"
      "\n"
      "A host for the VOKR plug-in (libvokr.so): loads it and drives the cadastre's\n"
      "geometric-plan service through its exports.\n"
      "\n"
      "commands:\n"
      "  info                              plug-in identification, settings and parameters\n"
      "  workflow                          a whole surveyor session against the service\n"
      "  proceedings                       the surveyor's survey proceedings\n"
      "  detail ID                         one proceeding with its reservations\n"
      "  reserve-zpmz ID AREA              reserve a ZPMZ number in a cadastral area\n"
      "  reports                           the ownership-sheet reports kept by the service\n"
      "  download-zpmz AREA RESULT DIR     the ZPMZ files of a surveying result into DIR\n"
      "\n"
      "options:\n";
  for (const Option& o : table()) {
    std::string head = std::string("  --") + o.name + (o.value ? std::string(" ") + o.value : "");
    head.resize(std::max<size_t>(head.size() + 1, 34), ' ');
    text += head + o.help + "\n";
  }
  text +=
      "\n"
      "exit status: 0 when every step succeeded, 1 when a step or the service failed,\n"
      "2 for bad arguments.\n";
  return text;
}

} // namespace host
