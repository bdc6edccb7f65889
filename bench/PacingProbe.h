#pragma once

#include "game/Stage2Engine.h"

#include <cstdint>
#include <cstdio>
#include <vector>

// The game under its real main loop, watched from inside: it records the
// time of every paced logic pass, plays a scripted round by pushing events
// into the library's queue as a player would, and ends itself with a quit
// event after the given number of seconds.
class PacingProbe : public Stage2Engine
{
public:
    explicit PacingProbe(int seconds);

    void DoFrameLogic() override;
    void RenderFrame() override;

    // Logic passes per second, the spread of their intervals, the loop's
    // passes and the frames drawn.
    void PrintReport(std::FILE* out) const;

private:
    void PushScript(uint32_t elapsedMs);
    void PushClick(int x, int y);
    void PushKey(int keyCode, bool down);

    int m_seconds;
    uint32_t m_startTick = 0;
    bool m_started = false;
    bool m_quitPushed = false;
    int m_heldPattern = -1;
    long m_loopPasses = 0;
    long m_frames = 0;
    double m_renderSeconds = 0.0;
    // Performance-counter time of each logic pass, and its millisecond tick.
    std::vector<uint64_t> m_logicCounters;
    std::vector<int> m_logicTicks;
};
