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
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "zindle: start-up %s at %lld.%09ld\n", step, static_cast<long long>(now.tv_sec), now.tv_nsec);
}
