// The game's screens: clicks and keys through the state machine, the round
// and its objects, the clock, the end of a round, day and night, the sun,
// the HUD, and every screen compared whole with its reference.
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

using namespace GameData;
using testing_support::RgbAt;

namespace
{
constexpr int kSpace = ' ';

// A player that stands still, counting its updates, with any death count.
class ScriptedPlayer : public Player
{
public:
    ScriptedPlayer(BaseEngine* engine, int number, int deaths = 0) : Player(engine, 100, 100, number, 0)
    {
        m_deaths = deaths;
    }
    void Update(int) override { ++updates; }
    int updates = 0;
};

class GameTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(game.Started()); }
    // Replaces the round's players with scripted ones.
    std::pair<ScriptedPlayer*, ScriptedPlayer*> ScriptPlayers(int deaths1 = 0, int deaths2 = 0)
    {
        auto* first = new ScriptedPlayer(&game, 1, deaths1);
        auto* second = new ScriptedPlayer(&game, 2, deaths2);
        game.Place({first, second});
        return {first, second};
    }

    GameDriver game;
};

// One entry of the object array, as "kind details x,y".
std::string Entry(DisplayableObject* object)
{
    std::ostringstream out;
    if (!object)
        return "end";
    if (const auto* platform = dynamic_cast<MovingPlatform*>(object))
        out << "platform " << platform->GetMinY() << ".." << platform->GetMaxY() << " ";
    else if (const auto* flyer = dynamic_cast<FlyingNPC*>(object))
        out << "flyer after " << flyer->GetTargetPlayer() << " ";
    else if (dynamic_cast<NPC*>(object))
        out << "walker ";
    else if (const auto* player = dynamic_cast<Player*>(object))
        out << "player " << player->GetPlayerNumber() << " ";
    out << object->GetX() << "," << object->GetY();
    return out.str();
}
} // namespace

TEST_F(GameTest, ClicksAndKeysWalkThroughTheScreens)
{
    enum Event { Click, Key, EndRound };
    const struct
    {
        Event event;
        int x, y;
        GameState state;
        int highlight;
    } steps[] = {
        {Key, kSpace, 0, MainMenu, -1},       {Click, 900, 700, SelectPlayer1, -1},
        {Click, 150, 60, MainMenu, -1},       {Click, 0, 0, SelectPlayer1, -1},
        {Click, 99, 150, SelectPlayer1, -1},  {Click, 251, 150, SelectPlayer1, -1},
        {Click, 700, 630, SelectPlayer1, -1}, {Click, 100, 150, SelectPlayer1, 0},
        {Key, kSpace, 0, SelectPlayer1, 0},   {Click, 550, 550, SelectPlayer1, 4},
        {Click, 850, 680, SelectPlayer2, -1}, {Click, 700, 150, SelectPlayer2, 2},
        {Click, 50, 30, SelectPlayer1, -1},   {Click, 400, 300, SelectPlayer1, 1},
        {Click, 700, 630, SelectPlayer2, -1}, {Click, 850, 550, SelectPlayer2, 5},
        {Click, 700, 630, SelectLevel, -1},   {Click, 800, 650, SelectLevel, -1},
        {Click, 830, 325, SelectLevel, 1},    {Click, 100, 45, SelectPlayer2, -1},
        {Click, 250, 400, SelectPlayer2, 3},  {Click, 700, 630, SelectLevel, -1},
        {Click, 431, 100, SelectLevel, -1},   {Key, 'q', 0, SelectLevel, -1},
        {Click, 130, 595, SelectLevel, 2},    {Click, 750, 650, Playing, -1},
        {Key, 'q', 0, Playing, -1},           {Key, kSpace, 0, Paused, -1},
        {Click, 10, 10, Paused, -1},          {Key, kSpace, 0, Playing, -1},
        {Key, kSpace, 0, Paused, -1},         {Key, 'q', 0, MainMenu, -1},
        {Click, 0, 0, SelectPlayer1, -1},     {Click, 100, 150, SelectPlayer1, 0},
        {Click, 700, 630, SelectPlayer2, -1}, {Click, 100, 150, SelectPlayer2, 0},
        {Click, 700, 630, SelectLevel, -1},   {Click, 130, 100, SelectLevel, 0},
        {Click, 700, 630, Playing, -1},       {EndRound, 0, 0, RoundOver, -1},
        {Click, 10, 10, RoundOver, -1},       {Key, kSpace, 0, MainMenu, -1},
    };
    game.Pass();
    for (const auto& step : steps)
    {
        SCOPED_TRACE(testing::Message() << "to " << step.state << " by " << step.x << "," << step.y);
        // Only an event that changes something repaints.
        const bool changes = step.state != game.GetState() || step.highlight != game.GetHighlight();
        if (step.event == Click)
            game.Click(step.x, step.y);
        else if (step.event == Key)
            game.PressKey(step.x), game.ReleaseKey(step.x);
        else
            game.SetSecondsLeft(0);
        EXPECT_EQ(game.IsWholeRedrawDue(), changes && step.event != EndRound);
        game.Pass(1000);
        EXPECT_EQ(game.GetState(), step.state);
        EXPECT_EQ(game.GetHighlight(), step.highlight);
        EXPECT_EQ(game.ObjectCount(), step.state == MainMenu ? 1 : step.state > SelectLevel ? 2 : 0);
        if (step.state == Playing && game.GetLevel() == 2)
        {
            EXPECT_EQ(game.GetPlayer1Character() * 10 + game.GetPlayer2Character(), 13);
        }
    }
    EXPECT_EQ(game.GetScore(1) * 10 + game.GetScore(2), 11) << "only the played round, a draw";
}

TEST_F(GameTest, EachLevelHoldsItsObjectsInOrderWithTheChosenPlayers)
{
    ASSERT_TRUE(game.StartRound(5, 2, 3));
    const auto start = [this](int player) {
        return "player " + std::to_string(player) + " " +
               std::to_string(player == 1 ? game.GetPlayer1StartX() : game.GetPlayer2StartX()) + "," +
               std::to_string(player == 1 ? game.GetPlayer1StartY() : game.GetPlayer2StartY());
    };
    const std::string expected[] = {
        "platform 100..350 144,350", "platform 350..600 444,350", "platform 100..350 744,350",
        start(1), start(2), "walker 100,600", "flyer after 1 120,48", "flyer after 2 840,48", "end"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(expected[i], Entry(game.GetDisplayableObject(i))) << i;
    EXPECT_EQ(game.GetPlayer1(), game.GetDisplayableObject(3));
    EXPECT_EQ(game.GetPlayer2(), game.GetDisplayableObject(4));

    // Another level: the two players alone, wearing the chosen sprites.
    game.PressKey(kSpace);
    game.PressKey('q');
    ASSERT_TRUE(game.StartRound(4, 0, 1));
    EXPECT_EQ(start(1), Entry(game.GetDisplayableObject(0)));
    EXPECT_EQ(start(2), Entry(game.GetDisplayableObject(1)));
    EXPECT_EQ("end", Entry(game.GetDisplayableObject(2)));
    const uint32_t quintar = Character(&game, 0, 0, 4).GetRightImage().GetPixel(1, 1);
    const uint32_t kesto = Character(&game, 0, 0, 0).GetRightImage().GetPixel(1, 1);
    ASSERT_NE(quintar, kesto);
    EXPECT_EQ(quintar, game.GetPlayer1()->GetRightImage().GetPixel(1, 1));
    EXPECT_EQ(kesto, game.GetPlayer2()->GetRightImage().GetPixel(1, 1));
}

TEST_F(GameTest, ClicksPullTheLeversAndFewerDeathsWin)
{
    const struct
    {
        int button, deaths1, deaths2;
        bool won1, lost1, won2, lost2;
    } cases[] = {
        {1, 0, 0, true, true, true, true},   // left: player 1's lever; a draw
        {3, 1, 3, true, false, false, true}, // right: player 2's
        {2, 4, 0, false, true, true, false}, // middle: nobody's
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.deaths1 << " vs " << c.deaths2);
        game.ResetScores();
        ASSERT_TRUE(game.StartRound(2, 3, 0));
        auto [first, second] = ScriptPlayers(c.deaths1, c.deaths2);
        game.Click(500, 500, c.button);
        EXPECT_EQ(first->HasLeverRequest(), c.button == 1);
        EXPECT_EQ(second->HasLeverRequest(), c.button == 3);
        game.SetSecondsLeft(0);
        game.Pass(1000);
        EXPECT_EQ(game.GetState(), RoundOver);
        EXPECT_EQ((std::array<bool, 4>{first->HasWon(), first->HasLost(), second->HasWon(), second->HasLost()}),
                  (std::array<bool, 4>{c.won1, c.lost1, c.won2, c.lost2}));
        EXPECT_EQ(game.GetScore(1), c.won1 ? 1 : 0);
        EXPECT_EQ(game.GetScore(2), c.won2 ? 1 : 0);
        game.PressKey(kSpace);
    }
}

TEST_F(GameTest, TheClockStopsWhilePausedAndTheRoundEndsAfter120PlayedSeconds)
{
    game.Pass(10000);
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    auto* counter = ScriptPlayers().first;
    game.Pass(30000);
    EXPECT_EQ(game.GetSecondsLeft(), 90);
    game.Pass(5);
    game.PressKey(kSpace);
    game.Pass(60000); // paused: nothing runs
    EXPECT_EQ(counter->updates, 1);
    game.PressKey(kSpace);
    EXPECT_EQ(game.GetTime(), 40005);
    game.Pass(89980); // game time 129985
    EXPECT_EQ(game.GetSecondsLeft(), 1);
    // At 0 the objects get one more update and the round ends on the next pass.
    game.Pass(15);
    game.Pass(14); // too soon: logic runs at most every 15 ms
    EXPECT_EQ(game.GetSecondsLeft(), 0);
    EXPECT_EQ(game.GetState(), Playing);
    game.Pass(1);
    EXPECT_EQ(game.GetState(), RoundOver);
    EXPECT_EQ(counter->updates, 3);
    game.Pass(15);
    EXPECT_EQ(counter->updates, 4) << "the result screen keeps the objects moving";
}

TEST_F(GameTest, ADayChangeInAPassRepaintsButTwoDoNot)
{
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    Stage2Engine::Grid& grid = game.LevelGrid(); // a lever where each player starts
    grid[(game.GetPlayer1StartY() + kReferenceInset) / kTileSize][(game.GetPlayer1StartX() + kReferenceInset) / kTileSize] = kLeverTile;
    grid[(game.GetPlayer2StartY() + kReferenceInset) / kTileSize][(game.GetPlayer2StartX() + kReferenceInset) / kTileSize] = kLeverTile;
    testing_support::FillSurface(game.GetBackground(), 0x123456);
    game.Click(0, 0, 1);
    game.Click(0, 0, 3);
    EXPECT_TRUE(game.Pass());
    EXPECT_FALSE(game.IsDaytime());
    EXPECT_EQ(RgbAt(game.GetBackground(), 5, 5), 0x123456u) << "two flips: no repaint";

    game.Click(0, 0, 1);
    testing_support::StdoutCapture capture;
    game.SetFrameTick(game.GetFrameTick() + 15);
    game.DoFrameLogic();
    EXPECT_TRUE(game.IsDaytime());
    EXPECT_TRUE(game.IsWholeRedrawDue());
    EXPECT_EQ(RgbAt(game.GetBackground(), 500, 5), kDaySky);
    // The sun is drawn in the same pass, once the sky is day.
    EXPECT_EQ(capture.Finish(), "16627712\n");
    EXPECT_EQ(RgbAt(game.GetBackground(), 105, 105), 0xFDB900u);
}

TEST_F(GameTest, TheSunPulsesThrough138PassesAndPrintsEachColourByDayOnly)
{
    game.ToggleDaytime();
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.Pass(); // the round's first pass repaints its sky once
    testing_support::StdoutCapture capture;
    for (int pass = 2; pass <= 138; ++pass)
    {
        SCOPED_TRACE(pass);
        const uint32_t before = game.GetSunColour();
        game.SetFrameTick(game.GetFrameTick() + 15);
        game.DoFrameLogic();
        // The screen shows the sun of the last pass; the background the new one.
        EXPECT_EQ(RgbAt(game.GetForeground(), 105, 105), before);
        EXPECT_EQ(RgbAt(game.GetBackground(), 105, 105), game.GetSunColour());
        EXPECT_FALSE(game.IsWholeRedrawDue()) << "the sun needs no whole redraw";
        EXPECT_EQ(game.GetSunColour() == kSunBright, pass == 69);
        EXPECT_EQ(game.IsSunDimming(), pass >= 69 && pass < 138);
        game.RenderFrame();
    }
    const std::string printed = capture.Finish();
    EXPECT_EQ(game.GetSunColour(), kSunStart);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 137);
    EXPECT_EQ(printed.substr(0, 18), "16627968\n16628224\n");
    game.ToggleDaytime();
    testing_support::StdoutCapture night;
    game.Pass(5000);
    EXPECT_EQ(night.Finish(), "") << "at night nothing is printed";
}

TEST_F(GameTest, TheHudShowsDamageAsPercentagesAndTheClockThenACountdown)
{
    const std::pair<float, const char*> damages[] = {{1.0f, "0%"}, {2.0f, "25%"}, {5.0f, "100%"}, {1.1f, "3%"}};
    for (const auto& [damage, text] : damages)
        EXPECT_EQ(Stage2Engine::DamageText(damage), text) << damage;
    const std::pair<int, const char*> clocks[] = {{120, "2:00"}, {65, "1:05"}, {6, "0:06"}};
    for (const auto& [seconds, text] : clocks)
        EXPECT_EQ(Stage2Engine::ClockText(seconds), text) << seconds;

    ASSERT_TRUE(game.StartRound(0, 0, 1));
    ScriptPlayers();
    SDL_Surface* screen = game.GetForeground();
    const auto render = [&](int seconds, bool whole) {
        game.SetSecondsLeft(seconds);
        game.Redraw(whole);
        game.RenderFrame();
        return testing_support::CountRgb(screen, kCyan, 475, 350, 959, 719);
    };
    render(6, true);
    EXPECT_GT(testing_support::CountRgb(screen, kCyan, 440, 10, 520, 39), 0) << "0:06";
    EXPECT_EQ(render(6, false), 0);
    // From 5 down the countdown stands mid-screen, each number drawn afresh.
    EXPECT_GT(render(5, false), 0);
    EXPECT_EQ(testing_support::CountRgb(screen, kCyan, 440, 10, 520, 39), 0);
    const int four = render(4, false);
    EXPECT_EQ(four, render(4, true)) << "no digits piled up";
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
    game.PressKey(kSpace);
    show("paused");
    game.PressKey(kSpace);
    auto [first, second] = ScriptPlayers(1, 0);
    second->SetPosition(300, 100);
    game.Pass(116000);
    show("round-countdown");
    game.SetSecondsLeft(0);
    game.Pass();
    show("round-over");

    game.PressKey(kSpace);
    game.ToggleDaytime();
    ASSERT_TRUE(game.StartRound(0, 5, 3));
    game.PressKey(kSpace); // pausing draws the sun without moving anything
    game.PressKey(kSpace);
    show("round-day");
}
