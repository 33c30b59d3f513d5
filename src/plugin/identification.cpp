// The identification exports: name, version and description of the plug-in.
#include <cstdio>
#include <string>

#include "platform/codepage.h"
#include "platform/library.h"
#include "platform/paths.h"
#include "plugin/export.h"
#include "plugin/host.h"

namespace {

// A length-prefixed text: one length byte, then the characters, no terminator.
void writeShortText(uint8_t* text, int32_t capacity, const std::string& utf8) {
  if (!text) return;
  size_t limit = capacity < 0 ? 0 : capacity > 255 ? 255 : size_t(capacity);
  std::string ansi = vokr::platform::utf8ToAnsi(utf8, limit);
  text[0] = static_cast<uint8_t>(ansi.size());
  std::memcpy(text + 1, ansi.data(), ansi.size());
}

} // namespace

using vokr::plugin::guarded;

VOKR_API void VOKR_STDCALL GetPelkPluginName(uint8_t* text, int32_t capacity) {
  guarded([&] {
    writeShortText(text, capacity, std::string(vokr::platform::fileName(vokr::platform::libraryPath())));
  });
}

VOKR_API void VOKR_STDCALL GetPelkPluginVersion(uint8_t* text, int32_t capacity) {
  guarded([&] {
    writeShortText(text, capacity, "");
    if (auto v = vokr::platform::libraryVersion()) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", (*v)[0], (*v)[1], (*v)[2], (*v)[3]);
      writeShortText(text, capacity, buffer);
    }
  });
}

VOKR_API void VOKR_STDCALL GetPelkPluginInfo(uint8_t* text, int32_t capacity) {
  guarded([&] { writeShortText(text, capacity, "VOKR version : 2.9"); });
}

VOKR_API void VOKR_STDCALL GetVOKRVersion(char* text, int32_t /*high*/) {
  guarded([&] {
    if (text) std::memcpy(text, "2.9", 4);
  });
}
