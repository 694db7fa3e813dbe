// Launch to the first frame on screen, against a floor. Every scenario starts
// the real program as a process, from just before fork() to the moment its
// first buffer swap returns; the floor (bench/floor/launch_floor.cpp) is a bare
// SDL program that opens the same kind of window with a GL context and swaps
// once, started the same way. Runs go round by round, each round starting the
// floor and every scenario once in a rotating order, so that a busy moment of
// the machine hits them alike; the figures are medians, and the ratio to the
// floor is the median of the per-round ratios.
//
// Budgets, as ratios to what the same rounds measure, so that a slower or
// busier machine, which slows the floor alike, moves no verdict: the normal
// start within 2.5 times the floor, a guard against regressions with room for
// a shared machine's noise (the goal, printed beside it, is 1.3 times the
// floor); a phone's photo as the splash within 2 times the normal start.
// Times on the clock are printed and fail nothing.
// Each program runs in its scenario's folder on the X server in DISPLAY, with
// the start-up marks preloaded (tests/support/programs/startup_marks.cpp): they write
// the CLOCK_MONOTONIC time and the program's CPU time (all threads) at the end
// of each start-up step on standard error, up to its first swap, from which
// the per-step timeline below comes; that file says which library call ends
// which step. CPU time depends
// far less on what else the machine runs than the time on the clock, so it is
// shown beside it. Resident memory is read from /proc right after the first
// swap; each program is then sent SIGTERM and must end with exit code 0.
//
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24"
//       ./launch_bench ../zindle ./launch_floor [rounds]
#include "bench/support/Launch.h"
#include "bench/support/Stats.h"
#include "tests/support/fixtures/PictureWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double budgetRatio = 2.5;
constexpr double goalRatio = 1.3;
constexpr double deadlineSeconds = 30.0;

// One way of starting the toy, measured against the same floor and the same
// normal start. To add one: a name, a folder to start in (made by prepare, in
// a scratch folder of its own that is removed afterwards), and the variables
// to set (an empty value unsets).
struct Scenario {
    std::string name;
    // Lays out the folder the toy starts in; returns false (with a reason) if
    // the scenario cannot be set up here. The default starts in the toy's own
    // folder, where its splash picture lies.
    std::function<bool(const fs::path& scratch, fs::path& folder, std::string& why)> prepare;
    std::vector<std::pair<std::string, std::string>> environment;
    // Whether the budgets apply; other scenarios are reported only.
    bool budgeted = false;
    // If not 0, the most this scenario may take, in times the normal start.
    double timesNormal = 0.0;
    // Whether to print how much later than the normal start it comes, as the
    // median of the per-round differences.
    bool showLater = false;
};

std::vector<Scenario> scenarios()
{
    std::vector<Scenario> list;
    list.push_back({"normal start", nullptr, {}, true});
    // Without a session bus SDL has libdbus start one (dbus-launch) at every
    // start; a bus address that leads nowhere fails at once instead, which
    // shows what that start costs.
    list.push_back({"no D-Bus autolaunch", nullptr, {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"}}, false});
    // A first start on a new account, a kiosk or a read-only home: no usable
    // home or cache folder (so no shader cache either) and no session bus.
    list.push_back({"cold start",
                    nullptr,
                    {{"HOME", "/nonexistent"},
                     {"XDG_CACHE_HOME", ""},
                     {"XDG_CONFIG_HOME", ""},
                     {"XDG_RUNTIME_DIR", ""},
                     {"DBUS_SESSION_BUS_ADDRESS", ""},
                     {"MESA_SHADER_CACHE_DIR", ""}},
                    false,
                    1.5});
    // A phone's 8000x6000 photo as the splash, about as large as phones make
    // them; the toy decodes it at 1/8 of its size.
    list.push_back({"a phone's 48 MP photo",
                    [](const fs::path& scratch, fs::path& folder, std::string& why) {
                        folder = scratch;
                        why = "the photo could not be written";
                        return testing_support::writeJpeg((scratch / "wumbly.jpg").string(), 8000, 6000,
                                                          testing_support::photo(8000, 6000), {.quality = 92});
                    },
                    {},
                    false,
                    2.0,
                    true});
    return list;
}

using Program = bench::Launch;
using Run = bench::LaunchRun;
using Step = bench::StartupStep;

// Everything measured of one program over the rounds.
struct Series {
    std::string name;
    Program program;
    bool budgeted = false;
    double timesNormal = 0.0;
    std::vector<Run> runs;
    bool showLater = false;

    std::vector<double> launches() const
    {
        std::vector<double> values;
        for (const Run& run : runs)
            values.push_back(run.launchMs);
        return values;
    }
    std::vector<double> cpu() const
    {
        std::vector<double> values;
        for (const Run& run : runs)
            values.push_back(run.cpuMs);
        return values;
    }
    bool cleanExits() const
    {
        return std::all_of(runs.begin(), runs.end(), [](const Run& run) { return run.exitCode == 0; });
    }
};

std::vector<double> ratios(const Series& series, const Series& floor)
{
    std::vector<double> values;
    for (std::size_t i = 0; i < series.runs.size() && i < floor.runs.size(); ++i)
        values.push_back(series.runs[i].launchMs / floor.runs[i].launchMs);
    return values;
}

void printList(const std::vector<double>& values, const char* format)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::printf("%s", i ? ", " : "");
        std::printf(format, values[i]);
    }
}

// Per step, medians: the time after the fork, the time since the step before
// it, and the CPU used since the step before it.
struct StepFigures {
    double at = -1.0;
    double took = -1.0;
    double cpu = -1.0;
};

std::map<std::string, StepFigures> stepFigures(const Series& series)
{
    std::map<std::string, std::vector<double>> at, took, cpu;
    for (const Run& run : series.runs) {
        double before = 0.0;
        double cpuBefore = 0.0;
        for (const Step& step : run.steps) {
            at[step.name].push_back(step.at);
            took[step.name].push_back(step.at - before);
            cpu[step.name].push_back(step.cpu - cpuBefore);
            before = step.at;
            cpuBefore = step.cpu;
        }
    }
    std::map<std::string, StepFigures> figures;
    for (const auto& [step, values] : at)
        figures[step] = {bench::median(values), bench::median(took[step]), bench::median(cpu[step])};
    return figures;
}

std::string stepText(const StepFigures& figures)
{
    char text[80];
    std::snprintf(text, sizeof text, "%6.1f %6.1f %6.1f", figures.at, figures.took, figures.cpu);
    return text;
}

// The toy's steps in its own order, the floor's figures beside them.
void printTimeline(const Series& toy, const Series& floor)
{
    const auto toyFigures = stepFigures(toy);
    const auto floorFigures = stepFigures(floor);
    std::printf("Start-up timeline, %s against the floor, in ms (medians): when each step ended after fork(), "
                "how long it took, and the CPU it used (all threads; before main: the CPU the loader used)\n",
                toy.name.c_str());
    std::printf("  %-22s %-22s   %-22s\n", "", toy.name.c_str(), "floor");
    std::printf("  %-22s %6s %6s %6s   %6s %6s %6s\n", "step", "at", "took", "cpu", "at", "took", "cpu");
    for (const Step& step : toy.runs.front().steps) {
        const auto found = floorFigures.find(step.name);
        std::printf("  %-22s %s   %s\n", step.name.c_str(), stepText(toyFigures.at(step.name)).c_str(),
                    found != floorFigures.end() ? stepText(found->second).c_str() : "");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: launch_bench PROGRAM FLOOR [rounds]\n");
        return 1;
    }
    char toyPath[4096], floorPath[4096];
    if (!realpath(argv[1], toyPath) || !realpath(argv[2], floorPath)) {
        std::fprintf(stderr, "launch_bench: %s or %s: %s\n", argv[1], argv[2], std::strerror(errno));
        return 1;
    }
    const fs::path toyFolder = fs::path(toyPath).parent_path();
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 9;

    std::error_code ignored;
    const fs::path scratch = fs::temp_directory_path() / ("zindle-launch-" + std::to_string(getpid()));
    fs::create_directories(scratch, ignored);

    std::vector<Series> all;
    all.push_back({"floor", {floorPath, toyFolder, {}}, false, 0.0, {}});
    for (Scenario& scenario : scenarios()) {
        fs::path folder = toyFolder;
        std::string why;
        if (scenario.prepare) {
            const fs::path own = scratch / std::to_string(all.size());
            fs::create_directories(own, ignored);
            if (!scenario.prepare(own, folder, why)) {
                std::printf("%s: not measured here (%s)\n", scenario.name.c_str(), why.c_str());
                continue;
            }
        }
        all.push_back({scenario.name,
                       {toyPath, folder, scenario.environment},
                       scenario.budgeted,
                       scenario.timesNormal,
                       {},
                       scenario.showLater});
    }

    // A round first, not counted: it fills the file cache and fontconfig's.
    int status = 0;
    for (int round = -1; round < rounds && status == 0; ++round) {
        for (std::size_t k = 0; k < all.size(); ++k) {
            Series& series = all[(k + static_cast<std::size_t>(std::max(round, 0))) % all.size()];
            Run run = bench::launchOnce(series.program, deadlineSeconds);
            if (run.launchMs < 0) {
                std::fprintf(stderr, "launch_bench: %s reported no first frame; it said:\n%s", series.name.c_str(),
                             run.output.c_str());
                status = 1;
                break;
            }
            if (run.exitCode != 0)
                std::fprintf(stderr, "launch_bench: %s ended with %d\n", series.name.c_str(), run.exitCode);
            if (round >= 0)
                series.runs.push_back(std::move(run));
        }
    }
    fs::remove_all(scratch, ignored);
    if (status != 0)
        return status;

    const Series& floor = all.front();
    std::printf("Launch to the first frame swapped, medians of %d interleaved rounds:\n", rounds);
    std::printf("  %-24s %7.1f ms (", "floor (bare SDL + GL)", bench::median(floor.launches()));
    printList(floor.launches(), "%.0f");
    std::printf(")\n  %-24s %7.1f ms of CPU\n", "", bench::median(floor.cpu()));

    bool met = floor.cleanExits();
    for (std::size_t s = 1; s < all.size(); ++s) {
        const Series& series = all[s];
        const double launch = bench::median(series.launches());
        const double ratio = bench::median(ratios(series, floor));
        std::printf("  %-24s %7.1f ms (", series.name.c_str(), launch);
        printList(series.launches(), "%.0f");
        std::printf(")\n  %-24s %7.2f x the floor (per round: ", "", ratio);
        printList(ratios(series, floor), "%.2f");
        std::printf(")");
        if (series.budgeted) {
            const bool within = ratio <= budgetRatio;
            std::printf("  budget <= %.1f x: %s (goal <= %.1f x: %s)", budgetRatio, bench::verdict(within), goalRatio,
                        ratio <= goalRatio ? "met" : "not met");
            met = met && within;
        }
        std::printf("\n  %-24s %7.1f ms of CPU, %.2f x the floor's\n", "", bench::median(series.cpu()),
                    bench::median(series.cpu()) / bench::median(floor.cpu()));
        if (s >= 2) {
            // Against the normal start of the same rounds.
            const double timesNormal = bench::median(ratios(series, all[1]));
            std::printf("  %-24s %7.2f x the normal start", "", timesNormal);
            if (series.timesNormal > 0.0) {
                const bool within = timesNormal <= series.timesNormal;
                std::printf("  target <= %.1f x: %s", series.timesNormal, bench::verdict(within));
                met = met && within;
            }
            std::printf("\n");
        }
        if (series.showLater) {
            std::vector<double> later;
            for (std::size_t i = 0; i < series.runs.size() && i < all[1].runs.size(); ++i)
                later.push_back(series.runs[i].launchMs - all[1].runs[i].launchMs);
            std::printf("  %-24s %+7.1f ms later than the normal start (per round: ", "", bench::median(later));
            printList(later, "%+.0f");
            std::printf(")\n");
        }
        std::vector<double> resident;
        for (const Run& run : series.runs)
            resident.push_back(run.residentMb);
        std::printf("  %-24s resident memory after the first frame %.1f MB; SIGTERM ended every run with 0: %s\n", "",
                    bench::median(resident), series.cleanExits() ? "yes" : "NO");
        met = met && series.cleanExits();
    }
    std::printf("\n");
    for (std::size_t s = 1; s < all.size(); ++s)
        printTimeline(all[s], floor);
    return met ? 0 : 2;
}
