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
// how much chance sways their choice, which dashes they know, and whether
// they count on a dash to get back onto the level (the easy one keeps to
// courses it can come back from without one).
struct Skill
{
    int reaction; // passes
    int replan;   // passes a course is followed before choosing again
    int lead;     // passes the other fighter's motion is read ahead
    int aimError; // pixels
    float whim;   // score points of chance
    bool allDashes;
    bool countsOnDash;
};
constexpr Skill kSkills[3] = {
    {20, 4, 0, 40, 40.0f, false, false}, // easy: about 300 ms
    {12, 3, 12, 12, 10.0f, false, true}, // normal: about 180 ms
    {6, 2, 6, 0, 1.0f, true, true},      // hard: about 90 ms
};

// Passes a course is played ahead, and the longest steer back down after it.
constexpr int kHorizon = 40;
constexpr int kSteerPasses = 90;
// Passes a fighter thrown by a blow is followed to see whether it leaves.
constexpr int kThrowPasses = 90;
// Pixels a computer keeps from the other fighter while its dash recharges.
constexpr int kStandOff = 70;
// Pixels off square within which a meeting of two fighters is sure.
constexpr int kSureMeeting = 12;
// A surface's end with nothing below it is worth keeping this far from.
constexpr int kEdgeRoom = 36;
// Pixels either way across its fighter may be from where it is foreseen.
constexpr int kModelSlack = 8;
// A fall that leaves the arena, as SteerDown tells it.
constexpr int kFallsOut = -2;
// A course that leaves the arena scores below every other, the later the
// better; one that would leave it if a foreseen meeting did not happen
// scores below every safe one.
constexpr float kOutScore = -1e6f;
constexpr float kFallsOutScore = -3e5f;
constexpr float kUnsafeScore = -2e5f;
// Score points a pass for falling over a pit with no dash to come back by.
constexpr float kExposedPass = 8.0f;
// Score points for a jump block's throw that does not take it where it is
// going (three times as many with the dash spent).
constexpr float kThrowRisk = 150.0f;

// The courses tried at each choice, for a goal to the right (mirrored for
// one to the left); the dashes only with the charge full, and those after
// kPlainDashes only by the hard level.
const Maneuver kTries[] = {
    {1, A, 0, 0, 0, 0, N, 0, 0, N},   // run at it
    {1, 6, 0, 0, 0, 0, N, 0, 0, N},   // a few steps, then slow down
    {0, 0, 0, 0, 0, 0, N, 0, 0, N},   // stand (or brake)
    {-1, A, 0, 0, 0, 0, N, 0, 0, N},  // run away
    {-1, 6, 0, 0, 0, 0, N, 0, 0, N},  // step back
    {1, A, 0, 3, 0, 0, N, 0, 0, N},   // hop
    {1, A, 0, 5, 0, 0, N, 0, 0, N},   // jump
    {1, A, 0, 8, 0, 0, N, 0, 0, N},   // full jump
    {1, 8, 0, 8, 0, 0, N, 0, 0, N},   // up, then a little across
    {1, A, 8, 8, 0, 0, N, 0, 0, N},   // a few steps, then a full jump
    {1, A, 0, 0, 0, 3, N, 0, 0, N},   // drop through, drifting across
    {0, 0, 0, 8, 0, 0, N, 0, 0, N},   // straight up
    {0, 0, 0, 0, 0, 3, N, 0, 0, N},   // straight down through
    {-1, A, 0, 5, 0, 0, N, 0, 0, N},  // jump away
    {1, A, 0, 1, 7, 0, N, 0, 0, N},   // climb across, tapping jump
    {0, 0, 0, 1, 7, 0, N, 0, 0, N},   // climb straight up
    {1, 10, 0, 1, 4, 0, N, 0, 0, N},  // climb, a little across
    {0, 0, 0, 0, 0, 0, N, 0, 0, 0},   // steer back onto the level
    {1, A, 0, 0, 0, 0, 0, 1, 0, N},   // dash at it
    {-1, A, 0, 0, 0, 0, 0, -1, 1, 1}, // dash back and up, then steer
    {0, 0, 0, 0, 0, 0, 0, 0, 1, 1},   // dash up, then steer
    {1, A, 0, 0, 0, 0, 3, 1, 0, N},   // dash in a moment
    {1, A, 0, 4, 0, 0, 2, 1, 0, N},   // jump and dash
    {1, A, 0, 0, 0, 0, 0, 1, 1, N},   // dash at it and up
    {1, A, 0, 0, 0, 0, 6, 1, 0, N},   // dash a little later
    {1, A, 0, 0, 0, 0, 10, 1, 0, N},  // dash later still
};
constexpr int kFirstDash = 18;
constexpr int kPlainDashes = 22;

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
    bool attack = false;
    bool mayDash = true; // whether steering back counts on a dash
    // The course of the next hop, once the fighter is near its start.
    bool hasWay = false;
    Maneuver way = {};
    // Passes the way takes to land where it goes.
    float otherDamage = 1.0f;
    float ownDamage = 1.0f;
    FighterModel other[kHorizon];
    int enemyCount = 0;
    float enemyX[3] = {};
    float enemyY[3] = {};
    float enemyVx[3] = {};
    float enemyVy[3] = {};
    int wayPasses = 0;
    // Its own fighter in the other case CatchUp keeps, or null.
    const FighterModel* otherCase = nullptr;
    LiftTops lifts[ArenaModel::kLongestHop + kSteerPasses + kThrowPasses];
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
    m_state.planLength = kHorizon;
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

    FighterModel me = ModelOf(mine);
    me.charge = seen.ownCharge;
    me.boosts = seen.ownBoosts;
    FighterModel otherCase;
    const bool twoCases = CatchUp(seen, me, otherCase);

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
        Plan(me, twoCases ? &otherCase : nullptr, other, theirs.damage, mine.damage,
             InPlay(theirs) && !other.out);
    m_state.nextHeld = HeldIn(m_state.plan, m_state.planPass, me, true);
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

// Its own fighter brought up to now by what it pressed since, and by a blow
// it struck meanwhile, which bounces the striker back: it knows what it
// pressed, and where the other was heading. The other may have turned
// since, so a meeting foreseen may not have happened and one not foreseen
// may have: the other case is kept too (the fighter as it would be without
// the meeting, or bounced where it came near), and what it chooses must be
// safe in both. Returns whether there is another case.
bool ComputerInput::CatchUp(const SeenPass& seen, FighterModel& me, FighterModel& otherCase) const
{
    const int reaction = kSkills[static_cast<int>(m_level)].reaction;
    const SeenFighter& theirs = seen.fighters[2 - m_seat];
    FighterModel them = ModelOf(theirs);
    bool met = !InPlay(theirs);
    bool twoCases = false;
    for (int ago = reaction - 1; ago >= 0; --ago)
    {
        const uint8_t held = SeenAgo(ago).ownHeld;
        const LiftTops lifts = LiftsAfter(reaction - ago);
        for (FighterModel* model : {&me, &otherCase})
            if (model->out)
            {
                *model = FighterModel{};
                model->x = m_spawnX;
                model->y = m_spawnY;
                model->charge = 1.0f;
                model->boosts = seen.ownBoosts;
            }
        if (twoCases)
            otherCase.Step(m_arena, held, lifts);
        const int lastDy = them.y - me.y;
        me.Step(m_arena, held, lifts);
        if (met)
            continue;
        them.Move(m_arena, lifts);
        const int dx = them.x - me.x;
        const int dy = them.y - me.y;
        if (std::abs(dx) > 2 * kTileSize || std::abs(dy) > 2 * kTileSize)
            continue;
        // A fast fall or rise crosses most of a tile in a pass: where it
        // came from tells a meeting from above or below one from the side.
        const bool vertical = std::abs(lastDy) >= kTileSize && std::abs(dx) < kTileSize;
        const bool meets = std::abs(dx) <= kTileSize && std::abs(dy) <= kTileSize;
        if (!meets)
        {
            // Near enough for a turn of the other's to have made it a meeting.
            const float toward =
                vertical ? me.vy * static_cast<float>(Sign(dy)) : me.vx * static_cast<float>(Sign(dx));
            if (!twoCases && toward > 2.0f)
            {
                otherCase = me;
                (vertical ? otherCase.vy : otherCase.vx) *= -0.5f;
                twoCases = true;
            }
            continue;
        }
        met = true;
        otherCase = me;
        twoCases = true;
        if (vertical)
        {
            if (me.vy * static_cast<float>(Sign(lastDy)) > 0.0f)
                me.vy = -0.5f * me.vy;
            me.y = them.y - Sign(lastDy) * kTileSize;
        }
        else if (me.vx * static_cast<float>(Sign(dx)) > 0.0f)
        {
            me.vx = -0.5f * me.vx;
            me.x = them.x - Sign(dx) * kTileSize;
        }
    }
    return twoCases;
}

uint8_t ComputerInput::HeldIn(const Maneuver& maneuver, int pass, const FighterModel& me, bool mayDash) const
{
    if (maneuver.steerFrom != Maneuver::kNever && pass >= maneuver.steerFrom)
        return SteerHeld(me, mayDash);
    return maneuver.Held(pass);
}

// Back onto the level from the air: across toward the nearest place to come
// down (reading its own drift a little ahead, and round the end of a solid
// place it is below), jump tapped at the top of each rise while it is
// below that place or still far from it, and, when falling would carry it
// past, the dash back and up.
uint8_t ComputerInput::SteerHeld(const FighterModel& me, bool mayDash) const
{
    const auto bit = [](PlayerAction action) { return static_cast<uint8_t>(1u << static_cast<int>(action)); };
    if (me.onGround)
        return 0;
    // Where it can still climb from: the top of its rise, and above that
    // only with boosts left (a jump block's throw takes them).
    const bool mayClimb = !me.launched && me.boosts >= 1.0f;
    const int apex = me.vy < 0.0f ? me.y - static_cast<int>(me.vy * (me.vy - 1.0f) / 2.0f) : me.y;
    const int target = m_arena.LandingFor(me.x, apex, mayClimb);
    if (target == ArenaModel::kNone)
        return 0;
    const ArenaModel::Surface& surface = m_arena.GetLanding(target);
    const int left = surface.first * kTileSize;
    const int right = surface.last * kTileSize;
    const int middle = (left + right) / 2;
    const int top = (surface.row - 1) * kTileSize;
    int goal =
        std::clamp(me.x, std::min(left + kTileSize / 2, middle), std::max(right - kTileSize / 2, middle));
    const bool below = me.y > top - kTileSize / 2;
    const int under = m_arena.Tile(goal / kTileSize, surface.row);
    const bool underIt = me.x + kTileSize > left && me.x < right + kTileSize;
    if (underIt && me.y > top + kTileSize / 2 && (under == kBrickTile || under == kJumpBlockTile))
        goal = me.x < middle ? left - 2 * kTileSize : right + 2 * kTileSize;
    const int away = goal - me.x;
    const float ahead = static_cast<float>(goal) - (static_cast<float>(me.x) + me.vx * 6.0f);
    uint8_t held = 0;
    if (ahead > 4.0f)
        held |= bit(PlayerAction::Right);
    else if (ahead < -4.0f)
        held |= bit(PlayerAction::Left);
    const bool far = std::abs(away) > 2 * kTileSize;
    if (me.vy <= 0.0f && me.vy > -1.0f && me.boosts > 0.0f && !me.launched && (below || far))
        held |= bit(PlayerAction::Jump);
    if (!mayDash || me.charge < 1.0f || me.vy <= 0.0f)
        return held;
    // Falling: will it come down on the place before it passes below it?
    bool shortOf = me.pastEdge || me.y > top;
    if (!shortOf && far)
    {
        const float drop = static_cast<float>(top - me.y);
        const float passes = std::sqrt(me.vy * me.vy + 2.0f * drop) - me.vy;
        const float toward = me.vx * static_cast<float>(Sign(away));
        const float reach = toward * passes + (toward < 0.0f ? 0.225f : 0.025f) * passes * passes;
        shortOf = reach < static_cast<float>(std::abs(away) - kTileSize / 2);
    }
    if (!shortOf)
        return held;
    // A dash that cannot get there only spends what would bring it back from
    // what lies below (a jump block's throw, a lower floor): fall onto that.
    if (!me.DashReaches(away, top) && m_arena.FloorBelow(me.x, me.y))
        return 0;
    return static_cast<uint8_t>(bit(PlayerAction::Attack) | bit(PlayerAction::Jump) |
                                bit(away < 0 ? PlayerAction::Left : PlayerAction::Right));
}

ComputerInput::Aim ComputerInput::ChooseAim(const FighterModel& me, const FighterModel& other,
                                            bool otherInPlay)
{
    Aim aim;
    aim.attack = otherInPlay;
    aim.mayDash = kSkills[static_cast<int>(m_level)].countsOnDash;
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
            y = (surface.row - 1) * kTileSize;
        }
    }
    aim.finalX = x;
    aim.finalY = y;
    aim.hopX = x;
    aim.hopY = y;
    const int target = m_arena.SurfaceBelow(x, y);
    const int from = me.onGround ? m_arena.SurfaceBelow(me.x, me.y) : ArenaModel::kNone;
    aim.surface = target;
    if (from != ArenaModel::kNone && target != ArenaModel::kNone && from != target)
    {
        const int hop = m_arena.NextHop(from, target);
        const ArenaModel::Hop* way = hop != ArenaModel::kNone ? m_arena.NearestHop(from, hop, me.x) : nullptr;
        if (way)
        {
            aim.surface = hop;
            aim.hopX = way->column * kTileSize;
            aim.hopY = (m_arena.GetSurface(from).row - 1) * kTileSize;
            aim.hasWay = std::abs(me.x - aim.hopX) <= kTileSize;
            aim.way = ArenaModel::Way(*way);
            aim.wayPasses = way->passes;
        }
    }
    return aim;
}

void ComputerInput::Plan(const FighterModel& me, const FighterModel* otherCase, const FighterModel& otherNow,
                         float otherDamage, float ownDamage, bool otherInPlay)
{
    const Skill& skill = kSkills[static_cast<int>(m_level)];
    Aim aim = ChooseAim(me, otherNow, otherInPlay);
    aim.otherCase = otherCase;
    aim.otherDamage = otherDamage;
    aim.ownDamage = ownDamage;
    aim.lifts[0] = LiftsAfter(skill.reaction + 1);
    for (int pass = 1; pass < static_cast<int>(std::size(aim.lifts)); ++pass)
    {
        aim.lifts[pass] = aim.lifts[pass - 1];
        MoveLifts(aim.lifts[pass]);
    }
    FighterModel other = otherNow;
    for (int pass = 0; pass < kHorizon; ++pass)
    {
        other.Move(m_arena, aim.lifts[pass]);
        aim.other[pass] = other;
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
    // Besides the fixed courses: the one it follows, played on, and the
    // next hop's own course once it stands near where that starts, each
    // played to its landing.
    const Maneuver current = m_state.plan;
    const int currentFrom = m_state.planPass;
    const int currentLength = m_state.planLength;
    float best = 0;
    bool first = true;
    for (int i = -2; i < tries; ++i)
    {
        Maneuver maneuver = {};
        int from = 0;
        int length = kHorizon;
        if (i == -2)
        {
            if (currentFrom >= currentLength)
                continue;
            maneuver = current;
            from = currentFrom;
            length = currentLength;
        }
        else if (i == -1)
        {
            if (!aim.hasWay)
                continue;
            maneuver = aim.way;
            length = std::max(kHorizon, aim.wayPasses);
        }
        else
        {
            // Dashes at the other fighter only from the ground: one in the
            // air that misses flies on far.
            if (kTries[i].dashAt != Maneuver::kNever && kTries[i].dashDir > 0 && !me.onGround)
                continue;
            maneuver = toward > 0 ? kTries[i] : kTries[i].Mirrored();
        }
        const float whim = skill.whim * (static_cast<float>(Random() % 1001) / 1000.0f - 0.5f);
        const int passes = std::max(kHorizon, length - from);
        float score = Score(maneuver, from, passes, me, aim) + whim;
        // Safe in the other case too, and for a level that counts on no
        // dash, with its fighter a little off where it is foreseen; only
        // worth playing for the best.
        if ((first || score > best) && Fragile(maneuver, from, passes, me, aim))
            score += kUnsafeScore;
        if (first || score > best)
        {
            first = false;
            best = score;
            m_state.plan = maneuver;
            m_state.planPass = from;
            m_state.planLength = length;
        }
    }
}

float ComputerInput::Score(const Maneuver& maneuver, int from, int passes, FighterModel me,
                           const Aim& aim) const
{
    const FighterModel start = me;
    float score = 0;
    bool met = false;
    bool hit = false;
    bool bounced = false;
    int meetingPass = 0;
    bool nearOverPit = false;
    int wallSide = 0; // after a meeting side-on, the other stands on this side
    int throws = 0;
    bool enemyMet[3] = {};
    // Once it sees the meeting, a reaction time after it, it chooses anew:
    // taken here as making back for safety.
    const int reaction = kSkills[static_cast<int>(m_level)].reaction;
    for (int pass = 0; pass < passes; ++pass)
    {
        const int lastY = me.y;
        const bool wasLaunched = me.launched;
        const bool afterMeeting = bounced && pass >= meetingPass + reaction;
        me.Step(m_arena,
                afterMeeting ? BackHeld(me, aim.mayDash) : HeldIn(maneuver, from + pass, me, aim.mayDash),
                aim.lifts[pass]);
        if (me.out)
            return kOutScore + static_cast<float>(pass) * 1000.0f;
        if (me.launched && !wasLaunched)
            throws += me.charge < 1.0f ? 3 : 1;
        if (me.pastEdge)
            score -= 300.0f;
        // Falling over a pit with the dash spent: a knock now (or a blow
        // that bounces it back) leaves nothing to come back with.
        if (me.vy > 0.0f && me.charge < 1.0f && !me.onGround && !m_arena.FloorBelow(me.x, me.y))
            score -= kExposedPass;
        // The other stays where it is met: pressing on into it meets it again.
        if (wallSide != 0 && pass < kHorizon && std::abs(aim.other[pass].y - me.y) < kTileSize &&
            (aim.other[pass].x - me.x) * wallSide < kTileSize)
        {
            me.x = aim.other[pass].x - wallSide * kTileSize;
            if (me.vx * static_cast<float>(wallSide) > 0.0f)
                me.vx = -0.5f * me.vx;
        }
        if (aim.attack && !met && pass < kHorizon)
        {
            // A blow struck over a pit (but for one landed from above)
            // bounces it back over the pit, wherever the other truly is.
            const bool overPit = !m_arena.FloorBelow(me.x, me.y);
            const FighterModel& other = aim.other[pass];
            const int dx = other.x - me.x;
            const int dy = other.y - me.y;
            // Near the other over a pit, a turn of the other's makes a
            // meeting nobody foresaw, and its bounce or knock has nothing
            // below to land on.
            if (overPit && std::abs(dx) < 2 * kTileSize && std::abs(dy) < 2 * kTileSize)
                nearOverPit = true;
            // Only a square meeting counts: a glancing one may pass over or
            // under, and the course is then taken to miss.
            const bool side = std::abs(dx) <= kTileSize + 1 && std::abs(dy) <= kSureMeeting;
            const bool vertical = std::abs(dy) <= kTileSize + 1 && std::abs(dx) <= kSureMeeting &&
                                  (lastY + kTileSize <= other.y || lastY >= other.y + kTileSize);
            if (side || vertical)
            {
                met = true;
                const float mine = me.vx * static_cast<float>(Sign(dx));
                const float theirs = -other.vx * static_cast<float>(Sign(dx));
                if (vertical)
                {
                    hit = me.vy > 2.0f || me.vy < -2.0f;
                    if (hit)
                        score += HitValue(me, other, pass, true, aim);
                    if (hit && overPit && me.vy < 0.0f)
                        score += kUnsafeScore;
                    me.vy = -0.5f * me.vy;
                    bounced = true;
                    meetingPass = pass;
                }
                else if (mine > theirs && mine > 2.0f)
                {
                    hit = true;
                    score += HitValue(me, other, pass, false, aim) + (overPit ? kUnsafeScore : 0.0f);
                    me.vx = -0.5f * me.vx;
                    bounced = true;
                    meetingPass = pass;
                }
                else if (theirs > 2.0f)
                    score -= 200.0f + theirs * aim.ownDamage * 25.0f;
                if (side)
                    wallSide = Sign(dx);
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
    if (nearOverPit)
        score += kUnsafeScore;
    // A dash spent on moving leaves none for the other fighter.
    if (maneuver.dashAt != Maneuver::kNever && maneuver.dashAt >= from && !hit)
        score -= aim.attack ? 150.0f : 40.0f;
    const int landed = me.onGround ? m_arena.SurfaceBelow(me.x, me.y) : SteerDown(me, aim, passes);
    if (landed == kFallsOut)
        return score + kFallsOutScore;
    // The other may not be where it was foreseen: the course must be safe
    // without the meeting too.
    if (bounced && !SafeWithoutMeeting(maneuver, from, meetingPass, start, aim))
        score += kUnsafeScore;
    // A jump block's throw leaves no say over the fall (and none over a
    // knock on the way): worth it only to get where it is going.
    if (landed != aim.surface)
        score -= kThrowRisk * static_cast<float>(throws);
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

// What a blow at a meeting is worth: the other's damage grows and it is
// thrown as the hit rule throws it; thrown out of the arena is worth most.
float ComputerInput::HitValue(const FighterModel& me, FighterModel victim, int meetingPass, bool vertical,
                              const Aim& aim) const
{
    const bool above = vertical && me.y < victim.y;
    // A landing on a grounded head only pushes it down.
    if (above && victim.onGround)
        return 0.0f;
    const float speed = vertical ? me.vy : me.vx;
    const float damage = aim.otherDamage + std::fabs(speed) / 100.0f;
    if (vertical)
        victim.vx += damage * me.vx;
    else if (victim.onGround)
        victim.vy -= damage * std::fabs(speed);
    else
        victim.vy += damage * me.vy;
    (vertical ? victim.vy : victim.vx) += damage * speed;
    for (int pass = 0; pass < kThrowPasses; ++pass)
    {
        victim.Move(m_arena, aim.lifts[meetingPass + pass]);
        if (victim.out)
            return 2000.0f - 5.0f * static_cast<float>(pass);
    }
    return 200.0f + damage * std::fabs(speed) * 25.0f;
}

// Whether, had the other not been there, the fighter could still save
// itself once it sees the miss a reaction time after the meeting: back
// toward the middle of what it stands on, or steered back down.
bool ComputerInput::SafeWithoutMeeting(const Maneuver& maneuver, int from, int meetingPass, FighterModel me,
                                       const Aim& aim) const
{
    const int seen = meetingPass + kSkills[static_cast<int>(m_level)].reaction;
    for (int pass = 0; pass < seen + kSteerPasses; ++pass)
    {
        me.Step(m_arena,
                pass >= seen ? BackHeld(me, aim.mayDash) : HeldIn(maneuver, from + pass, me, aim.mayDash),
                aim.lifts[pass]);
        if (me.out)
            return false;
    }
    return me.onGround;
}

// Whether the course leaves the arena in the other case CatchUp keeps or,
// for a level that counts on no dash to make up for a misjudged fall, with
// its fighter a few pixels off either way across.
bool ComputerInput::Fragile(const Maneuver& maneuver, int from, int passes, const FighterModel& me,
                            const Aim& aim) const
{
    if (aim.otherCase && FallsOut(maneuver, from, passes, *aim.otherCase, aim))
        return true;
    if (aim.mayDash)
        return false;
    for (const int off : {-kModelSlack, kModelSlack})
    {
        FighterModel shifted = me;
        shifted.x += off;
        if (FallsOut(maneuver, from, passes, shifted, aim))
            return true;
    }
    return false;
}

// Whether the course, and steering back down after it, leaves the arena.
bool ComputerInput::FallsOut(const Maneuver& maneuver, int from, int passes, FighterModel me,
                             const Aim& aim) const
{
    for (int pass = 0; pass < passes; ++pass)
    {
        me.Step(m_arena, HeldIn(maneuver, from + pass, me, aim.mayDash), aim.lifts[pass]);
        if (me.out)
            return true;
    }
    return !me.onGround && SteerDown(me, aim, passes) == kFallsOut;
}

// Making back for safety: on the ground toward the middle of what it stands
// on (or back in from past a side), in the air steered back down.
uint8_t ComputerInput::BackHeld(const FighterModel& me, bool mayDash) const
{
    if (!me.onGround)
        return SteerHeld(me, mayDash);
    const int under = m_arena.SurfaceBelow(me.x, me.y);
    int middle = kWindowWidth / 2;
    if (under != ArenaModel::kNone && !me.pastEdge)
        middle = (m_arena.GetSurface(under).first + m_arena.GetSurface(under).last) * kTileSize / 2;
    if (std::abs(middle - me.x) < kTileSize)
        return 0;
    return static_cast<uint8_t>(
        1u << static_cast<int>(middle < me.x ? PlayerAction::Left : PlayerAction::Right));
}

// Steers on from the end of a course back onto the level: the surface it
// lands on (kNone for a lift or nothing yet), or kFallsOut.
int ComputerInput::SteerDown(FighterModel& me, const Aim& aim, int fromPass) const
{
    for (int pass = 0; pass < kSteerPasses; ++pass)
    {
        me.Step(m_arena, SteerHeld(me, aim.mayDash), aim.lifts[fromPass + pass]);
        if (me.out)
            return kFallsOut;
        if (me.onGround)
            return m_arena.SurfaceBelow(me.x, me.y);
    }
    return m_arena.FloorBelow(me.x, me.y) ? ArenaModel::kNone : kFallsOut;
}
