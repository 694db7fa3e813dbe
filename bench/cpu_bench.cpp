// The CPU the real toy uses, and the frames it draws, while it plays and while
// it is minimized. The toy's own CPU time (user and system, all threads, from
// /proc/PID/stat) per second on the clock, over `seconds` of play, medians of
// several runs; the toy runs full screen on the X server in DISPLAY with
// bench/shim/count_frames preloaded, which counts its swaps and notes the
// refresh rate SDL reports to it.
//
// Budgets, with cubes spinning and three keys thrown every half second:
//   - paced (as the toy runs): at most 0.4 of one core, and at most a third
//     of what the same build uses unpaced in the same run;
//   - frames drawn: never more than the reported refresh rate (60 Hz where
//     none is reported) plus 2 %;
//   - minimized under a window manager (openbox): at most 0.01 of one core.
// The unpaced figure comes from the same binary with the shim also reporting
// a refresh rate of a million frames a second (ZINDLE_BENCH_UNPACED): the toy
// then paces to a grid finer than any frame takes, so it draws as fast as the
// machine allows, as it did before it paced its frames. The toy itself has no
// switch for it.
//
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24"
//       ./cpu_bench ./zindle ./bench/libcount_frames.so [seconds] [runs]
#include "bench/shim/ToyCounters.h"
#include "bench/support/Launch.h"
#include "bench/support/Stats.h"

#include <sys/mman.h>
#include <sys/wait.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <new>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double pacedBudgetCores = 0.4;
constexpr double pacedBudgetShare = 1.0 / 3.0;
constexpr double minimizedBudgetCores = 0.01;
constexpr double frameRateSlack = 1.02;
constexpr int unknownRate = 60;
constexpr double deadlineSeconds = 60.0;
constexpr double throwEverySeconds = 0.5;

void pause(int milliseconds)
{
    poll(nullptr, 0, milliseconds);
}

// Runs a command and waits for it; its output is dropped.
bool runQuietly(const std::vector<std::string>& command)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        std::vector<char*> argv;
        argv.reserve(command.size() + 1);
        for (const std::string& word : command)
            argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string outputOf(const std::string& command)
{
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[512];
        while (std::fgets(chunk, sizeof chunk, pipe))
            text += chunk;
        pclose(pipe);
    }
    return text;
}

// The process's CPU time, all threads, user and system, in seconds; -1 if gone.
double cpuSeconds(pid_t pid)
{
    std::FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (!file)
        return -1.0;
    char line[2048] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    const char* end = read ? std::strrchr(line, ')') : nullptr;
    if (!end)
        return -1.0;
    // After the name: state (field 3) ... utime (14), stime (15).
    std::istringstream fields(end + 1);
    std::string field;
    double user = 0.0;
    double system = 0.0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14)
            user = std::atof(field.c_str());
        if (number == 15)
            system = std::atof(field.c_str());
    }
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

class Toy {
public:
    Toy(const std::string& path, const std::string& shim, bool unpaced)
    {
        char name[] = "/tmp/zindle-cpu-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0 || ftruncate(fd, sizeof(bench::ToyCounters)) != 0)
            return;
        countersFile = name;
        void* memory = mmap(nullptr, sizeof(bench::ToyCounters), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (memory == MAP_FAILED)
            return;
        counters = new (memory) bench::ToyCounters;
        pid = fork();
        if (pid == 0) {
            const int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 1);
            dup2(quiet, 2);
            if (chdir(fs::path(path).parent_path().c_str()) != 0)
                _exit(126);
            setenv("LD_PRELOAD", shim.c_str(), 1);
            setenv("ZINDLE_BENCH_COUNTERS", countersFile.c_str(), 1);
            if (unpaced)
                setenv("ZINDLE_BENCH_UNPACED", "1", 1);
            execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Toy()
    {
        end();
        if (counters)
            munmap(counters, sizeof(bench::ToyCounters));
        if (!countersFile.empty())
            unlink(countersFile.c_str());
    }
    Toy(const Toy&) = delete;
    Toy& operator=(const Toy&) = delete;

    std::int64_t swaps() const { return counters ? counters->swaps.load() : 0; }
    int reportedRate() const { return counters ? counters->reportedRate.load() : -1; }

    // Waits until the toy has drawn `frames` frames.
    bool drawing(std::int64_t frames) const
    {
        const double deadline = bench::monotonicSeconds() + deadlineSeconds;
        while (pid > 0 && bench::monotonicSeconds() < deadline) {
            if (swaps() >= frames)
                return true;
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                return false;
            pause(20);
        }
        return false;
    }

    // Waits until no frame has come for a second.
    bool stopped() const
    {
        const double deadline = bench::monotonicSeconds() + deadlineSeconds;
        std::int64_t last = swaps();
        double since = bench::monotonicSeconds();
        while (bench::monotonicSeconds() < deadline) {
            pause(100);
            if (swaps() != last) {
                last = swaps();
                since = bench::monotonicSeconds();
            } else if (bench::monotonicSeconds() - since >= 1.0) {
                return true;
            }
        }
        return false;
    }

    // SIGTERM, then the exit code; -1 after a kill at the deadline. Also how
    // long the toy took to end.
    int end()
    {
        if (pid <= 0)
            return exitCode;
        kill(pid, SIGTERM);
        const double start = bench::monotonicSeconds();
        int status = 0;
        while (bench::monotonicSeconds() < start + deadlineSeconds) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            pause(5);
        }
        if (exitCode == -1) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        endSeconds = bench::monotonicSeconds() - start;
        pid = -1;
        return exitCode;
    }

    pid_t pid = -1;
    int exitCode = -1;
    double endSeconds = 0.0;

private:
    std::string countersFile;
    bench::ToyCounters* counters = nullptr;
};

struct Figures {
    double cores = -1.0;
    double framesPerSecond = 0.0;
};

// Watches the toy for `seconds`, throwing keys every half second if asked.
Figures watch(Toy& toy, double seconds, bool throwing)
{
    static const char* const keys[] = {"a", "k", "u", "1", "7", "h", "p", "x", "5", "period", "d", "n", "r"};
    std::size_t key = 0;
    const double start = bench::monotonicSeconds();
    const double cpuStart = cpuSeconds(toy.pid);
    const std::int64_t swapsStart = toy.swaps();
    double nextThrow = start;
    while (bench::monotonicSeconds() < start + seconds) {
        if (throwing && bench::monotonicSeconds() >= nextThrow) {
            nextThrow += throwEverySeconds;
            std::vector<std::string> command = {"xdotool", "key"};
            for (int i = 0; i < 3; ++i, key = (key + 1) % std::size(keys))
                command.push_back(keys[key]);
            runQuietly(command);
        }
        pause(20);
    }
    const double wall = bench::monotonicSeconds() - start;
    const double cpuEnd = cpuSeconds(toy.pid);
    if (cpuStart < 0 || cpuEnd < 0)
        return {};
    return {(cpuEnd - cpuStart) / wall, static_cast<double>(toy.swaps() - swapsStart) / wall};
}

void printRuns(const std::vector<double>& values, const char* format)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::printf(i ? ", " : "");
        std::printf(format, values[i]);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: cpu_bench PROGRAM SHIM [seconds] [runs]\n");
        return 1;
    }
    char toyPath[4096], shimPath[4096];
    if (!realpath(argv[1], toyPath) || !realpath(argv[2], shimPath)) {
        std::fprintf(stderr, "cpu_bench: %s or %s: %s\n", argv[1], argv[2], std::strerror(errno));
        return 1;
    }
    const double seconds = argc > 3 ? std::max(5.0, std::atof(argv[3])) : 5.0;
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;

    // Playing, paced and unpaced in turn so that a busy moment hits both.
    std::vector<double> paced, unpaced, pacedFrames, unpacedFrames;
    int rate = -1;
    bool clean = true;
    for (int run = 0; run < 2 * runs; ++run) {
        const bool isUnpaced = run % 2 == 1;
        Toy toy(toyPath, shimPath, isUnpaced);
        if (!toy.drawing(30)) {
            std::fprintf(stderr, "cpu_bench: the toy drew no frames\n");
            return 1;
        }
        pause(1000); // past the start-up's first frames
        const Figures figures = watch(toy, seconds, true);
        if (!isUnpaced)
            rate = toy.reportedRate();
        (isUnpaced ? unpaced : paced).push_back(figures.cores);
        (isUnpaced ? unpacedFrames : pacedFrames).push_back(figures.framesPerSecond);
        clean = toy.end() == 0 && clean;
    }

    // Minimized: a window manager minimizes the toy as its taskbar would.
    std::vector<double> minimized, minimizedFrames, endSeconds;
    const pid_t windowManager = fork();
    if (windowManager == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execlp("openbox", "openbox", static_cast<char*>(nullptr));
        _exit(127);
    }
    const double wmDeadline = bench::monotonicSeconds() + deadlineSeconds;
    while (outputOf("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null").find("window id") == std::string::npos &&
           bench::monotonicSeconds() < wmDeadline)
        pause(100);
    for (int run = 0; run < runs; ++run) {
        Toy toy(toyPath, shimPath, false);
        if (!toy.drawing(30)) {
            std::fprintf(stderr, "cpu_bench: the toy drew no frames under openbox\n");
            break;
        }
        runQuietly({"xdotool", "search", "--name", "^Zindle$", "windowminimize"});
        if (!toy.stopped()) {
            std::fprintf(stderr, "cpu_bench: the toy went on drawing after it was minimized\n");
            minimized.push_back(1.0);
            break;
        }
        const Figures figures = watch(toy, seconds, false);
        minimized.push_back(figures.cores);
        minimizedFrames.push_back(figures.framesPerSecond);
        clean = toy.end() == 0 && clean;
        endSeconds.push_back(toy.endSeconds);
    }
    kill(windowManager, SIGTERM);
    waitpid(windowManager, nullptr, 0);

    const double pacedCores = bench::median(paced);
    const double unpacedCores = bench::median(unpaced);
    const double pacedRate = bench::median(pacedFrames);
    const int effectiveRate = rate > 0 ? rate : unknownRate;
    std::printf("The toy's CPU time per second on the clock (1.0 = one core), %.0f s each, medians of %d runs, "
                "cubes spinning and three keys thrown every %.1f s:\n",
                seconds, runs, throwEverySeconds);
    std::printf("  %-34s %6.3f (", "paced, as the toy runs", pacedCores);
    printRuns(paced, "%.3f");
    const bool pacedWithin = pacedCores <= pacedBudgetCores && pacedCores <= unpacedCores * pacedBudgetShare;
    std::printf(")  budget <= %.1f and <= 1/3 of unpaced: %s\n", pacedBudgetCores, bench::verdict(pacedWithin));
    std::printf("  %-34s %6.3f (", "unpaced, same build", unpacedCores);
    printRuns(unpaced, "%.3f");
    std::printf(")  paced / unpaced = %.2f\n", unpacedCores > 0 ? pacedCores / unpacedCores : 0.0);
    std::printf("Frames drawn a second, paced: %.1f (", pacedRate);
    printRuns(pacedFrames, "%.1f");
    std::printf("); unpaced: %.1f; refresh rate reported: %d (pacing to %d Hz)", bench::median(unpacedFrames), rate,
                effectiveRate);
    double most = 0.0;
    for (double value : pacedFrames)
        most = std::max(most, value);
    const bool framesWithin = most > 0.0 && most <= effectiveRate * frameRateSlack;
    std::printf("  budget: every run <= %.1f: %s\n", effectiveRate * frameRateSlack, bench::verdict(framesWithin));
    const double minimizedCores = bench::median(minimized);
    std::printf("Minimized under openbox: %.4f of one core (", minimizedCores);
    printRuns(minimized, "%.4f");
    std::printf("), frames a second %.1f", bench::median(minimizedFrames));
    const bool minimizedWithin = !minimized.empty() && minimizedCores <= minimizedBudgetCores;
    std::printf("  budget <= %.2f: %s\n", minimizedBudgetCores, bench::verdict(minimizedWithin));
    std::printf("SIGTERM ended every run with 0: %s; a minimized toy took %.0f ms to end (median)\n",
                clean ? "yes" : "NO", bench::median(endSeconds) * 1000.0);
    return pacedWithin && framesWithin && minimizedWithin && clean ? 0 : 2;
}
