#pragma once

#include "tools/soak/DrivenGame.h"

#include <memory>

// The game as the benchmarks measure it, with the floors its figures are
// compared with: the least work that any frame or repaint must do.
class BenchGame : public DrivenGame
{
public:
    // A game started headless and playing a round on the given level, its
    // objects drawn once; null when it cannot start.
    static std::unique_ptr<BenchGame> StartRound(int level);

    // Floor of a whole redraw: one block copy of the background.
    void CopyWholeBackground();
    // Floor of every frame: hand the composed surface to the window.
    void PresentOnly();
    // Floor of a background repaint: every pixel written once, as the sky
    // fill does before the stars and tiles go on it.
    void FillWholeBackground() { FillBackground(kNightSky); }
    // A round ends after 120 s of game time; the logic benchmark starts a
    // new one on the same level before that, outside its timing.
    bool RoundNearlyOver() const { return m_state != Playing || m_secondsLeft <= 2; }
    void RestartRound();

private:
    int m_roundLevel = 0;
};
