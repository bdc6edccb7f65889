// Computer players: chosen on the character screens, fed through their
// seat's frames like a person, deterministic through snapshots, back on the
// level after a knock, and two of them playing a whole round.
#include "game/ArenaModel.h"
#include "game/ComputerInput.h"
#include "game/FighterModel.h"
#include "objects/Character.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"
#include "tests/driver/RoundCheck.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace GameData;

namespace
{
// Hands over recorded frames, one a pass, then nothing.
class RecordedInput final : public InputSource
{
public:
    explicit RecordedInput(std::vector<InputFrame> frames) : m_frames(std::move(frames)) {}
    InputFrame NextFrame() override { return m_next < m_frames.size() ? m_frames[m_next++] : InputFrame{}; }

private:
    std::vector<InputFrame> m_frames;
    size_t m_next = 0;
};

// One round pass as the game's loop runs it, and the frame it ran with.
RoundPass RunOnePass(GameDriver& game)
{
    RoundPass pass = game.NextPass();
    pass.time = game.GetTime();
    game.SetFrameTick(game.GetFrameTick() + BaseEngine::kLogicIntervalMs);
    game.RunPass(pass, true);
    game.NoteFrameDrawn();
    return pass;
}

ComputerInput& SeatComputer(GameDriver& game, int seat, ComputerLevel level)
{
    auto computer = std::make_unique<ComputerInput>(game, seat, level, 99);
    ComputerInput& made = *computer;
    game.SetSeatSource(seat, std::move(computer));
    return made;
}
} // namespace

TEST(Computer, TabAndPadYStepThroughTheSeatsChoicesShownOnBothCharacterScreens)
{
    GameDriver game;
    ASSERT_TRUE(game.Started());
    game.PressKey(kSeatKey);
    EXPECT_EQ(game.GetSeatChoice(1), SeatChoice::Person) << "Tab on the main menu";
    game.Click(0, 0);
    const SeatChoice cycle[] = {SeatChoice::ComputerEasy, SeatChoice::ComputerNormal,
                                SeatChoice::ComputerHard, SeatChoice::Person};
    for (const SeatChoice expected : cycle)
    {
        game.PressKey(kSeatKey);
        EXPECT_EQ(game.GetSeatChoice(1), expected) << "player 1's seat after a Tab";
    }
    // Each character screen listens to its own player's pad only.
    game.OnPadAdded(40);
    game.OnPadAdded(41);
    game.OnPadButtonDown(41, SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(game.GetSeatChoice(1), SeatChoice::Person) << "player 2's Y on player 1's screen";
    game.OnPadButtonDown(40, SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(game.GetSeatChoice(1), SeatChoice::ComputerEasy) << "player 1's Y on player 1's screen";
    game.ClickOn(kPortraitHits[2]);
    game.ClickOn(kConfirmBox);
    game.PressKey(kSeatKey);
    game.PressKey(kSeatKey);
    EXPECT_EQ(game.GetSeatChoice(2), SeatChoice::ComputerNormal) << "player 2's seat after two Tabs";
    EXPECT_EQ(game.GetSeatChoice(1), SeatChoice::ComputerEasy) << "player 1's seat on player 2's screen";
    game.Redraw(true);
    game.RenderFrame();
    testing_support::ExpectMatchesReference(game.GetForeground(), "select-player2-computer");

    game.ClickOn(kPortraitHits[4]);
    game.ClickOn(kConfirmBox);
    game.PressKey(kSeatKey);
    EXPECT_EQ(game.GetSeatChoice(2), SeatChoice::ComputerNormal) << "Tab on the level screen";
    game.ClickOn(kThumbnailHits[1]);
    game.ClickOn(kConfirmBox);
    const auto* first = dynamic_cast<const ComputerInput*>(&game.GetSeatSource(1));
    const auto* second = dynamic_cast<const ComputerInput*>(&game.GetSeatSource(2));
    ASSERT_TRUE(first && second) << "both seats are computers in the round";
    EXPECT_EQ(first->GetLevel(), ComputerLevel::Easy) << "player 1's level";
    EXPECT_EQ(second->GetLevel(), ComputerLevel::Normal) << "player 2's level";
}

// The computer hands over its frames and acts through nothing else: a
// person's fighter fed the same frames moves alike, and what the computer
// notes of its seat is its own frame, not the other seat's.
TEST(Computer, AComputersFramesMoveItsFighterAsThePersonsSameFramesWould)
{
    std::vector<InputFrame> frames;
    std::vector<int> places;
    {
        GameDriver game("");
        ASSERT_TRUE(game.StartRound(2, 4, 0));
        const ComputerInput& computer = SeatComputer(game, 1, ComputerLevel::Hard);
        for (int i = 0; i < 400; ++i)
        {
            const RoundPass pass = RunOnePass(game);
            frames.push_back(pass.seats[0]);
            places.push_back(game.GetPlayer1()->GetX() * 1000 + game.GetPlayer1()->GetY());
            const ComputerState& state = computer.GetState();
            ASSERT_EQ(state.seen[(state.seenCount - 1) % ComputerState::kRing].ownHeld, pass.seats[0].held)
                << "the frame the computer noted for its seat in pass " << i;
        }
    }
    int framesHeld = 0;
    for (const InputFrame& frame : frames)
        framesHeld += frame.held != 0;
    EXPECT_GT(framesHeld, 100) << "passes in which the computer held something";

    GameDriver game("");
    ASSERT_TRUE(game.StartRound(2, 4, 0));
    game.SetSeatSource(1, std::make_unique<RecordedInput>(frames));
    for (size_t i = 0; i < frames.size(); ++i)
    {
        RunOnePass(game);
        ASSERT_EQ(game.GetPlayer1()->GetX() * 1000 + game.GetPlayer1()->GetY(), places[i])
            << "the person's fighter's place after pass " << i;
    }
}

// Two games with the same choices play the same round; a shadow fed only
// the passes, and passes run again from snapshots, meet the same digests.
TEST(Computer, ARoundWithComputerSeatsPlaysAlikeTwiceAndThroughSnapshots)
{
    uint64_t digests[2] = {};
    for (uint64_t& digest : digests)
    {
        GameDriver game("");
        game.SetSeatChoice(1, SeatChoice::ComputerHard);
        game.SetSeatChoice(2, SeatChoice::ComputerEasy);
        ASSERT_TRUE(game.StartRound(1, 5, kBusyLevel));
        const RoundCheck& check = game.CheckRounds(11);
        for (int i = 0; i < 700; ++i)
            game.Pass();
        EXPECT_TRUE(check.Report().failures.empty()) << check.Report().failures.front();
        EXPECT_GT(check.Report().rollbacks, 10) << "rollbacks made";
        digest = game.Digest();
    }
    EXPECT_EQ(digests[0], digests[1]) << "the same round played twice";
}

// Knocked past the side of the island, a computer dashes and steers back
// and lands on it, but only once its reaction time has passed: until then
// it presses what it would have pressed without the knock. A fighter left
// alone in the same knock is out.
TEST(Computer, AComputerKnockedPastTheSideComesBackToTheLevelAfterItsReactionTime)
{
    enum Run
    {
        Unknocked,
        Computer,
        Alone
    };
    std::vector<uint8_t> held[2];
    for (const Run run : {Unknocked, Computer, Alone})
    {
        GameDriver game("");
        ASSERT_TRUE(game.StartRound(0, 1, 0));
        if (run != Alone)
            SeatComputer(game, 2, ComputerLevel::Normal);
        for (int i = 0; i < 30; ++i)
            RunOnePass(game);
        Character& fighter = *game.GetPlayer2();
        if (run != Unknocked)
        {
            fighter.SetPosition(945, 150);
            fighter.SetVelocity(8.0f, -10.0f);
        }
        bool pinned = false;
        bool landedAfter = false;
        for (int i = 0; i < 200; ++i)
        {
            const RoundPass pass = RunOnePass(game);
            if (run != Alone)
                held[run].push_back(pass.seats[1].held);
            landedAfter = landedAfter || (pinned && fighter.IsOnGround() && fighter.GetDeaths() == 0);
            pinned = pinned || fighter.IsPastEdge();
        }
        if (run == Unknocked)
            continue;
        EXPECT_TRUE(pinned) << "the knock carried the fighter past the side";
        EXPECT_EQ(fighter.GetDeaths(), run == Computer ? 0 : 1) << "deaths, run " << run;
        EXPECT_EQ(landedAfter, run == Computer) << "landed on the level after the knock, run " << run;
    }
    const int reaction = ComputerInput::ReactionPasses(ComputerLevel::Normal);
    int sameFor = 0;
    while (sameFor < 200 && held[Unknocked][sameFor] == held[Computer][sameFor])
        ++sameFor;
    EXPECT_GE(sameFor, reaction + 1) << "passes pressed as if unknocked";
    EXPECT_LT(sameFor, 2 * reaction) << "passes before the knock shows in what is pressed";
}

// The computer's model of a fighter repeats the game's numbers for runs,
// jumps, dashes, drops and throws: fed a fighter's frames, it stays on the
// fighter pixel for pixel, over the ground's end and a jump block's throw.
TEST(Computer, TheModelOfAFighterMovesAsTheFighterDoes)
{
    GameDriver game("");
    ASSERT_TRUE(game.StartRound(2, 4, 0));
    const ArenaModel arena(game);
    const auto bit = [](PlayerAction action) { return static_cast<uint8_t>(1u << static_cast<int>(action)); };
    const uint8_t left = bit(PlayerAction::Left);
    const uint8_t dash = static_cast<uint8_t>(left | bit(PlayerAction::Attack));
    const uint8_t jump = static_cast<uint8_t>(left | bit(PlayerAction::Jump));
    const uint8_t fall = bit(PlayerAction::Fall);
    std::vector<InputFrame> frames(400);
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i].held = i < 30 ? 0 : i == 40 ? dash : i % 50 < 8 ? jump : i % 50 < 12 ? fall : left;
    game.SetSeatSource(1, std::make_unique<RecordedInput>(frames));
    for (int i = 0; i < 30; ++i)
        RunOnePass(game);
    const Character& fighter = *game.GetPlayer1();
    FighterModel model;
    model.x = fighter.GetX();
    model.y = fighter.GetY();
    model.boosts = fighter.GetJumpBoostsLeft();
    model.charge = fighter.GetAttackCharge();
    model.onGround = fighter.IsOnGround();
    model.onSolid = fighter.IsOnSolidGround();
    bool thrown = false;
    size_t pass = 30;
    for (; pass < frames.size(); ++pass)
    {
        RunOnePass(game);
        model.Step(arena, frames[pass].held, LiftTops{});
        if (fighter.GetDeaths() > 0)
            break;
        thrown = thrown || fighter.IsLaunched();
        ASSERT_EQ(model.x, fighter.GetX()) << "x after pass " << pass;
        ASSERT_EQ(model.y, fighter.GetY()) << "y after pass " << pass;
    }
    EXPECT_TRUE(thrown) << "a jump block threw the fighter";
    EXPECT_TRUE(model.out) << "the model out of the arena with the fighter, pass " << pass;
}

// The reckoning of a dash back and up: it carries a fighter falling slowly
// just above a ledge's height across a few tiles, but not back up to a
// ledge far above one falling fast, nor across half the screen.
TEST(Computer, ADashReachesALedgeJustBesideButNotOneFarAboveOrFarAcross)
{
    FighterModel fighter;
    fighter.x = 300;
    fighter.y = 440;
    fighter.vy = 2.0f;
    EXPECT_TRUE(fighter.DashReaches(-80, 456)) << "a ledge 80 pixels to the left, a little below";
    EXPECT_TRUE(fighter.DashReaches(80, 456)) << "a ledge 80 pixels to the right, a little below";
    EXPECT_FALSE(fighter.DashReaches(480, 456)) << "a ledge 480 pixels across";
    fighter.y = 560;
    fighter.vy = 14.0f;
    EXPECT_FALSE(fighter.DashReaches(-80, 456)) << "a ledge 104 pixels above a fast fall";
}

TEST(Computer, TwoComputersPlayAWholeRoundHeadlessEachLosingFightersOverTheSides)
{
    GameDriver game("");
    game.SetSeatChoice(1, SeatChoice::ComputerNormal);
    game.SetSeatChoice(2, SeatChoice::ComputerHard);
    ASSERT_TRUE(game.StartRound(3, 0, 2));
    int passes = 0;
    while (game.GetState() == Playing && passes < 9000)
    {
        RunOnePass(game);
        ++passes;
    }
    EXPECT_EQ(game.GetState(), RoundOver) << "after " << passes << " passes";
    EXPECT_GT(game.GetPlayer1()->GetDeaths(), 0) << "player 1's deaths";
    EXPECT_GT(game.GetPlayer2()->GetDeaths(), 0) << "player 2's deaths";
}
