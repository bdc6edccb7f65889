// Key screens rendered headless and compared pixel for pixel with pictures
// kept beside this file. A mismatch saves the actual screen as
// reference/actual-<name>.png; SKIRMORA_UPDATE_REFERENCES=1 (see
// scripts/update-references) rewrites the references instead.
#include "tests/game/GameTestSupport.h"

#include <SDL_image.h>
#include <cstdlib>
#include <string>

using game_testing::GameTest;
using game_testing::ScriptedPlayer;

namespace
{
std::string ReferencePath(const std::string& name)
{
    return testing_support::SourceDir() + "/tests/game/reference/" + name + ".png";
}

// Saves the RGB of a surface as an opaque PNG.
bool SaveOpaque(SDL_Surface* surface, const std::string& path)
{
    SDL_Surface* copy = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32,
                                                       SDL_PIXELFORMAT_ARGB8888);
    if (!copy)
        return false;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            static_cast<uint32_t*>(copy->pixels)[y * (copy->pitch / 4) + x] =
                0xFF000000 | testing_support::RgbAt(surface, x, y);
    const bool saved = IMG_SavePNG(copy, path.c_str()) == 0;
    SDL_FreeSurface(copy);
    return saved;
}

// Compares the screen with the named reference, or rewrites the reference.
void ExpectScreenMatches(SDL_Surface* screen, const std::string& name)
{
    const char* update = std::getenv("SKIRMORA_UPDATE_REFERENCES");
    if (update && std::string(update) == "1")
    {
        ASSERT_TRUE(SaveOpaque(screen, ReferencePath(name))) << name;
        return;
    }

    // -1 differing pixels: no reference of the screen's size to compare with.
    int differing = -1;
    int firstX = -1, firstY = -1;
    SDL_Surface* loaded = IMG_Load(ReferencePath(name).c_str());
    SDL_Surface* reference =
        loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    if (loaded)
        SDL_FreeSurface(loaded);
    if (reference && reference->w == screen->w && reference->h == screen->h)
    {
        differing = 0;
        for (int y = 0; y < screen->h; ++y)
            for (int x = 0; x < screen->w; ++x)
                if (testing_support::RgbAt(screen, x, y) != testing_support::RgbAt(reference, x, y) &&
                    differing++ == 0)
                {
                    firstX = x;
                    firstY = y;
                }
    }
    if (reference)
        SDL_FreeSurface(reference);

    if (differing != 0)
    {
        const std::string actual = "actual-" + name;
        SaveOpaque(screen, ReferencePath(actual));
        if (differing < 0)
            ADD_FAILURE() << name << ": no " << screen->w << " x " << screen->h
                          << " reference; the screen is saved as " << ReferencePath(actual);
        else
            ADD_FAILURE() << name << ": " << differing << " pixels differ, first at (" << firstX
                          << ", " << firstY << "); the screen is saved as "
                          << ReferencePath(actual);
    }
}

class ReferenceScreens : public GameTest
{
protected:
    void Show(const std::string& name)
    {
        game->RenderFrame();
        ExpectScreenMatches(Foreground(), name);
    }
};
} // namespace

TEST_F(ReferenceScreens, Menus)
{
    game->Pass(1000); // the score line takes its text on its first update
    Show("main-menu");
    game->Click(0, 0);
    game->Click(400, 150);
    Show("select-player1");
    game->Click(700, 630);
    game->Click(700, 400);
    Show("select-player2");
    game->Click(700, 630);
    game->Click(130, 370);
    Show("select-level");
}

TEST_F(ReferenceScreens, RoundAtNightPausedAndOver)
{
    game->ClickIntoRound(0, 1, 3, 1000);
    Show("round-night");
    game->SetFrameTick(1000);
    game->OnKeyDown(0x20);
    Show("paused");

    game->OnKeyDown(0x20);
    auto* first = new ScriptedPlayer(game.get(), 1);
    auto* second = new ScriptedPlayer(game.get(), 2);
    second->SetPosition(300, 100);
    first->SetDeaths(1);
    game->UsePlayers(first, second);
    game->m_secondsLeft = 0;
    game->Pass(1000);
    Show("round-over");
}

TEST_F(ReferenceScreens, RoundByDay)
{
    game->ToggleDaytime();
    game->ClickIntoRound(3, 0, 5, 1000);
    // Pausing draws the sun without moving anything.
    game->OnKeyDown(0x20);
    game->OnKeyDown(0x20);
    Show("round-day");
}
