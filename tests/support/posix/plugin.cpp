#include "plugin.h"

#include <dlfcn.h>

namespace vokr::test {

Plugin::Plugin(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw std::runtime_error(std::string("dlopen: ") + dlerror());
}

Plugin::~Plugin() { dlclose(handle_); }

void* Plugin::symbol(const char* name) const { return dlsym(handle_, name); }

} // namespace vokr::test
