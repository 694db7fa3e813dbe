// The largest splash pictures against the toy's own: the real program started
// with a 100-megapixel picture (10000x10000, smooth colour with grain) in each
// format it reads, and with its own picture, round by round in a rotating
// order so that a busy moment of the machine hits them alike. Measured from
// just before fork() to the first buffer swap (as told by the start-up marks
// preloaded into it, tests/support/programs/startup_marks.cpp), with the CPU the toy
// used by then, and the peak resident memory (VmHWM) at that moment; the toy
// is then sent SIGTERM and must end with 0. Budgets, on the medians of the
// per-round ratios and differences to the toy's own picture: at most 11 times
// as long to the first frame (about 1.5 s later on the development machine; a
// ratio, so that a slower machine, which slows the toy's own start alike,
// moves no verdict; the times are printed and fail nothing), at most 64 MB
// more memory.
//
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24" ./picture_bench ../zindle [rounds]
#include "bench/support/Launch.h"
#include "bench/support/Stats.h"
#include "tests/support/fixtures/PictureWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double budgetTimes = 11.0;
constexpr double budgetMoreMb = 64.0;
constexpr int side = 10000;
constexpr double deadlineSeconds = 60.0;

using Run = bench::LaunchRun;

struct Series {
    std::string name;
    fs::path folder;
    std::vector<Run> runs;
};

std::vector<double> differences(const Series& series, const Series& own, double Run::*figure)
{
    std::vector<double> values;
    for (std::size_t i = 0; i < series.runs.size() && i < own.runs.size(); ++i)
        values.push_back(series.runs[i].*figure - own.runs[i].*figure);
    return values;
}

std::vector<double> ratios(const Series& series, const Series& own, double Run::*figure)
{
    std::vector<double> values;
    for (std::size_t i = 0; i < series.runs.size() && i < own.runs.size(); ++i)
        values.push_back(series.runs[i].*figure / own.runs[i].*figure);
    return values;
}

std::vector<double> figures(const Series& series, double Run::*figure)
{
    std::vector<double> values;
    for (const Run& run : series.runs)
        values.push_back(run.*figure);
    return values;
}

} // namespace

int main(int argc, char** argv)
{
    char toy[4096];
    if (argc < 2 || !realpath(argv[1], toy)) {
        std::fprintf(stderr, "usage: picture_bench PROGRAM [rounds]\n");
        return 1;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    std::error_code ignored;
    const fs::path scratch = fs::temp_directory_path() / ("zindle-pictures-" + std::to_string(getpid()));

    std::vector<Series> all;
    all.push_back({"its own picture", fs::path(toy).parent_path(), {}});
    for (const char* format : {"jpeg", "png", "gif", "bmp"}) {
        const fs::path folder = scratch / format;
        fs::create_directories(folder, ignored);
        std::fprintf(stderr, "picture_bench: writing a %dx%d %s...\n", side, side, format);
        if (!testing_support::writePicture(format, (folder / "wumbly.jpg").string(), side, side,
                                           testing_support::photo(side, side), {.quality = 92})) {
            std::fprintf(stderr, "picture_bench: could not write the %s picture\n", format);
            fs::remove_all(scratch, ignored);
            return 1;
        }
        all.push_back({std::string("100 MP ") + format + " (" +
                           std::to_string(fs::file_size(folder / "wumbly.jpg") >> 20) + " MB)",
                       folder,
                       {}});
    }

    // A round first, not counted: it fills the file cache.
    int status = 0;
    for (int round = -1; round < rounds && status == 0; ++round)
        for (std::size_t k = 0; k < all.size(); ++k) {
            Series& series = all[(k + static_cast<std::size_t>(std::max(round, 0))) % all.size()];
            Run run = bench::launchOnce({toy, series.folder, {}}, deadlineSeconds);
            if (run.launchMs < 0 || run.exitCode != 0) {
                std::fprintf(stderr, "picture_bench: %s: first frame %.0f ms, exit code %d; it said:\n%s",
                             series.name.c_str(), run.launchMs, run.exitCode, run.output.c_str());
                status = 1;
                break;
            }
            if (round >= 0)
                series.runs.push_back(std::move(run));
        }
    fs::remove_all(scratch, ignored);
    if (status != 0)
        return status;

    const Series& own = all.front();
    std::printf("The largest splash pictures against the toy's own, medians of %d interleaved rounds\n", rounds);
    std::printf("(budgets: at most %.0f times as long to the first frame, at most %+.0f MB peak memory):\n",
                budgetTimes, budgetMoreMb);
    std::printf("  %-26s %9.1f ms  (CPU %6.1f ms)  peak %6.1f MB\n", own.name.c_str(),
                bench::median(figures(own, &Run::launchMs)), bench::median(figures(own, &Run::cpuMs)),
                bench::median(figures(own, &Run::peakMb)));
    bool met = true;
    for (std::size_t s = 1; s < all.size(); ++s) {
        const Series& series = all[s];
        const double later = bench::median(differences(series, own, &Run::launchMs));
        const double more = bench::median(differences(series, own, &Run::peakMb));
        const double times = bench::median(ratios(series, own, &Run::launchMs));
        const bool within = times <= budgetTimes && more <= budgetMoreMb;
        std::printf("  %-26s %9.1f ms  (CPU %6.1f ms)  peak %6.1f MB  (%.2f x, %+.0f ms, CPU %+.0f ms, %+.1f MB)  %s\n",
                    series.name.c_str(), bench::median(figures(series, &Run::launchMs)),
                    bench::median(figures(series, &Run::cpuMs)), bench::median(figures(series, &Run::peakMb)), times,
                    later, bench::median(differences(series, own, &Run::cpuMs)), more, bench::verdict(within));
        met = met && within;
    }
    return met ? 0 : 2;
}
