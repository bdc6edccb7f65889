// Jumps, running, charge, damage, respawn and drawing of characters.
#include "objects/Character.h"
#include "objects/Player.h"
#include "tests/objects/ArenaTest.h"

#include <algorithm>

namespace
{
using testing_support::PixelAt;

class CharacterTest : public ArenaTest
{
protected:
    // A player standing on the floor, settled by one frame.
    Player* StandingPlayer(int x = 100)
    {
        Floor();
        auto* player = new Player(&game, x, kStandY, 1, 0);
        Place({player});
        Step();
        return player;
    }

    // The highest point (smallest y) reached in the given frames.
    int Peak(const Player* player, int frames)
    {
        int top = player->GetY();
        for (int i = 0; i < frames; ++i)
        {
            Step();
            top = std::min(top, player->GetY());
        }
        return top;
    }
};

TEST_F(CharacterTest, JumpHeightsFromTapAndHold)
{
    Player* player = StandingPlayer();
    game.Hold('w');
    Step();
    game.Hold('w', false);
    EXPECT_EQ(kStandY - 55, Peak(player, 40));
    EXPECT_EQ(kStandY, player->GetY());

    game.Hold('w');
    EXPECT_EQ(kStandY - 125, Peak(player, 17));
}

TEST_F(CharacterTest, GroundRunReachesTopSpeedOnTheTwentySixthFrame)
{
    Player* player = StandingPlayer(50);
    game.Hold('d');
    // What Update leaves is the speed of its motion less 0.8 of friction.
    Step(25);
    EXPECT_NEAR(5.0f, player->GetVelocityX(), 1e-4);
    Step();
    EXPECT_NEAR(5.2f, player->GetVelocityX(), 1e-4);
    Step(20);
    EXPECT_LE(player->GetVelocityX() + 0.8f, 7.0f + 1e-4) << "at most one step over 6.0";

    // Air control is a quarter of that on the ground.
    Character* flyer = Body(400, 100);
    Place({flyer});
    flyer->Accelerate(-1.0f);
    EXPECT_EQ(-0.25f, flyer->GetVelocityX());
}

TEST_F(CharacterTest, FastFallAndDamageLimits)
{
    Character* c = Body(0, 0, 0, 30.0f);
    Place({c});
    c->FastFall();
    EXPECT_EQ(32.0f, c->GetVelocityY());
    c->SetVelocity(0, 30.5f);
    c->FastFall();
    EXPECT_EQ(30.5f, c->GetVelocityY());

    c->SetDamage(4.95f);
    c->AddDamage(0.1f);
    EXPECT_EQ(5.0f, c->GetDamage());
}

TEST_F(CharacterTest, RespawnResetsAndCountsUnlessTheRoundIsDecided)
{
    auto* player = new Player(&game, 200, 300, 1, 0);
    Place({player});
    player->SetDamage(3.0f);
    player->SetAttackCharge(0.2f);
    player->SetVelocity(0, 15.0f);
    player->SetPosition(200, 830);
    for (int i = 0; i < 3 && player->GetDeaths() == 0; ++i)
        Step();
    EXPECT_EQ(1, player->GetDeaths());
    EXPECT_FALSE(player->IsOutOfArena());
    EXPECT_EQ(1.0f, player->GetDamage());
    EXPECT_GE(player->GetAttackCharge(), 1.0f);
    EXPECT_EQ(200, player->GetX());
    EXPECT_LT(player->GetY(), 330) << "back at its start, falling from there";

    // Out of the arena once the round is decided: stays out, not counted.
    player->SetWon(true);
    player->SetLost(true);
    player->SetPosition(200, 900);
    Step(3);
    EXPECT_TRUE(player->IsOutOfArena());
    EXPECT_EQ(1, player->GetDeaths());
}

TEST_F(CharacterTest, DrawsItsSpriteUnlessPinnedOrWithoutOne)
{
    SDL_Surface* screen = game.GetForeground();
    testing_support::FillSurface(screen, 0x12345678);
    Character* shown = Body(100, 100);
    Character* pinned = Body(950, 100, 20.0f);
    auto* bare = new Character(&game, 300, 100, 99);
    bare->SetPosition(300, 100);
    auto* barePlayer = new Player(&game, 400, 100, 1, -1);
    Place({shown, pinned, bare, barePlayer});

    ASSERT_NE(nullptr, shown->GetCurrentImage());
    EXPECT_EQ(&shown->GetLeftImage(), shown->GetCurrentImage());
    EXPECT_EQ(shown->GetCurrentImage()->GetPixel(0, 0), PixelAt(screen, 100, 100));
    EXPECT_EQ(shown->GetCurrentImage()->GetPixel(23, 23), PixelAt(screen, 123, 123));

    // Sprite-less characters stay sprite-less, even when turned.
    bare->Accelerate(1.0f);
    barePlayer->Accelerate(-1.0f);
    EXPECT_EQ(nullptr, bare->GetCurrentImage());
    EXPECT_EQ(nullptr, barePlayer->GetCurrentImage());

    pinned->Move();
    ASSERT_TRUE(pinned->IsPastEdge());
    testing_support::FillSurface(screen, 0x12345678);
    game.DrawObjects();
    EXPECT_EQ(950, pinned->GetLastDrawnX()) << "the last drawn place is kept while pinned";
    const int untouched = testing_support::CountRgb(screen, 0x345678);
    EXPECT_EQ(960 * 720 - 24 * 24, untouched) << "only the unpinned sprite is drawn";
}
} // namespace
