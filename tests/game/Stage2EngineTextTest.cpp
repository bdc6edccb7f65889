#include "tests/game/GameTestSupport.h"

#include <vector>

using game_testing::CountInRect;
using game_testing::GameTest;
using game_testing::ScriptedPlayer;

namespace
{
constexpr uint32_t kCyan = Stage2Engine::kCyan;
constexpr uint32_t kBlack = Stage2Engine::kBlack;

std::vector<uint32_t> Block(SDL_Surface* surface, int x1, int y1, int x2, int y2)
{
    std::vector<uint32_t> pixels;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            pixels.push_back(testing_support::RgbAt(surface, x, y));
    return pixels;
}

// A round whose players stand still out of the way of the texts.
class HudTest : public GameTest
{
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        game->ClickIntoRound(0, 0, 1);
        first = new ScriptedPlayer(game.get(), 1);
        second = new ScriptedPlayer(game.get(), 2);
        game->UsePlayers(first, second);
    }
    void RenderWhole()
    {
        game->Redraw(true);
        game->RenderFrame();
    }
    void RenderPartial()
    {
        game->Redraw(false);
        game->RenderFrame();
    }
    int Cyan(int x1, int y1, int x2, int y2) { return CountInRect(Foreground(), x1, y1, x2, y2, kCyan); }

    ScriptedPlayer* first = nullptr;
    ScriptedPlayer* second = nullptr;
};
} // namespace

TEST(HudText, DamageShowsAsAPercentageAndTheClockAsMinutesAndSeconds)
{
    EXPECT_EQ(Stage2Engine::DamageText(1.0f), "0%");
    EXPECT_EQ(Stage2Engine::DamageText(2.0f), "25%");
    EXPECT_EQ(Stage2Engine::DamageText(3.0f), "50%");
    EXPECT_EQ(Stage2Engine::DamageText(5.0f), "100%");
    EXPECT_EQ(Stage2Engine::DamageText(1.1f), "3%");
    EXPECT_EQ(Stage2Engine::ClockText(120), "2:00");
    EXPECT_EQ(Stage2Engine::ClockText(65), "1:05");
    EXPECT_EQ(Stage2Engine::ClockText(6), "0:06");
}

TEST_F(HudTest, StartShowsBothDamagesAndTheClockInTheTopStrip)
{
    RenderWhole();
    EXPECT_GT(Cyan(35, 10, 100, 39), 0);
    EXPECT_GT(Cyan(880, 10, 959, 39), 0);
    EXPECT_GT(Cyan(440, 10, 520, 39), 0);
    EXPECT_EQ(Cyan(475, 350, 959, 719), 0);
    EXPECT_EQ(Cyan(110, 10, 430, 39), 0);
}

TEST_F(HudTest, ValuesAreDrawnAnewWithoutPilingUp)
{
    first->SetDamage(5.0f);
    RenderWhole();
    const int hundred = Cyan(35, 10, 140, 39);
    first->SetDamage(1.0f);
    RenderPartial();
    const std::vector<uint32_t> afterChange = Block(Foreground(), 0, 0, 959, 39);
    EXPECT_LT(Cyan(35, 10, 140, 39), hundred);
    RenderWhole();
    EXPECT_EQ(afterChange, Block(Foreground(), 0, 0, 959, 39));

    // From 5 seconds down the countdown stands mid-screen instead.
    game->m_secondsLeft = 5;
    RenderPartial();
    EXPECT_EQ(Cyan(440, 10, 520, 39), 0);
    EXPECT_GT(Cyan(475, 350, 520, 390), 0);
    game->m_secondsLeft = 4;
    RenderPartial();
    const std::vector<uint32_t> four = Block(Foreground(), 475, 350, 959, 719);
    RenderWhole();
    EXPECT_EQ(four, Block(Foreground(), 475, 350, 959, 719));
}

TEST_F(HudTest, PauseHelpLiesOverTheHud)
{
    game->m_secondsLeft = 3;
    game->OnKeyDown(0x20);
    game->RenderFrame();
    EXPECT_GT(Cyan(425, 200, 500, 230), 0);              // Paused
    EXPECT_GT(Cyan(140, 300, 300, 330), 0);              // Player 1 Controls:
    EXPECT_GT(Cyan(120, 450, 700, 480), 0);              // the lever line
    EXPECT_GT(Cyan(365, 500, 500, 530), 0);              // Press q to quit
    EXPECT_GT(Cyan(35, 10, 100, 39), 0);                 // the HUD beneath
    EXPECT_GT(Cyan(475, 350, 500, 380), 0);              // and the countdown
}

TEST_F(HudTest, ResultScreenNamesTheWinnerOrADraw)
{
    first->SetDeaths(2);
    second->SetDeaths(2);
    game->m_secondsLeft = 0;
    game->Pass(15);
    game->RenderFrame();
    EXPECT_GT(Cyan(435, 350, 490, 380), 0);  // Draw
    EXPECT_EQ(Cyan(360, 350, 430, 380), 0);  // no "Winner"
    EXPECT_GT(Cyan(35, 10, 150, 39), 0);     // Deaths: 2
    EXPECT_GT(Cyan(790, 10, 920, 39), 0);
    EXPECT_GT(Cyan(310, 420, 600, 450), 0);  // Press Space to Continue

    second->SetWon(false);
    game->Redraw(true);
    game->RenderFrame();
    EXPECT_GT(Cyan(360, 350, 430, 380), 0);
}

TEST_F(GameTest, MenuScreensShowTheirTitlesAndBlackButtonLabels)
{
    game->RenderFrame();
    EXPECT_GT(CountInRect(Foreground(), 400, 200, 500, 230, kCyan), 0);
    EXPECT_GT(CountInRect(Foreground(), 300, 300, 600, 330, kCyan), 0);

    game->Click(0, 0);
    game->RenderFrame();
    const std::vector<uint32_t> title1 = Block(Foreground(), 420, 30, 540, 60);
    EXPECT_GT(CountInRect(Foreground(), 350, 70, 600, 100, kCyan), 0);
    EXPECT_GT(CountInRect(Foreground(), 55, 32, 129, 59, kBlack), 0);
    EXPECT_GT(CountInRect(Foreground(), 720, 640, 849, 679, kBlack), 0);

    game->Click(100, 150);
    game->Click(700, 630);
    game->RenderFrame();
    EXPECT_NE(title1, Block(Foreground(), 420, 30, 540, 60));
    EXPECT_GT(CountInRect(Foreground(), 350, 70, 600, 100, kCyan), 0);

    game->Click(100, 150);
    game->Click(700, 630);
    game->RenderFrame();
    EXPECT_EQ(CountInRect(Foreground(), 350, 70, 600, 89, kCyan), 0);
    EXPECT_GT(CountInRect(Foreground(), 420, 30, 540, 60, kCyan), 0);
    EXPECT_GT(CountInRect(Foreground(), 55, 32, 129, 59, kBlack), 0);
}
