// The walking and flying enemies.
#include "objects/FlyingNPC.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/objects/ArenaTest.h"

#include <algorithm>

namespace
{
using EnemyTest = ArenaTest;

TEST_F(EnemyTest, WalkerPatrolsBetweenTheTurningPoints)
{
    Floor();
    auto* walker = new NPC(&game, 100, kStandY, 6);
    Place({walker});
    int turnsLeft = 0;
    int turnsRight = 0;
    int lowest = walker->GetX();
    int highest = walker->GetX();
    for (int frame = 0; frame < 1200; ++frame)
    {
        const int x = walker->GetX();
        const int direction = walker->GetDirection();
        Step();
        if (walker->GetDirection() != direction)
        {
            // Its turns start from past a turning point.
            if (walker->GetDirection() < 0)
                EXPECT_GE(x, 864) << "frame " << frame;
            else
                EXPECT_LE(x, 48) << "frame " << frame;
            (walker->GetDirection() < 0 ? turnsLeft : turnsRight) += 1;
        }
        lowest = std::min(lowest, walker->GetX());
        highest = std::max(highest, walker->GetX());
    }
    EXPECT_GE(turnsLeft, 2);
    EXPECT_GE(turnsRight, 2);
    // It overruns each point by its braking distance, about 20 pixels.
    EXPECT_GT(lowest, 48 - 30);
    EXPECT_LT(highest, 864 + 30);
    EXPECT_EQ(kStandY, walker->GetY());
}

TEST_F(EnemyTest, FlyerChasesItsTargetAndBouncesOffIt)
{
    game.FillRow(13, 16, 17, 1); // a ledge under the target, top at y = 312
    auto* target = new Player(&game, 400, 288, 1, 0);
    auto* decoy = new Player(&game, 40, 100, 2, 0);
    auto* flyer = new FlyingNPC(&game, 100, 288, 1, 7);
    Place({target, decoy, flyer});

    int frame = 0;
    for (; frame < 200 && target->GetDamage() == 1.0f; ++frame)
    {
        Step();
        if (target->GetDamage() == 1.0f)
        {
            EXPECT_GT(flyer->GetVelocityX(), 0.0f);
            EXPECT_EQ(0.0f, flyer->GetVelocityY()) << "level with its target: no vertical steering";
        }
    }
    ASSERT_GT(target->GetDamage(), 1.0f) << "the flyer never reached its target";
    EXPECT_EQ(&flyer->GetRightImage(), flyer->GetCurrentImage());
    EXPECT_LT(flyer->GetVelocityX(), 0.0f) << "bounced back at half speed";
    EXPECT_LT(target->GetVelocityY(), 0.0f) << "a grounded target is thrown up";

    // Steering brings it round again towards the target.
    for (int i = 0; i < 100 && flyer->GetVelocityX() < 0.0f; ++i)
        Step();
    EXPECT_GT(flyer->GetVelocityX(), 0.0f);
}

TEST_F(EnemyTest, FlyerWithoutItsTargetDriftsAtItsSpeed)
{
    auto* other = new Player(&game, 40, 100, 2, 0);
    auto* flyer = new FlyingNPC(&game, 300, 300, 1, 7);
    Place({other, flyer});
    flyer->SetVelocity(1.5f, -0.5f);
    Step(10);
    EXPECT_EQ(1.5f, flyer->GetVelocityX());
    EXPECT_EQ(-0.5f, flyer->GetVelocityY()) << "no gravity";
    EXPECT_EQ(320, flyer->GetX());
    EXPECT_EQ(290, flyer->GetY());
}

TEST_F(EnemyTest, EnemiesOutOfTheArenaShrinkAndStopSteering)
{
    auto* walker = new NPC(&game, 900, 300, 6);
    auto* target = new Player(&game, 40, 100, 1, 0);
    auto* flyer = new FlyingNPC(&game, 300, 830, 1, 7);
    Place({walker, target, flyer});
    walker->SetVelocity(200.0f, 0);
    flyer->SetVelocity(0, 20.0f);
    Step(2);
    ASSERT_TRUE(walker->IsOutOfArena());
    ASSERT_TRUE(flyer->IsOutOfArena());
    const float flyerSpeed = flyer->GetVelocityX();
    const int direction = walker->GetDirection();
    walker->SetPosition(10, 300); // far inside a turning point
    Step(3);
    EXPECT_EQ(0, walker->GetDrawWidth());
    EXPECT_EQ(0, walker->GetDrawHeight());
    EXPECT_EQ(0, flyer->GetDrawWidth());
    EXPECT_EQ(flyerSpeed, flyer->GetVelocityX());
    EXPECT_EQ(direction, walker->GetDirection()) << "no more walking";
    EXPECT_EQ(0, target->GetDeaths()) << "enemies count no deaths";
}
} // namespace
