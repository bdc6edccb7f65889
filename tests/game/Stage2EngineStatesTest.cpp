#include "tests/game/GameTestSupport.h"

#include "objects/MovingText.h"

#include <string>

using game_testing::GameTest;
using game_testing::ScriptedPlayer;

namespace
{
constexpr int kSpace = 0x20;
constexpr int kQ = 0x71;

int CountLines(const std::string& text)
{
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

// An object whose update flips the day flag a given number of times, as
// players pulling levers would, and counts its updates.
class DayFlipper : public DisplayableObject
{
public:
    DayFlipper(Stage2Engine* game, int flips) : DisplayableObject(game), m_game(game), m_flips(flips) {}
    void Update(int) override
    {
        ++updates;
        for (int i = 0; i < m_flips; ++i)
            m_game->ToggleDaytime();
    }
    void Draw() override {}
    int updates = 0;

private:
    Stage2Engine* m_game;
    int m_flips;
};
} // namespace

TEST_F(GameTest, ClicksWalkForwardAndBackThroughTheScreens)
{
    struct Step
    {
        int x, y;
        GameState state;
        int highlight;
    };
    const Step steps[] = {
        {900, 700, SelectPlayer1, -1}, // anywhere on the main menu
        {150, 60, MainMenu, -1},       // Back's far corner
        {0, 0, SelectPlayer1, -1},
        {99, 150, SelectPlayer1, -1},  // just left of portrait 0
        {251, 150, SelectPlayer1, -1}, // just right of it
        {700, 630, SelectPlayer1, -1}, // Confirm with nothing highlighted
        {100, 150, SelectPlayer1, 0},
        {550, 550, SelectPlayer1, 4},
        {500, 350, SelectPlayer1, 4},  // between the portraits
        {850, 680, SelectPlayer2, -1}, // Confirm's far corner
        {700, 150, SelectPlayer2, 2},
        {50, 30, SelectPlayer1, -1},   // Back goes to the first player
        {400, 300, SelectPlayer1, 1},
        {700, 630, SelectPlayer2, -1},
        {850, 550, SelectPlayer2, 5},
        {700, 630, SelectLevel, -1},
        {431, 100, SelectLevel, -1},
        {830, 325, SelectLevel, 1},
        {100, 45, SelectPlayer2, -1},  // Back goes to the second player
        {250, 400, SelectPlayer2, 3},
        {700, 630, SelectLevel, -1},
        {800, 650, SelectLevel, -1},
        {530, 370, SelectLevel, 3},
        {130, 595, SelectLevel, 2},
    };
    for (const Step& step : steps)
    {
        // Only a click that changes something repaints.
        const bool changes = step.state != game->m_state || step.highlight != game->m_highlight;
        game->RenderFrame();
        game->Click(step.x, step.y);
        EXPECT_EQ(game->m_state, step.state) << step.x << "," << step.y;
        EXPECT_EQ(game->m_highlight, step.highlight) << step.x << "," << step.y;
        EXPECT_EQ(game->IsWholeRedrawDue(), changes) << step.x << "," << step.y;
        EXPECT_EQ(game->GetDisplayableObject(0) != nullptr, step.state == MainMenu);
    }
    EXPECT_EQ(game->GetPlayer1Character(), 1);
    EXPECT_EQ(game->GetPlayer2Character(), 3);

    game->SetFrameTick(7999);
    game->Click(750, 650);
    EXPECT_EQ(game->m_state, Playing);
    EXPECT_EQ(game->GetLevel(), 2);
    EXPECT_EQ(game->m_secondsLeft, 120);
    EXPECT_EQ(game->m_highlight, -1);
    EXPECT_TRUE(game->m_player1 && game->m_player2);
}

TEST_F(GameTest, SpaceAndQActOnlyWhereTheyAreMeant)
{
    game->OnKeyDown(kSpace);
    game->OnKeyDown(kQ);
    EXPECT_EQ(game->m_state, MainMenu);
    game->Click(0, 0);
    game->OnKeyDown(kSpace);
    EXPECT_EQ(game->m_state, SelectPlayer1);

    game->ClickIntoRound(0, 1, 2);
    game->m_score1 = 3;
    game->OnKeyDown(kQ);
    EXPECT_EQ(game->m_state, Playing);
    game->OnKeyDown(kSpace);
    EXPECT_EQ(game->m_state, Paused);
    game->Click(0, 0);
    EXPECT_EQ(game->m_state, Paused);
    game->OnKeyDown(kSpace);
    EXPECT_EQ(game->m_state, Playing);
    game->OnKeyDown(kSpace);
    game->OnKeyDown(kQ);
    EXPECT_EQ(game->m_state, MainMenu);
    EXPECT_EQ(game->m_score1, 3);
    EXPECT_NE(dynamic_cast<MovingText*>(game->GetDisplayableObject(0)), nullptr);
    EXPECT_EQ(game->GetDisplayableObject(1), nullptr);

    // Space leaves the result screen for the main menu; the scores stay.
    game->ClickIntoRound(1, 0, 0);
    game->m_secondsLeft = 0;
    game->Pass(100);
    ASSERT_EQ(game->m_state, RoundOver);
    game->Click(0, 0);
    EXPECT_EQ(game->m_state, RoundOver);
    game->OnKeyDown(kSpace);
    EXPECT_EQ(game->m_state, MainMenu);
    EXPECT_EQ(game->GetScore(1), 4);
    EXPECT_NE(dynamic_cast<MovingText*>(game->GetDisplayableObject(0)), nullptr);
}

TEST_F(GameTest, ClicksDuringPlayPullTheLeverOfOnePlayer)
{
    game->ClickIntoRound(0, 0, 1);
    auto* first = dynamic_cast<Player*>(game->m_player1);
    auto* second = dynamic_cast<Player*>(game->m_player2);
    ASSERT_TRUE(first && second);
    game->OnMouseDown(2, 10, 10);
    EXPECT_FALSE(first->HasLeverRequest() || second->HasLeverRequest());
    game->OnMouseDown(3, 10, 10);
    EXPECT_FALSE(first->HasLeverRequest());
    EXPECT_TRUE(second->HasLeverRequest());
    game->OnMouseDown(1, 500, 500);
    EXPECT_TRUE(first->HasLeverRequest());
}

TEST_F(GameTest, FewerDeathsWinAndEqualDeathsCreditBoth)
{
    struct Case
    {
        int deaths1, deaths2;
        bool won1, lost1, won2, lost2;
        int score1, score2;
    };
    const Case cases[] = {
        {0, 0, true, true, true, true, 1, 1},
        {2, 2, true, true, true, true, 1, 1},
        {1, 3, true, false, false, true, 1, 0},
        {4, 0, false, true, true, false, 0, 1},
    };
    int tick = 0;
    for (const Case& c : cases)
    {
        tick += 1000;
        game->ResetScores();
        game->ClickIntoRound(0, 2, 3, tick);
        auto* first = new ScriptedPlayer(game.get(), 1);
        auto* second = new ScriptedPlayer(game.get(), 2);
        first->SetDeaths(c.deaths1);
        second->SetDeaths(c.deaths2);
        game->UsePlayers(first, second);
        game->m_secondsLeft = 0;
        game->RenderFrame();
        game->Pass(tick);
        EXPECT_EQ(game->m_state, RoundOver);
        EXPECT_EQ(first->HasWon(), c.won1) << c.deaths1 << " vs " << c.deaths2;
        EXPECT_EQ(first->HasLost(), c.lost1) << c.deaths1 << " vs " << c.deaths2;
        EXPECT_EQ(second->HasWon(), c.won2) << c.deaths1 << " vs " << c.deaths2;
        EXPECT_EQ(second->HasLost(), c.lost2) << c.deaths1 << " vs " << c.deaths2;
        EXPECT_EQ(game->GetScore(1), c.score1);
        EXPECT_EQ(game->GetScore(2), c.score2);
        EXPECT_TRUE(game->IsWholeRedrawDue());
        game->OnKeyDown(kSpace);
    }
}

TEST_F(GameTest, ClockStopsWhilePausedAndRoundEndsAfter120PlayedSeconds)
{
    game->ClickIntoRound(0, 0, 1, 10000);
    auto* counter = new DayFlipper(game.get(), 0);
    game->StoreObjectInArray(2, counter);

    game->Pass(40000);
    EXPECT_EQ(game->m_secondsLeft, 90);
    EXPECT_EQ(game->GetSecondsLeft(), 90);

    game->SetFrameTick(40005);
    game->OnKeyDown(kSpace);
    game->Pass(70000); // paused: nothing runs
    EXPECT_EQ(counter->updates, 1);
    game->SetFrameTick(100005);
    game->OnKeyDown(kSpace);
    EXPECT_EQ(game->GetTime(), 40005);

    game->Pass(100005);
    EXPECT_EQ(game->m_secondsLeft, 90);
    game->Pass(189985); // game time 129985
    EXPECT_EQ(game->m_secondsLeft, 1);
    // At 0 the objects get one more update and the round goes on.
    game->Pass(190000);
    EXPECT_EQ(game->m_secondsLeft, 0);
    EXPECT_EQ(game->m_state, Playing);
    EXPECT_EQ(counter->updates, 4);
    game->Pass(190015);
    EXPECT_EQ(game->m_state, RoundOver);
    EXPECT_EQ(counter->updates, 4);
    // The result screen keeps the objects moving.
    game->Pass(190030);
    EXPECT_EQ(counter->updates, 5);
}

TEST_F(GameTest, LogicRunsAtMostEvery15Milliseconds)
{
    game->ClickIntoRound(0, 0, 1, 1000);
    auto* counter = new DayFlipper(game.get(), 0);
    game->StoreObjectInArray(2, counter);
    game->Pass(1000);
    game->Pass(1014);
    EXPECT_EQ(counter->updates, 1);
    game->Pass(1020);
    game->Pass(1034);
    EXPECT_EQ(counter->updates, 2);
    game->Pass(1035);
    EXPECT_EQ(counter->updates, 3);
}

TEST_F(GameTest, DayChangeInAPassRepaintsButTwoChangesDoNot)
{
    game->ClickIntoRound(0, 0, 1);
    auto* flipper = new DayFlipper(game.get(), 2);
    game->UsePlayers(new ScriptedPlayer(game.get(), 1), new ScriptedPlayer(game.get(), 2), flipper);
    game->RenderFrame();
    testing_support::FillSurface(Background(), 0x123456);

    game->Pass(15);
    EXPECT_FALSE(game->IsWholeRedrawDue());
    EXPECT_FALSE(game->m_daytime);
    EXPECT_EQ(testing_support::RgbAt(Background(), 5, 5), 0x123456u);

    game->StoreObjectInArray(2, nullptr);
    delete flipper;
    game->StoreObjectInArray(2, new DayFlipper(game.get(), 1));
    testing_support::StdoutCapture capture;
    game->Pass(30);
    EXPECT_TRUE(game->m_daytime);
    EXPECT_FALSE(game->m_paintedNight);
    EXPECT_TRUE(game->IsWholeRedrawDue());
    EXPECT_EQ(testing_support::RgbAt(Background(), 500, 5), Stage2Engine::kDaySky);
    // The sun is drawn in the same pass, once the sky is day.
    EXPECT_EQ(capture.Finish(), "16627712\n");
    EXPECT_EQ(testing_support::RgbAt(Background(), 105, 105), 0xFDB900u);
}

TEST_F(GameTest, SunPulsesThrough138PassesAndPrintsEachColour)
{
    game->ToggleDaytime();
    game->ClickIntoRound(0, 0, 1);
    game->RenderFrame();

    testing_support::StdoutCapture capture;
    for (int pass = 1; pass <= 138; ++pass)
    {
        const uint32_t before = game->GetSunColour();
        game->Pass(pass * 15);
        // The screen shows the sun of the last pass; the background the new one.
        if (pass > 1)
        {
            EXPECT_EQ(testing_support::RgbAt(Foreground(), 105, 105), before);
        }
        EXPECT_EQ(testing_support::RgbAt(Background(), 105, 105), game->GetSunColour());
        if (pass == 69)
        {
            EXPECT_EQ(game->GetSunColour(), Stage2Engine::kSunBright);
            EXPECT_TRUE(game->m_sunDimming);
        }
    }
    const std::string printed = capture.Finish();
    EXPECT_EQ(game->GetSunColour(), Stage2Engine::kSunStart);
    EXPECT_FALSE(game->m_sunDimming);
    EXPECT_EQ(CountLines(printed), 138);
    EXPECT_EQ(printed.substr(0, 18), "16627712\n16627968\n");
    EXPECT_NE(printed.find("\n16645120\n16645376\n16645120\n"), std::string::npos);

    // At night nothing is printed and the sun stands still.
    game->ToggleDaytime();
    testing_support::StdoutCapture night;
    game->Pass(5000);
    game->Pass(5015);
    EXPECT_EQ(night.Finish(), "");
    EXPECT_EQ(game->GetSunColour(), Stage2Engine::kSunStart);
}
