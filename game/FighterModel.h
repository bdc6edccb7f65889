#pragma once

#include <cstdint>

class ArenaModel;

// Where the lifts' tops are in one pass: what a fighter can stand on
// besides the tiles.
struct LiftTops
{
    static constexpr int kMax = 3;
    static constexpr int kWidth = 72;
    int count = 0;
    int x[kMax] = {};
    int top[kMax] = {};
    int step[kMax] = {}; // +1 down, -1 up
};

// A short course of held actions, pass by pass from its start: run one way
// for a while, jump for a while from some pass and then tap jump again at
// the top of each rise (each tap a full rise more, where holding it adds
// little), hold fall from the start (to drop through a platform), dash at
// some pass, and from some pass on steer itself back onto a surface. Plain
// numbers, so that a computer's snapshot holds the one it follows.
struct Maneuver
{
    static constexpr uint8_t kAlways = 255;
    static constexpr uint8_t kNever = 255;
    // Passes from a press of jump to the top of the rise it starts.
    static constexpr int kRisePasses = 10;
    int8_t dir;        // -1 left, 0 none, +1 right
    uint8_t run;       // passes it runs for
    uint8_t jumpFrom;  // jump held from this pass ...
    uint8_t jumpFor;   // ... for this many
    uint8_t taps;      // one-pass presses after that, a rise apart
    uint8_t fallFor;   // fall held from the start for this many
    uint8_t dashAt;    // the pass of the dash, or kNever
    int8_t dashDir;    // the dash's way across: -1, 0, +1
    int8_t dashUp;     // +1 up, -1 down, 0 level
    uint8_t steerFrom; // from this pass on it steers itself (kNever: never)

    // The actions held in a pass of it (PlayerAction bits), before it
    // steers itself.
    uint8_t Held(int pass) const;
    // The same course the other way across.
    Maneuver Mirrored() const;
};

// A fighter's motion as a computer player foresees it: the same steps as a
// player's update (input, recharge, motion pixel by pixel against tiles and
// lifts, friction and gravity) on plain numbers, with every other fighter
// left out. A computer plays passes ahead on copies of it; it never runs
// the game's own passes.
struct FighterModel
{
    int x = 0;
    int y = 0;
    float vx = 0;
    float vy = 0;
    float boosts = 0;
    float charge = 0;
    int overshoot = 0;
    bool onGround = false;
    bool onThin = false;
    bool onSolid = false;
    bool launched = false;
    bool pastEdge = false;
    bool out = false;

    // One pass with the actions held (PlayerAction bits).
    void Step(const ArenaModel& arena, uint8_t held, const LiftTops& lifts);
    // The pass's motion alone, as a fighter that holds nothing has it.
    void Move(const ArenaModel& arena, const LiftTops& lifts);
    // Whether a dash back and up now would carry it across `away` pixels
    // before it comes down past the height `top`, by a reckoning of its
    // motion in open air.
    bool DashReaches(int away, int top) const;

private:
    void Jump();
    void Accelerate(float direction);
    void Attack(uint8_t held);
    void Motion(const ArenaModel& arena, const LiftTops& lifts, int lastY);
    void MoveDown(const ArenaModel& arena, const LiftTops& lifts, int lastY);
    void MoveUp(const ArenaModel& arena);
    void MoveAcross(const ArenaModel& arena, float vxLeft);
    void FindFooting(const ArenaModel& arena, const LiftTops& lifts, int lastY);
    void ApplyForces();
    void CheckEdges();
};
