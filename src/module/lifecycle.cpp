// The module entry: what happens when the plug-in is loaded and unloaded. It stands above every
// other folder, since it starts and stops all of them. Held responses live in the families'
// module state and are released with it when the library is unloaded.
#include "platform/codepage.h"
#include "plugin/export.h"
#include "plugin/settings.h"
#include "proposals/signing.h"

namespace {

[[gnu::constructor]] void libraryLoaded() {
  vokr::plugin::guarded([] {
    vokr::platform::initCodePage();
    vokr::plugin::resetSettings();
    vokr::proposals::loadSigner();
  });
}

[[gnu::destructor]] void libraryUnloaded() {
  vokr::plugin::guarded([] { vokr::proposals::unloadSigner(); });
}

} // namespace
