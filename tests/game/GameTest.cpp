// The game's screens: a draw, every screen compared whole with its
// reference, and the mute key. The seeded soak plays the rest (every screen
// change, the clicks' rectangles, the round's objects, wins and losses, the
// clock, day and night, the sun, the cues and the markers) against its
// record, and checks the scores and the round's length on every pass.
#include "objects/Player.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

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
    game.PressKey(' ');
    show("paused");
    game.PressKey(' ');
    ScriptPlayers(1, 0).second->SetPosition(300, 100);
    game.Pass(115000); // 5 seconds left: the countdown takes the clock's place
    show("round-countdown");
    game.SetSecondsLeft(0);
    game.Pass();
    show("round-over");
    game.PressKey(' ');
    game.ToggleDaytime();
    ASSERT_TRUE(game.StartRound(0, 5, kBusyLevel));
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
