// The module entry: what happens when the plug-in is loaded and unloaded. It stands above every
// other folder, since it starts and stops all of them; the system's entry point (platform/entry.h)
// calls it. Held responses live in the families' module state and are released with it when
// the library is unloaded.
#include "platform/codepage.h"
#include "platform/entry.h"
#include "plugin/export.h"
#include "plugin/settings.h"
#include "proposals/signing.h"

namespace vokr::platform {

void onLibraryLoad() {
  plugin::guarded([] {
    initCodePage();
    plugin::resetSettings();
    proposals::loadSigner();
  });
}

void onLibraryUnload() {
  plugin::guarded([] { proposals::unloadSigner(); });
}

} // namespace vokr::platform
