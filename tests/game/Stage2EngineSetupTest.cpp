#include "tests/game/GameTestSupport.h"

#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"

#include <string>
#include <unistd.h>

using game_testing::GameTest;
using testing_support::WriteFile;

namespace
{
// Two images with the same pixels.
bool SamePixels(const PixelImage& a, const PixelImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return false;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            if (a.GetPixel(x, y) != b.GetPixel(x, y))
                return false;
    return true;
}
} // namespace

TEST_F(GameTest, StartsWithTheScoreLineAloneAndMenuImagesAtTheirSizes)
{
    EXPECT_NE(dynamic_cast<MovingText*>(game->GetDisplayableObject(0)), nullptr);
    EXPECT_EQ(game->GetDisplayableObject(1), nullptr);
    EXPECT_EQ(game->m_state, MainMenu);
    EXPECT_EQ(game->m_highlight, -1);
    EXPECT_FALSE(game->m_daytime);
    EXPECT_EQ(game->GetSunColour(), Stage2Engine::kSunStart);
    for (int i = 0; i < Stage2Engine::kCharacterCount; ++i)
    {
        EXPECT_EQ(game->GetPortrait(i).GetWidth(), 150);
        EXPECT_EQ(game->GetPortrait(i).GetHeight(), 150);
    }
    for (int i = 0; i < Stage2Engine::kLevelCount; ++i)
    {
        EXPECT_EQ(game->GetThumbnail(i).GetWidth(), 300);
        EXPECT_EQ(game->GetThumbnail(i).GetHeight(), 225);
    }

    // Entering character selection leaves no objects at all.
    game->Click(0, 0);
    EXPECT_EQ(game->GetDisplayableObject(0), nullptr);
}

TEST_F(GameTest, FourthLevelHasPlatformsPlayersAndEnemiesInOrder)
{
    game->ClickIntoRound(3, 5, 2);
    const auto at = [this](int index) { return game->GetDisplayableObject(index); };

    const int platforms[][3] = {{144, 100, 350}, {444, 350, 600}, {744, 100, 350}};
    for (int i = 0; i < 3; ++i)
    {
        const auto* platform = dynamic_cast<MovingPlatform*>(at(i));
        ASSERT_NE(platform, nullptr) << i;
        EXPECT_EQ(platform->GetX(), platforms[i][0]);
        EXPECT_EQ(platform->GetY(), 350);
        EXPECT_EQ(platform->GetMinY(), platforms[i][1]);
        EXPECT_EQ(platform->GetMaxY(), platforms[i][2]);
    }
    const auto* first = dynamic_cast<Player*>(at(3));
    const auto* second = dynamic_cast<Player*>(at(4));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetPlayerNumber(), 1);
    EXPECT_EQ(second->GetPlayerNumber(), 2);
    EXPECT_EQ(game->m_player1, at(3));
    EXPECT_EQ(game->m_player2, at(4));

    const auto* walker = dynamic_cast<NPC*>(at(5));
    ASSERT_NE(walker, nullptr);
    EXPECT_EQ(walker->GetX(), 100);
    EXPECT_EQ(walker->GetY(), 600);
    const auto* flyer1 = dynamic_cast<FlyingNPC*>(at(6));
    const auto* flyer2 = dynamic_cast<FlyingNPC*>(at(7));
    ASSERT_TRUE(flyer1 && flyer2);
    EXPECT_EQ(flyer1->GetTargetPlayer(), 1);
    EXPECT_EQ(flyer2->GetTargetPlayer(), 2);
    EXPECT_EQ(flyer1->GetX(), 120);
    EXPECT_EQ(flyer2->GetX(), 840);
    EXPECT_EQ(flyer2->GetY(), 48);
    EXPECT_EQ(at(8), nullptr);
}

TEST_F(GameTest, OtherLevelsHaveTheTwoChosenPlayersAtTheFileStartPositions)
{
    // A level file of its own, beside the real sprites.
    const std::string dir = testing_support::MakeTempDir();
    ASSERT_EQ(mkdir((dir + "/Resources").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir + "/Resources/maps").c_str(), 0755), 0);
    ASSERT_EQ(symlink((testing_support::SourceDir() + "/Resources/sprites").c_str(),
                      (dir + "/Resources/sprites").c_str()),
              0);
    std::string level;
    for (int row = 0; row < 30; ++row)
        level += std::string(40, '0') + "\n";
    WriteFile(dir + "/Resources/maps/level2.txt", level + "48 624 888 600 ");
    {
        testing_support::WorkingDirectory inTemp(dir);
        game->ClickIntoRound(1, 4, 0);
    }

    const auto* first = dynamic_cast<Player*>(game->GetDisplayableObject(0));
    const auto* second = dynamic_cast<Player*>(game->GetDisplayableObject(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(game->GetDisplayableObject(2), nullptr);
    EXPECT_EQ(first->GetX(), 48);
    EXPECT_EQ(first->GetY(), 624);
    EXPECT_EQ(second->GetX(), 888);
    EXPECT_EQ(second->GetY(), 600);
    EXPECT_EQ(first->GetPlayerNumber(), 1);
    EXPECT_EQ(second->GetPlayerNumber(), 2);

    // Each wears the sprites of the character chosen for it.
    const Character quintar(game.get(), 0, 0, 4);
    const Character kesto(game.get(), 0, 0, 0);
    ASSERT_FALSE(SamePixels(quintar.GetRightImage(), kesto.GetRightImage()));
    EXPECT_TRUE(SamePixels(first->GetRightImage(), quintar.GetRightImage()));
    EXPECT_TRUE(SamePixels(second->GetRightImage(), kesto.GetRightImage()));
}

TEST_F(GameTest, ReturningToTheMenuReplacesTheRoundWithANewScoreLine)
{
    game->ClickIntoRound(3, 0, 0, 500);
    game->m_secondsLeft = 0;
    game->Pass(500);
    ASSERT_EQ(game->m_state, RoundOver);
    game->OnKeyDown(0x20);

    auto* line = dynamic_cast<MovingText*>(game->GetDisplayableObject(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(game->GetDisplayableObject(1), nullptr);
    game->Pass(515);
    EXPECT_STREQ(line->GetText(), "Scores: 1 - 1");
}
