// The moving platform and the main menu's score line.
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/Player.h"
#include "tests/objects/ArenaTest.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace
{
using PlatformAndTextTest = ArenaTest;

TEST_F(PlatformAndTextTest, PlatformCyclesBetweenItsHeights)
{
    auto* down = new MovingPlatform(&game, 100, 350, 350, 600);
    auto* up = new MovingPlatform(&game, 400, 350, 100, 350);
    Place({down, up});
    EXPECT_EQ(72, down->GetDrawWidth());
    Step();
    EXPECT_EQ(351, down->GetY());
    EXPECT_EQ(350, up->GetY()) << "created at its lowest: turns without moving";
    EXPECT_EQ(-1, up->GetStep());
    Step(249);
    EXPECT_EQ(600, down->GetY());
    Step();
    EXPECT_EQ(600, down->GetY());
    EXPECT_EQ(-1, down->GetStep());
    EXPECT_EQ(100, up->GetY());
    int highest = 1000, lowest = -1;
    for (int i = 0; i < 600; ++i)
    {
        Step();
        highest = std::min(highest, up->GetY());
        lowest = std::max(lowest, up->GetY());
    }
    EXPECT_EQ(100, highest);
    EXPECT_EQ(350, lowest);
}

TEST_F(PlatformAndTextTest, CharactersRideAndDropThroughPlatforms)
{
    auto* platform = new MovingPlatform(&game, 300, 400, 300, 400);
    auto* rider = new Player(&game, 310, 376, 1, 0);
    Place({platform, rider});
    for (int i = 0; i < 60; ++i)
    {
        Step();
        ASSERT_EQ(platform->GetY() - 24, rider->GetY()) << "frame " << i;
        ASSERT_TRUE(rider->IsOnThinPlatform());
    }

    game.Hold('s');
    Step(5);
    EXPECT_GT(rider->GetY(), platform->GetY());
}

TEST_F(PlatformAndTextTest, ScoreLineBouncesWithinTheWindow)
{
    auto* text = new MovingText(&game);
    Place({text});
    EXPECT_EQ(375, text->GetX());
    Step();
    EXPECT_EQ(376, text->GetX());
    EXPECT_EQ(351, text->GetY());
    EXPECT_STREQ("Scores: 0 - 0", text->GetText());
    int left = 1000, right = -1, top = 1000, bottom = -1;
    for (int i = 0; i < 3000; ++i)
    {
        Step();
        left = std::min(left, text->GetX());
        right = std::max(right, text->GetX());
        top = std::min(top, text->GetY());
        bottom = std::max(bottom, text->GetY());
    }
    EXPECT_EQ(0, left);
    EXPECT_EQ(760, right);
    EXPECT_EQ(0, top);
    EXPECT_EQ(680, bottom);
}

TEST_F(PlatformAndTextTest, ScoreLineShowsAndResetsScores)
{
    auto* text = new MovingText(&game);
    Place({text});
    game.SetScores(3, 12);
    Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());

    // The line is built before the key is read: the reset shows next time.
    game.Hold('r');
    Step();
    EXPECT_EQ(0, game.GetScore(1));
    EXPECT_EQ(0, game.GetScore(2));
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    Step();
    EXPECT_STREQ("Scores: 0 - 0", text->GetText());

    // Scores too wide for the line are cut off, never written past it.
    game.ReleaseKeys();
    game.SetScores(INT_MIN, INT_MAX);
    Step();
    const std::string full = "Scores: " + std::to_string(INT_MIN) + " - " + std::to_string(INT_MAX);
    EXPECT_EQ(static_cast<size_t>(MovingText::kTextSize - 1), std::strlen(text->GetText()));
    EXPECT_EQ(0u, full.rfind(text->GetText(), 0));

    // Drawn in cyan at its place.
    game.SetScores(1, 2);
    Step();
    SDL_Surface* screen = game.GetForeground();
    testing_support::FillSurface(screen, 0);
    text->Draw();
    int inside = 0;
    for (int y = text->GetY(); y < text->GetY() + 50; ++y)
        for (int x = text->GetX(); x < text->GetX() + 250; ++x)
            inside += testing_support::RgbAt(screen, x, y) == 0x00FFFF;
    EXPECT_GT(inside, 50);
    EXPECT_EQ(inside, testing_support::CountRgb(screen, 0x00FFFF));
}
} // namespace
