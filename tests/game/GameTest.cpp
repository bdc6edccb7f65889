// The game's screens: a draw, every screen compared whole with its
// reference, and the mute key. The seeded soak plays the rest (every screen
// change, the clicks' rectangles, the round's objects, wins and losses, the
// clock, day and night, the sun, the cues and the markers) against its
// record, and checks the scores and the round's length on every pass.
#include "objects/Player.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>

using namespace GameData;

namespace
{
// A player that stands still, with any death count.
class ScriptedPlayer : public Player
{
public:
    ScriptedPlayer(BaseEngine* engine, int number, int deaths) : Player(engine, 100 * number, 100, number, 0)
    {
        m_deaths = deaths;
    }
    void Update(int) override {}
};

class GameTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(game.Started()); }
    // Replaces the round's players with scripted ones.
    std::pair<ScriptedPlayer*, ScriptedPlayer*> ScriptPlayers(int deaths1 = 0, int deaths2 = 0)
    {
        std::pair players(new ScriptedPlayer(&game, 1, deaths1), new ScriptedPlayer(&game, 2, deaths2));
        game.Place({players.first, players.second});
        return players;
    }

    GameDriver game;
};
} // namespace

TEST_F(GameTest, ARoundRunOutWithEqualDeathsIsADrawThatCreditsBoth)
{
    game.SetScores(2, 5);
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    const auto [first, second] = ScriptPlayers(3, 3);
    game.SetSecondsLeft(0);
    game.Pass();
    ASSERT_EQ(game.GetState(), RoundOver);
    EXPECT_EQ(game.GetScore(1), 3) << "player 1's score after the draw";
    EXPECT_EQ(game.GetScore(2), 6) << "player 2's score after the draw";
    EXPECT_TRUE(first->HasWon());
    EXPECT_TRUE(first->HasLost());
    EXPECT_TRUE(second->HasWon());
    EXPECT_TRUE(second->HasLost());
}

TEST_F(GameTest, EveryScreenMatchesItsReference)
{
    const auto show = [this](const char* name) {
        game.Redraw(true);
        game.RenderFrame();
        testing_support::ExpectMatchesReference(game.GetForeground(), name);
    };
    game.Pass(1000); // the score line takes its text on its first update
    show("main-menu");
    game.Click(0, 0);
    game.ClickOn(kPortraitHits[1]);
    show("select-player1");
    game.ClickOn(kConfirmBox);
    game.ClickOn(kPortraitHits[5]);
    show("select-player2");
    game.ClickOn(kConfirmBox);
    game.ClickOn(kThumbnailHits[2]);
    show("select-level");
    game.ClickOn(kBackHit);
    game.ClickOn(kBackHit);
    ASSERT_TRUE(game.StartRound(1, 3, 0));
    show("round-night");
    // Paused with player 2 pinned past the left side (its arrow by night),
    // the volume a step down and muted.
    Character* two = game.GetPlayer2();
    two->SetPosition(-20, 300);
    two->SetVelocity(-20, 0);
    game.Pass();
    game.PressKey('-');
    game.PressKey(kMuteKey);
    game.PressKey(' ');
    show("paused");
    game.PressKey(' ');
    game.PressKey(kMuteKey);
    ScriptPlayers(1, 0).second->SetPosition(300, 100);
    game.Pass(115000); // 5 seconds left: the countdown takes the clock's place
    show("round-countdown");
    game.SetSecondsLeft(0);
    game.Pass();
    show("round-over");
    game.PressKey(' ');
    game.ToggleDaytime();
    ASSERT_TRUE(game.StartRound(0, 5, kBusyLevel));
    Character* one = game.GetPlayer1(); // pinned past the right side: its arrow by day
    one->SetPosition(950, 300);
    one->SetVelocity(20, 0);
    game.Pass();
    // Pausing and resuming draws the sun without moving anything.
    game.PressKey(' ');
    game.PressKey(' ');
    show("round-day");
}

TEST_F(GameTest, TheMKeyMutesAndUnmutesOnAnyScreen)
{
    game.PressKey(kMuteKey);
    EXPECT_TRUE(game.IsMuted()) << "muted on the main menu";
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.PressKey(kMuteKey);
    EXPECT_FALSE(game.IsMuted()) << "unmuted in a round";
}

TEST_F(GameTest, VolumeStepsReachTheMixerAndShowForASecondWhileMutingIsMarkedUntilUndone)
{
    ASSERT_TRUE(game.GetSound().IsOpen());
    // The pause screen is still: only the volume asks for its frames.
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.PressKey(' ');
    game.Pass();
    const auto inCorner = [this](uint32_t colour) {
        return testing_support::CountRgb(game.GetForeground(), colour, kVolumeBox.x1, kVolumeBox.y1,
                                         kVolumeBox.x2, kVolumeBox.y2);
    };
    EXPECT_EQ(inCorner(kCyan), 0);
    game.PressKey('-');
    game.Pass();
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.9f) << "one step down from full";
    const int ninetyLit = inCorner(kCyan);
    for (int step = 0; step < 10; ++step)
        game.PressKey(kKeypadMinusKey);
    game.Pass();
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.0f) << "no lower than silent";
    EXPECT_LT(inCorner(kCyan), ninetyLit) << "fewer bars lit";

    game.PressKey('=');
    game.PressKey(kKeypadPlusKey);
    game.OnPadButtonDown(0, SDL_CONTROLLER_BUTTON_DPAD_UP);
    game.Pass(900);
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.3f) << "three steps up from silent";
    EXPECT_GT(inCorner(kCyan), 0) << "shown after 0.9 s";
    game.Pass(100);
    EXPECT_EQ(inCorner(kCyan), 0) << "gone after a second";

    game.PressKey('m');
    game.Pass(5000);
    EXPECT_GT(inCorner(kMutedMark), 0) << "marked while muted";
    game.PressKey('=');
    EXPECT_TRUE(game.IsMuted()) << "a step leaves the sound muted";
    game.PressKey('m');
    game.Pass(1000);
    EXPECT_EQ(inCorner(kMutedMark), 0);
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.4f) << "the step taken while muted";
}
