// The Linux crash handler: signal handlers on an alternate stack that write
// a minidump and start the reporter with fork/execve. After the crash only
// system calls and static buffers are used.

#include "platform/crash_handler.h"

#include "platform/linux/minidump_writer.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <time.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

const int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

char g_dumpFolder[kCrashPathCapacity];
char g_reporter[kCrashPathCapacity];
char g_dumpPath[kCrashPathCapacity + 64];
std::atomic<bool> g_installed{false};
std::atomic<bool> g_handling{false};
struct sigaction g_previous[sizeof(kSignals) / sizeof(kSignals[0])];

bool copyPath(char* to, const char* from)
{
    const size_t n = std::strlen(from);
    if (n >= size_t(kCrashPathCapacity))
        return false;
    std::memcpy(to, from, n + 1);
    return true;
}

void writeAll(int fd, const char* text)
{
    size_t n = std::strlen(text);
    while (n > 0) {
        const ssize_t w = ::write(fd, text, n);
        if (w <= 0)
            return;
        text += w;
        n -= size_t(w);
    }
}

// A fresh GUID in lower-case 8-4-4-4-12 form, from the kernel's random source.
void makeGuid(char* out)
{
    unsigned char b[16] = {};
    if (::syscall(SYS_getrandom, b, sizeof b, 0) != long(sizeof b)) {
        // No random source: the time and the process make it unique enough.
        struct timespec ts {};
        ::clock_gettime(CLOCK_REALTIME, &ts);
        std::memcpy(b, &ts, sizeof ts < 16 ? sizeof ts : 16);
        const pid_t pid = ::getpid();
        std::memcpy(b + 12, &pid, sizeof pid);
    }
    b[6] = uint8_t((b[6] & 0x0f) | 0x40);  // version 4
    b[8] = uint8_t((b[8] & 0x3f) | 0x80);  // variant
    static const char hex[] = "0123456789abcdef";
    int o = 0;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out[o++] = '-';
        out[o++] = hex[b[i] >> 4];
        out[o++] = hex[b[i] & 15];
    }
    out[o] = 0;
}

void formatDecimal(char* out, int value)
{
    char tmp[16];
    int n = 0;
    unsigned v = value < 0 ? unsigned(-value) : unsigned(value);
    do {
        tmp[n++] = char('0' + v % 10);
        v /= 10;
    } while (v);
    int o = 0;
    if (value < 0)
        out[o++] = '-';
    while (n)
        out[o++] = tmp[--n];
    out[o] = 0;
}

// fork() without the C library's fork handlers, which take locks that a
// crashed thread may hold.
pid_t rawFork()
{
    return pid_t(::syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0));
}

// Starts the reporter detached, with the dump path as its one argument. An
// exec failure comes back through a close-on-exec pipe.
void startReporter()
{
    if (!g_reporter[0])
        return;
    int pipefd[2];
    if (::pipe2(pipefd, O_CLOEXEC) != 0)
        pipefd[0] = pipefd[1] = -1;
    const pid_t child = rawFork();
    if (child == 0) {
        ::setsid();
        // A grandchild, so the reporter is nobody's zombie and outlives us.
        if (rawFork() != 0)
            ::_exit(0);
        char* argv[] = {g_reporter, g_dumpPath, nullptr};
        ::execve(g_reporter, argv, environ);
        const int error = errno;
        if (pipefd[1] >= 0)
            ::write(pipefd[1], &error, sizeof error);
        ::_exit(127);
    }
    if (pipefd[1] >= 0)
        ::close(pipefd[1]);
    int error = 0;
    bool failed = child < 0;
    if (child < 0)
        error = errno;
    if (child > 0) {
        ::waitpid(child, nullptr, 0);
        if (pipefd[0] >= 0 && ::read(pipefd[0], &error, sizeof error) == ssize_t(sizeof error))
            failed = true;
    }
    if (pipefd[0] >= 0)
        ::close(pipefd[0]);
    if (failed) {
        char number[16];
        formatDecimal(number, error);
        writeAll(2, "CreateProcess failed (");
        writeAll(2, number);
        writeAll(2, ").\n");
    }
}

void onCrash(int signal, siginfo_t* info, void* context)
{
    if (!g_handling.exchange(true)) {
        char id[40];
        makeGuid(id);
        char* p = g_dumpPath;
        for (const char* s : {static_cast<const char*>(g_dumpFolder), "/", static_cast<const char*>(id), ".dmp"}) {
            const size_t n = std::strlen(s);
            std::memcpy(p, s, n);
            p += n;
        }
        *p = 0;
        const int fd = ::open(g_dumpPath, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            crashdump::writeMinidump(fd, signal, info, static_cast<const ucontext_t*>(context));
            ::close(fd);
        }
        // The reporter runs even when no dump could be written.
        startReporter();
    }
    // Die of the original signal: default action, then the fault again
    // (returning re-runs the faulting instruction) or the signal raised anew.
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(signal, &dfl, nullptr);
    if (info && info->si_code <= 0)
        ::raise(signal);  // sent by a process (kill, abort), not a fault
    else if (signal != SIGSEGV && signal != SIGBUS && signal != SIGILL && signal != SIGFPE)
        ::raise(signal);
}

}  // namespace

bool setCrashReporterPath(const char* reporterPath)
{
    return copyPath(g_reporter, reporterPath ? reporterPath : "");
}

bool installCrashHandler(const char* dumpFolder, const char* reporterPath)
{
    if (g_installed.exchange(true))
        return false;
    if (!copyPath(g_dumpFolder, dumpFolder) || !setCrashReporterPath(reporterPath)) {
        g_reporter[0] = 0;
    }
    // The handler must run even when the stack itself overflowed.
    static char* altStack = static_cast<char*>(std::malloc(256 * 1024));
    stack_t ss {};
    ss.ss_sp = altStack;
    ss.ss_size = 256 * 1024;
    ::sigaltstack(&ss, nullptr);
    struct sigaction sa {};
    sa.sa_sigaction = onCrash;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
        ::sigaction(kSignals[i], &sa, &g_previous[i]);
    return true;
}

}  // namespace platform
