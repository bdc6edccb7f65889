// The walking and flying enemies, the moving platform and the main menu's
// score line.
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "tests/objects/ArenaTest.h"

#include <climits>
#include <cstring>
#include <string>

namespace
{
using MovingObjectsTest = ArenaTest;

TEST_F(MovingObjectsTest, WalkerPatrolsBetweenTheTurningPoints)
{
    Floor();
    auto* walker = new NPC(&game, 100, kStandY, 6);
    Place({walker});
    int turns = 0;
    for (int frame = 0; frame < 1200; ++frame)
    {
        const int x = walker->GetX();
        const int direction = walker->GetDirection();
        Step();
        // Turns start past a turning point, overrun by about 20 pixels.
        EXPECT_TRUE(walker->GetDirection() >= direction || x >= 864) << x;
        EXPECT_TRUE(walker->GetDirection() <= direction || x <= 48) << x;
        EXPECT_TRUE(walker->GetX() > 48 - 30 && walker->GetX() < 864 + 30) << walker->GetX();
        turns += walker->GetDirection() != direction;
    }
    EXPECT_GE(turns, 4);
}

TEST_F(MovingObjectsTest, FlyerSwingsThroughItsTargetAndDriftsWithoutOne)
{
    game.FillRow(13, 16, 17, 1); // a ledge under the target, top at y = 312
    auto* target = new Player(&game, 400, 288, 1, 0);
    auto* flyer = new FlyingNPC(&game, 100, 288, 1, 7);
    auto* lost = new FlyingNPC(&game, 300, 500, 2, 7); // no player 2 here
    Place({target, flyer, lost});
    lost->SetVelocity(1.5f, -0.5f);
    StepUntil(200, [&] {
        EXPECT_EQ(0.0f, flyer->GetVelocityY()) << "level with its target: no vertical steering";
        return target->GetDamage() > 1.0f;
    });
    ASSERT_GT(target->GetDamage(), 1.0f) << "the flyer never reached its target";
    EXPECT_EQ(&flyer->GetRightImage(), flyer->GetCurrentImage());
    EXPECT_LT(flyer->GetVelocityX(), 0.0f) << "bounced back";
    EXPECT_LT(target->GetVelocityY(), 0.0f) << "a grounded target is thrown up";
    StepUntil(100, [&] { return flyer->GetVelocityX() > 0.0f; });
    EXPECT_GT(flyer->GetVelocityX(), 0.0f) << "steering brings it round again";
    EXPECT_EQ(1.5f, lost->GetVelocityX());
    EXPECT_EQ(-0.5f, lost->GetVelocityY()) << "no steering and no gravity";
}

TEST_F(MovingObjectsTest, PlatformCyclesAndCarriesItsRider)
{
    // Created at its lowest, it turns without moving, rises 250 and turns.
    auto* platform = new MovingPlatform(&game, 400, 350, 100, 350);
    auto* rider = new Player(&game, 410, 326, 1, 0);
    Place({platform, rider});
    for (int frame = 1; frame <= 251; ++frame)
    {
        Step();
        ASSERT_EQ(351 - frame, platform->GetY()) << "frame " << frame;
        ASSERT_EQ(platform->GetY() - 24, rider->GetY()) << "frame " << frame;
        ASSERT_TRUE(rider->IsOnThinPlatform()) << "frame " << frame;
    }
    EXPECT_EQ(-1, platform->GetStep());
    Step();
    EXPECT_EQ(100, platform->GetY());
    EXPECT_EQ(1, platform->GetStep());
    game.Hold("s");
    Step(5);
    EXPECT_GT(rider->GetY(), platform->GetY()) << "the fall key drops through it";
}

TEST_F(MovingObjectsTest, ScoreLineBouncesShowsAndResetsScores)
{
    auto* text = new MovingText(&game);
    Place({text});
    game.SetScores(3, 12);
    Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    SDL_Rect seen = {1000, 1000, -1, -1}; // smallest x and y, largest x and y
    for (int i = 0; i < 3000; ++i)
    {
        Step();
        seen = {std::min(seen.x, text->GetX()), std::min(seen.y, text->GetY()),
                std::max(seen.w, text->GetX()), std::max(seen.h, text->GetY())};
    }
    EXPECT_EQ(0, seen.x);
    EXPECT_EQ(0, seen.y);
    EXPECT_EQ(760, seen.w);
    EXPECT_EQ(680, seen.h);

    // The line is built before the key is read: the reset shows next time.
    game.Hold("r");
    Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    Step();
    EXPECT_STREQ("Scores: 0 - 0", text->GetText());
    game.SetScores(1, 2);
    Step();
    EXPECT_EQ(0, game.GetScore(1)) << "reset on every update while r is held";
    EXPECT_EQ(0, game.GetScore(2));

    game.ReleaseKeys();
    game.SetScores(INT_MIN, INT_MAX);
    Step();
    const std::string full = "Scores: " + std::to_string(INT_MIN) + " - " + std::to_string(INT_MAX);
    EXPECT_EQ(static_cast<size_t>(MovingText::kTextSize - 1), std::strlen(text->GetText()));
    EXPECT_EQ(0u, full.rfind(text->GetText(), 0)) << "cut off, never written past the line";
}
} // namespace
