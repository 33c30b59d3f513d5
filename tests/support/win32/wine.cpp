#include "win32/wine.h"

#include <stdexcept>

#include "system.h"
#include "win32/wide.h"

namespace vokr::test {

namespace {

// wine's kernel32 exports its own conversions; their results come from the process heap.
template <class Fn> Fn* wineFunction(const char* name) {
  void* fn = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name));
  if (!fn) throw std::runtime_error(std::string("not running under wine: no ") + name);
  return reinterpret_cast<Fn*>(fn);
}

} // namespace

std::string linuxPath(const std::string& path) {
  char* name = wineFunction<char* CDECL(const wchar_t*)>("wine_get_unix_file_name")(wide(path).c_str());
  if (!name) throw std::runtime_error("no Linux path for " + path);
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

std::string windowsPath(const std::string& linuxPath) {
  wchar_t* name = wineFunction<wchar_t* CDECL(const char*)>("wine_get_dos_file_name")(linuxPath.c_str());
  if (!name) throw std::runtime_error("no Windows path for " + linuxPath);
  std::string result = utf8(name);
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

} // namespace vokr::test
