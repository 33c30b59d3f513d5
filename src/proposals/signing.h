#pragma once
// The signing step of the two proposal families: the inner document goes to the signing library
// libPelkSigner.so through two temporary files, and comes back signed.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "channel/settings.h"
#include "proposals/pelk_signer.h"

namespace vokr::proposals {

// Loads the signing library once, at plug-in load: libPelkSigner.so (PelkSigner.dll) in
// `directory` (ending with a delimiter) if there is one, else the one the system's loader finds. Never fails: a missing
// library or function is remembered and makes every signing step fail with kSignerUnavailable.
void loadSigner(const std::string& directory);
// The same with the plug-in's own directory.
void loadSigner();
void unloadSigner();

// Failure statuses of the plug-in's own; any other status is the code the library gave with
// its False. (A True is status 10000, which never appears as a failure of ours.)
inline constexpr int32_t kSignedFileMissing = 10001;   // True, but no signed document written
inline constexpr int32_t kSignerUnavailable = 10002;  // library or function missing, or it threw

// A signing that did not happen. `text` is "Signature utility error - " + status + CR LF + the
// library's message (or the plug-in's own reason for the statuses above).
struct SigningFailure {
  int32_t status;
  std::string text;
};

// Either the signed document, byte for byte as the library wrote it, or why there is none.
using SigningOutcome = std::variant<std::string, SigningFailure>;

// Signs one serialized inner document through two temporary files in `tmpFolder` (ending with
// a delimiter). `operation` ("zalozNavrhZPG", "zalozNavrhZDP") names the dump of the signed document,
// written when `dumps` says so. On success both temporary files are
// removed; after a failure they stay for inspection (the next step removes them first).
// File trouble (a temporary file that cannot be deleted, created or read, a path that cannot be
// handed to the library unchanged) is raised as vokr::Error of kind EInOutError.
SigningOutcome signDocument(std::string_view document,
                            std::span<const uint8_t, pelk::kSigningBlockWidth> signingBlock,
                            std::string_view operation, const std::string& tmpFolder,
                            const channel::DumpSettings& dumps);

} // namespace vokr::proposals
