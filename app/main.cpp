// The entry point: the command line, then the SDL platform stands in for the
// module instance, the toy runs on it with its sound board, and its result
// is the process exit code.
#include "app/Options.h"
#include "game/Zindle.h"
#include "platform/posix/Memory.h"
#include "platform/sdl/SdlPlatform.h"
#include "sound/SoundBoard.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The toy's characters as UTF-8, for the speech.
std::string utf8(const char16_t* text)
{
    std::string result;
    for (const char16_t* p = text; *p != 0; ++p) {
        char32_t code = *p;
        if (code >= 0xD800 && code < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00);
            ++p;
        }
        if (code < 0x80) {
            result += static_cast<char>(code);
        } else if (code < 0x800) {
            result += static_cast<char>(0xC0 | (code >> 6));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            result += static_cast<char>(0xE0 | (code >> 12));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (code >> 18));
            result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything touches the screen.
    const Options options = parseOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "zindle: %s\nTry 'zindle --help'.\n", options.error.c_str());
        return usageExitCode;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    if (const std::string shortfall = platform::memoryShortfall(); !shortfall.empty()) {
        std::fprintf(stderr, "zindle: %s\n", shortfall.c_str());
        return 1;
    }
    platform::SdlPlatform platform;
    if (!platform.initialized()) {
        std::fprintf(stderr, "zindle: cannot start without a display: %s\n", platform.initError().c_str());
        return 1;
    }
    int exitCode;
    {
        sound::SoundBoard board;
        Zindle application(platform);
        application.sound = &board;
        // --mute opens no audio device: SDL's audio is never started.
        if (options.sound) {
            platform.startAudio(board);
            if (options.speech) {
                platform::SpeechRequest request{options.language, {}};
                for (const char16_t* character : Zindle::characters)
                    request.texts.push_back(utf8(character));
                platform.startSpeech(request, board);
            }
        }
        exitCode = application.run();
        // The threads reach the board: stopped before it goes.
        platform.stopSpeech();
        platform.stopAudio();
    }
    return exitCode;
}
