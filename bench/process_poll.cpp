// Cost of one process-monitor poll (every running program from /proc)
// against listing /proc alone, in the same run, with the number of
// processes on this machine.
//
// usage: bench_process_poll [ROUNDS]

#include "platform/linux/proc_process_list.h"

#include <QElapsedTimer>

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int listProc()
{
    int n = 0;
    DIR* dir = opendir("/proc");
    while (dirent* e = readdir(dir))
        n += std::isdigit(static_cast<unsigned char>(e->d_name[0])) ? 1 : 0;
    closedir(dir);
    return n;
}

template <typename F>
double medianMicros(int rounds, F f)
{
    std::vector<double> t;
    QElapsedTimer clock;
    for (int i = 0; i < rounds; ++i) {
        clock.start();
        f();
        t.push_back(clock.nsecsElapsed() / 1000.0);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 200;
    ProcProcessList processes;
    int programs = 0;
    const int count = listProc();
    const double base = medianMicros(rounds, [] { listProc(); });
    const double poll = medianMicros(rounds, [&] { programs = processes.runningPrograms().size(); });
    std::printf("%d processes, %d distinct programs readable: one poll %.1f us, listing /proc %.1f us, "
                "ratio %.1f; %.2f us per process\n",
                count, programs, poll, base, poll / base, poll / std::max(1, count));
    return 0;
}
