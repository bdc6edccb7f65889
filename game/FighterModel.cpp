#include "game/FighterModel.h"

#include "game/ArenaModel.h"
#include "objects/Arena.h"

#include <algorithm>
#include <cmath>

using namespace GameData;

namespace
{
// The player's and the physics' numbers, as the objects use them.
constexpr float kJumpSpeed = -10.0f;
constexpr float kLaunchSpeed = -25.0f;
constexpr float kDashSpeed = 10.0f;
constexpr float kMaxSpeed = 6.0f;
constexpr float kMaxJumpBoosts = 8.0f;
constexpr float kMaxFallSpeed = 15.0f;
constexpr float kFastFallLimit = 30.0f;
constexpr float kFastFallStep = 2.0f;
constexpr float kGroundFriction = 0.8f;
constexpr float kAirFriction = 0.2f;
constexpr float kGravity = 1.0f;
constexpr double kWallStopSpeed = 1.2;
constexpr double kBounce = -0.5;
constexpr double kRechargeStep = 0.01;
constexpr int kDropThrough = 2;
constexpr int kSize = kTileSize;
constexpr int kEdgeSlack = 24;
constexpr int kEdgeLimit = 144;

bool Holds(uint8_t held, PlayerAction action) { return (held >> static_cast<int>(action)) & 1u; }

// Floor division, for places left of or above the window.
int TileOf(int pixel) { return pixel >= 0 ? pixel / kTileSize : -((-pixel + kTileSize - 1) / kTileSize); }

bool Blocks(int tile) { return tile == kBrickTile || tile == kJumpBlockTile; }
} // namespace

uint8_t Maneuver::Held(int pass) const
{
    const auto bit = [](PlayerAction action) { return static_cast<uint8_t>(1u << static_cast<int>(action)); };
    uint8_t held = 0;
    if (dir != 0 && (run == kAlways || pass < run))
        held |= bit(dir < 0 ? PlayerAction::Left : PlayerAction::Right);
    if (jumpFor > 0 && pass >= jumpFrom && pass < jumpFrom + jumpFor)
        held |= bit(PlayerAction::Jump);
    const int sinceLast = pass - (jumpFrom + jumpFor - 1);
    if (jumpFor > 0 && sinceLast > 0 && sinceLast % kRisePasses == 0 && sinceLast / kRisePasses <= taps)
        held |= bit(PlayerAction::Jump);
    if (pass < fallFor)
        held |= bit(PlayerAction::Fall);
    if (dashAt != kNever && pass == dashAt)
    {
        held = bit(PlayerAction::Attack);
        if (dashDir != 0)
            held |= bit(dashDir < 0 ? PlayerAction::Left : PlayerAction::Right);
        if (dashUp != 0)
            held |= bit(dashUp > 0 ? PlayerAction::Jump : PlayerAction::Fall);
    }
    return held;
}

Maneuver Maneuver::Mirrored() const
{
    Maneuver mirrored = *this;
    mirrored.dir = static_cast<int8_t>(-dir);
    mirrored.dashDir = static_cast<int8_t>(-dashDir);
    return mirrored;
}

void FighterModel::Step(const ArenaModel& arena, uint8_t held, const LiftTops& lifts)
{
    if (Holds(held, PlayerAction::Jump))
        Jump();
    if (Holds(held, PlayerAction::Fall) && vy <= kFastFallLimit)
        vy += kFastFallStep;
    if (Holds(held, PlayerAction::Left))
        Accelerate(-1.0f);
    if (Holds(held, PlayerAction::Right))
        Accelerate(+1.0f);
    // The motion compares with where the fighter was drawn last: before a
    // drop through a platform.
    const int lastY = y;
    if (Holds(held, PlayerAction::Fall) && onThin && !onSolid)
        y += kDropThrough;
    if (Holds(held, PlayerAction::Attack))
        Attack(held);
    if (charge < 1.0f)
        charge = static_cast<float>(charge + kRechargeStep);
    Motion(arena, lifts, lastY);
    ApplyForces();
}

void FighterModel::Move(const ArenaModel& arena, const LiftTops& lifts)
{
    Motion(arena, lifts, y);
    ApplyForces();
}

// Vertical pass on the speed at entry, then the horizontal one on the speed
// at entry and the speed a vertical contact left.
void FighterModel::Motion(const ArenaModel& arena, const LiftTops& lifts, int lastY)
{
    const float vyEntry = vy;
    const float vxLeft = vx;
    if (vyEntry > 0)
        MoveDown(arena, lifts, lastY);
    else if (vyEntry < 0)
        MoveUp(arena);
    MoveAcross(arena, vxLeft);
    CheckEdges();
    FindFooting(arena, lifts, lastY);
}

void FighterModel::Jump()
{
    if (onGround)
        boosts = kMaxJumpBoosts;
    if (vy <= 0 && !launched && boosts > 0)
    {
        vy = kJumpSpeed;
        boosts -= 1.0f;
    }
}

void FighterModel::Accelerate(float direction)
{
    const bool mayGrow = direction > 0 ? kMaxSpeed > vx : vx > -kMaxSpeed;
    if (!mayGrow)
        return;
    if (onGround)
        vx += direction;
    else
        vx += direction / (std::max(kGroundFriction, kAirFriction) / std::min(kGroundFriction, kAirFriction));
}

bool FighterModel::DashReaches(int away, int top) const
{
    const float toward = (away < 0 ? -vx : vx) + kDashSpeed;
    const float up = vy - kDashSpeed;
    // y after t passes is y + up t + kGravity t^2 / 2: the pass it is back at top.
    const float room = up * up + 2.0f * kGravity * static_cast<float>(top - y);
    if (room < 0.0f)
        return false;
    const float passes = (std::sqrt(room) - up) / kGravity;
    // Air friction takes kAirFriction a pass off the speed across.
    const float slowing = std::min(passes, toward / kAirFriction);
    const float reach = toward * slowing - kAirFriction * slowing * slowing / 2.0f;
    return reach >= static_cast<float>(std::abs(away) - kSize / 2);
}

void FighterModel::Attack(uint8_t held)
{
    if (charge < 1.0f)
        return;
    bool dashed = false;
    if (Holds(held, PlayerAction::Right))
    {
        vx += kDashSpeed;
        dashed = true;
    }
    else if (Holds(held, PlayerAction::Left))
    {
        vx -= kDashSpeed;
        dashed = true;
    }
    if (Holds(held, PlayerAction::Fall))
        vy += kDashSpeed;
    else if (Holds(held, PlayerAction::Jump))
        vy -= kDashSpeed;
    else if (!dashed)
        return;
    charge = 0;
}

// Down a pixel at a time until the speed at entry is used up; a landing
// holds the fighter where it is for the rest of the pass.
void FighterModel::MoveDown(const ArenaModel& arena, const LiftTops& lifts, int lastY)
{
    float vyLeft = vy;
    do
    {
        y += 1;
        vyLeft -= 1.0f;
        const int bottom = y + kSize - 1;
        bool landed = false;
        if (bottom >= 0 && bottom % kTileSize == 0)
        {
            const int row = bottom / kTileSize;
            for (int column = TileOf(x); column <= TileOf(x + kSize - 1) && !landed; ++column)
            {
                const int tile = arena.Tile(column, row);
                if (tile == kBrickTile || tile == kThinPlatformTile)
                {
                    vy = 0;
                    landed = true;
                }
                else if (tile == kJumpBlockTile)
                {
                    vy = kLaunchSpeed;
                    launched = true;
                    landed = true;
                }
            }
        }
        for (int i = 0; i < lifts.count && !landed && lastY - 1 <= y; ++i)
            landed = bottom == lifts.top[i] && x + kSize > lifts.x[i] && x < lifts.x[i] + LiftTops::kWidth;
        if (landed)
            y = y - 1;
        if (y + kEdgeSlack > kWindowHeight + kEdgeLimit)
            out = true;
        if (landed)
            return;
    } while (vyLeft > 0);
}

void FighterModel::MoveUp(const ArenaModel& arena)
{
    float vyLeft = vy;
    do
    {
        y -= 1;
        vyLeft += 1.0f;
        if (y >= 0 && y % kTileSize == kTileSize - 1)
        {
            const int row = y / kTileSize;
            for (int column = TileOf(x); column <= TileOf(x + kSize - 1); ++column)
                if (Blocks(arena.Tile(column, row)))
                {
                    y += 1;
                    if (vy < 0)
                        vy = static_cast<float>(vy * kBounce);
                    return;
                }
        }
        if (y < -kEdgeLimit)
            out = true;
    } while (vyLeft < 0);
}

// Across a pixel at a time; past a side edge the travel is counted instead.
void FighterModel::MoveAcross(const ArenaModel& arena, float vxLeft)
{
    if (vx > 0 && vxLeft > 0)
    {
        while (vxLeft > 0)
        {
            vxLeft -= 1.0f;
            if (pastEdge)
                overshoot += 1;
            else
            {
                x += 1;
                const int right = x + kSize - 1;
                if (right >= 0 && right % kTileSize == 0)
                    for (int row = TileOf(y); row <= TileOf(y + kSize - 1); ++row)
                        if (Blocks(arena.Tile(right / kTileSize, row)))
                        {
                            x = right - kSize;
                            if (static_cast<double>(vx) <= kWallStopSpeed)
                            {
                                if (vx >= 0)
                                    vx = 0;
                            }
                            else
                                vx = static_cast<float>(vx * kBounce);
                            break;
                        }
            }
            if (x >= kWindowWidth - 1)
            {
                x = kWindowWidth - 1;
                pastEdge = true;
            }
            if (overshoot >= 0 && x < 0)
                pastEdge = false;
        }
    }
    else if (vx < 0 && vxLeft < 0)
    {
        while (vxLeft < 0)
        {
            vxLeft += 1.0f;
            if (pastEdge)
                overshoot -= 1;
            else
            {
                x -= 1;
                if (x >= 0 && x % kTileSize == kTileSize - 1)
                    for (int row = TileOf(y); row <= TileOf(y + kSize - 1); ++row)
                        if (Blocks(arena.Tile(x / kTileSize, row)))
                        {
                            x += 1;
                            if (vx < 0)
                                vx = static_cast<float>(vx * kBounce);
                            break;
                        }
            }
            if (x <= 1 - kSize)
            {
                x = 1 - kSize;
                pastEdge = true;
            }
            if (overshoot <= 0 && x > kWindowWidth - kSize - 1)
                pastEdge = false;
        }
    }
}

// What the fighter stands on at the end of the pass.
void FighterModel::FindFooting(const ArenaModel& arena, const LiftTops& lifts, int lastY)
{
    onGround = false;
    onThin = false;
    onSolid = false;
    const int feet = y + kSize;
    if (feet >= 0 && feet % kTileSize == 0)
    {
        const int row = feet / kTileSize;
        for (int column = TileOf(x); column <= TileOf(x + kSize - 1); ++column)
        {
            const int tile = arena.Tile(column, row);
            if (tile == kBrickTile)
                onSolid = true;
            else if (tile == kThinPlatformTile)
                onThin = true;
        }
    }
    // A fighter rising faster than a pixel a pass goes through a lift.
    for (int i = 0; i < lifts.count && lastY - 1 <= y; ++i)
        if (x + kSize > lifts.x[i] && x < lifts.x[i] + LiftTops::kWidth &&
            (feet == lifts.top[i] || feet - 1 == lifts.top[i]))
        {
            // A rising lift carries its rider up a pixel.
            y = lifts.top[i] - kSize;
            onThin = true;
        }
    onGround = onThin || onSolid;
    if (onGround)
        launched = false;
}

void FighterModel::ApplyForces()
{
    const float friction = onGround ? kGroundFriction : kAirFriction;
    if (vx > 0)
        vx = std::max(0.0f, vx - friction);
    else if (vx < 0)
        vx = std::min(0.0f, vx + friction);
    if (onGround)
    {
        if (vy > 0)
            vy = 0;
        return;
    }
    if (vy < kMaxFallSpeed)
        vy += kGravity;
    if (vy > kMaxFallSpeed)
        vy = static_cast<float>(vy - kGravity * 0.5);
}

void FighterModel::CheckEdges()
{
    if (overshoot + kEdgeSlack > kEdgeLimit || overshoot < -kEdgeLimit ||
        y + kEdgeSlack > kWindowHeight + kEdgeLimit || y < -kEdgeLimit)
        out = true;
}
