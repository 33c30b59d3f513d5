#pragma once
// Files written for the host (reports, ZPMZ documents): replaced whole or not at all, never
// while they are in use.
#include <cstdint>
#include <span>
#include <string>

namespace vokr::operations {

enum class Saved { written, inUse };

// Writes `content` unchanged to `path`, used as given (no directory is created). The bytes go
// to a new file beside the target, which then replaces it. A file that cannot be written
// throws vokr::Error of kind EInOutError saying why; the earlier file then stays as it was and
// the new one is removed.
Saved saveFile(const std::string& path, std::span<const uint8_t> content);

} // namespace vokr::operations
