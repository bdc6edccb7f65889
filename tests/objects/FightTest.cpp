// A scripted fight on the first real level, frame by frame as the game runs
// it: both players close in, one dashes into the other, the other is rung out
// and comes back at its start.
#include "objects/Player.h"
#include "tests/objects/ArenaTest.h"

namespace
{
class FightTest : public ArenaTest
{
protected:
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            game.UpdateObjects(game.GetFrameTick());
            game.RenderFrame();
        }
    }
};

TEST_F(FightTest, DashRingOutAndRespawnOnLevelOne)
{
    game.LoadLevelFile(0);
    const int startX2 = game.GetPlayer2StartX();
    const int startY2 = game.GetPlayer2StartY();
    auto* one = new Player(&game, game.GetPlayer1StartX(), game.GetPlayer1StartY(), 1, 0);
    auto* two = new Player(&game, startX2, startY2, 2, 3);
    Place({one, two});
    ASSERT_LT(one->GetX(), two->GetX()) << "the script has player 1 on the left";

    // Both drop onto the level and settle.
    Frames(40);
    ASSERT_TRUE(one->IsOnGround() && two->IsOnGround());
    const int groundY = two->GetY();

    // Both run at each other; player 1 dashes once the gap is small.
    game.Hold('d');
    game.Hold('j');
    for (int i = 0; i < 120 && two->GetX() - one->GetX() > 60; ++i)
        Frames(1);
    ASSERT_LE(two->GetX() - one->GetX(), 60) << "the players never closed in";
    const float damageBefore = two->GetDamage();
    game.Hold('c');
    Frames(1);
    game.ReleaseKeys();
    EXPECT_LT(one->GetAttackCharge(), 0.5f) << "the dash used the charge";
    for (int i = 0; i < 10 && two->GetDamage() == damageBefore; ++i)
        Frames(1);
    EXPECT_GE(two->GetDamage(), damageBefore + 0.15f) << "a dash at 15 or more adds 0.15";
    EXPECT_GT(two->GetVelocityX(), 10.0f) << "knocked away to the right";

    // Player 2 is carried (and runs) off the right side until it is out.
    game.Hold('l');
    for (int i = 0; i < 600 && two->GetDeaths() == 0; ++i)
        Frames(1);
    ASSERT_EQ(1, two->GetDeaths()) << "player 2 never left the arena";
    EXPECT_EQ(0, one->GetDeaths());
    EXPECT_EQ(startX2, two->GetX());
    EXPECT_EQ(startY2, two->GetY());
    EXPECT_EQ(1.0f, two->GetDamage());
    EXPECT_FALSE(two->IsPastEdge());

    // Back on the level where it started.
    game.ReleaseKeys();
    Frames(60);
    EXPECT_EQ(startX2, two->GetX());
    EXPECT_EQ(groundY, two->GetY());
    EXPECT_TRUE(two->IsOnGround());
}
} // namespace
