#include "settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "errors.h"
#include "host_text.h"
#include "interrupt.h"
#include "system.h"

namespace host {

namespace {

// A secret from the environment, else, when `ask`, asked for on the terminal without echo (or
// read as one line from a standard input that is no terminal).
std::string secret(const char* variable, const std::string& prompt, bool ask) {
  if (const char* value = std::getenv(variable)) return value;
  if (!ask) return {};
  bool terminal = sys::inputIsTerminal();
  if (terminal) {
    std::fprintf(stderr, "%s", prompt.c_str());
    restoreEchoOnInterrupt(true);
    sys::setInputEcho(false);
  }
  std::string value;
  std::getline(std::cin, value);
  if (terminal) {
    sys::setInputEcho(true);
    restoreEchoOnInterrupt(false);
    std::fprintf(stderr, "\n");
  }
  return value;
}

void requireDirectory(const std::string& dir, const char* option) {
  std::error_code error;
  if (!dir.empty() && !std::filesystem::is_directory(dir, error))
    throw UsageError(std::string("--") + option + ": no directory " + dir);
}

} // namespace

void applySettings(const Exports& x, HostMemory& memory, const Options& o, bool forService) {
  if (forService && o.url.empty()) throw UsageError("--url is required for '" + o.command + "'");
  if (forService && o.user.empty()) throw UsageError("--user is required for '" + o.command + "'");
  requireDirectory(o.tmpDir, "tmp-dir");
  requireDirectory(o.logDir, "log-dir");

  auto* info = memory.make<TConnectInfo>();
  put(info->URL, o.url, "--url");
  put(info->UserName, o.user, "--user");
  put(info->WSDLLocation, o.wsdl, "--wsdl");
  put(info->Proxy, o.proxy, "--proxy");
  put(info->ProxyByPass, o.proxyBypass, "--proxy-bypass");
  put(info->ProxyUserName, o.proxyUser, "--proxy-user");
  info->ConnectTimeout = o.connectTimeout;
  info->SendTimeout = o.sendTimeout;
  info->ReceiveTimeout = o.receiveTimeout;
  put(info->UserPassword, secret("VOKR_PASSWORD", "Password of " + o.user + ": ", forService), "password");
  put(info->ProxyPassword,
      secret("VOKR_PROXY_PASSWORD", "Proxy password of " + o.proxyUser + ": ", forService && !o.proxyUser.empty()),
      "proxy password");
  x.SetConnectInfo(info);

  auto* params = memory.make<TVOKR_HostParams>();
  put(params->TmpPath, o.tmpDir, "--tmp-dir");
  put(params->LogPath, o.logDir, "--log-dir");
  params->LogLevel = o.logLevel;
  params->LogUseTimestamp = o.timestamps;
  x.SetVOKRParams(params);
}

void fillSigningBlock(uint8_t (&block)[1228], const Options& o) {
  static_assert(sizeof(TPelkSignerKeyBlock) == sizeof block);
  auto* key = reinterpret_cast<TPelkSignerKeyBlock*>(block);
  put(key->KeyFile, o.key, "--key");
  put(key->Password, keyPassword(o), "--key-password");
}

std::string keyPassword(const Options& o) {
  const char* fromEnvironment = std::getenv("VOKR_KEY_PASSWORD");
  return !o.keyPassword.empty() || !fromEnvironment ? o.keyPassword : fromEnvironment;
}

} // namespace host
