#include "bench/BenchGame.h"

#include <SDL.h>
#include <cstdlib>
#include <cstring>

std::unique_ptr<BenchGame> BenchGame::StartRound(int level)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    auto game = std::make_unique<BenchGame>();
    if (game->Initialise("bench", 960, 720, "Cornerstone Regular.ttf", 24) != 0)
        return nullptr;
    game->m_roundLevel = level;
    if (!game->DrivenGame::StartRound(0, 1, level))
        return nullptr;
    // The first frame is a whole redraw; after it every object has a last
    // drawn place for partial redraws to restore.
    game->Pass();
    game->Pass();
    return game;
}

void BenchGame::CopyWholeBackground()
{
    std::memcpy(m_foreground->pixels, m_background->pixels,
                static_cast<size_t>(m_background->pitch) * m_windowHeight);
}

void BenchGame::PresentOnly()
{
    SDL_UpdateTexture(m_screenTexture, nullptr, m_foreground->pixels, m_foreground->pitch);
    SDL_RenderCopy(m_renderer, m_screenTexture, nullptr, nullptr);
    SDL_RenderPresent(m_renderer);
}

void BenchGame::RestartRound()
{
    // Leave by the pause screen's q, as a player would, and start again.
    if (m_state == Playing)
        PressKey(' ');
    if (m_state == Paused)
        PressKey('q');
    if (m_state == RoundOver)
        PressKey(' ');
    ReleaseAllKeys();
    DrivenGame::StartRound(0, 1, m_roundLevel);
    Pass();
    Pass();
}
