// Connection settings and working parameters: module state and their five exports.
#include "plugin/settings.h"

#include "platform/library.h"
#include "platform/paths.h"
#include "plugin/export.h"
#include "plugin/host.h"

namespace vokr::plugin {

namespace {

TConnectInfo& connect() {
  static TConnectInfo info;
  return info;
}

Params& mutableParams() {
  static Params p;
  return p;
}

// Copies a text field up to and including its terminator; nothing past the field.
template <size_t N> void copyField(char (&to)[N], const char (&from)[N]) {
  size_t n = 0;
  while (n < N && from[n]) ++n;
  std::memcpy(to, from, n < N ? n + 1 : N);
}

void copyConnectInfo(TConnectInfo& to, const TConnectInfo& from) {
  copyField(to.URL, from.URL);
  copyField(to.UserName, from.UserName);
  copyField(to.UserPassword, from.UserPassword);
  copyField(to.WSDLLocation, from.WSDLLocation);
  copyField(to.Proxy, from.Proxy);
  copyField(to.ProxyByPass, from.ProxyByPass);
  copyField(to.ProxyUserName, from.ProxyUserName);
  copyField(to.ProxyPassword, from.ProxyPassword);
  to.ConnectTimeout = from.ConnectTimeout;
  to.SendTimeout = from.SendTimeout;
  to.ReceiveTimeout = from.ReceiveTimeout;
}

void clearConnectInfo() {
  std::memset(&connect(), 0, sizeof(TConnectInfo));
  connect().ConnectTimeout = connect().SendTimeout = connect().ReceiveTimeout = -1;
}

// A host path as stored: one whole %NAME% reference is the variable's value, a relative path
// is made absolute, a path that names no directory becomes the temporary directory.
std::string resolvePath(const std::string& path) {
  std::string result;
  if (path[0] == '%')
    result = platform::environment(path.size() >= 2 ? path.substr(1, path.size() - 2) : "")
                 .value_or("");
  else if (platform::isRelativePath(path))
    result = platform::absolutePath(path);
  else
    result = path;
  if (!platform::isDirectory(result)) result = platform::temporaryDirectory();
  return platform::withDelimiter(result);
}

} // namespace

const TConnectInfo& connectInfo() { return connect(); }
const Params& params() { return mutableParams(); }

channel::ChannelSettings channelSettings(const TConnectInfo& info, const Params& params) {
  channel::ChannelSettings s;
  channel::TransportSettings& t = s.transport;
  t.endpoint = channel::serviceEndpoint(readText(info.URL));
  t.proxy = readText(info.Proxy);
  if (!t.proxy.empty()) {  // the other proxy fields mean nothing without a proxy
    t.proxyBypass = readText(info.ProxyByPass);
    t.proxyUserName = readText(info.ProxyUserName);
    t.proxyPassword = readText(info.ProxyPassword);
  }
  // -1 or 0 is no setting: the limits of the platform HTTP stacks hosts know apply instead.
  // Without a connect limit of its own the receive limit bounds the wait for the answer from
  // the start, the connection and TLS handshake included.
  const bool connectSet = info.ConnectTimeout > 0, receiveSet = info.ReceiveTimeout > 0;
  t.connectTimeout = connectSet ? info.ConnectTimeout : receiveSet ? info.ReceiveTimeout : 60000;
  t.connectTimeoutName = !connectSet && receiveSet ? "ReceiveTimeout" : "ConnectTimeout";
  t.sendTimeout = info.SendTimeout > 0 ? info.SendTimeout : 30000;
  t.receiveTimeout = receiveSet ? info.ReceiveTimeout : 30000;
  s.userName = readText(info.UserName);
  s.password = readText(info.UserPassword);
  s.dumps.enabled = params.logLevel > 0;
  s.dumps.useTimestamp = params.logUseTimestamp != 0;
  s.dumps.folder = params.logPath;
  s.spill.folder = params.tmpPath;
  return s;
}

channel::ChannelSettings channelSettings() { return channelSettings(connect(), params()); }

void resetSettings() {
  clearConnectInfo();
  Params& p = mutableParams();
  p = Params{};
  p.basePath = platform::withDelimiter(platform::libraryDirectory());
  p.tmpPath = p.logPath = p.basePath;
}

} // namespace vokr::plugin

using namespace vokr::plugin;

VOKR_API void VOKR_STDCALL SetConnectInfo(const TConnectInfo* info) {
  guarded([&] {
    if (info) copyConnectInfo(connect(), *info);
  });
}

VOKR_API void VOKR_STDCALL GetConnectInfo(TConnectInfo* info) {
  guarded([&] {
    if (info) copyConnectInfo(*info, connect());
  });
}

VOKR_API void VOKR_STDCALL ClearConnectInfo() { guarded([] { clearConnectInfo(); }); }

VOKR_API void VOKR_STDCALL SetVOKRParams(const TVOKR_HostParams* host) {
  guarded([&] {
    if (!host) return;
    Params& p = mutableParams();
    if (std::string tmp = readText(host->TmpPath); !tmp.empty()) p.tmpPath = resolvePath(tmp);
    if (std::string log = readText(host->LogPath); !log.empty()) p.logPath = resolvePath(log);
    p.logLevel = host->LogLevel;
    p.logUseTimestamp = host->LogUseTimestamp;
  });
}

VOKR_API void VOKR_STDCALL GetVOKRParams(TVOKR_HostParams* host) {
  guarded([&] {
    if (!host) return;
    const Params& p = params();
    writeText(host->TmpPath, p.tmpPath);
    writeText(host->LogPath, p.logPath);
    host->LogLevel = p.logLevel;
    host->LogUseTimestamp = p.logUseTimestamp;
  });
}
