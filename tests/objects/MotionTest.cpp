// Motion against level tiles, friction and gravity, and the window's edges.
#include "objects/Character.h"
#include "objects/Player.h"
#include "tests/objects/ArenaTest.h"

namespace
{
using MotionTest = ArenaTest;

TEST_F(MotionTest, RestingFallingAndFriction)
{
    game.FillRow(kFloorRow, 0, 9, 1); // bricks up to x = 239
    Character* body = Body(200, kStandY, 1.0f);
    Place({body});
    Frame(body);
    Frame(body);
    EXPECT_EQ(kStandY, body->GetY());
    EXPECT_TRUE(body->IsOnGround() && body->IsOnSolidGround());
    EXPECT_EQ(0.0f, body->GetVelocityX()) << "0.8 a frame on the ground, never past 0";

    // Off the end: airborne after that frame, then 1.0 more fall per frame.
    body->SetPosition(240, kStandY);
    body->SetVelocity(1.0f, 0);
    Frame(body);
    EXPECT_FALSE(body->IsOnGround());
    EXPECT_EQ(1.0f, body->GetVelocityY());
    EXPECT_FLOAT_EQ(0.8f, body->GetVelocityX()) << "0.2 a frame in the air";
    body->SetVelocity(0, 14.5f);
    Frame(body);
    EXPECT_EQ(15.0f, body->GetVelocityY()) << "capped at 15";
    body->SetVelocity(0, 20.0f);
    Frame(body);
    EXPECT_EQ(19.5f, body->GetVelocityY()) << "a fast fall eases back by 0.5";
}

TEST_F(MotionTest, WallsStopOrBounceByArrivalSpeed)
{
    Floor();
    game.SetTile(10, kFloorRow - 1, 1); // a wall block over x = 240 .. 263
    struct Case
    {
        int startX;
        float speed;
        float after;
    };
    const Case cases[] = {
        {216, 6.0f, -3.0f},  // fast from the left: back at half speed
        {216, 1.0f, 0.0f},   // slow from the left: stops dead
        {216, 1.2f, -0.6f},  // 1.2 in single precision is above the threshold
        {264, -0.5f, 0.25f}, // from the right any speed bounces
    };
    for (const Case& c : cases)
    {
        Character* body = Body(c.startX, kStandY, c.speed);
        Place({body});
        body->Move();
        EXPECT_EQ(c.after, body->GetVelocityX()) << "arriving at " << c.speed;
        EXPECT_EQ(c.startX, body->GetX()) << "arriving at " << c.speed;
    }

    // A head bump under a brick sends it back down at half the rising speed.
    game.SetTile(10, kFloorRow - 3, 1); // ceiling at y = 408 .. 431
    Character* body = Body(240, 432, 0, -4.0f);
    Place({body});
    body->Move();
    EXPECT_EQ(2.0f, body->GetVelocityY());
    EXPECT_EQ(432, body->GetY());
}

TEST_F(MotionTest, ThinPlatformCatchesOnlyFromAbove)
{
    Floor();
    game.FillRow(15, 2, 8, 2); // thin platform with its top at y = 360
    auto* player = new Player(&game, 100, kStandY, 1, 0);
    Place({player});
    Step();

    // Up through it, then down onto it.
    game.Hold('w');
    Step(8);
    game.Hold('w', false);
    Step(9); // the top of a 125-pixel jump
    EXPECT_EQ(kStandY - 125, player->GetY());
    Step(30);
    EXPECT_EQ(336, player->GetY());
    EXPECT_TRUE(player->IsOnThinPlatform());
    EXPECT_FALSE(player->IsOnSolidGround());
}

TEST_F(MotionTest, JumpBlockThrowsUpAndBlocksJumpsUntilLanding)
{
    Floor();
    game.SetTile(4, kFloorRow, 3); // jump block over x = 96 .. 119
    Character* body = Body(96, kStandY, 0, 1.0f);
    Place({body});
    body->Move();
    EXPECT_EQ(-25.0f, body->GetVelocityY());
    EXPECT_EQ(kStandY, body->GetY());
    EXPECT_TRUE(body->IsLaunched());
    EXPECT_FALSE(body->IsOnGround());
    body->Jump();
    EXPECT_EQ(-25.0f, body->GetVelocityY()) << "no boost while launched";

    // Landing on a brick ends the launch.
    body->SetPosition(300, 400);
    body->SetVelocity(0, 5.0f);
    for (int i = 0; i < 20 && !body->IsOnGround(); ++i)
        Frame(body);
    EXPECT_FALSE(body->IsLaunched());
    body->Jump();
    EXPECT_EQ(-10.0f, body->GetVelocityY());
}

TEST_F(MotionTest, PinnedPastSideEdgesAndOutOfArena)
{
    Character* body = Body(930, 300, 30.0f);
    Place({body});
    body->Move();
    EXPECT_EQ(959, body->GetX());
    EXPECT_TRUE(body->IsPastEdge());
    EXPECT_EQ(1, body->GetEdgeOvershoot());

    // Back inward before the limit: it reappears once the count is 0.
    body->SetVelocity(-10.0f, 0);
    body->Move();
    EXPECT_FALSE(body->IsPastEdge());
    EXPECT_EQ(950, body->GetX());

    body->SetVelocity(129.0f, 0); // 9 to the pin, 120 beyond it
    body->Move();
    EXPECT_EQ(120, body->GetEdgeOvershoot());
    EXPECT_FALSE(body->IsOutOfArena());
    body->SetVelocity(1.0f, 0);
    body->Move();
    EXPECT_TRUE(body->IsOutOfArena());

    // Left: pinned at -23, out below -144; down: out past y = 840; up: -144.
    struct Case
    {
        int x, y;
        float vx, vy;
        int limitX, limitY;
        float stepX, stepY; // one more pixel outward
    };
    const Case cases[] = {{5, 300, -172.0f, 0, -23, 300, -1.0f, 0},
                          {400, 830, 0, 10.0f, 400, 840, 0, 1.0f},
                          {400, -140, 0, -4.0f, 400, -144, 0, -1.0f}};
    for (const Case& c : cases)
    {
        Character* mover = Body(c.x, c.y, c.vx, c.vy);
        Place({mover});
        mover->Move();
        EXPECT_EQ(c.limitX, mover->GetX());
        EXPECT_EQ(c.limitY, mover->GetY());
        EXPECT_FALSE(mover->IsOutOfArena()) << "at the limit";
        mover->SetVelocity(c.stepX, c.stepY);
        mover->Move();
        EXPECT_TRUE(mover->IsOutOfArena()) << "one pixel past it";
    }
}
} // namespace
