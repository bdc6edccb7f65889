#pragma once

#include "game/Stage2Engine.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// A round as it was played, enough to play it again exactly: who held each
// seat, the game's round state as the round began (level, fighters, level
// grid, start positions, scores, day flag and sun), from which the normal
// set-up builds the objects, and every pass's time and input frames, with
// digests of the round along the way that a replay must meet. Saved, it is
// a file of a few kilobytes (docs/replay-format.md).
struct Replay
{
    static constexpr uint16_t kFormatVersion = 2;
    // Far beyond any round: a file or a pass count past these is refused
    // before anything is allocated for it.
    static constexpr size_t kMaxFileBytes = 1 << 20;
    static constexpr size_t kMaxPasses = 200000;

    Replay() { ClearState(start); }

    SeatChoice seats[2] = {};
    // The game's round state just after the round's objects were built.
    RoundState start;
    // Whether a frame was drawn between the round's start and its first
    // pass: the physics reads where each object was last drawn.
    bool drawnBeforeFirstPass = false;
    // Of the round (its game and objects, not the seats' sources, which a
    // replay replaces) just before the first pass.
    uint64_t startDigest = 0;
    std::vector<RoundPass> passes;
    // Of the round after each checkpoint pass, in order.
    std::vector<uint64_t> digests;

    // A digest follows the first pass of each second of game time, and the
    // last pass.
    static bool StartsASecond(const std::vector<RoundPass>& passes, size_t pass);
    bool IsCheckpoint(size_t pass) const { return StartsASecond(passes, pass) || pass + 1 == passes.size(); }

    // The file's bytes, and the checksum that ends them (of all before it).
    std::vector<unsigned char> Encode() const;
    static uint32_t Checksum(const unsigned char* data, size_t size);
    // Reads a file's bytes; false, with why (words to follow the file's
    // name), when they are no replay this game can play.
    bool Decode(const unsigned char* data, size_t size, std::string& why);
    bool Read(const std::string& path, std::string& why);
    // Writes the file into the user's replay folder (made if need be) under
    // a new name from the time and the level; the path, or why not.
    bool Save(std::time_t when, std::string& path, std::string& why) const;

    // replays/ in the user's data folder; empty, with why, when there is none.
    static std::string Folder(std::string& why);
    // 2026-12-07-2041-level4.skirmora-replay, in local time.
    static std::string FileName(std::time_t when, int level, int copy = 1);
};
