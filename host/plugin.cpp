#include "plugin.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include "errors.h"

namespace host {

Plugin::Plugin(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw HostError(std::string("cannot load the plug-in: ") + dlerror());
  std::string missing;
#define VOKR_HOST_LOOKUP(name)                                                                    \
  exports_.name = reinterpret_cast<decltype(exports_.name)>(dlsym(handle_, #name));              \
  if (!exports_.name) missing += std::string(missing.empty() ? "" : ", ") + #name;
  VOKR_HOST_EXPORTS(VOKR_HOST_LOOKUP)
#undef VOKR_HOST_LOOKUP
  if (!missing.empty()) {
    dlclose(handle_);
    throw HostError(path + " is not a complete VOKR plug-in; it lacks " + missing);
  }
}

Plugin::~Plugin() { dlclose(handle_); }

std::string defaultPluginPath() {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "libvokr.so";
  std::string dir(self, static_cast<size_t>(n));
  dir.erase(dir.rfind('/') + 1);
  const std::string beside = dir + "libvokr.so";
  if (access(beside.c_str(), F_OK) == 0) return beside;
  return dir + VOKR_HOST_INSTALLED_PLUGIN_DIR "libvokr.so";
}

} // namespace host
