// Names said by espeak-ng into clips: the library loaded at run time (and
// missing), English and German, a language without a voice, the desktop's
// language, and the speech thread stopped early.
#include "platform/espeak/EspeakSpeech.h"
#include "tests/support/fixtures/EnvironmentOverride.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

using platform::speakAll;
using platform::SpeechRequest;

namespace {

struct Clip {
    std::vector<std::int16_t> samples;
    int rate = 0;
};

class RecordingSink : public platform::SpeechSink {
public:
    void spoken(int index, std::vector<std::int16_t> samples, int sampleRate) override
    {
        std::lock_guard lock(mutex);
        clips[index] = {std::move(samples), sampleRate};
    }
    std::map<int, Clip> all()
    {
        std::lock_guard lock(mutex);
        return clips;
    }

private:
    std::mutex mutex;
    std::map<int, Clip> clips;
};

using ScopedVariable = testing_support::EnvironmentOverride;

struct Spoken {
    std::map<int, Clip> clips;
    std::vector<std::string> reports;
};

Spoken speak(const std::string& language, std::vector<std::string> texts,
             const std::string& library = platform::espeakLibraryName)
{
    RecordingSink sink;
    Spoken result;
    speakAll(
        SpeechRequest{language, std::move(texts)}, sink,
        [&result](const std::string& line) { result.reports.push_back(line); }, library, [] { return false; });
    result.clips = sink.all();
    return result;
}

double seconds(const Clip& clip)
{
    return static_cast<double>(clip.samples.size()) / clip.rate;
}

// Same speech within 5 %: espeak-ng's output varies a little from call to call.
bool sameLength(const Clip& a, const Clip& b)
{
    const auto difference = std::abs(static_cast<double>(a.samples.size()) - static_cast<double>(b.samples.size()));
    return difference < 0.05 * static_cast<double>(b.samples.size());
}

// Samples from the last one louder than about -40 dB to the end.
std::size_t quietTail(const Clip& clip)
{
    std::size_t end = clip.samples.size();
    while (end > 0 && std::abs(clip.samples[end - 1]) < 328)
        --end;
    return clip.samples.size() - end;
}

} // namespace

TEST(EspeakSpeech, MissingLibrarySaysWhyAndMakesNoClip)
{
    const Spoken spoken = speak("en", {"a"}, "libespeak-ng-missing.so.9");
    EXPECT_TRUE(spoken.clips.empty());
    ASSERT_EQ(spoken.reports.size(), 1u);
    EXPECT_EQ(spoken.reports[0].rfind("no speech: ", 0), 0u) << spoken.reports[0];
    EXPECT_NE(spoken.reports[0].find("libespeak-ng-missing.so.9"), std::string::npos) << spoken.reports[0];
    EXPECT_NE(spoken.reports[0].find("is libespeak-ng1 installed?"), std::string::npos) << spoken.reports[0];
}

TEST(EspeakSpeech, BrokenLibrariesSayWhyAndMakeNoClip)
{
    // Starts and fails, as without its data.
    const Spoken unstarted = speak("en", {"a"}, BROKEN_ESPEAK);
    EXPECT_TRUE(unstarted.clips.empty());
    ASSERT_EQ(unstarted.reports.size(), 1u);
    EXPECT_EQ(unstarted.reports[0], "no speech: espeak-ng cannot start (is espeak-ng-data installed?)");
    // Asked again in the same process: the same answer, not a second start.
    EXPECT_EQ(speak("en", {"a"}, BROKEN_ESPEAK).reports, unstarted.reports);

    const Spoken partial = speak("en", {"a"}, PARTIAL_ESPEAK);
    EXPECT_TRUE(partial.clips.empty());
    ASSERT_EQ(partial.reports.size(), 1u);
    EXPECT_EQ(partial.reports[0], "no speech: espeak_Char is missing from espeak-ng's library");
}

TEST(EspeakSpeech, EnglishNamesLettersDigitsAndPunctuationTrimmed)
{
    const Spoken spoken = speak("en", {"a", "7", "?", "A"});
    EXPECT_TRUE(spoken.reports.empty());
    ASSERT_EQ(spoken.clips.size(), 4u);
    for (const auto& [index, clip] : spoken.clips) {
        EXPECT_EQ(clip.rate, 22050) << index;
        // A name, not a click and not a sentence.
        EXPECT_GT(seconds(clip), 0.1) << index;
        EXPECT_LT(seconds(clip), 1.6) << index;
        // At most the 10 ms kept after the voice.
        EXPECT_LE(quietTail(clip), 221u) << index;
    }
    // A capital is said by its name, not as "capital a".
    EXPECT_TRUE(sameLength(spoken.clips.at(3), spoken.clips.at(0)));
}

TEST(EspeakSpeech, LanguagesHaveTheirOwnVoicesAndEnglishStandsIn)
{
    // "y": "wye" in English, far longer in German and Portuguese.
    const Spoken english = speak("en", {"a", "y"});
    const Spoken german = speak("de", {"a", "y"});
    const Spoken brazilian = speak("pt-BR", {"y"});
    EXPECT_TRUE(german.reports.empty());
    EXPECT_TRUE(brazilian.reports.empty());
    ASSERT_EQ(english.clips.size(), 2u);
    ASSERT_EQ(german.clips.size(), 2u);
    ASSERT_EQ(brazilian.clips.size(), 1u);
    EXPECT_GT(seconds(german.clips.at(1)), 1.3 * seconds(english.clips.at(1)));
    EXPECT_GT(seconds(brazilian.clips.at(0)), 1.3 * seconds(english.clips.at(1)));

    // No voice for the language: English, and one line says so.
    const Spoken unknown = speak("xx-YY", {"a", "y"});
    ASSERT_EQ(unknown.reports.size(), 1u);
    EXPECT_NE(unknown.reports[0].find("\"xx-YY\""), std::string::npos) << unknown.reports[0];
    EXPECT_NE(unknown.reports[0].find("English"), std::string::npos) << unknown.reports[0];
    ASSERT_EQ(unknown.clips.size(), 2u);
    EXPECT_TRUE(sameLength(unknown.clips.at(1), english.clips.at(1)));
}

TEST(EspeakSpeech, NoLanguageAskedForIsTheDesktops)
{
    const Spoken english = speak("en", {"y"});
    const Spoken german = speak("de", {"y"});
    ScopedVariable all("LC_ALL", nullptr);
    ScopedVariable messages("LC_MESSAGES", nullptr);
    ScopedVariable lang("LANG", "de_DE.UTF-8");
    const Spoken desktop = speak("", {"y"});
    EXPECT_TRUE(desktop.reports.empty());
    ASSERT_EQ(desktop.clips.size(), 1u);
    EXPECT_TRUE(sameLength(desktop.clips.at(0), german.clips.at(0)));
    EXPECT_FALSE(sameLength(desktop.clips.at(0), english.clips.at(0)));
}

TEST(EspeakSpeech, TextsThatAreNoSingleCharacterAreReadAsText)
{
    const Spoken spoken = speak("en", {"ab", "", "\xC3\xA9"});
    EXPECT_EQ(spoken.clips.count(0), 1u);
    // Nothing to say: skipped.
    EXPECT_EQ(spoken.clips.count(1), 0u);
    // One character beyond ASCII (e acute) by its name.
    EXPECT_EQ(spoken.clips.count(2), 1u);
}

TEST(EspeakSpeech, ThreadHandsEveryClipOnAndStopsPromptly)
{
    std::vector<std::string> texts;
    for (char c = 'A'; c <= 'Z'; ++c)
        texts.emplace_back(1, c);
    RecordingSink sink;
    {
        const auto started = std::chrono::steady_clock::now();
        platform::EspeakSpeech speech(SpeechRequest{"en", texts}, sink, [](const std::string&) {});
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(200));
        const auto deadline = started + std::chrono::seconds(20);
        while (sink.all().size() < texts.size() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(sink.all().size(), texts.size());
    }
    // Stopped at once: stop returns promptly and nothing comes after it.
    RecordingSink late;
    platform::EspeakSpeech speech(SpeechRequest{"en", texts}, late, [](const std::string&) {});
    const auto stopping = std::chrono::steady_clock::now();
    speech.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(2));
    const std::size_t after = late.all().size();
    speech.stop();
    EXPECT_EQ(late.all().size(), after);
}
