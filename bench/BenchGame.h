#pragma once

#include "engine/SdlHandles.h"
#include "tests/driver/GameDriver.h"

#include <benchmark/benchmark.h>
#include <memory>

// A round of the game as the benchmarks measure it, with the floors its
// figures are compared with: the least work that any frame or repaint must
// do on this machine.
class BenchGame
{
public:
    // A game started headless and playing a round on the given level, its
    // objects drawn once; null when it cannot start.
    static std::unique_ptr<BenchGame> StartRound(int level);
    // The same on the fourth level, or null with the benchmark marked as
    // skipped.
    static std::unique_ptr<BenchGame> StartBusyRoundOrSkip(benchmark::State& state);

    GameDriver& Game() { return m_game; }
    // The key of a player (0 or 1) for an action.
    static int Key(int player, PlayerAction action)
    {
        return GameData::kPlayerKeys[player][static_cast<int>(action)];
    }
    // Floor of a whole redraw: one block copy of the background.
    void CopyWholeBackground();
    // Floor of every frame: hand a surface of the window's size to a window
    // through a streaming texture, as the engine does.
    void PresentOnly();
    // A round ends after 120 s of game time; the logic benchmark starts a
    // new one on the same level before that, outside its timing.
    bool RoundNearlyOver() const;
    void RestartRound();

private:
    explicit BenchGame(int level) : m_level(level) {}

    GameDriver m_game;
    int m_level;
    WindowHandle m_window;
    RendererHandle m_renderer;
    TextureHandle m_texture;
};
