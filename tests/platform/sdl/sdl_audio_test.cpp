// Sound out through SDL: the driver order, what the disk driver records, no
// device at all, and a sound server that never answers. Nothing here reaches
// the machine's own sound server or card: every test runs with a private
// XDG_RUNTIME_DIR, no PULSE_SERVER of the machine's, and a driver chosen.
#include "platform/sdl/AudioDrivers.h"
#include "platform/sdl/AudioPlayer.h"
#include "tests/platform/sdl/sdl_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using platform::AudioPlayer;
using sdl_test::EnvironmentOverride;
using Clock = std::chrono::steady_clock;

namespace {

std::string driversFor(const std::map<std::string, std::string>& variables, const std::string& socket)
{
    return platform::audioDriverList(
        [&variables](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        },
        [&socket](const std::string& path) { return path == socket; });
}

// A private runtime folder, and the environment that keeps SDL's audio in it.
class PrivateSoundEnvironment {
public:
    PrivateSoundEnvironment()
        : folder(makeFolder()),
          runtime("XDG_RUNTIME_DIR", folder.c_str()),
          pulse("PULSE_SERVER", nullptr),
          pipewire("PIPEWIRE_REMOTE", nullptr),
          pipewireRuntime("PIPEWIRE_RUNTIME_DIR", nullptr)
    {
    }
    ~PrivateSoundEnvironment()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;

private:
    static std::string makeFolder()
    {
        std::string path = (std::filesystem::temp_directory_path() / "zindle-audio-XXXXXX").string();
        if (mkdtemp(path.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        return path;
    }
    EnvironmentOverride runtime;
    EnvironmentOverride pulse;
    EnvironmentOverride pipewire;
    EnvironmentOverride pipewireRuntime;
};

// Each frame carries its own number: left n/1000 of 0.5 (n counted modulo
// 1000), right the same negated.
class PatternSource : public platform::AudioSource {
public:
    void render(float* samples, int frames, int sampleRate, std::int64_t counter) override
    {
        for (int i = 0; i < frames; ++i) {
            const float value = 0.5f * static_cast<float>(frame % 1000) / 1000.0f;
            samples[2 * i] = value;
            samples[2 * i + 1] = -value;
            ++frame;
        }
        if (counter < lastCounter)
            counterWentBack = true;
        lastCounter = counter;
        rate = sampleRate;
        size = frames;
        calls.fetch_add(1);
    }
    std::atomic<int> calls{0};
    std::atomic<int> rate{0};
    std::atomic<int> size{0};
    std::atomic<bool> counterWentBack{false};

private:
    std::uint64_t frame = 0;
    std::int64_t lastCounter = 0;
};

class Reports {
public:
    AudioPlayer::Report collector()
    {
        return [this](const std::string& line) {
            std::lock_guard lock(mutex);
            lines.push_back(line);
        };
    }
    std::vector<std::string> all()
    {
        std::lock_guard lock(mutex);
        return lines;
    }

private:
    std::mutex mutex;
    std::vector<std::string> lines;
};

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Standard error into a file for one scope.
class CapturedStandardError {
public:
    explicit CapturedStandardError(std::string file) : path(std::move(file))
    {
        std::fflush(stderr);
        saved = dup(2);
        std::FILE* target = std::fopen(path.c_str(), "w");
        dup2(fileno(target), 2);
        std::fclose(target);
    }
    ~CapturedStandardError() { restore(); }
    std::string text()
    {
        restore();
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    void restore()
    {
        if (saved < 0)
            return;
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        saved = -1;
    }
    std::string path;
    int saved = -1;
};

} // namespace

TEST(AudioDrivers, PipeWireFirstWhereItsServerRunsAndTheEnvironmentWins)
{
    EXPECT_EQ(driversFor({{"XDG_RUNTIME_DIR", "/run/user/7"}}, "/run/user/7/pipewire-0"), "pipewire,pulseaudio,alsa");
    EXPECT_EQ(driversFor({{"XDG_RUNTIME_DIR", "/run/user/7"}}, "/elsewhere"), "pulseaudio,alsa");
    EXPECT_EQ(driversFor({}, "/run/user/7/pipewire-0"), "pulseaudio,alsa");
    EXPECT_EQ(driversFor({{"XDG_RUNTIME_DIR", "/run/user/7"}, {"PIPEWIRE_RUNTIME_DIR", "/pw"}}, "/pw/pipewire-0"),
              "pipewire,pulseaudio,alsa");
    EXPECT_EQ(driversFor({{"PIPEWIRE_REMOTE", "/tmp/pw.sock"}}, "/tmp/pw.sock"), "pipewire,pulseaudio,alsa");
    EXPECT_EQ(driversFor({{"XDG_RUNTIME_DIR", "/r"}, {"PIPEWIRE_REMOTE", "other"}}, "/r/other"),
              "pipewire,pulseaudio,alsa");
    // A driver named by the user is left to SDL.
    EXPECT_EQ(driversFor({{"SDL_AUDIODRIVER", "disk"}, {"XDG_RUNTIME_DIR", "/r"}}, "/r/pipewire-0"), "");
    EXPECT_EQ(driversFor({{"SDL_AUDIODRIVER", ""}}, ""), "pulseaudio,alsa");
}

TEST(SdlAudio, DiskDriverRecordsExactlyWhatTheSourceRendered)
{
    PrivateSoundEnvironment environment;
    const std::string file = environment.folder + "/out.raw";
    EnvironmentOverride driver("SDL_AUDIODRIVER", "disk");
    EnvironmentOverride output("SDL_DISKAUDIOFILE", file.c_str());
    EnvironmentOverride delay("SDL_DISKAUDIODELAY", "1");
    PatternSource source;
    Reports reports;
    AudioPlayer player(source, reports.collector());
    ASSERT_TRUE(waitFor([&source] { return source.calls.load() >= 20; }, 20s));
    player.stop();
    const int calls = source.calls.load();
    EXPECT_EQ(source.rate.load(), AudioPlayer::wantedRate);
    EXPECT_EQ(source.size.load(), AudioPlayer::wantedFrames);
    EXPECT_FALSE(source.counterWentBack.load());
    EXPECT_TRUE(reports.all().empty());

    // Float32 stereo, frame after frame as rendered, none lost or doubled.
    std::ifstream in(file, std::ios::binary);
    std::vector<float> samples;
    for (float sample; in.read(reinterpret_cast<char*>(&sample), sizeof sample);)
        samples.push_back(sample);
    ASSERT_GE(samples.size(), 2u * 10 * AudioPlayer::wantedFrames);
    EXPECT_EQ(samples.size() % 2, 0u);
    EXPECT_LE(samples.size(), 2u * static_cast<std::size_t>(calls) * AudioPlayer::wantedFrames);
    for (std::size_t frame = 0; frame < samples.size() / 2; ++frame) {
        const float value = 0.5f * static_cast<float>(frame % 1000) / 1000.0f;
        ASSERT_FLOAT_EQ(samples[2 * frame], value) << frame;
        ASSERT_FLOAT_EQ(samples[2 * frame + 1], -value) << frame;
    }

    // Stopped means stopped.
    EXPECT_FALSE(waitFor([&source, calls] { return source.calls.load() != calls; }, 100ms));
}

TEST(SdlAudio, NoDeviceStartsAtOnceSaysWhyOnceAndStopsPromptly)
{
    PrivateSoundEnvironment environment;
    // libasound's configuration with a default device on no card at all.
    const std::string configuration = environment.folder + "/asound.conf";
    std::ofstream(configuration) << "pcm.!default { type hw card nosuchcard }\n";
    EnvironmentOverride alsa("ALSA_CONFIG_PATH", configuration.c_str());
    EnvironmentOverride driver("SDL_AUDIODRIVER", "alsa");
    CapturedStandardError standardError(environment.folder + "/stderr");
    PatternSource source;
    Reports reports;
    {
        const auto starting = Clock::now();
        AudioPlayer player(source, reports.collector());
        EXPECT_LT(Clock::now() - starting, 100ms);
        ASSERT_TRUE(waitFor([&reports] { return !reports.all().empty(); }, 10s));
        // Looked for again at least once, still silent, and not said again.
        std::this_thread::sleep_for(AudioPlayer::retryPeriod + 300ms);
        const auto stopping = Clock::now();
        player.stop();
        EXPECT_LT(Clock::now() - stopping, 500ms);
    }
    const std::vector<std::string> lines = reports.all();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("no sound: ", 0), 0u) << lines[0];
    EXPECT_EQ(source.calls.load(), 0);
    const std::string printed = standardError.text();
    EXPECT_EQ(printed.find("ALSA lib"), std::string::npos) << printed;
}

// A sound server that takes the connection and never answers: SDL's audio
// start-up then waits for good inside the server's client library. Run in a
// process of its own, which the stuck thread is left in.
TEST(SdlAudio, ServerThatNeverAnswersDelaysNeitherStartNorExit)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PrivateSoundEnvironment environment;
    const std::string socketPath = environment.folder + "/native";
    const int server = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server, 8), 0);
    const std::string pulseServer = "unix:" + socketPath;
    EnvironmentOverride pulse("PULSE_SERVER", pulseServer.c_str());
    EnvironmentOverride driver("SDL_AUDIODRIVER", "pulseaudio");

    EXPECT_EXIT(
        {
            PatternSource source;
            Reports reports;
            const auto starting = Clock::now();
            auto player = std::make_unique<AudioPlayer>(source, reports.collector());
            const bool quickStart = Clock::now() - starting < 100ms;
            // Long enough for any answer a live server would give.
            std::this_thread::sleep_for(500ms);
            const bool stuck = reports.all().empty();
            const auto stopping = Clock::now();
            player->stop(300ms);
            const bool quickStop = Clock::now() - stopping < 1s;
            std::fprintf(stderr, "start %d stuck %d stop %d\n", quickStart, stuck, quickStop);
            // Ends as the toy ends, through exit and its handlers.
            std::exit(quickStart && quickStop ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "start 1 stuck 1 stop 1");
    close(server);
}

// A device that stops taking samples: the disk driver writing into a pipe
// nobody reads for a while. It is given up, and opened again once it takes
// samples again.
TEST(SdlAudio, DeviceThatStopsAskingIsLostAndFoundAgain)
{
    PrivateSoundEnvironment environment;
    const std::string pipe = environment.folder + "/pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EnvironmentOverride driver("SDL_AUDIODRIVER", "disk");
    EnvironmentOverride output("SDL_DISKAUDIOFILE", pipe.c_str());
    EnvironmentOverride delay("SDL_DISKAUDIODELAY", "1");
    std::atomic<bool> reading{true};
    std::atomic<bool> ended{false};
    // Reads whatever is written, through every opening of the pipe, except
    // while `reading` is false.
    std::thread reader([&] {
        while (!ended.load()) {
            const int fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
            char buffer[65536];
            bool writerSeen = false;
            while (!ended.load()) {
                if (!reading.load()) {
                    std::this_thread::sleep_for(5ms);
                    continue;
                }
                const ssize_t got = read(fd, buffer, sizeof buffer);
                if (got > 0)
                    writerSeen = true;
                else if (got == 0 && writerSeen)
                    break; // the writer closed: open again for the next one
                else
                    std::this_thread::sleep_for(1ms);
            }
            close(fd);
        }
    });
    PatternSource source;
    Reports reports;
    {
        AudioPlayer player(source, reports.collector());
        EXPECT_TRUE(waitFor([&source] { return source.calls.load() >= 10; }, 20s));
        reading = false;
        EXPECT_TRUE(waitFor([&reports] { return !reports.all().empty(); }, 10s));
        reading = true;
        EXPECT_TRUE(waitFor([&reports] { return reports.all().size() >= 2; }, 10s));
        const int calls = source.calls.load();
        EXPECT_TRUE(waitFor([&source, calls] { return source.calls.load() >= calls + 10; }, 10s));
        player.stop();
    }
    ended = true;
    reader.join();
    const std::vector<std::string> lines = reports.all();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "sound device lost; looking for it again");
    EXPECT_EQ(lines[1], "sound back on disk");
}
