#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "game/Replay.h"
#include "game/Stage2Engine.h"

using namespace GameData;

namespace
{
constexpr const char* kUsage = "usage: skirmora [--replay FILE]";

// Without arguments the game starts as ever. The one option, --replay FILE,
// reads a saved replay before anything starts, so that a file it cannot play
// costs one line on standard error and exit status 2, and no window. True
// when the game is to start; otherwise the program ends with the status.
bool ReadArguments(int argc, char* argv[], std::shared_ptr<Replay>& replay, int& status)
{
    const bool replayOption = argc >= 2 && std::strcmp(argv[1], "--replay") == 0;
    status = 2;
    if (argc == 1)
        return true;
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0)
    {
        std::printf("%s\n  --replay FILE  plays a saved replay, then goes on to the main menu\n", kUsage);
        status = 0;
    }
    else if (replayOption && argc == 2)
        std::fprintf(stderr, "skirmora: --replay needs a FILE (%s)\n", kUsage);
    else if (!replayOption || argc > 3)
        std::fprintf(stderr, "skirmora: unknown option '%s' (%s)\n", argv[replayOption ? 3 : 1], kUsage);
    else
    {
        replay = std::make_shared<Replay>();
        std::string why;
        if (replay->Read(argv[2], why))
            return true;
        std::fprintf(stderr, "skirmora: %s\n", why.c_str());
    }
    return false;
}
} // namespace

int main(int argc, char* argv[])
{
    SDL_SetMainReady();

    std::shared_ptr<Replay> replay;
    int status = 0;
    if (!ReadArguments(argc, argv, replay, status))
        return status;
    {
        Stage2Engine game;
        char title[128];
        std::snprintf(title, sizeof title, kTitleFormat, kWindowWidth, kWindowHeight);
        status = game.Initialise(title, kWindowWidth, kWindowHeight, kFontFile, kFontPointSize);
        if (status == 0 && replay)
            game.WatchReplay(replay);
        if (status == 0)
            status = game.MainLoop();
        game.Deinitialise();
    }
    return status;
}
