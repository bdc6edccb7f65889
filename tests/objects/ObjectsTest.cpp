// The game objects in arenas of a test's own: contacts with tiles and with
// each other (the hit rule), what the players do after a round, a lift's
// rider, the enemies once out, and the main menu's score line. Jumps, edges,
// ring-outs, levers and the enemies' moves are left to the seeded soak,
// which plays them all the time and whose record shows any change.
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
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
        SCOPED_TRACE(testing::Message() << "from " << c.x << "," << c.y << " at " << c.vx << "," << c.vy);
        if (c.victimY == 0)
        {
            game.Place({hitter});
            hitter->Move();
            EXPECT_EQ(c.after, State(hitter));
            continue;
        }
        Character* victim = Body(300, static_cast<int>(c.victimY));
        game.Place({victim, hitter});
        victim->Move(); // finds out whether it stands
        victim->SetVelocity(c.victimVx, c.victimVy);
        hitter->Move();
        EXPECT_EQ(c.after, State(hitter)) << "the hitter";
        EXPECT_EQ(c.victimAfter, State(victim)) << "the victim, not moved back";
    }
}

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

TEST_F(Arena, TheScoreLineShowsTheScoresResetsThemOnRAndIsCutAtItsEnd)
{
    auto* text = new MovingText(&game);
    game.Place({text});
    // It turns back on the frame it reaches the right or the bottom limit.
    for (int frame = 0; frame < 400; ++frame)
    {
        const int x = text->GetX();
        const int y = text->GetY();
        game.Step();
        if (x == 760)
        {
            ASSERT_EQ(text->GetX(), 759) << "at the right limit in frame " << frame;
        }
        if (y == 680)
        {
            ASSERT_EQ(text->GetY(), 679) << "at the bottom limit in frame " << frame;
        }
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
} // namespace
