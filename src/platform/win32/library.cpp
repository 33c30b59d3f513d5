#include <windows.h>

#include <vector>

#include "platform/library.h"
#include "platform/paths.h"
#include "platform/win32/wide.h"

namespace vokr::platform {

using win32::utf8;
using win32::wide;

namespace {

// The full file name of a loaded module (GetModuleFileNameW truncates silently: grow until it fits).
std::string moduleFileName(HMODULE module) {
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, name.data(), DWORD(name.size()));
    if (n == 0) return {};
    if (n < name.size()) return utf8(std::wstring_view(name.data(), n));
    name.resize(name.size() * 2);
  }
}

HMODULE ownModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ownModule), &module);
  return module;
}

} // namespace

std::string libraryPath() {
  HMODULE module = ownModule();
  return module ? moduleFileName(module) : std::string();
}

std::string libraryDirectory() {
  std::string path = libraryPath();
  return path.substr(0, path.size() - fileName(path).size());
}

std::string libraryFileName(std::string_view name) { return std::string(name) + ".dll"; }

// The file version of the version resource (VS_FIXEDFILEINFO) of the plug-in's file as it is on
// disk now; a copy without the resource has none.
std::optional<std::array<uint16_t, 4>> libraryVersion() {
  const std::wstring path = wide(libraryPath());
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
      !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != VS_FFI_SIGNATURE)
    return std::nullopt;
  return std::array<uint16_t, 4>{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                                 HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

// A full path is loaded from there, its own dependencies searched beside it first; a bare
// name through the standard search.
LoadedLibrary* loadLibrary(const std::string& path, std::string& why) {
  const bool bare = path.find_first_of("\\/:") == std::string::npos;
  HMODULE module = LoadLibraryExW(wide(path).c_str(), nullptr, bare ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) why = win32::systemMessage(GetLastError());
  return reinterpret_cast<LoadedLibrary*>(module);
}

void* librarySymbol(LoadedLibrary* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

std::string loadedFrom(LoadedLibrary* library) { return moduleFileName(reinterpret_cast<HMODULE>(library)); }

void unloadLibrary(LoadedLibrary* library) {
  if (library) FreeLibrary(reinterpret_cast<HMODULE>(library));
}

} // namespace vokr::platform
