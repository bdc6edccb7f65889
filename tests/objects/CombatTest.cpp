// Character against character: damage goes in before knockback, the hitter
// bounces back at half speed.
#include "objects/Character.h"
#include "objects/Player.h"
#include "tests/objects/ArenaTest.h"

namespace
{
using CombatTest = ArenaTest;

TEST_F(CombatTest, LandingOnAnAirborneHead)
{
    Character* victim = Body(300, 300);
    Character* lander = Body(300, 275, 2.0f, 10.0f);
    Place({victim, lander});
    lander->Move();
    EXPECT_FLOAT_EQ(1.1f, victim->GetDamage());
    EXPECT_FLOAT_EQ(11.0f, victim->GetVelocityY());
    EXPECT_FLOAT_EQ(2.2f, victim->GetVelocityX());
    EXPECT_EQ(-5.0f, lander->GetVelocityY());
    EXPECT_EQ(276, lander->GetY());
    EXPECT_EQ(300, victim->GetY()) << "only the hitter is repositioned";
    EXPECT_TRUE(lander->IsOnSolidGround()) << "a head is solid ground";
}

TEST_F(CombatTest, DashIntoAStandingCharacter)
{
    Floor();
    Character* victim = Body(300, kStandY);
    auto* dasher = new Player(&game, 274, kStandY, 1, 0);
    Place({victim, dasher});
    victim->Move();
    dasher->Move();
    ASSERT_TRUE(victim->IsOnGround());
    ASSERT_TRUE(dasher->IsOnGround());

    // Running at 6.0 after friction, the dash takes it to 16.0.
    dasher->SetVelocity(6.0f, 0);
    game.Hold('d');
    game.Hold('c');
    dasher->Update(0);
    EXPECT_FLOAT_EQ(1.16f, victim->GetDamage());
    EXPECT_FLOAT_EQ(-18.56f, victim->GetVelocityY());
    EXPECT_FLOAT_EQ(18.56f, victim->GetVelocityX());
    EXPECT_FLOAT_EQ(-8.0f + 0.8f, dasher->GetVelocityX()) << "bounce, then ground friction";
    EXPECT_EQ(276, dasher->GetX());
    EXPECT_FLOAT_EQ(0.01f, dasher->GetAttackCharge()) << "emptied, then one recharge";
}

TEST_F(CombatTest, RightSideAndUndersideHits)
{
    // Running left into its right side at 16 while it is airborne.
    Character* victim = Body(300, 300, 0, 2.0f);
    Character* runner = Body(326, 300, -16.0f, 0);
    Place({victim, runner});
    runner->Move();
    EXPECT_FLOAT_EQ(1.16f, victim->GetDamage());
    EXPECT_FLOAT_EQ(-18.56f, victim->GetVelocityX());
    EXPECT_FLOAT_EQ(2.0f, victim->GetVelocityY()) << "airborne: pushed by the runner's vy of 0";
    EXPECT_EQ(8.0f, runner->GetVelocityX());
    EXPECT_EQ(324, runner->GetX());

    // A hit from below at -10 adds 0.1 and throws it up.
    Character* above = Body(500, 300);
    Character* riser = Body(500, 325, 1.0f, -10.0f);
    Place({above, riser});
    riser->Move();
    EXPECT_FLOAT_EQ(1.1f, above->GetDamage());
    EXPECT_FLOAT_EQ(-11.0f, above->GetVelocityY());
    EXPECT_FLOAT_EQ(1.1f, above->GetVelocityX());
    EXPECT_EQ(5.0f, riser->GetVelocityY());
    EXPECT_EQ(324, riser->GetY());
}
} // namespace
