#pragma once
// The plug-in's own file, and the libraries it loads itself (the signing library).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vokr::platform {

std::string libraryPath();       // full path of the loaded plug-in file
std::string libraryDirectory();  // its directory, with a trailing delimiter
// The four 16-bit parts of the plug-in's version resource, or nothing for a file without one.
std::optional<std::array<uint16_t, 4>> libraryVersion();

// The file name this system gives the library `name`: libNAME.so, NAME.dll.
std::string libraryFileName(std::string_view name);

// A library loaded by the plug-in; opaque.
struct LoadedLibrary;
// Loads the library at `path`, or, for a bare file name, the one the system's loader finds.
// Null when it cannot be loaded; `why` then holds the loader's reason.
LoadedLibrary* loadLibrary(const std::string& path, std::string& why);
// The address of an exported function, or null.
void* librarySymbol(LoadedLibrary* library, const char* name);
// The file the library was loaded from; empty when the loader cannot say.
std::string loadedFrom(LoadedLibrary* library);
void unloadLibrary(LoadedLibrary* library);

} // namespace vokr::platform
