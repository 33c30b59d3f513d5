#include "output.h"

#include <cstdio>

#include "show.h"

namespace host {

namespace {

bool startsWith(const std::string& s, std::string_view prefix) { return s.rfind(prefix, 0) == 0; }
bool contains(const std::string& s, std::string_view part) { return s.find(part) != std::string::npos; }

// The standard fault texts of WS-Security, which a service answers for a user name token it
// does not accept.
bool securityFault(const std::string& text) {
  static const char* const faults[] = {
      "The security token could not be authenticated or authorized",
      "An error was discovered processing the <wsse:Security> header",
      "An invalid security token was provided",
      "An unsupported token was provided",
  };
  for (const char* f : faults)
    if (contains(text, f)) return true;
  return false;
}

Exit causeOfFailedCall(const std::string& text) {
  if (startsWith(text, "ERemotableException; ")) return securityFault(text) ? Exit::authentication : Exit::refused;
  if (startsWith(text, "EHttpError; "))
    return contains(text, "HTTP 401") || contains(text, "HTTP 403") ? Exit::authentication : Exit::transport;
  return Exit::transport;  // ETransportError, EXmlReadError
}

const char* const kLevels[] = {"INFORMACE", "VAROVANI", "CHYBA"};

Json messagesJson(const Messages& m) {
  Json list = Json::array();
  for (const Message& r : m.list)
    list.push(Json::object()
                  .set("kod", utf8(r.kod))
                  .set("uroven", r.uroven < 3 ? kLevels[r.uroven] : "?")
                  .set("text", utf8(r.text)));
  return list;
}

} // namespace

const char* exitName(Exit e) {
  switch (e) {
  case Exit::ok: return "ok";
  case Exit::failure: return "failure";
  case Exit::usage: return "usage";
  case Exit::transport: return "transport";
  case Exit::authentication: return "authentication";
  case Exit::refused: return "refused";
  case Exit::localFile: return "local-file";
  case Exit::interrupted: return "interrupted";
  }
  return "?";
}

Exit causeOf(const Messages& m) {
  if (m.success) return Exit::ok;
  for (const Message& r : m.list) {
    if (r.uroven != 2) continue;
    if (r.kod == "1000") return causeOfFailedCall(r.text);
    if (r.kod == "1001") return startsWith(r.text, "EInOutError; ") ? Exit::localFile : Exit::usage;
    // The signing library's status codes: 10000 and above, or negative.
    if (r.kod.size() >= 5 || startsWith(r.kod, "-")) return Exit::failure;
    return Exit::refused;
  }
  return Exit::refused;
}

Output::Output(std::string command, bool json, std::string endpoint, bool urlHasEndpoint)
    : command_(std::move(command)), json_(json), endpoint_(std::move(endpoint)), urlHasEndpoint_(urlHasEndpoint) {
  setTextOutput(!json);
}

bool Output::call(const char* operation, const Messages& m) {
  Exit cause = causeOf(m);
  calls_.push(Json::object()
                  .set("operation", operation)
                  .set("ok", cause == Exit::ok)
                  .set("cause", exitName(cause))
                  .set("messages", messagesJson(m)));
  if (cause == Exit::ok) {
    printMessages(m);
    return true;
  }
  if (exit_ == Exit::ok) exit_ = cause;
  std::fflush(stdout);
  std::string head = m.callFailure ? " at " + endpoint_ : "";
  std::fprintf(stderr, "vokr-host: %s %s%s:\n", operation,
               cause == Exit::refused ? "refused by the service" : "failed", head.c_str());
  for (const Message& r : m.list)
    std::fprintf(stderr, "    [%s %s] %s\n", r.kod.c_str(), r.uroven < 3 ? kLevels[r.uroven] : "?", r.text.c_str());
  std::string all;
  for (const Message& r : m.list) all += r.text + "\n";
  if (m.callFailure && urlHasEndpoint_)
    std::fprintf(stderr, "hint: --url is the service's base URL; the plug-in appends /ws/geo/2.9/geo itself\n");
  if (cause == Exit::transport && contains(all, "certificate"))
    std::fprintf(stderr, "hint: trust the service's certificate with --cacert FILE\n");
  if (cause == Exit::transport && contains(all, "timed out"))
    std::fprintf(stderr, "hint: --connect-timeout and --receive-timeout set the waits in milliseconds\n");
  if (cause == Exit::authentication)
    std::fprintf(stderr, "hint: check --user (VOKR_USER) and the password (VOKR_PASSWORD)\n");
  return false;
}

void Output::file(const std::string& path, int64_t size) {
  files_.push(Json::object().set("path", utf8(path)).set("size", size));
}

void Output::fail(const std::string& message, Exit cause) {
  if (exit_ == Exit::ok) exit_ = cause;
  if (error_.empty()) error_ = message;
  std::fflush(stdout);
  std::fprintf(stderr, "vokr-host: %s\n", message.c_str());
}

int Output::finish() {
  if (json_) {
    Json doc = Json::object();
    doc.set("command", command_)
        .set("ok", exit_ == Exit::ok)
        .set("exit", static_cast<int32_t>(exit_))
        .set("cause", exitName(exit_))
        .set("endpoint", endpoint_.empty() ? Json() : Json(utf8(endpoint_)))
        .set("calls", calls_)
        .set("result", result_)
        .set("files", files_)
        .set("error", error_.empty() ? Json() : Json(utf8(error_)));
    std::printf("%s\n", doc.dump().c_str());
  }
  std::fflush(stdout);
  return static_cast<int>(exit_);
}

} // namespace host
