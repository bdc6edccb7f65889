// Characters and players: jumps, running, limits, respawn, drawing, dash
// charge and lever pulls.
#include "tests/objects/ArenaTest.h"

namespace
{
// Two players standing on the floor, settled by one frame.
class CharacterTest : public ArenaTest
{
protected:
    void SetUp() override
    {
        ArenaTest::SetUp();
        Floor();
        Place({one, two});
        Step();
    }

    Player* one = new Player(&game, 100, kStandY, 1, 2);
    Player* two = new Player(&game, 400, kStandY, 2, 2);
};

TEST_F(CharacterTest, JumpHeightsFromTapAndHold)
{
    int top = kStandY; // the highest point reached
    const auto track = [&] {
        top = std::min(top, one->GetY());
        return false;
    };
    game.Hold("w");
    Step();
    game.ReleaseKeys();
    StepUntil(40, track);
    EXPECT_EQ(kStandY - 55, top);
    EXPECT_EQ(kStandY, one->GetY());
    game.Hold("w");
    StepUntil(18, track);
    EXPECT_EQ(kStandY - 125, top);
}

TEST_F(CharacterTest, EachPlayerRunsOnItsOwnKeysAndFacesAsTurned)
{
    EXPECT_EQ(&one->GetRightImage(), one->GetCurrentImage());
    EXPECT_EQ(&two->GetLeftImage(), two->GetCurrentImage());
    // Both run right, one pushing 1.0 a frame, less 0.8 of ground friction.
    game.Hold("dl");
    Step(25);
    EXPECT_NEAR(5.0f, one->GetVelocityX(), 1e-4);
    Step();
    EXPECT_NEAR(5.2f, one->GetVelocityX(), 1e-4) << "6.0 on the 26th frame";
    EXPECT_EQ(one->GetVelocityX(), two->GetVelocityX());

    // In the air a quarter of that; at top speed it still turns to face.
    Character flyer(&game, 400, 100, 0);
    flyer.Accelerate(-1.0f);
    EXPECT_EQ(-0.25f, flyer.GetVelocityX());
    flyer.SetVelocity(6.0f, 0);
    flyer.Accelerate(1.0f);
    EXPECT_EQ(6.0f, flyer.GetVelocityX());
    EXPECT_EQ(&flyer.GetRightImage(), flyer.GetCurrentImage());
}

TEST_F(CharacterTest, DashNeedsAFullChargeAndADirectionAndRecharges)
{
    one->SetPosition(400, 200);
    game.Hold("c");
    one->Attack();
    EXPECT_EQ(0.0f, one->GetVelocityX()) << "no direction: nothing";
    EXPECT_EQ(1.0f, one->GetAttackCharge());
    game.Hold("ds"); // diagonal: both impulses
    one->Attack();
    EXPECT_EQ("400,200 10,10 *1", State(one));
    EXPECT_EQ(0.0f, one->GetAttackCharge());
    one->Attack();
    EXPECT_EQ(10.0f, one->GetVelocityX()) << "empty: nothing";

    // 101 frames of recharge make it full again.
    game.ReleaseKeys();
    int frames = 0;
    for (; frames < 150 && one->GetAttackCharge() < 1.0f; ++frames)
        Step();
    EXPECT_EQ(101, frames);
}

TEST_F(CharacterTest, LeverPullFlipsDayOnlyOnALeverAndIsUsedUpEitherWay)
{
    const bool day = game.IsDaytime();
    game.SetTile(4, 19, 4); // the cell of ((100 + 10) / 24, (456 + 10) / 24)
    one->PullLever();
    one->PullLever(); // clicks before one update count once
    Step();
    EXPECT_NE(day, game.IsDaytime());
    EXPECT_FALSE(one->HasLeverRequest());

    // Levers where a reference cell outside the grid would wrongly be read.
    game.SetTile(4, 19, 0);
    game.SetTile(4, 0, 4);
    game.SetTile(38, 18, 4);
    const int places[][2] = {{100, kStandY}, {100, -60}, {-60, kStandY}};
    for (const auto& place : places) // an empty cell, above the grid, beside it
    {
        one->SetPosition(place[0], place[1]);
        one->PullLever();
        Step();
        EXPECT_NE(day, game.IsDaytime()) << place[0] << "," << place[1];
        EXPECT_FALSE(one->HasLeverRequest());
    }
}

TEST_F(CharacterTest, LimitsOfFastFallAndDamageAndRespawn)
{
    one->SetVelocity(0, 30.0f);
    one->FastFall();
    EXPECT_EQ(32.0f, one->GetVelocityY());
    one->SetVelocity(0, 30.5f);
    one->FastFall();
    EXPECT_EQ(30.5f, one->GetVelocityY());
    one->SetDamage(4.95f);
    one->AddDamage(0.1f);
    EXPECT_EQ(5.0f, one->GetDamage());

    // Out of the arena: back at its start, reset, with a death counted.
    one->SetAttackCharge(0.2f);
    one->SetPosition(200, 830);
    one->SetVelocity(0, 15.0f);
    Step(2);
    EXPECT_EQ(1, one->GetDeaths());
    EXPECT_FALSE(one->IsOutOfArena());
    EXPECT_EQ("100,456 0,0 *1", State(one));
    EXPECT_GE(one->GetAttackCharge(), 1.0f);
    one->SetWon(true); // once the round is decided it stays out, uncounted
    one->SetPosition(200, 900);
    Step(3);
    EXPECT_TRUE(one->IsOutOfArena());
    EXPECT_EQ(1, one->GetDeaths());
}

TEST_F(CharacterTest, DrawsItsSpriteUnlessPinnedOrWithoutOne)
{
    Character* shown = Body(100, 100);
    Character* pinned = Body(950, 100, 20.0f);
    Character* bare = Body(300, 100, 0, 0, 99);
    auto* barePlayer = new Player(&game, 400, 100, 1, -1);
    Place({shown, pinned, bare, barePlayer});
    bare->Accelerate(1.0f);
    barePlayer->Accelerate(-1.0f);
    EXPECT_EQ(nullptr, bare->GetCurrentImage()) << "still sprite-less when turned";
    EXPECT_EQ(nullptr, barePlayer->GetCurrentImage());
    pinned->Move();
    ASSERT_TRUE(pinned->IsPastEdge());
    SDL_Surface* screen = game.GetForeground();
    testing_support::FillSurface(screen, 0x12345678);
    game.DrawObjects();
    EXPECT_EQ(960 * 720 - 24 * 24, testing_support::CountRgb(screen, 0x345678));
    EXPECT_EQ(shown->GetLeftImage().GetPixel(5, 5), testing_support::PixelAt(screen, 105, 105));
}
} // namespace
