// The player's keys, dash, lever pull and the round-over behaviour.
#include "objects/Player.h"
#include "tests/objects/ArenaTest.h"

namespace
{
class PlayerTest : public ArenaTest
{
protected:
    // Players standing on the floor, settled by one frame.
    void Stand(std::initializer_list<DisplayableObject*> players)
    {
        Floor();
        Place(players);
        Step();
    }
};

TEST_F(PlayerTest, EachPlayerAnswersOnlyItsOwnKeys)
{
    auto* one = new Player(&game, 100, kStandY, 1, 2);
    auto* two = new Player(&game, 400, kStandY, 2, 2);
    auto* other = new Player(&game, 700, kStandY, 3, 2);
    EXPECT_EQ(&one->GetRightImage(), one->GetCurrentImage());
    EXPECT_EQ(&two->GetLeftImage(), two->GetCurrentImage());
    Stand({one, two, other});

    game.Hold('d');
    game.Hold('j');
    Step();
    EXPECT_EQ(1.0f - 0.8f, one->GetVelocityX());
    EXPECT_EQ(-1.0f + 0.8f, two->GetVelocityX());
    EXPECT_EQ(0.0f, other->GetVelocityX());

    // Both directions at once: the additions cancel, facing ends right.
    game.ReleaseKeys();
    game.Hold('j');
    game.Hold('l');
    Step(3);
    EXPECT_EQ(0.0f, two->GetVelocityX());
    EXPECT_EQ(&two->GetRightImage(), two->GetCurrentImage());
}

TEST_F(PlayerTest, DashNeedsAFullChargeAndADirection)
{
    auto* player = new Player(&game, 400, 200, 1, 0);
    Place({player});

    game.Hold('c'); // alone: nothing, and the charge stays
    player->Attack();
    EXPECT_EQ(0.0f, player->GetVelocityX());
    EXPECT_EQ(1.0f, player->GetAttackCharge());

    game.Hold('d');
    game.Hold('s'); // diagonal: both impulses
    player->Attack();
    EXPECT_EQ(10.0f, player->GetVelocityX());
    EXPECT_EQ(10.0f, player->GetVelocityY());
    EXPECT_EQ(0.0f, player->GetAttackCharge());

    player->Attack(); // empty: nothing
    EXPECT_EQ(10.0f, player->GetVelocityX());

    // Held attack and direction dash again as soon as the charge is full.
    player->SetAttackCharge(1.0f);
    game.ReleaseKeys();
    game.Hold('a');
    game.Hold('c');
    game.Hold('w');
    Step();
    ASSERT_LT(player->GetAttackCharge(), 0.5f);
    int frames = 1;
    for (; frames < 150; ++frames)
    {
        player->SetPosition(400, 200); // keep it in the arena
        const float charge = player->GetAttackCharge();
        Step();
        if (player->GetAttackCharge() < charge)
            break;
    }
    EXPECT_EQ(101, frames);
}

TEST_F(PlayerTest, FallKeyDropsThroughThinPlatformsOnly)
{
    Floor();
    game.FillRow(15, 2, 8, 2);  // thin platform, top at y = 360
    game.FillRow(15, 9, 12, 1); // bricks next to it
    auto* onThin = new Player(&game, 100, 336, 1, 0);
    auto* straddling = new Player(&game, 200, 336, 2, 0); // over x = 200 .. 223
    Place({onThin, straddling});
    Step();
    ASSERT_TRUE(onThin->IsOnThinPlatform());
    ASSERT_TRUE(straddling->IsOnThinPlatform() && straddling->IsOnSolidGround());

    game.Hold('s');
    game.Hold('k');
    Step(20);
    EXPECT_EQ(kStandY, onThin->GetY());
    EXPECT_EQ(336, straddling->GetY());
}

TEST_F(PlayerTest, LeverPullFlipsDayOnlyOnALever)
{
    Floor();
    auto* player = new Player(&game, 100, kStandY, 1, 0);
    Place({player});
    game.SetTile(4, 19, 4); // the reference cell ((100 + 10) / 24, (456 + 10) / 24)
    const bool day = game.IsDaytime();

    player->PullLever();
    player->PullLever(); // clicks before one update count once
    Step();
    EXPECT_NE(day, game.IsDaytime());
    EXPECT_FALSE(player->HasLeverRequest());

    game.SetTile(4, 19, 0);
    player->PullLever();
    Step();
    EXPECT_NE(day, game.IsDaytime());
    EXPECT_FALSE(player->HasLeverRequest()) << "a pull off a lever is used up";

    // Above the level the reference cell is outside the grid.
    game.SetTile(4, 0, 4);
    player->SetPosition(100, -60);
    player->PullLever();
    Step();
    EXPECT_NE(day, game.IsDaytime());
    EXPECT_FALSE(player->HasLeverRequest());
}

TEST_F(PlayerTest, AfterTheRoundOnlyTheSoleWinnerJumps)
{
    auto* winner = new Player(&game, 100, kStandY, 1, 0);
    auto* loser = new Player(&game, 400, kStandY, 2, 0);
    Stand({winner, loser});
    game.Hold('d');
    game.Hold('i');

    // A draw: neither jumps nor answers keys, and pulls are not consumed.
    winner->SetWon(true);
    winner->SetLost(true);
    loser->SetWon(true);
    loser->SetLost(true);
    winner->PullLever();
    Step(5);
    EXPECT_EQ(kStandY, winner->GetY());
    EXPECT_EQ(kStandY, loser->GetY());
    EXPECT_EQ(0.0f, winner->GetVelocityX());
    EXPECT_TRUE(winner->HasLeverRequest());

    loser->SetWon(false);
    winner->SetLost(false);
    Step();
    EXPECT_LT(winner->GetY(), kStandY);
    EXPECT_EQ(0.0f, winner->GetVelocityX()) << "no control, only jumping";
    EXPECT_EQ(kStandY, loser->GetY());
}
} // namespace
