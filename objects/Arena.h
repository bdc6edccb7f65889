#pragma once

#include <cstdint>

class GravityObject;

// What happens to a moving object that the game may answer with a sound or
// a pad's rumble; the strength is the knockback of a hit.
enum class ObjectEvent
{
    Jump,
    AirJump,
    Dash,
    Thrown, // by a jump block
    DropThrough,
    Hit,
    RingOut,
    Respawn,
    Lever,
    LiftTurn,
};
// Tables indexed by ObjectEvent have this many entries, in the order above.
constexpr int kObjectEventCount = 10;

// What a player can hold down to steer, whoever or whatever holds it.
enum class PlayerAction
{
    Jump,
    Fall,
    Left,
    Right,
    Attack,
};
// Tables indexed by PlayerAction have this many entries, in the order above.
constexpr int kPlayerActionCount = 5;

// What one player does in one pass of a round: the actions held and whether
// a lever pull was asked for. A player reads nothing else, so a round played
// again from the same frames (and times) is the same round.
struct InputFrame
{
    uint8_t held = 0; // one bit for each PlayerAction
    bool lever = false;

    bool Holds(PlayerAction action) const { return (held >> static_cast<int>(action)) & 1u; }
    void Hold(PlayerAction action) { held = static_cast<uint8_t>(held | 1u << static_cast<int>(action)); }
    bool operator==(const InputFrame& other) const { return held == other.held && lever == other.lever; }
    bool operator!=(const InputFrame& other) const { return !(*this == other); }
};

// The game as the objects see it: the level they move through, what each
// player does in the current pass, the day flag a lever flips, the scores the menu's line shows,
// and a place to report what befalls them. The game implements it; objects
// find it once, when they are made, and an engine that is no arena leaves
// them in an empty world.
class Arena
{
public:
    // The level tile code of a cell; callers keep the cell inside the grid.
    virtual signed char GetLevelTile(int column, int row) const = 0;
    // What player 1 or 2 does in the current pass.
    virtual InputFrame SeatFrame(int player) const = 0;
    virtual void ToggleDaytime() = 0;
    virtual int GetScore(int player) const = 0;
    virtual void ResetScores() = 0;
    // Tells the game; it never changes the object or the game's rules.
    virtual void OnObjectEvent(const GravityObject& object, ObjectEvent event, float strength) = 0;

protected:
    ~Arena() = default;
};
