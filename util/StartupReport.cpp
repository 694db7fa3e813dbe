#include "util/StartupReport.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

void reportStartupStep(const char* step)
{
    static const bool on = std::getenv("ZINDLE_REPORT_STARTUP") != nullptr;
    if (!on)
        return;
    timespec now{};
    timespec cpu{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::fprintf(stderr, "zindle: start-up %s at %lld.%09ld cpu %.3f\n", step, static_cast<long long>(now.tv_sec),
                 now.tv_nsec, static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) * 1e-6);
}
