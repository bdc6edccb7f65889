#pragma once

#include "engine/ObjectState.h"
#include "game/Stage2Engine.h"

#include <cstdint>
#include <deque>
#include <map>
#include <utility>

// What a round played online keeps between passes.
struct OnlinePlay
{
    struct Record
    {
        StateBytes before; // the round just before the pass
        RoundPass pass;    // the pass as last run, prediction included
        // For the round's recording: whether the pass is a checkpoint of
        // it, and then the digest of the round just after the pass.
        bool checkpoint = false;
        uint64_t digest = 0;
    };
    uint32_t next = 0;          // the pass about to run
    uint32_t firstKept = 0;     // the pass of records.front()
    std::deque<Record> records; // from the first pass not yet confirmed
    size_t worldSize = 0;       // of every snapshot: the rest is the sources
    // Digests of confirmed passes, ours with the world they were made of,
    // until the other machine's arrive to compare.
    std::map<uint32_t, std::pair<uint64_t, StateBytes>> ourDigests;
    std::map<uint32_t, uint64_t> theirDigests;
    std::vector<std::pair<uint32_t, uint64_t>> compared;
    // Measured for the performance notes.
    long rollbacks = 0;
    long passesRunAgain = 0;
    uint32_t deepest = 0;
    long skipped = 0;
    long stalled = 0;
    // When the round began to wait for the other machine's frames, or 0.
    uint32_t waitingSince = 0;
    bool waitingShown = false;
    double worstPassMs = 0;
};
