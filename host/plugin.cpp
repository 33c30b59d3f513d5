#include "plugin.h"

#include <filesystem>

#include "errors.h"
#include "system.h"

namespace host {

Plugin::Plugin(const std::string& path) : path_(path) {
  std::string why;
  handle_ = sys::loadLibrary(path, why);
  if (!handle_) throw HostError("cannot load the plug-in: " + why);
  std::string missing;
#define VOKR_HOST_LOOKUP(name)                                                                    \
  exports_.name = reinterpret_cast<decltype(exports_.name)>(sys::librarySymbol(handle_, #name));              \
  if (!exports_.name) missing += std::string(missing.empty() ? "" : ", ") + #name;
  VOKR_HOST_EXPORTS(VOKR_HOST_LOOKUP)
#undef VOKR_HOST_LOOKUP
  if (!missing.empty()) {
    sys::unloadLibrary(handle_);
    throw HostError(path + " is not a complete VOKR plug-in; it lacks " + missing);
  }
}

Plugin::~Plugin() { sys::unloadLibrary(handle_); }

std::string defaultPluginPath() {
  const std::string dir = sys::executableDirectory();
  if (dir.empty()) return sys::kPluginFileName;
  const std::string beside = dir + sys::kPluginFileName;
  std::error_code ignored;
  if (std::filesystem::exists(beside, ignored)) return beside;
  return dir + VOKR_HOST_INSTALLED_PLUGIN_DIR + sys::kPluginFileName;
}

} // namespace host
