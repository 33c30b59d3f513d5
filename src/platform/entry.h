#pragma once
// The library's load and unload as the system reports them: the entry point of the shared
// object (constructor, destructor) or of the DLL (DllMain), in posix/ and win32/, calls these
// two. The work itself belongs to the module entry (module/lifecycle.cpp), which defines them.

namespace vokr::platform {

void onLibraryLoad();
void onLibraryUnload();

} // namespace vokr::platform
