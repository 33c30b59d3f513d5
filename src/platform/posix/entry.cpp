// The shared object's entry points.
#include "platform/entry.h"

namespace {

[[gnu::constructor]] void loaded() { vokr::platform::onLibraryLoad(); }
[[gnu::destructor]] void unloaded() { vokr::platform::onLibraryUnload(); }

} // namespace
