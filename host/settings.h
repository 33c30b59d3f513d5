#pragma once
// The two settings records of the plug-in, filled from the command line.
#include "host_memory.h"
#include "options.h"
#include "plugin.h"

namespace host {

// Hands the connection settings and working parameters to the plug-in. For commands that
// talk to the service, the URL and user are required and the passwords are asked for when
// their environment variables are not set.
void applySettings(const Exports& x, HostMemory& memory, const Options& options, bool forService);

// The signing key's password: --key-password, else VOKR_KEY_PASSWORD.
std::string keyPassword(const Options& options);

// The signing block of a proposal record, naming the key file and its password.
void fillSigningBlock(uint8_t (&block)[1228], const Options& options);

} // namespace host
