#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <cstdio>

#include "game/Stage2Engine.h"

using namespace GameData;

int main(int /*argc*/, char* /*argv*/[])
{
    SDL_SetMainReady();

    int status = 0;
    {
        Stage2Engine game;
        char title[128];
        std::snprintf(title, sizeof title, kTitleFormat, kWindowWidth, kWindowHeight);
        status = game.Initialise(title, kWindowWidth, kWindowHeight, kFontFile, kFontPointSize);
        if (status == 0)
            status = game.MainLoop();
        game.Deinitialise();
    }
    return status;
}
