#pragma once
// Files written for the host (reports, ZPMZ documents): replaced whole or not at all, never
// while they are in use.
#include <cstdint>
#include <string>

#include "schema/values.h"

namespace vokr::operations {

enum class Saved { written, inUse };

// Writes the content of a response's byte array unchanged to `path`, used as given (no
// directory is created). The bytes go to a new file beside the target, which then replaces it;
// content held in a scratch file is copied by the OS. A file that cannot be written throws
// vokr::Error of kind EInOutError saying why; the earlier file then stays as it was and the new
// one is removed.
Saved saveFile(const std::string& path, const schema::TByteSOAPArray& content);

} // namespace vokr::operations
