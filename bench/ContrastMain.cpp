// Measures how well the game's text reads by day: for every edge pixel of
// the HUD's cyan glyphs, the contrast ratio (as the WCAG defines it, 1 to
// 21) against each neighbouring pixel that is not glyph, with the text's
// dark outline off and on. Prints the lowest and the median for each
// screen that shows text over the day sky.
// Usage: skirmora_contrast   (from the repository root; scripts/bench runs it)
#include "objects/Character.h"
#include "tests/driver/GameDriver.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace GameData;

namespace
{
double Luminance(uint32_t rgb)
{
    const auto linear = [](uint32_t channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(rgb >> 16 & 0xFF) + 0.7152 * linear(rgb >> 8 & 0xFF) + 0.0722 * linear(rgb & 0xFF);
}

double Contrast(uint32_t a, uint32_t b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of every glyph edge against its immediate background.
std::vector<double> EdgeContrasts(SDL_Surface* screen)
{
    const auto at = [screen](int x, int y) {
        return static_cast<const uint32_t*>(screen->pixels)[y * screen->pitch / 4 + x] & 0xFFFFFF;
    };
    std::vector<double> found;
    for (int y = 1; y + 1 < screen->h; ++y)
        for (int x = 1; x + 1 < screen->w; ++x)
            if (at(x, y) == kCyan)
                for (const auto& [dx, dy] :
                     {std::pair(1, 0), std::pair(-1, 0), std::pair(0, 1), std::pair(0, -1)})
                    if (at(x + dx, y + dy) != kCyan)
                        found.push_back(Contrast(kCyan, at(x + dx, y + dy)));
    std::sort(found.begin(), found.end());
    return found;
}

void Measure(GameDriver& game, const char* screen)
{
    for (const bool outline : {false, true})
    {
        game.SetTextOutline(outline, kTextOutline);
        game.Redraw(true);
        game.RenderFrame();
        const std::vector<double> contrasts = EdgeContrasts(game.GetForeground());
        if (contrasts.empty())
            continue;
        std::fprintf(stderr, "%-34s %-8s %8.2f %8.2f %8zu\n", screen, outline ? "on" : "off",
                     contrasts.front(), contrasts[contrasts.size() / 2], contrasts.size());
    }
    game.SetTextOutline(true, kTextOutline);
}
} // namespace

int main()
{
    // The table goes to standard error: the game prints the sun's colour on
    // every daytime pass.
    if (!std::freopen("/dev/null", "w", stdout))
        return 2;
    GameDriver game;
    if (!game.Started())
        return 1;
    game.ToggleDaytime();
    std::fprintf(stderr, "%-34s %-8s %8s %8s %8s\n", "screen by day", "outline", "lowest", "median", "edges");
    game.Pass(1000);
    Measure(game, "main menu");
    for (const int level : {0, kBusyLevel})
    {
        if (!game.StartRound(0, 1, level))
            return 1;
        game.Pass(115000);
        // The fighters behind the damage figures, as when they jump there.
        game.GetPlayer1()->SetPosition(40, 8), game.GetPlayer2()->SetPosition(885, 8);
        Measure(game, level ? "fourth level, countdown" : "first level, countdown");
        game.SetSecondsLeft(0);
        game.Pass();
        Measure(game, level ? "fourth level, result" : "first level, result");
        game.PressKey(' ');
    }
    return 0;
}
