#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include "platform/codepage.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "vokr.h"  // the version

namespace vokr::platform {

namespace {

// The version note: the four parts of the file version, as the loader maps it with the file.
struct VersionNote {
  uint32_t nameSize, descSize, type;
  char name[8];
  uint16_t parts[4];
};
constexpr uint32_t kVersionNoteType = 1;

[[gnu::section(".note.vokr.version"), gnu::used, gnu::aligned(4)]]
const VersionNote versionNote = {5, 8, kVersionNoteType, "VOKR",
                                 {VOKR_VERSION_MAJOR, VOKR_VERSION_MINOR, VOKR_VERSION_RELEASE,
                                  VOKR_VERSION_BUILD}};

void anchor() {}

const void* moduleBase() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&anchor), &info)) return nullptr;
  return info.dli_fbase;
}

struct NoteSearch {
  const void* base;
  std::optional<std::array<uint16_t, 4>> found;
};

size_t align4(size_t n) { return (n + 3) & ~size_t(3); }

int searchModule(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<NoteSearch*>(data);
  // The module whose lowest loaded segment is the base dladdr reported for this library.
  bool ours = false;
  for (int i = 0; i < info->dlpi_phnum; ++i)
    if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_offset == 0 &&
        reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr) == search->base)
      ours = true;
  if (!ours) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const auto& ph = info->dlpi_phdr[i];
    if (ph.p_type != PT_NOTE) continue;
    auto* p = reinterpret_cast<const uint8_t*>(info->dlpi_addr + ph.p_vaddr);
    size_t at = 0;
    while (at + 12 <= ph.p_memsz) {
      uint32_t nameSize, descSize, type;
      std::memcpy(&nameSize, p + at, 4);
      std::memcpy(&descSize, p + at + 4, 4);
      std::memcpy(&type, p + at + 8, 4);
      size_t name = at + 12, desc = name + align4(nameSize);
      if (desc + descSize > ph.p_memsz) break;
      if (type == kVersionNoteType && nameSize == 5 && std::memcmp(p + name, "VOKR", 5) == 0 &&
          descSize == 8) {
        std::array<uint16_t, 4> parts;
        std::memcpy(parts.data(), p + desc, 8);
        search->found = parts;
      }
      at = desc + align4(descSize);
    }
  }
  return 1;
}

} // namespace

std::string libraryPath() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&anchor), &info) || !info.dli_fname) return {};
  std::string path = ansiToUtf8(info.dli_fname);
  return path.empty() || path[0] == '/' ? path : absolutePath(path);
}

std::string libraryDirectory() {
  std::string path = libraryPath();
  return path.substr(0, path.rfind('/') + 1);
}

std::string libraryFileName(std::string_view name) { return "lib" + std::string(name) + ".so"; }

std::optional<std::array<uint16_t, 4>> libraryVersion() {
  NoteSearch search{moduleBase(), std::nullopt};
  if (search.base) dl_iterate_phdr(&searchModule, &search);
  return search.found;
}

LoadedLibrary* loadLibrary(const std::string& path, std::string& why) {
  void* handle = dlopen(nativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) why = dlerror();
  return static_cast<LoadedLibrary*>(handle);
}

void* librarySymbol(LoadedLibrary* library, const char* name) { return dlsym(library, name); }

std::string loadedFrom(LoadedLibrary* library) {
  link_map* map = nullptr;
  return dlinfo(library, RTLD_DI_LINKMAP, &map) == 0 && map ? ansiToUtf8(map->l_name) : std::string();
}

void unloadLibrary(LoadedLibrary* library) {
  if (library) dlclose(library);
}

} // namespace vokr::platform
