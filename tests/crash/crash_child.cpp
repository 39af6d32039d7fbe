// Crashes on purpose with the crash handler installed.
// usage: crash_child MODE DUMP_FOLDER REPORTER      MODE: null-write | abort

#include "app/crash_reporting.h"

#include <QCoreApplication>

#include <cstdlib>
#include <cstring>

extern "C" __attribute__((noinline)) void tesk_crash_by_null_write(volatile int* p)
{
    *p = 42;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    installCrashHandler(QString::fromLocal8Bit(argv[2]));
    setReporter(QString::fromLocal8Bit(argv[3]));
    if (std::strcmp(argv[1], "abort") == 0)
        std::abort();
    tesk_crash_by_null_write(nullptr);
    return 0;
}
