#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <cstdio>
#include <memory>
#include <string>

#include "game/CommandLine.h"
#include "game/Replay.h"
#include "game/Stage2Engine.h"

using namespace GameData;

int main(int argc, char* argv[])
{
    SDL_SetMainReady();

    const CommandLine line = CommandLine::Parse(argc, argv);
    if (!line.error.empty())
    {
        std::fprintf(stderr, "skirmora: %s\n%s\n", line.error.c_str(), CommandLine::Usage());
        return 2;
    }
    // A replay is read before anything starts, so that a file the game
    // cannot play costs one line and no window.
    std::shared_ptr<Replay> replay;
    if (line.mode == CommandLine::Mode::Replay)
    {
        replay = std::make_shared<Replay>();
        std::string why;
        if (!replay->Read(line.replayFile, why))
        {
            std::fprintf(stderr, "skirmora: %s\n", why.c_str());
            return 2;
        }
    }

    int status = 0;
    {
        Stage2Engine game;
        char title[128];
        std::snprintf(title, sizeof title, kTitleFormat, kWindowWidth, kWindowHeight);
        status = game.Initialise(title, kWindowWidth, kWindowHeight, kFontFile, kFontPointSize);
        if (status == 0)
        {
            // Without options the game is the local one, as always.
            game.SetInputDelay(line.inputDelay);
            if (line.mode == CommandLine::Mode::Host && !game.HostOnline(line.port))
                status = 2;
            else if (line.mode == CommandLine::Mode::Join && !game.JoinOnline(line.host, line.port))
                status = 2;
            // The replay plays, and then the main menu follows.
            if (replay)
                game.WatchReplay(replay);
            if (status == 0)
                status = game.MainLoop();
        }
        game.Deinitialise();
    }
    return status;
}
