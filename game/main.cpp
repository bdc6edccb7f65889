#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <cstdio>

#include "game/Stage2Engine.h"

namespace
{
constexpr int kWindowWidth = 960;
constexpr int kWindowHeight = 720;
constexpr int kFontPointSize = 24;
} // namespace

int main(int /*argc*/, char* /*argv*/[])
{
    SDL_SetMainReady();

    int status = 0;
    {
        Stage2Engine game;
        char title[128];
        std::snprintf(title, sizeof title, "My Demonstration Program : Size %d x %d",
                      kWindowWidth, kWindowHeight);
        status = game.Initialise(title, kWindowWidth, kWindowHeight, "Cornerstone Regular.ttf",
                                 kFontPointSize);
        if (status == 0)
            status = game.MainLoop();
        game.Deinitialise();
    }
    return status;
}
