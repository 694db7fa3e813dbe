// The command line: the toy has no settings but sound. Every option is the
// same on Linux and Windows.
#pragma once

#include <string>
#include <vector>

struct Options {
    // --mute: no sound at all, and no audio device opened.
    bool sound = true;
    // --no-speech: the tones, but no character's name said.
    bool speech = true;
    // --language=TAG: the language the names are said in; empty: the desktop's.
    std::string language;
    // --help: print the usage and leave.
    bool help = false;
    // Why the command line cannot be used; empty when it can.
    std::string error;
};

// Reads the arguments after the program's name.
Options parseOptions(const std::vector<std::string>& arguments);

// What --help prints.
const char* usageText();

// The exit code of a command line that cannot be used, as for any tool.
constexpr int usageExitCode = 2;
