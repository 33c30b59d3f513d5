#include "options.h"

#include <algorithm>
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
  auto flag = [](bool Options::*member) {
    return [member](Options& o, const std::string&, const std::string&) { o.*member = true; };
  };
  static const std::vector<Option> options = {
      {"url", "URL", "base URL of the service, without /ws/geo/2.9/geo (default: VOKR_URL)", text<&Options::url>()},
      {"user", "NAME", "user name of the service (default: VOKR_USER); the password is VOKR_PASSWORD or asked for",
       text<&Options::user>()},
      {"cacert", "FILE", "trust the certificates in FILE for TLS (else the system's, or SSL_CERT_FILE)",
       text<&Options::cacert>()},
      {"wsdl", "LOCATION", "service description location (kept by the plug-in only)", text<&Options::wsdl>()},
      {"proxy", "HOST:PORT", "HTTP proxy", text<&Options::proxy>()},
      {"proxy-user", "NAME", "proxy user name; the password is VOKR_PROXY_PASSWORD or asked for",
       text<&Options::proxyUser>()},
      {"proxy-bypass", "LIST", "hosts reached without the proxy (';' separated, '*', <local>)",
       text<&Options::proxyBypass>()},
      {"connect-timeout", "MS", "connection time-out in milliseconds (default 30000; 0: none)",
       number<&Options::connectTimeout>()},
      {"send-timeout", "MS", "longest pause while sending, in milliseconds (default 60000; 0: none)",
       number<&Options::sendTimeout>()},
      {"receive-timeout", "MS", "longest pause while receiving, in milliseconds (default 60000; 0: none)",
       number<&Options::receiveTimeout>()},
      {"tmp-dir", "DIR", "directory for the signing step's temporary files", text<&Options::tmpDir>()},
      {"log-dir", "DIR", "directory for message dumps", text<&Options::logDir>()},
      {"log-level", "N", "above 0: every request and response is dumped", number<&Options::logLevel>()},
      {"no-timestamps", nullptr, "dump names without a timestamp",
       [](Options& o, const std::string&, const std::string&) { o.timestamps = false; }},
      {"plugin", "PATH", "the plug-in (default: libvokr.so beside vokr-host, else the installed one)", text<&Options::plugin>()},
      {"json", nullptr, "one JSON document on standard output instead of text", flag(&Options::json)},
      {"key", "PEM", "signing key with its certificate, for the proposals", text<&Options::key>()},
      {"key-password", "TEXT", "password of the signing key (or VOKR_KEY_PASSWORD)",
       text<&Options::keyPassword>()},
      {"job", "TEXT", "the surveyor's job number", text<&Options::job>()},
      {"area", "CODE", "cadastral area code (default 600001)", text<&Options::area>()},
      {"parcel", "ID", "an affected parcel (repeatable)",
       [](Options& o, const std::string&, const std::string& v) { o.parcels.push_back(v); }},
      {"stem", "NUMBER", "the stem number to subdivide", text<&Options::stem>()},
      {"result", "NUMBER", "workflow: surveying result whose ZPMZ files are fetched", text<&Options::result>()},
      {"out-dir", "DIR", "workflow: where reports and ZPMZ files are saved (made if missing)",
       text<&Options::outDir>()},
      {"attachment", "FILE", "attachment of the proposals (workflow default: one is written)",
       text<&Options::attachment>()},
      {"poll-interval", "SECONDS", "pause between polls (default 2)",
       [](Options& o, const std::string& n, const std::string& v) { o.pollInterval = seconds(n, v); }},
      {"poll-limit", "N", "polls before giving up (default 30)", number<&Options::pollLimit>()},
      {"reason", "TEXT", "why the proceeding is erroneous", text<&Options::reason>()},
      {"partial", nullptr, "a partial extract", flag(&Options::partial)},
      {"stems", "N|LIST", "stem numbers: how many to reserve, or which to give back (1201,1202)",
       text<&Options::stems>()},
      {"subdivisions", "N|LIST", "subdivision numbers of --stem: how many, or which", text<&Options::subdivisions>()},
      {"points", "N|LIST", "survey-point numbers: how many, or which", text<&Options::points>()},
      {"numbering", "0|1", "parcel numbering kind of the stem and subdivision numbers (default 0)",
       number<&Options::numbering>()},
      {"wait", nullptr, "poll until the export run has ended", flag(&Options::wait)},
      {"charset", "NAME", "character set of the export: CP1250 (default) or ISO8859_2", text<&Options::charset>()},
      {"email", "ADDRESS", "where the service mails the export's link", text<&Options::email>()},
      {"groups", "LIST", "data groups of the export (default nemo,vlst,pkmp; also bdpa,jpvz,bpej,gmpl,reze,debo)",
       text<&Options::groups>()},
      {"office", "CODE", "the cadastral office (pracoviště) of the proposal", text<&Options::office>()},
      {"proceeding", "ID", "the survey proceeding the proposal belongs to", text<&Options::proceeding>()},
      {"zpmz", "NUMBER", "the ZPMZ number of the plan's survey records", text<&Options::zpmz>()},
      {"note", "TEXT", "a note of the proposal", text<&Options::note>()},
      {"applicant", "NAME", "the applicant: first name and surname", text<&Options::applicant>()},
      {"birth-date", "YYYY-MM-DD", "the applicant's date of birth", text<&Options::birthDate>()},
      {"data-box", "ID", "the applicant's data box", text<&Options::dataBox>()},
      {"address", "TEXT", "the applicant's address: 'STREET NUMBER, POSTCODE MUNICIPALITY'", text<&Options::address>()},
      {"version", nullptr, "the version of vokr-host and of the plug-in", flag(&Options::version)},
      {"help", nullptr, "this text, or a command's with the command (also -h)", flag(&Options::help)},
  };
  return options;
}

std::string optionLine(const Option& o) {
  std::string head = std::string("  --") + o.name + (o.value ? std::string(" ") + o.value : "");
  head.resize(std::max<size_t>(head.size() + 1, 34), ' ');
  return head + o.help + "\n";
}

} // namespace

Options parseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h") arg = "--help";
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
  if (o.url.empty())
    if (const char* url = std::getenv("VOKR_URL")) o.url = url;
  if (o.user.empty())
    if (const char* user = std::getenv("VOKR_USER")) o.user = user;
  return o;
}

const char* const kExitStatus =
    "exit status:\n"
    "  0    success\n"
    "  1    another failure: the plug-in cannot be loaded, the signing library failed\n"
    "  2    usage: bad arguments or options, or values the plug-in cannot send\n"
    "  3    transport: the service was not reached or its answer was unusable\n"
    "       (connection, TLS, time-out, HTTP error)\n"
    "  4    authentication: the service did not accept the user name and password\n"
    "  5    refused: the service answered with an error message or a SOAP fault\n"
    "  6    local file: a file or folder cannot be read, made or written, or the signing\n"
    "       key does not open with its password\n"
    "  130  interrupted (Ctrl-C); partial files are removed\n";

std::string usage(const std::string& commands) {
  std::string text =
      "usage: vokr-host COMMAND [ARGUMENTS] [OPTIONS]\n"
      "       vokr-host COMMAND --help | --version\n"
      "\n"
      "A host for the VOKR plug-in (libvokr.so): loads it and drives the cadastre's\n"
      "geometric-plan service through its exports.\n"
      "\n"
      "commands:\n" + commands +
      "\n"
      "options:\n";
  for (const Option& o : table()) text += optionLine(o);
  return text + "\n" + kExitStatus;
}

std::string commandUsage(const std::string& synopsis, const std::string& description, const std::string& names) {
  std::string text = "usage: vokr-host " + synopsis + " [OPTIONS]\n\n" + description + "\n";
  if (!names.empty()) {
    text += "\noptions of this command:\n";
    for (const Option& o : table())
      if ((" " + names + " ").find(std::string(" ") + o.name + " ") != std::string::npos) text += optionLine(o);
  }
  return text +
         "\nConnection options (--url, --user, --cacert, time-outs, proxy), --json and the exit\n"
         "status: see vokr-host --help.\n";
}

} // namespace host
