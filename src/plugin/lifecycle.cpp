// Library load and unload. Held responses live in the families' module state and are
// released with it when the library is unloaded.
#include "platform/platform.h"
#include "plugin/export.h"
#include "plugin/settings.h"

namespace {

[[gnu::constructor]] void libraryLoaded() {
  vokr::plugin::guarded([] {
    vokr::platform::initCodePage();
    vokr::plugin::resetSettings();
  });
}

} // namespace
