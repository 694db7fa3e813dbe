// Launch to the first frame on screen: the real program, from just before the
// process is started to the moment its first buffer swap returns. Budget:
// 250 ms. The program is started in its own folder (with its splash picture
// beside it) on the X server in DISPLAY, with ZINDLE_REPORT_FIRST_SWAP set,
// which makes it write the CLOCK_MONOTONIC time of that swap as one line on
// standard error. The program's resident memory is read from /proc right
// then; it is then sent SIGTERM and must end with exit code 0. The figures are
// the medians of several runs.
//
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24" ./launch_bench ../zindle [runs]
#include "bench/support/Stats.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr double budgetMs = 250.0;
constexpr int deadlineMs = 30000;
constexpr char swapLine[] = "zindle: first frame swapped at ";

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

long residentKilobytes(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return -1;
    char line[256];
    long value = -1;
    while (std::fgets(line, sizeof line, file))
        if (std::sscanf(line, "VmRSS: %ld", &value) == 1)
            break;
    std::fclose(file);
    return value;
}

// Reads what the program writes to standard error until the swap line shows
// or the deadline passes; returns the time in it, or a negative value.
double readSwapTime(int fd, std::string& output)
{
    const double deadline = monotonicSeconds() + deadlineMs / 1000.0;
    std::string pending;
    while (monotonicSeconds() < deadline) {
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0)
            continue;
        char chunk[4096];
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0)
            return -1.0;
        pending.append(chunk, static_cast<std::size_t>(got));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            output += line + "\n";
            if (line.compare(0, sizeof swapLine - 1, swapLine) == 0)
                return std::atof(line.c_str() + sizeof swapLine - 1);
        }
    }
    return -1.0;
}

// Waits for the child to end; its exit code, or -1 after a kill at the deadline.
int reap(pid_t pid, int fd)
{
    const double deadline = monotonicSeconds() + deadlineMs / 1000.0;
    int status = 0;
    while (monotonicSeconds() < deadline) {
        char sink[4096];
        while (read(fd, sink, sizeof sink) > 0) {
        }
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, 20);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

struct Run {
    double launchMs = -1.0;
    long residentKb = -1;
    int exitCode = -1;
    std::string output;
};

Run launchOnce(const std::string& program, const std::string& folder)
{
    Run run;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return run;
    const double start = monotonicSeconds();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFds[1], 2);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        setenv("ZINDLE_REPORT_FIRST_SWAP", "1", 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return run;
    }
    const double swapped = readSwapTime(pipeFds[0], run.output);
    if (swapped > 0.0) {
        run.launchMs = (swapped - start) * 1000.0;
        run.residentKb = residentKilobytes(pid);
    }
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    kill(pid, SIGTERM);
    run.exitCode = reap(pid, pipeFds[0]);
    close(pipeFds[0]);
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: launch_bench PROGRAM [runs]\n");
        return 1;
    }
    char resolved[4096];
    if (!realpath(argv[1], resolved)) {
        std::fprintf(stderr, "launch_bench: %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    const std::string program = resolved;
    const std::string folder = program.substr(0, program.rfind('/'));
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

    // One run first, not counted: it fills the file cache and fontconfig's.
    Run first = launchOnce(program, folder);
    if (first.launchMs < 0) {
        std::fprintf(stderr, "launch_bench: no first frame reported; the program said:\n%s", first.output.c_str());
        return 1;
    }

    std::vector<double> launches;
    std::vector<double> resident;
    bool cleanExits = first.exitCode == 0;
    for (int i = 0; i < runs; ++i) {
        const Run run = launchOnce(program, folder);
        if (run.launchMs < 0) {
            std::fprintf(stderr, "launch_bench: run %d reported no first frame:\n%s", i + 1, run.output.c_str());
            return 1;
        }
        launches.push_back(run.launchMs);
        resident.push_back(static_cast<double>(run.residentKb));
        cleanExits = cleanExits && run.exitCode == 0;
        if (run.exitCode != 0)
            std::fprintf(stderr, "launch_bench: run %d ended with %d after SIGTERM\n", i + 1, run.exitCode);
    }

    const double launch = bench::median(launches);
    std::printf("Launch to the first frame swapped, real program (budget <= %.0f ms):\n", budgetMs);
    std::printf("  %.1f ms, median of %d runs (", launch, runs);
    for (std::size_t i = 0; i < launches.size(); ++i)
        std::printf("%s%.0f", i ? ", " : "", launches[i]);
    std::printf(")  %s\n", bench::verdict(launch <= budgetMs));
    std::printf("Resident memory of the real program after its first frame: %.1f MB (median)\n",
                bench::median(resident) / 1024.0);
    std::printf("SIGTERM ended every run with exit code 0: %s\n", cleanExits ? "yes" : "NO");
    return launch <= budgetMs && cleanExits ? 0 : 2;
}
