#pragma once

#include "game/InputSource.h"
#include "game/Replay.h"

#include <memory>

// A seat fed from a recorded round: for each pass, the frame its seat held
// then. The pass it has reached is its state, so a snapshot restored while
// watching takes it back too.
class ReplayInput final : public InputSource
{
public:
    ReplayInput(std::shared_ptr<const Replay> replay, int seat) : m_replay(std::move(replay)), m_seat(seat) {}

    InputFrame NextFrame() override
    {
        return Next() < m_replay->passes.size() ? m_replay->passes[Next()].seats[m_seat - 1] : InputFrame{};
    }
    void AfterPass(const Stage2Engine& /*game*/) override { ++m_next; }
    void SaveState(StateBytes& out) const override { AppendState(out, m_next); }
    bool LoadState(StateReader& in) override { return in.Load(m_next); }
    // The pass whose frame comes next.
    size_t Next() const { return static_cast<size_t>(m_next); }

private:
    std::shared_ptr<const Replay> m_replay;
    int m_seat;
    int32_t m_next = 0;
};
