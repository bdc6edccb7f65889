#pragma once

#include <cstdint>
#include <string>

// What the program is asked to do at start: play as always, host or join
// an online game, or play a saved replay.
struct CommandLine
{
    enum class Mode
    {
        Play,
        Host,
        Join,
        Replay,
    };
    Mode mode = Mode::Play;
    std::string host;
    std::string replayFile;
    uint16_t port = 0;
    int inputDelay = 2;
    // Empty when the arguments were understood; else what was wrong.
    std::string error;

    static CommandLine Parse(int argc, const char* const argv[]);
    static const char* Usage();
};
