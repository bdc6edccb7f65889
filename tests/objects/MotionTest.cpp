// Motion against level tiles, other characters and the window's edges.
#include "tests/objects/ArenaTest.h"

namespace
{
using MotionTest = ArenaTest;

TEST_F(MotionTest, BricksStopOrBounceByArrivalSpeed)
{
    Floor();
    game.SetTile(10, kFloorRow - 1, 1); // a wall over x = 240 .. 263
    game.SetTile(10, kFloorRow - 3, 1); // a ceiling over y = 408 .. 431
    const struct
    {
        int x, y;
        float vx, vy;
        const char* after;
    } cases[] = {
        {216, kStandY, 6.0f, 0, "216,456 -3,0 *1"},    // fast from the left: back at half
        {216, kStandY, 1.0f, 0, "216,456 0,0 *1"},     // slow: stops dead
        {216, kStandY, 1.2f, 0, "216,456 -0.6,0 *1"},  // 1.2 as a float is over the threshold
        {264, kStandY, -0.5f, 0, "264,456 0.25,0 *1"}, // from the right any speed bounces
        {240, 432, 0, -4.0f, "240,432 0,2 *1"},        // a head bump
    };
    for (const auto& c : cases)
    {
        Character* body = Body(c.x, c.y, c.vx, c.vy);
        Place({body});
        body->Move();
        EXPECT_EQ(c.after, State(body)) << "arriving at " << c.vx << ", " << c.vy;
    }
}

TEST_F(MotionTest, ThinPlatformsCatchFromAboveAndLetTheFallKeyThrough)
{
    Floor();
    game.FillRow(15, 2, 8, 2);  // thin platform, top at y = 360
    game.FillRow(15, 9, 12, 1); // bricks next to it
    auto* jumper = new Player(&game, 100, kStandY, 1, 0);
    auto* straddling = new Player(&game, 200, 336, 2, 0); // over x = 200 .. 223
    Place({jumper, straddling});
    Step();
    game.Hold("w"); // up through it from the floor, then down onto it
    Step(8);
    game.ReleaseKeys();
    Step(40);
    EXPECT_EQ(336, jumper->GetY());
    EXPECT_TRUE(jumper->IsOnThinPlatform() && !jumper->IsOnSolidGround());
    ASSERT_TRUE(straddling->IsOnThinPlatform() && straddling->IsOnSolidGround());
    game.Hold("sk"); // a brick under part of it holds the player up
    Step(20);
    EXPECT_EQ(kStandY, jumper->GetY());
    EXPECT_EQ(336, straddling->GetY());
}

TEST_F(MotionTest, JumpBlockThrowsUpAndBlocksJumpsUntilLanding)
{
    Floor();
    game.SetTile(4, kFloorRow, 3); // jump block over x = 96 .. 119
    Character* body = Body(96, kStandY, 0, 1.0f);
    Place({body});
    body->Move();
    EXPECT_EQ("96,456 0,-25 *1", State(body));
    EXPECT_TRUE(body->IsLaunched());
    body->Jump();
    EXPECT_EQ(-25.0f, body->GetVelocityY()) << "no boost while launched";

    body->SetPosition(300, 400);
    body->SetVelocity(0, 5.0f);
    for (int i = 0; i < 20 && !body->IsOnGround(); ++i)
    {
        body->Draw();
        body->Move();
    }
    EXPECT_FALSE(body->IsLaunched()) << "landing on a brick ends the launch";
    body->Jump();
    EXPECT_EQ(-10.0f, body->GetVelocityY());
}

TEST_F(MotionTest, HitsFromEachSideRaiseDamageBeforeKnockback)
{
    Floor();
    const struct
    {
        int x, y;
        float vx, vy;
        int victimY;
        float victimVy;
        const char *hitterAfter, *victimAfter;
    } cases[] = {
        // Landing on an airborne head, at 10.
        {300, 275, 2.0f, 10.0f, 300, 0, "302,276 2,-5 *1", "300,300 2.2,11 *1.1"},
        // Running into the right side of an airborne one, at 16.
        {326, 300, -16.0f, 0, 300, 2.0f, "324,300 8,0 *1", "300,300 -18.56,2 *1.16"},
        // Rising into it from below, at 10.
        {300, 325, 1.0f, -10.0f, 300, 0, "301,324 1,5 *1", "300,300 1.1,-11 *1.1"},
        // A dash at 16 into a standing one, from either side: it is thrown up.
        {274, kStandY, 16.0f, 0, kStandY, 0, "276,456 -8,0 *1", "300,456 18.56,-18.56 *1.16"},
        {326, kStandY, -16.0f, 0, kStandY, 0, "324,456 8,0 *1", "300,456 -18.56,-18.56 *1.16"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "hitter from " << c.x << ", " << c.y);
        Character* victim = Body(300, c.victimY);
        Character* hitter = Body(c.x, c.y, c.vx, c.vy);
        Place({victim, hitter});
        victim->Move(); // finds out whether it stands
        victim->SetVelocity(0, c.victimVy);
        hitter->Move();
        EXPECT_EQ(c.hitterAfter, State(hitter));
        EXPECT_EQ(c.victimAfter, State(victim)) << "only the hitter is repositioned";
    }
}

TEST_F(MotionTest, PinnedAtTheSidesAndOutPastTheLimits)
{
    Character* body = Body(930, 300, 30.0f);
    Place({body});
    body->Move();
    EXPECT_EQ(959, body->GetX());
    EXPECT_TRUE(body->IsPastEdge());
    EXPECT_EQ(1, body->GetEdgeOvershoot());
    body->SetVelocity(-10.0f, 0); // back inward: it moves once the count is 0
    body->Move();
    EXPECT_FALSE(body->IsPastEdge());
    EXPECT_EQ(950, body->GetX());

    const struct
    {
        int x, y;
        float vx, vy;
        int limitX, limitY;
        float stepX, stepY; // one pixel more, out of the arena
    } cases[] = {
        {950, 300, 129.0f, 0, 959, 300, 1.0f, 0}, // 9 to the pin, 120 beyond it
        {5, 300, -172.0f, 0, -23, 300, -1.0f, 0}, // 28 to the pin, 144 beyond it
        {400, 830, 0, 10.0f, 400, 840, 0, 1.0f},
        {400, -140, 0, -4.0f, 400, -144, 0, -1.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "from " << c.x << ", " << c.y);
        Character* mover = Body(c.x, c.y, c.vx, c.vy);
        Place({mover});
        mover->Move();
        EXPECT_EQ(c.limitX, mover->GetX());
        EXPECT_EQ(c.limitY, mover->GetY());
        EXPECT_FALSE(mover->IsOutOfArena());
        mover->SetVelocity(c.stepX, c.stepY);
        mover->Move();
        EXPECT_TRUE(mover->IsOutOfArena());
    }
}

// A scripted fight on the first level, frame by frame as the game runs it.
TEST_F(MotionTest, DashRingOutAndRespawnOnLevelOne)
{
    game.LoadLevelFile(0);
    const int startX2 = game.GetPlayer2StartX();
    const int startY2 = game.GetPlayer2StartY();
    auto* one = new Player(&game, game.GetPlayer1StartX(), game.GetPlayer1StartY(), 1, 0);
    auto* two = new Player(&game, startX2, startY2, 2, 3);
    Place({one, two});
    ASSERT_LT(one->GetX(), two->GetX()) << "the script has player 1 on the left";
    Step(40); // both drop onto the level and settle
    ASSERT_TRUE(one->IsOnGround() && two->IsOnGround());
    const int groundY = two->GetY();
    const int groundX1 = one->GetX();

    // Both run at each other; player 1 dashes once the gap is small.
    game.Hold("dj");
    StepUntil(120, [&] { return two->GetX() - one->GetX() <= 60; });
    EXPECT_GT(one->GetX(), groundX1);
    EXPECT_LT(two->GetX(), startX2);
    ASSERT_LE(two->GetX() - one->GetX(), 60) << "the players never closed in";
    game.Hold("c");
    Step();
    game.ReleaseKeys();
    EXPECT_LT(one->GetAttackCharge(), 0.5f) << "the dash used the charge";
    StepUntil(10, [&] { return two->GetDamage() > 1.0f; });
    EXPECT_GE(two->GetDamage(), 1.15f) << "a dash at 15 or more adds 0.15";
    EXPECT_GT(two->GetVelocityX(), 10.0f) << "knocked away to the right";

    // Carried (and running) off the right side until it is out.
    game.Hold("l");
    StepUntil(600, [&] { return two->GetDeaths() > 0; });
    ASSERT_EQ(1, two->GetDeaths()) << "player 2 never left the arena";
    EXPECT_EQ(0, one->GetDeaths());
    EXPECT_EQ(startX2, two->GetX());
    EXPECT_EQ(startY2, two->GetY());
    EXPECT_EQ(1.0f, two->GetDamage());
    game.ReleaseKeys();
    Step(60);
    EXPECT_EQ(startX2, two->GetX());
    EXPECT_EQ(groundY, two->GetY()) << "back on the level where it started";
}
} // namespace
