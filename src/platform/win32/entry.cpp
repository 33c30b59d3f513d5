// The DLL's entry point. libxml2 is linked in statically for use inside a DLL
// (LIBXML_STATIC_FOR_DLL): its per-thread state is released from here, on every notification.
#include <windows.h>

#include "platform/entry.h"

extern "C" int xmlDllMain(void* module, unsigned long reason, void* reserved);

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  switch (reason) {
  case DLL_PROCESS_ATTACH:
    xmlDllMain(module, reason, reserved);
    vokr::platform::onLibraryLoad();
    break;
  case DLL_PROCESS_DETACH:
    // At process exit (reserved set) other threads are gone and other DLLs may be unloaded
    // already: nothing to release that the process's end does not release.
    if (!reserved) vokr::platform::onLibraryUnload();
    xmlDllMain(module, reason, reserved);
    break;
  default:
    xmlDllMain(module, reason, reserved);
  }
  return TRUE;
}
