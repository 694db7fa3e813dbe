// Frames per second of the whole scene at 1024x768 (budget: at least 100) and
// the memory it holds. The real Zindle scene is drawn by its own drawFrame in
// the real application loop and swapped after every frame, on a hidden GL
// context; a few keys are thrown every half second so that about a third of
// the forty cubes are in flight. The figure is the median of several 3-second
// windows after a warm-up one. Resident memory is read from /proc/self/status
// once the scene is built and again at the end.
//
//   LIBGL_ALWAYS_SOFTWARE=1 xvfb-run -a -s "-screen 0 1024x768x24" ./frame_bench [windows]
#include "bench/support/BenchPlatform.h"
#include "bench/support/RunToy.h"
#include "bench/support/Stats.h"
#include "game/Zindle.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double budgetFps = 100.0;
constexpr double windowSeconds = 3.0;
constexpr double throwEverySeconds = 0.5;

double megabytes(long kilobytes)
{
    return static_cast<double>(kilobytes) / 1024.0;
}

class FrameScript : public bench::Script {
public:
    explicit FrameScript(int windows) : wanted(windows + 1) {}

    bool next(platform::Message& message) override
    {
        if (!started) {
            started = true;
            rssAfterStart = bench::statusKilobytes("VmRSS");
            windowStart = lastThrow = Clock::now();
        }
        if (finished) {
            message = bench::keyMessage(platform::VK_ESCAPE);
            return true;
        }
        return throws.next(message);
    }

    void swapped() override
    {
        ++frames;
        const auto now = Clock::now();
        if (std::chrono::duration<double>(now - lastThrow).count() >= throwEverySeconds) {
            lastThrow = now;
            throws.throwNext();
        }
        const double elapsed = std::chrono::duration<double>(now - windowStart).count();
        if (elapsed >= windowSeconds) {
            fps.push_back(static_cast<double>(frames) / elapsed);
            frames = 0;
            windowStart = now;
            if (static_cast<int>(fps.size()) == wanted)
                finished = true;
        }
    }

    std::vector<double> fps;
    long rssAfterStart = -1;

private:
    int wanted;
    bool started = false;
    bool finished = false;
    bench::Throws throws;
    long frames = 0;
    Clock::time_point windowStart;
    Clock::time_point lastThrow;
};

} // namespace

int main(int argc, char** argv)
{
    const int windows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const long rssAtEntry = bench::statusKilobytes("VmRSS");
    platform::HeadlessGLContext gl(1024, 768);
    if (!gl.ok()) {
        std::fprintf(stderr, "frame_bench: %s\n", gl.error().c_str());
        return 1;
    }
    std::printf("GL: %s, %s\n", glGetString(GL_VERSION), glGetString(GL_RENDERER));
    bench::BenchPlatform platform(gl, 1024, 768);
    FrameScript script(windows);
    platform.script = &script;

    const int exitCode = bench::runToyQuietly(platform, [](Zindle*) {});
    const long rssAtEnd = bench::statusKilobytes("VmRSS");
    const long rssPeak = bench::statusKilobytes("VmHWM");

    // The first window warms up (shaders compiled, caches filled).
    std::vector<double> measured(script.fps.begin() + 1, script.fps.end());
    const double fps = bench::median(measured);
    std::printf("Whole scene at 1024x768, 40 cubes, about a third in flight (budget >= %.0f fps):\n", budgetFps);
    std::printf("  %.1f frames per second, median of %zu windows of %.0f s (", fps, measured.size(), windowSeconds);
    for (std::size_t i = 0; i < measured.size(); ++i)
        std::printf("%s%.1f", i ? ", " : "", measured[i]);
    std::printf(")  %s\n", bench::verdict(fps >= budgetFps));
    std::printf("Resident memory (VmRSS): %.1f MB at entry, %.1f MB with the scene built, %.1f MB at the end, "
                "peak %.1f MB\n",
                megabytes(rssAtEntry), megabytes(script.rssAfterStart), megabytes(rssAtEnd), megabytes(rssPeak));
    return fps >= budgetFps && exitCode == 0 ? 0 : 2;
}
