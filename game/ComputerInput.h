#pragma once

#include "game/ArenaModel.h"
#include "game/FighterModel.h"
#include "game/InputSource.h"

#include <cstdint>

// How well a computer plays.
enum class ComputerLevel
{
    Easy,
    Normal,
    Hard,
};

// One fighter (or enemy) as the screen shows it.
struct SeenFighter
{
    int16_t x;
    int16_t y;
    float vx;
    float vy;
    float damage;
    int16_t overshoot;
    uint8_t flags; // the Seen... bits below
};

// A pass of the round as the screen showed it after the pass ran: both
// fighters, the walker and the flyers, the lifts, the clock; and of the
// computer's own fighter what its player knows without looking (the dash's
// charge, the jumps left, what it held in that pass).
struct SeenPass
{
    SeenFighter fighters[2]; // by seat
    SeenFighter enemies[3];  // the walker, then the flyers
    int16_t liftX[LiftTops::kMax];
    int16_t liftY[LiftTops::kMax];
    uint8_t liftCount;
    uint8_t ownHeld;
    int16_t secondsLeft;
    float ownCharge;
    float ownBoosts;
};

// Everything a computer decides from, as one plain value for the round's
// snapshots: what it saw pass by pass (a ring as deep as the slowest
// reaction), its seeded generator, the course it follows and the frame it
// hands over next.
struct ComputerState
{
    static constexpr int kRing = 24;
    SeenPass seen[kRing];
    int32_t seenCount;
    uint64_t random;
    Maneuver plan;
    int32_t planPass;
    int32_t planLength; // passes it runs before it is judged by its landing
    uint8_t nextHeld;
    bool nextLever;
    int32_t aimOffset;
    int32_t aimUntil;
    int32_t leverSeek; // passes left making for a lever
    int32_t leverIndex;
};

// A computer player in a seat. After every pass it notes what the screen
// shows; it decides from what the screen showed a reaction time ago (with
// its own fighter brought up to date by what it pressed since), by playing
// a few short courses of held actions ahead on a model of its fighter and
// taking the one that keeps it in the arena and brings it nearest its aim:
// the other fighter, the way there across the level's surfaces, or a lever.
// It acts only through its seat's frames and reads no other seat's.
class ComputerInput final : public InputSource
{
public:
    ComputerInput(const Stage2Engine& game, int seat, ComputerLevel level, uint32_t seed);

    InputFrame NextFrame() override;
    void AfterPass(const Stage2Engine& game) override;
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;

    // Passes between what the screen shows and the computer acting on it.
    static int ReactionPasses(ComputerLevel level);
    ComputerLevel GetLevel() const { return m_level; }
    const ComputerState& GetState() const { return m_state; }

private:
    struct Aim;
    void Observe(const Stage2Engine& game);
    void Decide();
    bool CatchUp(const SeenPass& seen, FighterModel& me, FighterModel& otherCase) const;
    void Plan(const FighterModel& me, const FighterModel* otherCase, const FighterModel& other,
              float otherDamage, float ownDamage, bool otherInPlay);
    Aim ChooseAim(const FighterModel& me, const FighterModel& other, bool otherInPlay);
    float Score(const Maneuver& maneuver, int from, int passes, FighterModel me, const Aim& aim) const;
    float HitValue(const FighterModel& me, FighterModel victim, int meetingPass, bool vertical,
                   const Aim& aim) const;
    bool SafeWithoutMeeting(const Maneuver& maneuver, int from, int meetingPass, FighterModel me,
                            const Aim& aim) const;
    bool Fragile(const Maneuver& maneuver, int from, int passes, const FighterModel& me,
                 const Aim& aim) const;
    bool FallsOut(const Maneuver& maneuver, int from, int passes, FighterModel me, const Aim& aim) const;
    int SteerDown(FighterModel& me, const Aim& aim, int fromPass) const;
    uint8_t HeldIn(const Maneuver& maneuver, int pass, const FighterModel& me, bool mayDash) const;
    uint8_t SteerHeld(const FighterModel& me, bool mayDash) const;
    uint8_t BackHeld(const FighterModel& me, bool mayDash) const;
    LiftTops LiftsAfter(int passes) const;
    static void MoveLifts(LiftTops& lifts);
    const SeenPass& SeenAgo(int passes) const;
    uint32_t Random();

    ArenaModel m_arena;
    int m_seat;
    ComputerLevel m_level;
    int m_spawnX;
    int m_spawnY;
    ComputerState m_state;
};
