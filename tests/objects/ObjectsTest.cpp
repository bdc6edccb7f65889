// The game objects in arenas of a test's own, for the rules the seeded soak
// seldom or never meets: what the players do after a round, a lift's rider,
// the enemies once out, the main menu's score line, and a blow at a victim
// running away from it. Contacts and hits,
// jumps, edges, ring-outs, levers and the enemies' moves are played by the
// soak all the time, and its record shows any change in them.
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

using namespace GameData;

namespace
{
// A headless game with an empty level but for a brick floor on row 20, its
// top at y = 480: a character stands on it at y = 456.
class Arena : public ::testing::Test
{
protected:
    static constexpr int kStandY = 456;

    void SetUp() override
    {
        ASSERT_TRUE(game.Started());
        game.ClearLevel();
        game.SetTiles(0, 39, 20, kBrickTile);
    }
    GameDriver game;
};

TEST_F(Arena, AfterTheRoundASoleWinnerKeepsJumpingAndADrawKeepsBothDown)
{
    auto* winner = new Player(&game, 100, kStandY, 1, 0);
    auto* drawn = new Player(&game, 300, kStandY, 2, 0);
    game.Place({winner, drawn});
    game.Step();
    winner->SetWon(true);
    drawn->SetWon(true);
    drawn->SetLost(true);
    game.Step(3);
    EXPECT_LT(winner->GetY(), kStandY) << "the sole winner jumps";
    EXPECT_EQ(drawn->GetY(), kStandY) << "a player who drew stays down";
}

TEST_F(Arena, ARisingPlatformCarriesARiderRunningAcrossAllThreeSegments)
{
    auto* platform = new MovingPlatform(&game, 400, 350, 100, 350); // at its lowest, about to rise
    auto* rider = new Player(&game, 400, 326, 2, 0);
    game.Place({platform, rider});
    game.HoldKeys("l"); // player 2's right, as the controls give it
    for (int frame = 0; frame < 30; ++frame)
    {
        game.Step();
        ASSERT_EQ(rider->GetY(), platform->GetY() - 24) << "frame " << frame << " at x " << rider->GetX();
        if (rider->GetX() > 448) // on the third segment: stop there
            game.ReleaseAllKeys();
    }
    EXPECT_GT(rider->GetX(), 448);
}

TEST_F(Arena, EnemiesShrinkToNothingOnceOutOfTheArena)
{
    auto* walker = new NPC(&game, 400, 900, kWalkerKind);
    auto* flyer = new FlyingNPC(&game, 400, 900, 1, kFlyerKind);
    game.Place({walker, flyer});
    game.Step(2);
    EXPECT_EQ(walker->GetDrawWidth(), 0) << "the walker's width";
    EXPECT_EQ(walker->GetDrawHeight(), 0);
    EXPECT_EQ(flyer->GetDrawWidth(), 0) << "the flyer's width";
    EXPECT_EQ(flyer->GetDrawHeight(), 0);
}

TEST_F(Arena, TheScoreLineTurnsAtAllFourEdgesShowsTheScoresResetsThemOnRAndIsCutAtItsEnd)
{
    auto* text = new MovingText(&game);
    game.Place({text});
    // Over a whole crossing each way: it turns on the frame it reaches the
    // right or the bottom limit, and stays a frame at the left or the top.
    std::vector<int> xs;
    std::vector<int> ys;
    for (int frame = 0; frame < 1600; ++frame)
    {
        game.Step();
        xs.push_back(text->GetX());
        ys.push_back(text->GetY());
    }
    struct Edge
    {
        const char* name;
        const std::vector<int>& places;
        int limit;
        int framesThere;
    };
    const Edge edges[] = {
        {"left", xs, 0, 2}, {"right", xs, 760, 1}, {"top", ys, 0, 2}, {"bottom", ys, 680, 1}};
    for (const Edge& edge : edges)
    {
        const auto [lowest, highest] = std::minmax_element(edge.places.begin(), edge.places.end());
        EXPECT_EQ(edge.limit == 0 ? *lowest : *highest, edge.limit) << "the furthest place, " << edge.name;
        int longest = 0;
        int run = 0;
        for (const int place : edge.places)
        {
            run = place == edge.limit ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        EXPECT_EQ(longest, edge.framesThere) << "the frames spent at the " << edge.name << " limit";
    }
    game.SetScores(3, 12);
    game.Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    // The line is built before the key is read: the reset shows next time.
    game.HoldKeys("r");
    game.Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    game.Step();
    EXPECT_STREQ("Scores: 0 - 0", text->GetText());
    game.ReleaseAllKeys();
    game.SetScores(INT_MIN, INT_MAX);
    game.Step();
    const std::string full = "Scores: " + std::to_string(INT_MIN) + " - " + std::to_string(INT_MAX);
    EXPECT_EQ(full.substr(0, MovingText::kTextSize - 1), text->GetText()) << "cut, never overrun";
}

// Damage goes only to a blow faster than the victim in its own direction,
// whichever way the blow goes; the soak's hits are nearly all head-on, so a
// victim running away from a blow is tested here.
TEST_F(Arena, ABlowDamagesOnlyWhenFasterThanTheVictimInItsDirection)
{
    auto* victim = new Player(&game, 400, 200, 1, 0);
    game.Place({victim});
    victim->SetVelocity(-8.0f, 0.0f);
    victim->TakeHit(Hit{HitFrom::Right, -5.0f, 0.0f});
    EXPECT_FLOAT_EQ(victim->GetDamage(), 1.0f) << "running left faster than a blow to the left";
    victim->SetVelocity(-8.0f, 0.0f);
    victim->TakeHit(Hit{HitFrom::Right, -10.0f, 0.0f});
    EXPECT_FLOAT_EQ(victim->GetDamage(), 1.1f) << "a blow to the left faster than the victim";
    victim->SetVelocity(8.0f, 0.0f);
    victim->TakeHit(Hit{HitFrom::Left, 5.0f, 0.0f});
    EXPECT_FLOAT_EQ(victim->GetDamage(), 1.1f) << "running right faster than a blow to the right";
}
} // namespace
