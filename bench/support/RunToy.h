// Runs the real toy on the bench platform with standard error silenced: the
// trace of thousands of key-downs would drown the report.
#pragma once

#include "bench/support/BenchPlatform.h"
#include "game/Zindle.h"

#include <fcntl.h>
#include <unistd.h>

namespace bench {

// Calls made(&scene) once the toy exists, runs it, and calls made(nullptr)
// before the toy goes, so that no script keeps a pointer to it; returns the
// toy's exit code.
template <typename Made>
int runToyQuietly(BenchPlatform& platform, Made made)
{
    const int savedStderr = dup(2);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 2);
    int exitCode;
    {
        Zindle application(platform);
        made(&application);
        exitCode = application.run();
        made(nullptr);
    }
    dup2(savedStderr, 2);
    close(quiet);
    close(savedStderr);
    return exitCode;
}

} // namespace bench
