#pragma once
// Writes a minidump (the MDMP format crash tools read) of the crashing
// process from inside a signal handler: header, system information, the
// exception (signal and fault address), the crashing thread with its
// registers and stack memory, and the loaded modules from /proc/self/maps.
// Uses only system calls and fixed static buffers: async-signal-safe.

#include <signal.h>
#include <ucontext.h>

namespace crashdump {

// True when the whole dump was written to `fd`.
bool writeMinidump(int fd, int signal, const siginfo_t* info, const ucontext_t* context);

}  // namespace crashdump
