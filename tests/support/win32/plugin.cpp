#include "plugin.h"

#include "win32/wide.h"

namespace vokr::test {

Plugin::Plugin(const std::string& path) : path_(path) {
  handle_ = LoadLibraryW(wide(path).c_str());
  if (!handle_) throw std::runtime_error("LoadLibrary " + path + ": error " + std::to_string(GetLastError()));
}

Plugin::~Plugin() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* Plugin::symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

} // namespace vokr::test
