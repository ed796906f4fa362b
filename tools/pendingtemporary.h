#pragma once

#include <filesystem>

// The report's temporary file while it is written: no signal that ends the process leaves it
// behind. SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU and SIGPIPE remove
// it, say so on standard error, and end the process by the same signal, as if it had not been
// caught; a signal that the caller had ignored stays ignored. SIGKILL cannot be caught.
namespace lanshan {

// Creates the file exclusively (its mode from the umask) with those signals held off until it
// is recorded, so that none comes between. The descriptor, or -1 with errno.
int createPendingTemporary(const std::filesystem::path &temporary);

// The file is renamed or removed: no signal removes it any more.
void releasePendingTemporary();

} // namespace lanshan
