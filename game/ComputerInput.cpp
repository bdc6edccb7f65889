#include "game/ComputerInput.h"

#include "game/Stage2Engine.h"
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/NPC.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using namespace GameData;

namespace
{
constexpr uint8_t A = Maneuver::kAlways;
constexpr uint8_t N = Maneuver::kNever;

// What sets the levels apart: how late they see, how often they think
// again, how far ahead they read the other fighter, how far off they aim,
// how much chance sways their choice, and which dashes they know.
struct Skill
{
    int reaction; // passes
    int replan;   // passes a course is followed before choosing again
    int lead;     // passes the other fighter's motion is read ahead
    int aimError; // pixels
    float whim;   // score points of chance
    bool allDashes;
};
constexpr Skill kSkills[3] = {
    {20, 4, 0, 40, 40.0f, false},  // easy: about 300 ms
    {12, 3, 12, 12, 10.0f, false}, // normal: about 180 ms
    {6, 2, 6, 0, 1.0f, true},      // hard: about 90 ms
};

// Passes a course is played ahead, and the longest fall looked at after it.
constexpr int kHorizon = 40;
constexpr int kFallPasses = 60;
// Pixels a computer keeps from the other fighter while its dash recharges.
constexpr int kStandOff = 70;
// Pixels off square within which a meeting of two fighters is sure.
constexpr int kSureMeeting = 12;
// A surface's end with nothing below it is worth keeping this far from.
constexpr int kEdgeRoom = 36;
// A fall that leaves the arena, as FallOnto tells it.
constexpr int kFallsOut = -2;

// The courses tried at each choice, for a goal to the right (mirrored for
// one to the left); the dashes only with the charge full, and those after
// kPlainDashes only by the hard level.
const Maneuver kTries[] = {
    {1, A, 0, 0, 0, N, 0, 0},   // run at it
    {1, 6, 0, 0, 0, N, 0, 0},   // a few steps, then slow down
    {0, 0, 0, 0, 0, N, 0, 0},   // stand (or brake)
    {-1, A, 0, 0, 0, N, 0, 0},  // run away
    {-1, 6, 0, 0, 0, N, 0, 0},  // step back
    {1, A, 0, 3, 0, N, 0, 0},   // hop
    {1, A, 0, 5, 0, N, 0, 0},   // jump
    {1, A, 0, 8, 0, N, 0, 0},   // full jump
    {1, 8, 0, 8, 0, N, 0, 0},   // up, then a little across
    {1, A, 8, 8, 0, N, 0, 0},   // a few steps, then a full jump
    {1, A, 0, 0, 3, N, 0, 0},   // drop through, drifting across
    {0, 0, 0, 8, 0, N, 0, 0},   // straight up
    {0, 0, 0, 0, 3, N, 0, 0},   // straight down through
    {-1, A, 0, 5, 0, N, 0, 0},  // jump away
    {1, A, 0, 0, 0, 0, 1, 0},   // dash at it
    {-1, A, 0, 0, 0, 0, -1, 1}, // dash back and up
    {0, 0, 0, 0, 0, 0, 0, 1},   // dash up
    {1, A, 0, 0, 0, 3, 1, 0},   // dash in a moment
    {1, A, 0, 4, 0, 2, 1, 0},   // jump and dash
    {1, A, 0, 0, 0, 0, 1, 1},   // dash at it and up
    {1, A, 0, 0, 0, 6, 1, 0},   // dash a little later
};
constexpr int kFirstDash = 14;
constexpr int kPlainDashes = 17;

constexpr uint8_t kPresent = 1;
constexpr uint8_t kOnGround = 2;
constexpr uint8_t kOnThin = 4;
constexpr uint8_t kOnSolid = 8;
constexpr uint8_t kLaunched = 16;
constexpr uint8_t kPastEdge = 32;
constexpr uint8_t kOut = 64;

SeenFighter See(const Character& character)
{
    SeenFighter seen;
    ClearState(seen);
    seen.x = static_cast<int16_t>(character.GetX());
    seen.y = static_cast<int16_t>(character.GetY());
    seen.vx = character.GetVelocityX();
    seen.vy = character.GetVelocityY();
    seen.damage = character.GetDamage();
    seen.overshoot = static_cast<int16_t>(character.GetEdgeOvershoot());
    seen.flags = static_cast<uint8_t>(
        kPresent | (character.IsOnGround() ? kOnGround : 0) | (character.IsOnThinPlatform() ? kOnThin : 0) |
        (character.IsOnSolidGround() ? kOnSolid : 0) | (character.IsLaunched() ? kLaunched : 0) |
        (character.IsPastEdge() ? kPastEdge : 0) | (character.IsOutOfArena() ? kOut : 0));
    return seen;
}

FighterModel ModelOf(const SeenFighter& seen)
{
    FighterModel model;
    model.x = seen.x;
    model.y = seen.y;
    model.vx = seen.vx;
    model.vy = seen.vy;
    model.overshoot = seen.overshoot;
    model.onGround = seen.flags & kOnGround;
    model.onThin = seen.flags & kOnThin;
    model.onSolid = seen.flags & kOnSolid;
    model.launched = seen.flags & kLaunched;
    model.pastEdge = seen.flags & kPastEdge;
    model.out = seen.flags & kOut;
    return model;
}

// A fighter out of the arena, or flying past a side, is not worth chasing;
// one that came to rest just past a side still is.
bool InPlay(const SeenFighter& seen)
{
    const bool flyingPast = (seen.flags & kPastEdge) && (seen.vx > 1.0f || seen.vx < -1.0f);
    return (seen.flags & kPresent) && !(seen.flags & kOut) && !flyingPast;
}

int Sign(int value) { return value < 0 ? -1 : 1; }
} // namespace

// What a choice aims at, and what it plays its courses against: the other
// fighter's foreseen path, the enemies' and the lifts'.
struct ComputerInput::Aim
{
    int hopX = 0;
    int hopY = 0;
    int surface = ArenaModel::kNone; // landing on it is progress
    int finalX = 0;
    int finalY = 0;
    int steerX = 0; // where a fall steers for
    bool attack = false;
    float otherDamage = 1.0f;
    float ownDamage = 1.0f;
    int otherX[kHorizon] = {};
    int otherY[kHorizon] = {};
    float otherVx[kHorizon] = {};
    int enemyCount = 0;
    float enemyX[3] = {};
    float enemyY[3] = {};
    float enemyVx[3] = {};
    float enemyVy[3] = {};
    LiftTops lifts[kHorizon + kFallPasses];
};

ComputerInput::ComputerInput(const Stage2Engine& game, int seat, ComputerLevel level, uint32_t seed)
    : m_arena(game), m_seat(seat), m_level(level),
      m_spawnX(seat == 1 ? game.GetPlayer1StartX() : game.GetPlayer2StartX()),
      m_spawnY(seat == 1 ? game.GetPlayer1StartY() : game.GetPlayer2StartY())
{
    ClearState(m_state);
    // xorshift64* wants a state that is never zero.
    m_state.random = (static_cast<uint64_t>(seed) << 32 | 0x9E3779B9u) ^ static_cast<uint64_t>(seat);
    m_state.plan = kTries[2];
    m_state.planPass = kSkills[static_cast<int>(level)].replan;
}

int ComputerInput::ReactionPasses(ComputerLevel level) { return kSkills[static_cast<int>(level)].reaction; }

InputFrame ComputerInput::NextFrame()
{
    InputFrame frame;
    frame.held = m_state.nextHeld;
    frame.lever = m_state.nextLever;
    return frame;
}

void ComputerInput::SaveState(StateBytes& out) const { AppendState(out, m_state); }

bool ComputerInput::LoadState(StateReader& in) { return in.Load(m_state); }

uint32_t ComputerInput::Random()
{
    uint64_t& x = m_state.random;
    x ^= x >> 12;
    x ^= x << 25;
    x ^= x >> 27;
    return static_cast<uint32_t>((x * 0x2545F4914F6CDD1Dull) >> 32);
}

const SeenPass& ComputerInput::SeenAgo(int passes) const
{
    return m_state.seen[(m_state.seenCount - 1 - passes) % ComputerState::kRing];
}

void ComputerInput::AfterPass(const Stage2Engine& game)
{
    Observe(game);
    Decide();
}

void ComputerInput::Observe(const Stage2Engine& game)
{
    SeenPass seen;
    ClearState(seen);
    const Character* const fighters[2] = {game.GetPlayer1(), game.GetPlayer2()};
    for (int i = 0; i < 2; ++i)
        if (fighters[i])
            seen.fighters[i] = See(*fighters[i]);
    int enemies = 0;
    for (int i = 0; const DisplayableObject* object = game.GetDisplayableObject(i); ++i)
    {
        if (const auto* lift = dynamic_cast<const MovingPlatform*>(object);
            lift && seen.liftCount < LiftTops::kMax)
        {
            seen.liftX[seen.liftCount] = static_cast<int16_t>(lift->GetX());
            seen.liftY[seen.liftCount] = static_cast<int16_t>(lift->GetY());
            ++seen.liftCount;
        }
        else if ((dynamic_cast<const NPC*>(object) || dynamic_cast<const FlyingNPC*>(object)) && enemies < 3)
            seen.enemies[enemies++] = See(*static_cast<const Character*>(object));
    }
    if (const Character* own = fighters[m_seat - 1])
    {
        seen.ownCharge = own->GetAttackCharge();
        seen.ownBoosts = own->GetJumpBoostsLeft();
    }
    seen.ownHeld = game.SeatFrame(m_seat).held;
    seen.secondsLeft = static_cast<int16_t>(game.GetSecondsLeft());
    m_state.seen[m_state.seenCount % ComputerState::kRing] = seen;
    ++m_state.seenCount;
}

// The lifts a number of passes after the pass seen a reaction time ago,
// each going on the way it went then and turning at the ends of its path.
LiftTops ComputerInput::LiftsAfter(int passes) const
{
    const Skill& skill = kSkills[static_cast<int>(m_level)];
    const SeenPass& seen = SeenAgo(skill.reaction);
    const SeenPass& before = SeenAgo(skill.reaction + 1);
    LiftTops lifts;
    lifts.count = seen.liftCount;
    for (int i = 0; i < lifts.count; ++i)
    {
        lifts.x[i] = seen.liftX[i];
        lifts.top[i] = seen.liftY[i];
        lifts.step[i] = seen.liftY[i] < before.liftY[i] ? -1 : 1;
    }
    for (int pass = 0; pass < passes; ++pass)
        MoveLifts(lifts);
    return lifts;
}

void ComputerInput::MoveLifts(LiftTops& lifts)
{
    for (int i = 0; i < lifts.count; ++i)
    {
        const LiftPlacement& path = kLifts[i];
        lifts.top[i] += lifts.step[i];
        if (lifts.top[i] < path.minY)
        {
            lifts.top[i] = path.minY;
            lifts.step[i] = 1;
        }
        if (lifts.top[i] > path.maxY)
        {
            lifts.top[i] = path.maxY;
            lifts.step[i] = -1;
        }
    }
}

void ComputerInput::Decide()
{
    const Skill& skill = kSkills[static_cast<int>(m_level)];
    m_state.nextHeld = 0;
    m_state.nextLever = false;
    // At the start of a round it takes its reaction time to get going.
    if (m_state.seenCount <= skill.reaction + 1)
        return;
    const SeenPass& seen = SeenAgo(skill.reaction);
    const SeenFighter& mine = seen.fighters[m_seat - 1];
    const SeenFighter& theirs = seen.fighters[2 - m_seat];

    // Its own fighter brought up to now by what it pressed since.
    FighterModel me = ModelOf(mine);
    me.charge = seen.ownCharge;
    me.boosts = seen.ownBoosts;
    for (int ago = skill.reaction - 1; ago >= 0; --ago)
    {
        if (me.out)
        {
            me = FighterModel{};
            me.x = m_spawnX;
            me.y = m_spawnY;
            me.charge = 1.0f;
            me.boosts = seen.ownBoosts;
        }
        me.Step(m_arena, SeenAgo(ago).ownHeld, LiftsAfter(skill.reaction - ago));
    }

    FighterModel other = ModelOf(theirs);
    for (int pass = 1; pass <= skill.lead; ++pass)
        other.Move(m_arena, LiftsAfter(pass));

    if (m_state.seenCount >= m_state.aimUntil)
    {
        m_state.aimOffset =
            skill.aimError ? static_cast<int>(Random() % (2 * skill.aimError + 1)) - skill.aimError : 0;
        m_state.aimUntil = m_state.seenCount + 30;
    }
    if (m_state.leverSeek > 0)
        --m_state.leverSeek;
    else if (m_arena.LeverCount() > 0 && Random() % 2000 == 0)
    {
        m_state.leverSeek = 400;
        m_state.leverIndex = static_cast<int>(Random() % static_cast<uint32_t>(m_arena.LeverCount()));
    }

    if (m_state.planPass >= skill.replan)
        Plan(me, other, theirs.damage, mine.damage, InPlay(theirs) && !other.out);
    m_state.nextHeld = m_state.plan.Held(m_state.planPass);
    ++m_state.planPass;

    // On a lever it means to pull, or now and then on any it passes.
    const int column = (me.x + kReferenceInset) / kTileSize;
    const int row = (me.y + kReferenceInset) / kTileSize;
    if (me.x >= 0 && me.y >= 0 && m_arena.Tile(column, row) == kLeverTile &&
        (m_state.leverSeek > 0 || Random() % 100 == 0))
    {
        m_state.nextLever = true;
        m_state.leverSeek = 0;
    }
}

ComputerInput::Aim ComputerInput::ChooseAim(const FighterModel& me, const FighterModel& other,
                                            bool otherInPlay)
{
    Aim aim;
    aim.attack = otherInPlay;
    int x = m_spawnX;
    int y = m_spawnY;
    if (m_state.leverSeek > 0)
    {
        x = m_arena.LeverColumn(m_state.leverIndex) * kTileSize;
        y = m_arena.LeverRow(m_state.leverIndex) * kTileSize;
    }
    else if (otherInPlay)
    {
        x = other.x + m_state.aimOffset;
        y = other.y;
        // Without a dash it keeps a step away, on the inner side, where a
        // blow throws it inward and the other outward.
        const int under = m_arena.SurfaceBelow(other.x, other.y);
        if (under != ArenaModel::kNone)
        {
            const ArenaModel::Surface& surface = m_arena.GetSurface(under);
            const int left = surface.first * kTileSize;
            const int right = surface.last * kTileSize;
            if (me.charge < 1.0f)
                x = other.x + kStandOff * Sign((left + right) / 2 - other.x);
            x = std::clamp(x, left, right);
        }
    }
    aim.finalX = x;
    aim.finalY = y;
    aim.hopX = x;
    aim.hopY = y;
    const int target = m_arena.SurfaceBelow(x, y);
    const int from = m_arena.SurfaceBelow(me.x, me.y);
    aim.surface = target;
    if (from != ArenaModel::kNone && target != ArenaModel::kNone && from != target)
    {
        const int hop = m_arena.NextHop(from, target);
        if (hop != ArenaModel::kNone)
        {
            aim.surface = hop;
            aim.hopX = m_arena.HopStart(from, hop, me.x);
            aim.hopY = (m_arena.GetSurface(from).row - 1) * kTileSize;
        }
    }
    // A fall steers for the surface it makes for, else the one it left.
    const int steerFor = aim.surface != ArenaModel::kNone ? aim.surface : from;
    aim.steerX = m_spawnX;
    if (steerFor != ArenaModel::kNone)
    {
        const ArenaModel::Surface& under = m_arena.GetSurface(steerFor);
        aim.steerX = (under.first + under.last) * kTileSize / 2;
    }
    return aim;
}

void ComputerInput::Plan(const FighterModel& me, const FighterModel& otherNow, float otherDamage,
                         float ownDamage, bool otherInPlay)
{
    const Skill& skill = kSkills[static_cast<int>(m_level)];
    Aim aim = ChooseAim(me, otherNow, otherInPlay);
    aim.otherDamage = otherDamage;
    aim.ownDamage = ownDamage;
    aim.lifts[0] = LiftsAfter(skill.reaction + 1);
    for (int pass = 1; pass < kHorizon + kFallPasses; ++pass)
    {
        aim.lifts[pass] = aim.lifts[pass - 1];
        MoveLifts(aim.lifts[pass]);
    }
    FighterModel other = otherNow;
    for (int pass = 0; pass < kHorizon; ++pass)
    {
        other.Move(m_arena, aim.lifts[pass]);
        aim.otherX[pass] = other.x;
        aim.otherY[pass] = other.y;
        aim.otherVx[pass] = other.vx;
    }
    const SeenPass& seen = SeenAgo(skill.reaction);
    for (const SeenFighter& enemy : seen.enemies)
        if (InPlay(enemy))
        {
            const float ahead = static_cast<float>(skill.reaction + 1);
            aim.enemyX[aim.enemyCount] = enemy.x + enemy.vx * ahead;
            aim.enemyY[aim.enemyCount] = enemy.y + enemy.vy * ahead;
            aim.enemyVx[aim.enemyCount] = enemy.vx;
            aim.enemyVy[aim.enemyCount] = enemy.vy;
            ++aim.enemyCount;
        }

    const int toward = Sign(aim.hopX - me.x);
    const int tries = me.charge >= 1.0f
                          ? (skill.allDashes ? static_cast<int>(std::size(kTries)) : kPlainDashes)
                          : kFirstDash;
    float best = 0;
    bool first = true;
    for (int i = 0; i < tries; ++i)
    {
        // Dashes at the other fighter only from the ground: one in the air
        // that misses flies on far.
        if (kTries[i].dashAt != Maneuver::kNever && kTries[i].dashDir > 0 && !me.onGround)
            continue;
        const Maneuver maneuver = toward > 0 ? kTries[i] : kTries[i].Mirrored();
        const float whim = skill.whim * (static_cast<float>(Random() % 1001) / 1000.0f - 0.5f);
        const float score = Score(maneuver, me, aim) + whim;
        if (first || score > best)
        {
            first = false;
            best = score;
            m_state.plan = maneuver;
        }
    }
    m_state.planPass = 0;
}

float ComputerInput::Score(const Maneuver& maneuver, FighterModel me, const Aim& aim) const
{
    float score = 0;
    bool met = false;
    bool hit = false;
    bool enemyMet[3] = {};
    for (int pass = 0; pass < kHorizon; ++pass)
    {
        const int lastY = me.y;
        me.Step(m_arena, maneuver.Held(pass), aim.lifts[pass]);
        if (me.out)
            return -1e6f + static_cast<float>(pass) * 1000.0f;
        if (me.pastEdge)
            score -= 300.0f;
        if (aim.attack && !met)
        {
            const int dx = aim.otherX[pass] - me.x;
            const int dy = aim.otherY[pass] - me.y;
            // Only a square meeting counts: a glancing one may pass over or
            // under, and the course is then taken to miss.
            const bool side = std::abs(dx) <= kTileSize + 1 && std::abs(dy) <= kSureMeeting;
            const bool vertical =
                std::abs(dy) <= kTileSize + 1 && std::abs(dx) <= kSureMeeting &&
                (lastY + kTileSize <= aim.otherY[pass] || lastY >= aim.otherY[pass] + kTileSize);
            if (side || vertical)
            {
                met = true;
                const float mine = me.vx * static_cast<float>(Sign(dx));
                const float theirs = -aim.otherVx[pass] * static_cast<float>(Sign(dx));
                if (vertical)
                {
                    hit = me.vy > 2.0f || me.vy < -2.0f;
                    score += hit ? 100.0f + std::fabs(me.vy) * aim.otherDamage * 10.0f : 0.0f;
                    me.vy = -0.5f * me.vy;
                }
                else if (mine > theirs && mine > 2.0f)
                {
                    hit = true;
                    score += 200.0f + mine * aim.otherDamage * 25.0f;
                    me.vx = -0.5f * me.vx;
                }
                else if (theirs > 2.0f)
                    score -= 200.0f + theirs * aim.ownDamage * 25.0f;
            }
        }
        for (int i = 0; i < aim.enemyCount; ++i)
        {
            const float ahead = static_cast<float>(pass);
            if (!enemyMet[i] &&
                std::fabs(aim.enemyX[i] + aim.enemyVx[i] * ahead - static_cast<float>(me.x)) < 30.0f &&
                std::fabs(aim.enemyY[i] + aim.enemyVy[i] * ahead - static_cast<float>(me.y)) < 30.0f)
            {
                enemyMet[i] = true;
                score -= 150.0f;
            }
        }
    }
    // A dash spent on moving leaves none for the other fighter.
    if (maneuver.dashAt != Maneuver::kNever && !hit)
        score -= aim.attack ? 150.0f : 40.0f;
    const int landed = me.onGround ? m_arena.SurfaceBelow(me.x, me.y) : FallOnto(me, aim);
    if (landed == kFallsOut)
        return score - 3e5f;
    if (me.onGround && landed != ArenaModel::kNone)
        score -= 3.0f * static_cast<float>(std::max(0, kEdgeRoom - m_arena.EdgeRoom(landed, me.x)));
    if (aim.surface != ArenaModel::kNone && landed == aim.surface && aim.hopX != aim.finalX)
        score +=
            400.0f - 0.5f * static_cast<float>(std::abs(me.x - aim.finalX) + std::abs(me.y - aim.finalY));
    else
        score -= static_cast<float>(std::abs(me.x - aim.hopX)) +
                 1.5f * static_cast<float>(std::abs(me.y - aim.hopY));
    return score;
}

// Falls on from the end of a course without jumping, steering for the
// surface it makes for: the surface it lands on (kNone for a lift or
// nothing yet), or kFallsOut.
int ComputerInput::FallOnto(FighterModel& me, const Aim& aim) const
{
    const uint8_t left = 1u << static_cast<int>(PlayerAction::Left);
    const uint8_t right = 1u << static_cast<int>(PlayerAction::Right);
    for (int pass = 0; pass < kFallPasses; ++pass)
    {
        const int dx = aim.steerX - me.x;
        me.Step(m_arena, dx > 8 ? right : dx < -8 ? left : 0, aim.lifts[kHorizon + pass]);
        if (me.out)
            return kFallsOut;
        if (me.onGround)
            return m_arena.SurfaceBelow(me.x, me.y);
    }
    return m_arena.FloorBelow(me.x, me.y) ? ArenaModel::kNone : kFallsOut;
}
