#pragma once
// Files written for the host (reports, ZPMZ documents): replaced whole or not at all, never
// while another program has them in use.
#include <cstdint>
#include <string>

#include "schema/values.h"

namespace vokr::operations {

enum class Saved { written, inUse, failed };

// Writes the content of a response's byte array unchanged to `path`, used as given (no
// directory is created). The bytes go to a new file beside the target, which then replaces it;
// on any failure the earlier file stays as it was and the new one is removed. Content held in
// a scratch file is copied by the OS. Never throws.
Saved saveFile(const std::string& path, const schema::TByteSOAPArray& content) noexcept;

} // namespace vokr::operations
