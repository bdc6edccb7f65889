// Measures how well the game's text and marks read: for every edge pixel of
// the HUD's cyan glyphs, the contrast ratio (as the WCAG defines it, 1 to
// 21) against each neighbouring pixel that is not glyph, with the text's
// dark outline off and on, and the same for the players' colours (their
// chips, deaths and pointers); then, by night and by day, an edge arrow
// that has only begun to fill against the sky around it. Prints the lowest
// and the median for each screen.
// Usage: skirmora_contrast   (from the repository root; scripts/bench runs it)
#include "objects/Character.h"
#include "tests/driver/GameDriver.h"

#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
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

uint32_t RgbAt(SDL_Surface* surface, int x, int y)
{
    return static_cast<const uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x] & 0xFFFFFF;
}

// The contrast of every edge of the colour against its immediate
// neighbours of other colours, within the box.
std::vector<double> EdgeContrasts(SDL_Surface* screen, uint32_t colour, ScreenRect box)
{
    std::vector<double> found;
    for (int y = std::max(box.y1, 1); y <= std::min(box.y2, screen->h - 2); ++y)
        for (int x = std::max(box.x1, 1); x <= std::min(box.x2, screen->w - 2); ++x)
            if (RgbAt(screen, x, y) == colour)
                for (const auto& [dx, dy] :
                     {std::pair(1, 0), std::pair(-1, 0), std::pair(0, 1), std::pair(0, -1)})
                    if (RgbAt(screen, x + dx, y + dy) != colour)
                        found.push_back(Contrast(colour, RgbAt(screen, x + dx, y + dy)));
    std::sort(found.begin(), found.end());
    return found;
}

void Print(const std::string& screen, const char* outline, const std::vector<double>& contrasts)
{
    if (contrasts.empty())
        return;
    std::fprintf(stderr, "%-40s %-8s %8.2f %8.2f %8zu\n", screen.c_str(), outline, contrasts.front(),
                 contrasts[contrasts.size() / 2], contrasts.size());
}

constexpr ScreenRect kWholeScreen = {0, 0, kWindowWidth - 1, kWindowHeight - 1};

void Measure(GameDriver& game, const char* screen)
{
    for (const bool outline : {false, true})
    {
        game.SetTextOutline(outline, kTextOutline);
        game.Redraw(true);
        game.RenderFrame();
        Print(screen, outline ? "on" : "off", EdgeContrasts(game.GetForeground(), kCyan, kWholeScreen));
    }
    for (int player = 0; player < 2; ++player)
        Print(std::string(screen) + (player ? ", player 2" : ", player 1"), "on",
              EdgeContrasts(game.GetForeground(), kPlayerColours[player], kWholeScreen));
}

// An edge arrow that has only begun to fill: every pixel it drew next to
// sky left as painted, against that sky. The fighter's own column at the
// side is left out.
void MeasureArrow(GameDriver& game, const char* screen)
{
    Character* one = game.GetPlayer1();
    one->SetPosition(kWindowWidth - 10, 300);
    one->SetVelocity(20, 0);
    game.Pass();
    if (!one->IsPastEdge())
        return;
    game.Redraw(true);
    game.RenderFrame();
    SDL_Surface* shown = game.GetForeground();
    SDL_Surface* painted = game.GetBackground();
    const uint32_t sky = game.IsDaytime() ? kDaySky : kNightSky;
    std::vector<double> found;
    for (int y = 270; y <= 340; ++y)
        for (int x = kWindowWidth - 40; x <= kWindowWidth - 2; ++x)
        {
            if (RgbAt(shown, x, y) == RgbAt(painted, x, y))
                continue;
            for (const auto& [dx, dy] :
                 {std::pair(1, 0), std::pair(-1, 0), std::pair(0, 1), std::pair(0, -1)})
                if (x + dx < kWindowWidth - 1 && RgbAt(shown, x + dx, y + dy) == sky &&
                    RgbAt(painted, x + dx, y + dy) == sky)
                    found.push_back(Contrast(RgbAt(shown, x, y), sky));
        }
    std::sort(found.begin(), found.end());
    Print(screen, "-", found);
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
    std::fprintf(stderr, "%-40s %-8s %8s %8s %8s\n", "screen by day", "outline", "lowest", "median", "edges");
    game.Pass(1000);
    Measure(game, "main menu");
    for (const int level : {0, kBusyLevel})
    {
        if (!game.StartRound(0, 1, level))
            return 1;
        game.Pass(115000);
        // The fighters behind the damage figures, as when they jump there.
        game.GetPlayer1()->SetPosition(40, 8);
        game.GetPlayer2()->SetPosition(885, 8);
        Measure(game, level ? "fourth level, countdown" : "first level, countdown");
        game.SetSecondsLeft(0);
        game.Pass();
        Measure(game, level ? "fourth level, result" : "first level, result");
        game.PressKey(' ');
    }
    // The arrow at the side against either sky, night first.
    for (const bool day : {false, true})
    {
        if (game.IsDaytime() != day)
            game.ToggleDaytime();
        if (!game.StartRound(0, 1, 0))
            return 1;
        MeasureArrow(game, day ? "edge arrow, empty, by day" : "edge arrow, empty, by night");
        game.PressKey(' ');
        game.PressKey('q');
    }
    return 0;
}
