// The game objects in arenas of a test's own, one table per rule family:
// contacts with tiles and with each other, jumps and boosts, edges and
// ring-outs; then levers, the enemies and the main menu's score line.
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>

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
    // A bare character, which moves only when the test calls Move.
    Character* Body(int x, int y, float vx = 0, float vy = 0)
    {
        auto* body = new Character(&game, x, y, 0);
        body->SetPosition(x, y);
        body->SetVelocity(vx, vy);
        return body;
    }
    // A character's place, speed and damage multiplier, as "x,y vx,vy *d".
    static std::string State(const Character* c)
    {
        char text[96];
        std::snprintf(text, sizeof text, "%d,%d %g,%g *%g", c->GetX(), c->GetY(), double{c->GetVelocityX()},
                      double{c->GetVelocityY()}, double{c->GetDamage()});
        return text;
    }

    GameDriver game;
};

TEST_F(Arena, ContactsWithBricksAndCharactersFromEverySide)
{
    game.SetTiles(10, 10, 19, kBrickTile);   // a wall over x = 240 .. 263
    game.SetTiles(10, 10, 17, kBrickTile);   // a ceiling over y = 408 .. 431
    game.SetTiles(4, 4, 20, kJumpBlockTile); // over x = 96 .. 119
    const struct
    {
        float x, y, vx, vy;
        const char* after;
        float victimY = 0, victimVx = 0, victimVy = 0; // a victim at x = 300 when victimY > 0
        const char* victimAfter = "";
    } cases[] = {
        {216, kStandY, 6, 0, "216,456 -3,0 *1"},       // fast into a wall: back at half
        {216, kStandY, 1, 0, "216,456 0,0 *1"},        // slow: stops dead
        {216, kStandY, 1.2f, 0, "216,456 -0.6,0 *1"},  // 1.2 as a float is over the threshold
        {264, kStandY, -0.5f, 0, "264,456 0.25,0 *1"}, // from the right any speed bounces
        {240, 432, 0, -4, "240,432 0,2 *1"},           // a head bump
        {96, kStandY, 0, 1, "96,456 0,-25 *1"},        // a jump block throws
        // Hits: damage (speed / 100) goes in before the knockback.
        {300, 275, 2, 10, "302,276 2,-5 *1", 300, 0, 0, "300,300 2.2,11 *1.1"},
        {326, 300, -16, 0, "324,300 8,0 *1", 300, 0, 2, "300,300 -18.56,2 *1.16"},
        {300, 325, 1, -10, "301,324 1,5 *1", 300, 0, 0, "300,300 1.1,-11 *1.1"},
        // A dash into a standing one, from either side, throws it up.
        {274, kStandY, 16, 0, "276,456 -8,0 *1", kStandY, 0, 0, "300,456 18.56,-18.56 *1.16"},
        {326, kStandY, -16, 0, "324,456 8,0 *1", kStandY, 0, 0, "300,456 -18.56,-18.56 *1.16"},
        {324, kStandY, -1, 0, "324,456 0.5,0 *1", kStandY, -2, 0, "300,456 -3,-1 *1"}, // slower: no damage
    };
    for (const auto& c : cases)
    {
        Character* hitter = Body(static_cast<int>(c.x), static_cast<int>(c.y), c.vx, c.vy);
        Character* victim = c.victimY > 0 ? Body(300, static_cast<int>(c.victimY)) : nullptr;
        victim ? game.Place({victim, hitter}) : game.Place({hitter});
        if (victim)
            victim->Move(), victim->SetVelocity(c.victimVx, c.victimVy); // finds out whether it stands
        hitter->Move();
        EXPECT_EQ(c.after, State(hitter)) << "from " << c.x << "," << c.y << " at " << c.vx << "," << c.vy;
        EXPECT_EQ(c.victimAfter, victim ? State(victim) : "") << "only the hitter is moved back";
    }
}

TEST_F(Arena, JumpsBoostWhileHeldButNotWhileThrownOrFalling)
{
    game.SetTiles(2, 8, 15, kThinPlatformTile); // top at y = 360
    auto* one = new Player(&game, 300, kStandY, 1, 2);
    auto* two = new Player(&game, 100, kStandY, 2, 2);
    game.Place({one, two});
    const struct
    {
        const char* keys;
        int frames, highest, landed;
    } jumps[] = {{"w", 1, kStandY - 55, kStandY},
                 {"w", 18, kStandY - 125, kStandY}, // a tap, eight boosts
                 {"i", 10, kStandY - 125, 336},
                 {"k", 1, 336, kStandY}}; // onto a platform, through it
    for (const auto& jump : jumps)
    {
        Player* player = jump.keys[0] == 'w' ? one : two;
        int highest = player->GetY();
        game.HoldKeys(jump.keys);
        for (int frame = 0; frame < 60; ++frame, highest = std::min(highest, player->GetY()))
            frame == jump.frames ? game.ReleaseAllKeys() : game.Step();
        EXPECT_EQ(jump.highest, highest) << jump.keys << " for " << jump.frames;
        EXPECT_EQ(jump.landed, player->GetY()) << jump.keys << " for " << jump.frames;
    }
    Character* thrown = Body(96, 0, 0, -25);
    thrown->Jump();
    EXPECT_EQ(-10.0f, thrown->GetVelocityY());
    game.Place({thrown}), game.SetTiles(4, 4, 20, kJumpBlockTile);
    thrown->SetPosition(96, kStandY), thrown->SetVelocity(0, 1), thrown->Move(), thrown->Jump();
    EXPECT_EQ(-25.0f, thrown->GetVelocityY()) << "no boost while thrown";
    Character falling(&game, 0, 0, 0);
    falling.SetVelocity(0, 0.5f), falling.Jump();
    EXPECT_EQ(0.5f, falling.GetVelocityY()) << "no boost while falling";
}

TEST_F(Arena, PinnedAtTheSidesOutPastTheLimitsAndRespawnedWithADeath)
{
    const int cases[][8] = {// from x, y at speed x, y; held at x, y with an overshoot; out one pixel on
                            {930, 300, 30, 0, 959, 300, 1, 0},
                            {950, 300, 129, 0, 959, 300, 120, 1}, // 9 to the pin, 120 on
                            {5, 300, -172, 0, -23, 300, -144, 1},
                            {400, 830, 0, 10, 400, 840, 0, 1}, // 120 below the window
                            {400, -140, 0, -4, 400, -144, 0, 1}};
    for (const auto& c : cases)
    {
        Character* mover = Body(c[0], c[1], static_cast<float>(c[2]), static_cast<float>(c[3]));
        game.Place({mover});
        mover->Move();
        EXPECT_EQ((std::array<int, 4>{c[4], c[5], c[6], 0}),
                  (std::array<int, 4>{mover->GetX(), mover->GetY(), mover->GetEdgeOvershoot(),
                                      mover->IsOutOfArena()}));
        mover->SetVelocity(static_cast<float>((c[2] > 0) - (c[2] < 0)),
                           static_cast<float>((c[3] > 0) - (c[3] < 0)));
        mover->Move();
        EXPECT_EQ(c[7], mover->IsOutOfArena()) << c[0] << "," << c[1];
    }
    Character* back = Body(930, 300, 30);
    game.Place({back}), back->Move();
    back->SetVelocity(-10, 0), back->Move(); // back inward: it moves once the count is 0
    EXPECT_EQ("950,300 -10,0 *1", State(back));

    // Out: back at its start, reset, a death counted; not once decided.
    auto* one = new Player(&game, 100, kStandY, 1, 0);
    game.Place({one});
    one->SetAttackCharge(0.2f), one->SetDamage(3), one->SetPosition(200, 830), one->SetVelocity(0, 15),
        game.Step(2);
    EXPECT_EQ("100,456 0,0 *1 deaths 1", State(one) + " deaths " + std::to_string(one->GetDeaths()));
    EXPECT_GE(one->GetAttackCharge(), 1.0f);
    one->SetWon(true), one->SetPosition(200, 900), game.Step(3);
    EXPECT_TRUE(one->IsOutOfArena() && one->GetDeaths() == 1);

    // After the round a sole winner keeps jumping; after a draw nobody does.
    auto* winner = new Player(&game, 100, kStandY, 1, 0);
    auto* drawn = new Player(&game, 300, kStandY, 2, 0);
    game.Place({winner, drawn}), game.Step();
    winner->SetWon(true), drawn->SetWon(true), drawn->SetLost(true), game.Step(3);
    EXPECT_TRUE(winner->GetY() < kStandY && drawn->GetY() == kStandY);
}

TEST_F(Arena, ARisingPlatformCarriesARiderRunningAcrossAllThreeSegments)
{
    auto* platform = new MovingPlatform(&game, 400, 350, 100, 350); // at its lowest, about to rise
    auto* rider = new Player(&game, 400, 326, 1, 0);
    game.Place({platform, rider});
    game.HoldKeys("d");
    for (int frame = 0; frame < 30; ++frame)
    {
        game.Step();
        ASSERT_EQ(rider->GetY(), platform->GetY() - 24) << "frame " << frame << " at x " << rider->GetX();
        if (rider->GetX() > 448) // on the third segment: stop there
            game.ReleaseAllKeys();
    }
    EXPECT_GT(rider->GetX(), 448);
}

TEST_F(Arena, ALeverPullUsesTheCellUnderThePointTenPixelsIn)
{
    auto* one = new Player(&game, 100, kStandY, 1, 0);
    game.Place({one});
    // The lever at (4, 19) spans x 96 .. 119 and y 456 .. 479; the other two
    // are where a point outside the grid would wrongly read.
    for (const auto& [column, row] : {std::pair(4, 19), std::pair(4, 0), std::pair(38, 18)})
        game.SetTiles(column, column, row, kLeverTile);
    const int pulls[][3] = {{86, kStandY, 1}, {85, kStandY, 1}, {109, kStandY, 0}, {110, kStandY, 0},
                            {100, 446, 1},    {100, 445, 1},    {100, -60, 1},     {-60, kStandY, 1}};
    for (const auto& [x, y, day] : pulls)
    {
        one->SetPosition(x, y), one->PullLever(), one->PullLever(),
            game.Step(); // two clicks before an update count once
        EXPECT_EQ(day, game.IsDaytime()) << x << "," << y;
        EXPECT_FALSE(one->HasLeverRequest()) << "used up either way";
    }
}

TEST_F(Arena, EnemiesPatrolAndHuntAndShrinkOnceOut)
{
    auto* target = new Player(&game, 400, kStandY, 1, 0);
    auto* walker = new NPC(&game, 860, kStandY, kWalkerKind);
    auto* flyer = new FlyingNPC(&game, 100, 300, 1, kFlyerKind);
    game.Place({target, walker, flyer});
    flyer->SteerTowardsTarget();
    EXPECT_EQ("100,300 0.2,0.2 *1", State(flyer)) << "a fifth a frame towards its player";
    game.Step(8);
    EXPECT_EQ(-1, walker->GetDirection()) << "it turns within 48 pixels of a side";
    EXPECT_EQ(&flyer->GetRightImage(), flyer->GetCurrentImage());
    walker->SetPosition(400, 900), flyer->SetPosition(400, 900), game.Step(2);
    EXPECT_EQ(0, walker->GetDrawWidth() + walker->GetDrawHeight() + flyer->GetDrawWidth() +
                     flyer->GetDrawHeight());
}

TEST_F(Arena, TheScoreLineShowsTheScoresResetsThemOnRAndIsCutAtItsEnd)
{
    auto* text = new MovingText(&game);
    game.Place({text});
    // It turns back on the frame it reaches the right or the bottom limit.
    for (int frame = 0; frame < 400; ++frame)
    {
        const int x = text->GetX(), y = text->GetY();
        game.Step();
        ASSERT_TRUE(x != 760 || text->GetX() == 759) << frame;
        ASSERT_TRUE(y != 680 || text->GetY() == 679) << frame;
    }
    game.SetScores(3, 12), game.Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    // The line is built before the key is read: the reset shows next time.
    game.HoldKeys("r"), game.Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    game.Step();
    EXPECT_STREQ("Scores: 0 - 0", text->GetText());
    game.ReleaseAllKeys(), game.SetScores(INT_MIN, INT_MAX), game.Step();
    const std::string full = "Scores: " + std::to_string(INT_MIN) + " - " + std::to_string(INT_MAX);
    EXPECT_EQ(full.substr(0, MovingText::kTextSize - 1), text->GetText()) << "cut, never overrun";
}
} // namespace
