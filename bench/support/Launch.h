// Starting a program as a process and timing its launch, for the launch and
// picture benchmarks. The program runs in a folder of its own with the
// start-up marks (tests/support/programs/startup_marks.cpp) added to its LD_PRELOAD:
// they write the CLOCK_MONOTONIC time and its CPU time at the end of each
// start-up step on standard error, up to its first swap, which is read line by
// line. Its memory is read from /proc right after that swap; then SIGTERM ends
// it and its exit code is noted.
#pragma once

#include "bench/support/ProcStatus.h"

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#ifndef ZINDLE_STARTUP_MARKS
#error "ZINDLE_STARTUP_MARKS: the path of the start-up marks library, set by bench/CMakeLists.txt"
#endif

namespace bench {

inline double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A program to start: where it lies, the folder it starts in, and variables
// to set for it (an empty value unsets).
struct Launch {
    std::string path;
    std::filesystem::path folder;
    std::vector<std::pair<std::string, std::string>> environment;
};

struct StartupStep {
    std::string name;
    double at = 0.0;  // ms after the fork
    double cpu = 0.0; // ms of CPU used by then
};

struct LaunchRun {
    double launchMs = -1.0; // fork to the first swap
    double cpuMs = -1.0;    // CPU used by then
    double residentMb = -1.0;
    double peakMb = -1.0; // the peak resident memory by then
    int exitCode = -1;
    // Start-up steps in the order written.
    std::vector<StartupStep> steps;
    std::string output;
};

namespace launch_detail {

constexpr char stepLine[] = "zindle: start-up ";
constexpr char swapStep[] = "first frame swapped";

// Reads what the program writes to standard error until the swap line shows
// or the deadline passes, noting every start-up step on the way.
inline bool readUntilSwap(int fd, double start, double deadlineSeconds, LaunchRun& run)
{
    const double deadline = monotonicSeconds() + deadlineSeconds;
    std::string pending;
    while (monotonicSeconds() < deadline) {
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0)
            continue;
        char chunk[4096];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0)
            return false;
        pending.append(chunk, static_cast<std::size_t>(got));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            run.output += line + "\n";
            if (line.compare(0, sizeof stepLine - 1, stepLine) != 0)
                continue;
            const std::size_t at = line.rfind(" at ");
            const std::size_t cpu = line.rfind(" cpu ");
            if (at == std::string::npos || cpu == std::string::npos || at <= sizeof stepLine - 1 || cpu < at)
                continue;
            StartupStep step{line.substr(sizeof stepLine - 1, at - (sizeof stepLine - 1)),
                             (std::atof(line.c_str() + at + 4) - start) * 1000.0, std::atof(line.c_str() + cpu + 5)};
            run.steps.push_back(step);
            if (step.name == swapStep) {
                run.launchMs = step.at;
                run.cpuMs = step.cpu;
                return true;
            }
        }
    }
    return false;
}

// Waits for the child to end; its exit code, or -1 after a kill at the deadline.
inline int reap(pid_t pid, int fd, double deadlineSeconds)
{
    const double deadline = monotonicSeconds() + deadlineSeconds;
    int status = 0;
    while (monotonicSeconds() < deadline) {
        char sink[4096];
        while (read(fd, sink, sizeof sink) > 0) {
        }
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, 2);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

} // namespace launch_detail

// Starts the program, measures its launch, and ends it; each wait gives up
// after deadlineSeconds.
inline LaunchRun launchOnce(const Launch& program, double deadlineSeconds)
{
    LaunchRun run;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return run;
    // After whatever is preloaded already (a sanitizer's helpers).
    const char* preloaded = std::getenv("LD_PRELOAD");
    const std::string preload = preloaded != nullptr && *preloaded != '\0'
                                    ? std::string(preloaded) + ":" + ZINDLE_STARTUP_MARKS
                                    : std::string(ZINDLE_STARTUP_MARKS);
    const double start = monotonicSeconds();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 2);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        if (chdir(program.folder.c_str()) != 0)
            _exit(126);
        setenv("LD_PRELOAD", preload.c_str(), 1);
        for (const auto& [name, value] : program.environment) {
            if (value.empty())
                unsetenv(name.c_str());
            else
                setenv(name.c_str(), value.c_str(), 1);
        }
        execl(program.path.c_str(), program.path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return run;
    }
    if (launch_detail::readUntilSwap(pipeFds[0], start, deadlineSeconds, run)) {
        const std::string status = "/proc/" + std::to_string(pid) + "/status";
        run.residentMb = static_cast<double>(statusKilobytes("VmRSS", status.c_str())) / 1024.0;
        run.peakMb = static_cast<double>(statusKilobytes("VmHWM", status.c_str())) / 1024.0;
    }
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    kill(pid, SIGTERM);
    run.exitCode = launch_detail::reap(pid, pipeFds[0], deadlineSeconds);
    close(pipeFds[0]);
    return run;
}

} // namespace bench
