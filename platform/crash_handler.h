#pragma once
// The in-process crash handler: on SIGSEGV, SIGBUS, SIGILL, SIGFPE or
// SIGABRT it writes a minidump "<dumpFolder>/<guid>.dmp", starts the
// reporter with the dump's path, and lets the process die of the original
// signal. Everything after the crash is async-signal-safe: the paths are
// copied into fixed buffers here, before any crash.

namespace platform {

// Installs the handler once per process; false when it was installed before
// or a path does not fit. An empty `reporterPath` starts no reporter.
bool installCrashHandler(const char* dumpFolder, const char* reporterPath);
// Changes the reporter started after a crash (same buffer rules).
bool setCrashReporterPath(const char* reporterPath);

constexpr int kCrashPathCapacity = 1024;  // bytes, terminator included

}  // namespace platform
