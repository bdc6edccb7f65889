// The game's screens: clicks and keys through the state table, each round's
// objects, the end of a round, the clock, day and night and the sun, the
// HUD's strings, and every screen compared whole with its reference.
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace GameData;
using testing_support::RgbAt;

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

TEST_F(GameTest, ClicksAndKeysWalkThroughTheStateTable)
{
    // Event: a click at (x, y), a key (x), or the clock run out (0); then
    // the screen and highlight expected.
    const int steps[][5] = {{'k', ' ', 0, MainMenu, -1},        {'c', 900, 700, SelectPlayer1, -1},
                            {'c', 150, 60, MainMenu, -1},       {'c', 0, 0, SelectPlayer1, -1},
                            {'c', 99, 150, SelectPlayer1, -1},  {'c', 251, 150, SelectPlayer1, -1},
                            {'c', 700, 630, SelectPlayer1, -1}, {'c', 100, 150, SelectPlayer1, 0},
                            {'k', ' ', 0, SelectPlayer1, 0},    {'c', 550, 550, SelectPlayer1, 4},
                            {'c', 850, 680, SelectPlayer2, -1}, {'c', 700, 150, SelectPlayer2, 2},
                            {'c', 50, 30, SelectPlayer1, -1},   {'c', 400, 300, SelectPlayer1, 1},
                            {'c', 700, 630, SelectPlayer2, -1}, {'c', 850, 550, SelectPlayer2, 5},
                            {'c', 700, 630, SelectLevel, -1},   {'c', 800, 650, SelectLevel, -1},
                            {'c', 830, 325, SelectLevel, 1},    {'c', 100, 45, SelectPlayer2, -1},
                            {'c', 250, 400, SelectPlayer2, 3},  {'c', 700, 630, SelectLevel, -1},
                            {'c', 431, 100, SelectLevel, -1},   {'k', 'q', 0, SelectLevel, -1},
                            {'c', 130, 595, SelectLevel, 2},    {'c', 750, 650, Playing, -1},
                            {'k', 'q', 0, Playing, -1},         {'k', ' ', 0, Paused, -1},
                            {'c', 10, 10, Paused, -1},          {'k', ' ', 0, Playing, -1},
                            {'k', ' ', 0, Paused, -1},          {'k', 'q', 0, MainMenu, -1},
                            {'c', 0, 0, SelectPlayer1, -1},     {'c', 100, 150, SelectPlayer1, 0},
                            {'c', 700, 630, SelectPlayer2, -1}, {'c', 400, 150, SelectPlayer2, 1},
                            {'c', 700, 630, SelectLevel, -1},   {'c', 130, 100, SelectLevel, 0},
                            {'c', 700, 630, Playing, -1},       {0, 0, 0, RoundOver, -1},
                            {'c', 10, 10, RoundOver, -1},       {'k', ' ', 0, MainMenu, -1}};
    game.Pass();
    for (const auto& [event, x, y, state, highlight] : steps)
    {
        SCOPED_TRACE(testing::Message() << "to " << state << " by " << x << "," << y);
        // Only an event that changes something repaints.
        const bool changes = state != game.GetState() || highlight != game.GetHighlight();
        event == 'c' ? game.Click(x, y) : event == 'k' ? game.PressKey(x) : game.SetSecondsLeft(0);
        EXPECT_EQ(game.IsWholeRedrawDue(), changes && event);
        game.Pass(1000);
        EXPECT_EQ((std::array<int, 3>{state, highlight,
                                      state == MainMenu     ? 1
                                      : state > SelectLevel ? 2
                                                            : 0}),
                  (std::array<int, 3>{game.GetState(), game.GetHighlight(), game.ObjectCount()}));
    }
    EXPECT_EQ(game.GetPlayer1Character() * 10 + game.GetPlayer2Character(), 1);
    EXPECT_EQ(game.GetScore(1) * 10 + game.GetScore(2), 11) << "only the played round, a draw";
}

TEST_F(GameTest, EachRoundHoldsItsObjectsInOrderAndFewerDeathsWin)
{
    ASSERT_TRUE(game.StartRound(5, 2, kBusyLevel));
    const std::string players = "player " + std::to_string(game.GetPlayer1StartX()) + "," +
                                std::to_string(game.GetPlayer1StartY()) + " player " +
                                std::to_string(game.GetPlayer2StartX()) + "," +
                                std::to_string(game.GetPlayer2StartY()) + " ";
    std::string entries; // the object array, as "kind x,y" entries
    for (int i = 0; const DisplayableObject* object = game.GetDisplayableObject(i); ++i)
        entries += std::string(dynamic_cast<const MovingPlatform*>(object) ? "platform "
                               : dynamic_cast<const FlyingNPC*>(object)    ? "flyer "
                               : dynamic_cast<const NPC*>(object)          ? "walker "
                               : dynamic_cast<const Player*>(object)       ? "player "
                                                                           : "? ") +
                   std::to_string(object->GetX()) + "," + std::to_string(object->GetY()) + " ";
    EXPECT_EQ(entries, "platform 144,350 platform 444,350 platform 744,350 " + players +
                           "walker 100,600 flyer 120,48 flyer 840,48 ");
    EXPECT_EQ(dynamic_cast<FlyingNPC*>(game.GetDisplayableObject(7))->GetTargetPlayer(), 2);
    EXPECT_TRUE(game.GetPlayer1() == game.GetDisplayableObject(3) &&
                game.GetPlayer2() == game.GetDisplayableObject(4));
    const int cases[][7] = {// mouse button (left: player 1's lever, right: player 2's), deaths,
                            // then won and lost for each player
                            {1, 0, 0, 1, 1, 1, 1},
                            {3, 1, 3, 1, 0, 0, 1},
                            {2, 4, 0, 0, 1, 1, 0}};
    game.PressKey(' ');
    game.PressKey('q');
    for (const auto& [button, deaths1, deaths2, won1, lost1, won2, lost2] : cases)
    {
        game.ResetScores();
        ASSERT_TRUE(game.StartRound(4, 0, 1));
        EXPECT_EQ(game.ObjectCount(), 2);
        auto [first, second] = ScriptPlayers(deaths1, deaths2);
        game.Click(500, 500, button);
        const RoundPass pass = game.NextPass();
        EXPECT_EQ(pass.seats[0].lever, button == kLeftButton) << "a left click is player 1's lever pull";
        EXPECT_EQ(pass.seats[1].lever, button == kRightButton) << "a right click is player 2's";
        game.SetSecondsLeft(0);
        game.Pass();
        EXPECT_EQ((std::array<int, 6>{won1, lost1, won2, lost2, won1, won2}),
                  (std::array<int, 6>{first->HasWon(), first->HasLost(), second->HasWon(), second->HasLost(),
                                      game.GetScore(1), game.GetScore(2)}));
        game.PressKey(' ');
    }
}

TEST_F(GameTest, ALeverPulledRepaintsDayWithThePulsingSunButTwoPullsDoNot)
{
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    for (const Character* player : {game.GetPlayer1(), game.GetPlayer2()}) // a lever where each starts
        game.SetTiles((player->GetX() + kReferenceInset) / kTileSize,
                      (player->GetX() + kReferenceInset) / kTileSize,
                      (player->GetY() + kReferenceInset) / kTileSize, kLeverTile);
    testing_support::FillSurface(game.GetBackground(), 0x123456);
    game.Click(0, 0, 1), game.Click(0, 0, 3), game.Pass();
    EXPECT_EQ(RgbAt(game.GetBackground(), 5, 5), 0x123456u) << "two flips: no repaint";

    game.Click(0, 0, 1);
    testing_support::StdoutCapture capture;
    std::string expected;
    for (int pass = 0; pass < 140; ++pass)
    {
        expected += std::to_string(game.GetSunColour()) + "\n";
        game.Pass(); // a step of green a pass, up for 69 and back for 69
        ASSERT_EQ(RgbAt(game.GetBackground(), 105, 105),
                  kSunStart + 0x100 * static_cast<uint32_t>(69 - std::abs(69 - (pass + 1) % 138)));
    }
    EXPECT_EQ(RgbAt(game.GetBackground(), 500, 5), kDaySky);
    game.ToggleDaytime(), game.Pass();
    EXPECT_EQ(capture.Finish(), expected) << "a line a daytime pass, none at night";
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
    game.Click(0, 0), game.ClickOn(kPortraitHits[1]);
    show("select-player1");
    game.ClickOn(kConfirmBox), game.ClickOn(kPortraitHits[5]);
    show("select-player2");
    game.ClickOn(kConfirmBox), game.ClickOn(kThumbnailHits[2]);
    show("select-level");
    game.ClickOn(kBackHit), game.ClickOn(kBackHit);
    ASSERT_TRUE(game.StartRound(1, 3, 0));
    show("round-night");
    // Paused with player 2 pinned past the left side (its arrow by night),
    // the volume a step down and muted.
    Character* two = game.GetPlayer2();
    two->SetPosition(-20, 300);
    two->SetVelocity(-20, 0);
    game.Pass();
    game.PressKey('-');
    game.PressKey('m');
    game.PressKey(' '), show("paused"), game.PressKey(' ');
    game.PressKey('m');
    ScriptPlayers(1, 0).second->SetPosition(300, 100);
    game.Pass(115000); // 5 seconds left: the countdown takes the clock's place
    show("round-countdown");
    game.SetSecondsLeft(0), game.Pass(), show("round-over");
    game.PressKey(' '), game.ToggleDaytime();
    ASSERT_TRUE(game.StartRound(0, 5, kBusyLevel));
    Character* one = game.GetPlayer1(); // pinned past the right side: its arrow by day
    one->SetPosition(950, 300);
    one->SetVelocity(20, 0);
    game.Pass();
    game.PressKey(' '), game.PressKey(' '); // pausing draws the sun without moving anything
    show("round-day");
}

TEST_F(GameTest, AScriptedRoundRaisesItsCuesInOrderAndHarderHitsSoundLouder)
{
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.ClearLevel(), game.SetTiles(0, 39, 20, kBrickTile);
    game.SetTiles(17, 17, 19, kLeverTile); // under player 1's start
    auto* one = new Player(&game, 400, 456, 1, 0);
    auto* two = new Player(&game, 470, 456, 2, 1);
    game.Place({one, two});
    const auto hold = [&](const char* keys, int passes) {
        game.HoldKeys(keys);
        for (int pass = 0; pass < passes; ++pass)
            game.Pass();
        game.HoldKeys(keys, false);
    };
    hold("", 1), hold("w", 1), hold("", 40);                   // a jump
    hold("j", 30);                                             // player 2 walks into player 1: a light hit
    hold("dc", 1), hold("", 20);                               // player 1 dashes into player 2: a hard hit
    two->SetPosition(400, 900), hold("", 2);                   // out, and back at its start
    one->SetPosition(400, 456), game.Click(0, 0), hold("", 1); // the lever: day
    game.Pass(game.GetSecondsLeft() * 1000 - 6000);
    hold("", 450); // the last seconds, then the end
    std::vector<std::string> heard;
    std::vector<float> hits;
    for (const auto& [name, volume] : game.cues)
    {
        if (heard.empty() || heard.back() != name)
            heard.push_back(name);
        if (name == "hit")
            hits.push_back(volume);
    }
    auto at = heard.begin();
    for (const char* cue :
         {"jump", "hit", "dash", "hit", "ring-out", "respawn", "lever", "day", "tick", "fanfare-win"})
    {
        ASSERT_NE(at = std::find(at, heard.end(), cue), heard.end())
            << cue << " not in order in " << testing::PrintToString(heard);
        ++at;
    }
    EXPECT_LT(hits.front(), *std::max_element(hits.begin(), hits.end()))
        << "the dash's harder knockback sounds louder";
    EXPECT_EQ(std::count(game.cues.begin(), game.cues.end(), std::pair<std::string, float>("tick", 1.0f)), 5);
    game.PressKey('m');
    const bool muted = game.IsMuted();
    game.PressKey('m');
    EXPECT_TRUE(muted && !game.IsMuted()) << "m mutes and unmutes";
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

TEST_F(GameTest, APinnedFighterIsMarkedAtItsSideFillingAsItNearsBeingOut)
{
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    Character* one = game.GetPlayer1();
    const auto arrow = [this] {
        return testing_support::CountRgb(game.GetForeground(), kPlayerColours[0], 936, 0, 959, 719);
    };
    one->SetPosition(900, 300), game.Pass();
    EXPECT_EQ(arrow(), 0) << "not pinned: a pointer over the fighter, no arrow";
    EXPECT_GT(testing_support::CountRgb(game.GetForeground(), kPlayerColours[0], 895, 280, 930, 299), 20);
    one->SetPosition(950, 300), one->SetVelocity(20, 0), game.Pass();
    ASSERT_TRUE(one->IsPastEdge());
    const int early = arrow();
    game.Pass(), game.Pass(), game.Pass();
    EXPECT_TRUE(early > 0 && arrow() > early)
        << "fuller as it travels further out: " << early << ", " << arrow();
    one->SetVelocity(-150, 0), game.Pass();
    EXPECT_FALSE(one->IsPastEdge());
    EXPECT_EQ(arrow(), 0) << "back in sight: no arrow";
}
