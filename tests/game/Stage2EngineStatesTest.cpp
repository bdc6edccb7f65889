#include "tests/game/GameTestSupport.h"

#include "objects/MovingText.h"

#include <algorithm>
#include <string>

using game_testing::GameTest;
using game_testing::ScriptedPlayer;

namespace
{
constexpr int kSpace = 0x20;
constexpr int kQ = 0x71;

bool HasScoreLineAlone(Stage2Engine& game)
{
    return dynamic_cast<MovingText*>(game.GetDisplayableObject(0)) && !game.GetDisplayableObject(1);
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
        {Key, kSpace, 0, MainMenu, -1},
        {Click, 900, 700, SelectPlayer1, -1}, // anywhere on the main menu
        {Click, 150, 60, MainMenu, -1},       // Back's far corner
        {Click, 0, 0, SelectPlayer1, -1},
        {Click, 99, 150, SelectPlayer1, -1},  // just left of portrait 0
        {Click, 251, 150, SelectPlayer1, -1}, // just right of it
        {Click, 700, 630, SelectPlayer1, -1}, // Confirm with nothing highlighted
        {Click, 100, 150, SelectPlayer1, 0},
        {Key, kSpace, 0, SelectPlayer1, 0},
        {Click, 550, 550, SelectPlayer1, 4},
        {Click, 850, 680, SelectPlayer2, -1}, // Confirm's far corner
        {Click, 700, 150, SelectPlayer2, 2},
        {Click, 50, 30, SelectPlayer1, -1},   // Back goes to the first player
        {Click, 400, 300, SelectPlayer1, 1},
        {Click, 700, 630, SelectPlayer2, -1},
        {Click, 850, 550, SelectPlayer2, 5},
        {Click, 700, 630, SelectLevel, -1},
        {Click, 800, 650, SelectLevel, -1},   // Confirm with nothing highlighted
        {Click, 830, 325, SelectLevel, 1},
        {Click, 100, 45, SelectPlayer2, -1},  // Back goes to the second player
        {Click, 250, 400, SelectPlayer2, 3},
        {Click, 700, 630, SelectLevel, -1},
        {Click, 431, 100, SelectLevel, -1},   // just right of thumbnail 0
        {Key, kQ, 0, SelectLevel, -1},
        {Click, 130, 595, SelectLevel, 2},
        {Click, 750, 650, Playing, -1},
        {Key, kQ, 0, Playing, -1},            // q only while paused
        {Key, kSpace, 0, Paused, -1},
        {Click, 10, 10, Paused, -1},
        {Key, kSpace, 0, Playing, -1},
        {Key, kSpace, 0, Paused, -1},
        {Key, kQ, 0, MainMenu, -1},           // the round is abandoned
        {Click, 0, 0, SelectPlayer1, -1},
        {Click, 100, 150, SelectPlayer1, 0},
        {Click, 700, 630, SelectPlayer2, -1},
        {Click, 100, 150, SelectPlayer2, 0},
        {Click, 700, 630, SelectLevel, -1},
        {Click, 130, 100, SelectLevel, 0},
        {Click, 700, 630, Playing, -1},
        {EndRound, 0, 0, RoundOver, -1},
        {Click, 10, 10, RoundOver, -1},
        {Key, kSpace, 0, MainMenu, -1},
    };
    int tick = 0;
    for (const auto& step : steps)
    {
        SCOPED_TRACE(testing::Message() << "to " << step.state << " by " << step.x << ","
                                        << step.y);
        // Only an event that changes something repaints.
        const bool changes =
            step.state != game->GetState() || step.highlight != game->GetHighlight();
        game->RenderFrame();
        if (step.event == Click)
            game->Click(step.x, step.y);
        else if (step.event == Key)
            game->OnKeyDown(step.x);
        else
            game->m_secondsLeft = 0;
        game->Pass(tick += 1000);
        EXPECT_EQ(game->GetState(), step.state);
        EXPECT_EQ(game->GetHighlight(), step.highlight);
        EXPECT_EQ(game->IsWholeRedrawDue(), changes);
        EXPECT_TRUE(step.state > SelectLevel || (step.state == MainMenu ? HasScoreLineAlone(*game)
                                                   : !game->GetDisplayableObject(0)));
        if (step.state == Playing && game->GetLevel() == 2)
        {
            EXPECT_EQ(game->GetPlayer1Character(), 1);
            EXPECT_EQ(game->GetPlayer2Character(), 3);
        }
    }
    // Only the round played to its end, a draw at 0 - 0, scored.
    EXPECT_EQ(game->GetScore(1), 1);
    EXPECT_EQ(game->GetScore(2), 1);
}

TEST_F(GameTest, ClicksPullALeverAndFewerDeathsWin)
{
    const struct
    {
        int button;
        int deaths1, deaths2;
        bool won1, lost1, won2, lost2;
    } cases[] = {
        {1, 0, 0, true, true, true, true}, // left: player 1's lever
        {3, 1, 3, true, false, false, true}, // right: player 2's
        {2, 4, 0, false, true, true, false}, // middle: nobody's
    };
    int tick = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.deaths1 << " vs " << c.deaths2);
        game->ResetScores();
        game->ClickIntoRound(0, 2, 3, tick += 1000);
        auto* first = new ScriptedPlayer(game.get(), 1);
        auto* second = new ScriptedPlayer(game.get(), 2);
        first->SetDeaths(c.deaths1);
        second->SetDeaths(c.deaths2);
        game->UsePlayers(first, second);
        game->OnMouseDown(c.button, 500, 500);
        EXPECT_EQ(first->HasLeverRequest(), c.button == 1);
        EXPECT_EQ(second->HasLeverRequest(), c.button == 3);
        game->m_secondsLeft = 0;
        game->Pass(tick);
        EXPECT_EQ(game->GetState(), RoundOver);
        EXPECT_EQ(first->HasWon(), c.won1);
        EXPECT_EQ(first->HasLost(), c.lost1);
        EXPECT_EQ(second->HasWon(), c.won2);
        EXPECT_EQ(second->HasLost(), c.lost2);
        EXPECT_EQ(game->GetScore(1), c.won1 ? 1 : 0);
        EXPECT_EQ(game->GetScore(2), c.won2 ? 1 : 0);
        game->OnKeyDown(kSpace);
    }
}

TEST_F(GameTest, ClockStopsWhilePausedAndRoundEndsAfter120PlayedSeconds)
{
    game->ClickIntoRound(0, 0, 1, 10000);
    auto* counter = new ScriptedPlayer(game.get(), 1);
    game->UsePlayers(counter, new ScriptedPlayer(game.get(), 2));
    game->Pass(40000);
    EXPECT_EQ(game->GetSecondsLeft(), 90);

    game->SetFrameTick(40005);
    game->OnKeyDown(kSpace);
    game->Pass(70000); // paused: nothing runs
    EXPECT_EQ(counter->updates, 1);
    game->SetFrameTick(100005);
    game->OnKeyDown(kSpace);
    EXPECT_EQ(game->GetTime(), 40005);
    game->Pass(189985); // game time 129985
    EXPECT_EQ(game->GetSecondsLeft(), 1);
    // At 0 the objects get one more update and the round ends on the next pass.
    game->Pass(190000);
    game->Pass(190014); // too soon: logic runs at most every 15 ms
    EXPECT_EQ(game->GetSecondsLeft(), 0);
    EXPECT_EQ(game->GetState(), Playing);
    game->Pass(190015);
    EXPECT_EQ(game->GetState(), RoundOver);
    EXPECT_EQ(counter->updates, 3);
    game->Pass(190030);
    EXPECT_EQ(counter->updates, 4) << "the result screen keeps the objects moving";
}

TEST_F(GameTest, DayChangeInAPassRepaintsButTwoChangesDoNot)
{
    game->ClickIntoRound(0, 0, 1);
    // A lever where each player starts.
    game->m_levelGrid[game->GetPlayer1StartY() / 24][game->GetPlayer1StartX() / 24] = 4;
    game->m_levelGrid[game->GetPlayer2StartY() / 24][game->GetPlayer2StartX() / 24] = 4;
    game->RenderFrame();
    testing_support::FillSurface(Background(), 0x123456);
    game->OnMouseDown(1, 0, 0);
    game->OnMouseDown(3, 0, 0);
    game->Pass(15);
    EXPECT_FALSE(game->IsWholeRedrawDue());
    EXPECT_FALSE(game->IsDaytime());
    EXPECT_EQ(testing_support::RgbAt(Background(), 5, 5), 0x123456u);

    game->OnMouseDown(1, 0, 0);
    testing_support::StdoutCapture capture;
    game->Pass(30);
    EXPECT_TRUE(game->IsDaytime());
    EXPECT_TRUE(game->IsWholeRedrawDue());
    EXPECT_EQ(testing_support::RgbAt(Background(), 500, 5), GameData::kDaySky);
    // The sun is drawn in the same pass, once the sky is day.
    EXPECT_EQ(capture.Finish(), "16627712\n");
    EXPECT_EQ(testing_support::RgbAt(Background(), 105, 105), 0xFDB900u);
}

TEST_F(GameTest, SunPulsesThrough138PassesAndPrintsEachColourByDayOnly)
{
    game->ToggleDaytime();
    game->ClickIntoRound(0, 0, 1);
    game->RenderFrame();
    testing_support::StdoutCapture capture;
    for (int pass = 1; pass <= 138; ++pass)
    {
        SCOPED_TRACE(pass);
        const uint32_t before = game->GetSunColour();
        game->Pass(pass * 15);
        // The screen shows the sun of the last pass; the background the new one.
        EXPECT_TRUE(pass == 1 || testing_support::RgbAt(Foreground(), 105, 105) == before);
        EXPECT_EQ(testing_support::RgbAt(Background(), 105, 105), game->GetSunColour());
        EXPECT_TRUE(pass == 1 || !game->IsWholeRedrawDue()) << "the sun needs no whole redraw";
        if (pass == 1)
            game->RenderFrame(); // the round's first pass repaints its sky once
        EXPECT_EQ(game->GetSunColour() == GameData::kSunBright, pass == 69);
        EXPECT_EQ(game->m_sunDimming, pass >= 69 && pass < 138);
    }
    const std::string printed = capture.Finish();
    EXPECT_EQ(game->GetSunColour(), GameData::kSunStart);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 138);
    EXPECT_EQ(printed.substr(0, 18), "16627712\n16627968\n");

    game->ToggleDaytime();
    testing_support::StdoutCapture night;
    game->Pass(5000);
    game->Pass(5015);
    EXPECT_EQ(night.Finish(), "") << "at night nothing is printed";
    EXPECT_EQ(game->GetSunColour(), GameData::kSunStart);
}
