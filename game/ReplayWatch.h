#pragma once

#include "game/Replay.h"
#include "game/ReplayInput.h"

#include <map>
#include <memory>
#include <vector>

// What watching a replay keeps: the replay and where it is, what running it
// ahead found, and the screen to come back to.
struct ReplayWatch
{
    std::shared_ptr<const Replay> replay;
    // Seat 1's replay source: its place in the replay is the next pass.
    const ReplayInput* cursor = nullptr;
    // The round's own sources and the screen left, put back afterwards.
    std::unique_ptr<InputSource> sources[2];
    RoundState left;
    StateBytes leftRound;
    // For each pass, the index of the digest that follows it, or -1.
    std::vector<int> digestAfter;
    // The round before pass i, every so many passes, for jumps to start from.
    std::map<size_t, StateBytes> snapshots;
    // The passes in which a player went out of the arena, known for every
    // pass before `scanned`; `frontier` is the round before pass `scanned`
    // once a jump has looked further ahead than the watching has come.
    std::vector<size_t> ringOuts;
    size_t scanned = 0;
    StateBytes frontier;
    bool paused = false;
    bool fast = false;
};
