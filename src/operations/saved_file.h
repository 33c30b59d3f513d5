#pragma once
// Files written for the host (reports, ZPMZ documents): replaced whole or not at all, never
// while another program has them in use.
#include <cstdint>
#include <span>
#include <string>

namespace vokr::operations {

enum class Saved { written, inUse, failed };

// Writes `content` unchanged to `path`, used as given (no directory is created). The bytes go
// to a new file beside the target, which then replaces it; on any failure the earlier file
// stays as it was and the new one is removed. Never throws.
Saved saveFile(const std::string& path, std::span<const uint8_t> content) noexcept;

} // namespace vokr::operations
