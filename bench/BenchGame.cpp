#include "bench/BenchGame.h"

#include <SDL.h>
#include <cstring>

std::unique_ptr<BenchGame> BenchGame::StartBusyRoundOrSkip(benchmark::State& state)
{
    auto game = StartRound(GameData::kBusyLevel);
    if (!game)
        state.SkipWithError("the game did not start a round");
    return game;
}

std::unique_ptr<BenchGame> BenchGame::StartRound(int level)
{
    std::unique_ptr<BenchGame> bench(new BenchGame(level));
    GameDriver& game = bench->m_game;
    if (!game.Started() || !game.StartRound(0, 1, level))
        return nullptr;
    // The first frame is a whole redraw; after it every object has a last
    // drawn place for partial redraws to restore.
    game.Pass();
    game.Pass();
    bench->m_window.reset(SDL_CreateWindow("floor", 0, 0, game.GetWindowWidth(), game.GetWindowHeight(), 0));
    bench->m_renderer.reset(SDL_CreateRenderer(bench->m_window.get(), -1, 0));
    bench->m_texture.reset(SDL_CreateTexture(bench->m_renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STREAMING, game.GetWindowWidth(),
                                             game.GetWindowHeight()));
    return bench->m_texture ? std::move(bench) : nullptr;
}

void BenchGame::CopyWholeBackground()
{
    SDL_Surface* to = m_game.GetForeground();
    std::memcpy(to->pixels, m_game.GetBackground()->pixels, static_cast<size_t>(to->pitch * to->h));
}

void BenchGame::PresentOnly()
{
    SDL_Surface* screen = m_game.GetForeground();
    SDL_UpdateTexture(m_texture.get(), nullptr, screen->pixels, screen->pitch);
    SDL_RenderCopy(m_renderer.get(), m_texture.get(), nullptr, nullptr);
    SDL_RenderPresent(m_renderer.get());
}

bool BenchGame::RoundNearlyOver() const
{
    return m_game.GetState() != Playing || m_game.GetSecondsLeft() <= 2;
}

void BenchGame::RestartRound()
{
    // Leave by the pause screen's q, as a player would, and start again.
    if (m_game.GetState() == Playing)
        m_game.PressKey(' ');
    m_game.PressKey(m_game.GetState() == Paused ? 'q' : ' ');
    m_game.ReleaseAllKeys();
    m_game.StartRound(0, 1, m_level);
    m_game.Pass();
    m_game.Pass();
}
