// The game objects in arenas of a test's own: contacts with tiles and with
// each other, jumps and boosts, running and dashing, edges and ring-outs,
// levers, the enemies, the moving platform and the main menu's score line.
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>

using namespace GameData;

namespace
{
// A headless game with an empty level; a brick floor on row 20 has its top
// at y = 480, so a character stands on it at y = 456.
class Arena : public ::testing::Test
{
protected:
    static constexpr int kFloorRow = 20;
    static constexpr int kStandY = 456;

    void SetUp() override
    {
        ASSERT_TRUE(game.Started());
        game.ClearLevel();
    }
    void Floor() { game.SetTiles(0, 39, kFloorRow, kBrickTile); }
    // A bare character, which moves only when the test calls Move.
    Character* Body(int x, int y, float vx = 0, float vy = 0, CharacterKind kind = 0)
    {
        auto* body = new Character(&game, x, y, kind);
        body->SetPosition(x, y);
        body->SetVelocity(vx, vy);
        return body;
    }
    // Frames until done() holds, at most the given number.
    template <typename Done> void StepUntil(int frames, Done done)
    {
        for (int i = 0; i < frames && !done(); ++i)
            game.Step();
    }
    // A character's place, speed and damage multiplier, as "x,y vx,vy *d".
    static std::string State(const Character* c)
    {
        char text[96];
        std::snprintf(text, sizeof text, "%d,%d %g,%g *%g", c->GetX(), c->GetY(),
                      static_cast<double>(c->GetVelocityX()), static_cast<double>(c->GetVelocityY()),
                      static_cast<double>(c->GetDamage()));
        return text;
    }

    GameDriver game;
};

TEST_F(Arena, ContactsWithBricksAndCharactersFromEverySide)
{
    Floor();
    game.SetTiles(10, 10, kFloorRow - 1, kBrickTile); // a wall over x = 240 .. 263
    game.SetTiles(10, 10, kFloorRow - 3, kBrickTile); // a ceiling over y = 408 .. 431
    const struct
    {
        int x, y;
        float vx, vy;
        const char* after;
        int victimY = -1; // a victim standing or flying at x = 300
        float victimVy = 0;
        const char* victimAfter = "";
    } cases[] = {
        {216, kStandY, 6.0f, 0, "216,456 -3,0 *1"},    // fast into a wall: back at half
        {216, kStandY, 1.0f, 0, "216,456 0,0 *1"},     // slow: stops dead
        {216, kStandY, 1.2f, 0, "216,456 -0.6,0 *1"},  // 1.2 as a float is over the threshold
        {264, kStandY, -0.5f, 0, "264,456 0.25,0 *1"}, // from the right any speed bounces
        {240, 432, 0, -4.0f, "240,432 0,2 *1"},        // a head bump
        // Hits: damage (speed / 100) goes in before the knockback.
        {300, 275, 2.0f, 10.0f, "302,276 2,-5 *1", 300, 0, "300,300 2.2,11 *1.1"},
        {326, 300, -16.0f, 0, "324,300 8,0 *1", 300, 2.0f, "300,300 -18.56,2 *1.16"},
        {300, 325, 1.0f, -10.0f, "301,324 1,5 *1", 300, 0, "300,300 1.1,-11 *1.1"},
        // A dash into a standing one, from either side, throws it up.
        {274, kStandY, 16.0f, 0, "276,456 -8,0 *1", kStandY, 0, "300,456 18.56,-18.56 *1.16"},
        {326, kStandY, -16.0f, 0, "324,456 8,0 *1", kStandY, 0, "300,456 -18.56,-18.56 *1.16"},
        // Only a faster hitter does damage.
        {324, kStandY, -1.0f, 0, "324,456 0.5,0 *1", kStandY, 0, "300,456 -3,-1 *1"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "from " << c.x << "," << c.y << " at " << c.vx << "," << c.vy);
        Character* hitter = Body(c.x, c.y, c.vx, c.vy);
        Character* victim = c.victimY < 0 ? nullptr : Body(300, c.victimY);
        if (!victim)
            game.Place({hitter});
        else
        {
            game.Place({victim, hitter});
            victim->Move(); // finds out whether it stands
            victim->SetVelocity(c.vx == -1.0f ? -2.0f : 0, c.victimVy);
        }
        hitter->Move();
        EXPECT_EQ(c.after, State(hitter));
        EXPECT_EQ(c.victimAfter, victim ? State(victim) : "") << "only the hitter is moved back";
    }
}

TEST_F(Arena, JumpsBoostWhileHeldAndJumpBlocksThrowAndBlockThem)
{
    Floor();
    game.SetTiles(4, 4, kFloorRow, kJumpBlockTile); // over x = 96 .. 119
    auto* one = new Player(&game, 300, kStandY, 1, 2);
    game.Place({one});
    game.Step();
    int top = kStandY;
    const auto track = [&] { return top = std::min(top, one->GetY()), false; };
    game.HoldKeys("w");
    game.Step();
    game.ReleaseAllKeys();
    StepUntil(40, track);
    EXPECT_EQ(kStandY - 55, top) << "a tap";
    EXPECT_EQ(kStandY, one->GetY());
    game.HoldKeys("w");
    StepUntil(18, track);
    EXPECT_EQ(kStandY - 125, top) << "eight boosts";
    EXPECT_EQ(0.0f, one->GetJumpBoostsLeft());

    Character* body = Body(96, kStandY, 0, 1.0f);
    game.Place({body});
    body->Move();
    EXPECT_EQ("96,456 0,-25 *1", State(body));
    body->Jump();
    EXPECT_EQ(-25.0f, body->GetVelocityY()) << "no boost while launched";
    body->SetPosition(300, 400);
    body->SetVelocity(0, 5.0f);
    for (int i = 0; i < 20 && !body->IsOnGround(); ++i)
        body->Draw(), body->Move();
    body->Jump();
    EXPECT_EQ(-10.0f, body->GetVelocityY()) << "landing on a brick ends the launch";
}

TEST_F(Arena, PlayersRunOnTheirOwnKeysDashAndFallFaster)
{
    Floor();
    auto* one = new Player(&game, 100, kStandY, 1, 2);
    auto* two = new Player(&game, 400, kStandY, 2, 2);
    game.Place({one, two});
    game.Step();
    EXPECT_EQ(&one->GetRightImage(), one->GetCurrentImage()) << "player 1 starts facing right";
    EXPECT_EQ(&two->GetLeftImage(), two->GetCurrentImage());
    game.HoldKeys("dl"); // 1.0 a frame, less 0.8 of ground friction
    game.Step(25);
    EXPECT_NEAR(5.0f, one->GetVelocityX(), 1e-4);
    game.Step();
    EXPECT_NEAR(5.2f, one->GetVelocityX(), 1e-4) << "6.0 on the 26th frame";
    EXPECT_EQ(one->GetVelocityX(), two->GetVelocityX());
    // In the air a quarter of that; at top speed it still turns to face.
    Character flyer(&game, 400, 100, 0);
    flyer.Accelerate(-1.0f);
    EXPECT_EQ(-0.25f, flyer.GetVelocityX());
    flyer.SetVelocity(6.0f, 0);
    flyer.Accelerate(1.0f);
    EXPECT_EQ("-1,-1 6,0 *1", State(&flyer));
    EXPECT_EQ(&flyer.GetRightImage(), flyer.GetCurrentImage());

    // The dash: a full charge and a direction, both impulses, then recharge.
    game.ReleaseAllKeys();
    one->SetPosition(400, 200);
    one->SetVelocity(0, 0);
    game.HoldKeys("c");
    one->Attack();
    EXPECT_EQ(1.0f, one->GetAttackCharge()) << "no direction: nothing";
    game.HoldKeys("ds");
    one->Attack();
    EXPECT_EQ("400,200 10,10 *1", State(one));
    one->Attack();
    EXPECT_EQ(10.0f, one->GetVelocityX()) << "empty: nothing";
    game.ReleaseAllKeys();
    int frames = 0;
    for (; frames < 150 && one->GetAttackCharge() < 1.0f; ++frames)
        game.Step();
    EXPECT_EQ(101, frames);

    // Falling faster adds 2 up to 30; beyond the fall limit it eases back.
    Character falling(&game, 0, 0, 0);
    falling.SetVelocity(0, 30.0f);
    falling.FastFall();
    EXPECT_EQ(32.0f, falling.GetVelocityY());
    falling.FastFall();
    falling.ApplyForces();
    EXPECT_EQ(31.5f, falling.GetVelocityY());
    falling.SetDamage(4.95f);
    falling.AddDamage(0.1f);
    EXPECT_EQ(5.0f, falling.GetDamage());
}

TEST_F(Arena, ThinPlatformsCatchFromAboveAndLetTheFallKeyThrough)
{
    Floor();
    game.SetTiles(2, 8, 15, kThinPlatformTile); // top at y = 360
    game.SetTiles(9, 12, 15, kBrickTile);
    auto* jumper = new Player(&game, 100, kStandY, 1, 0);
    auto* straddling = new Player(&game, 200, 336, 2, 0); // over a brick and the platform
    game.Place({jumper, straddling});
    game.Step();
    game.HoldKeys("w"); // up through it from the floor, then down onto it
    game.Step(8);
    game.ReleaseAllKeys();
    game.Step(40);
    EXPECT_EQ(336, jumper->GetY());
    EXPECT_TRUE(jumper->IsOnThinPlatform() && !jumper->IsOnSolidGround());
    game.HoldKeys("sk");
    game.Step(20);
    EXPECT_EQ(kStandY, jumper->GetY());
    EXPECT_EQ(336, straddling->GetY()) << "a brick under part of it holds the player up";
}

TEST_F(Arena, PinnedAtTheSidesOutPastTheLimitsAndRespawned)
{
    Character* body = Body(930, 300, 30.0f);
    game.Place({body});
    body->Move();
    EXPECT_EQ(959, body->GetX());
    EXPECT_TRUE(body->IsPastEdge());
    EXPECT_EQ(1, body->GetEdgeOvershoot());
    body->SetVelocity(-10.0f, 0); // back inward: it moves once the count is 0
    body->Move();
    EXPECT_EQ("950,300 -10,0 *1", State(body));
    const int cases[][6] = {
        // start x, y, speed x, y; where it is held; one pixel more is out
        {950, 300, 129, 0, 959, 300}, // 9 to the pin, 120 beyond it
        {5, 300, -172, 0, -23, 300},  // 28 to the pin, 144 beyond it
        {400, 830, 0, 10, 400, 840},  // 120 below the window
        {400, -140, 0, -4, 400, -144}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "from " << c[0] << "," << c[1]);
        Character* mover = Body(c[0], c[1], static_cast<float>(c[2]), static_cast<float>(c[3]));
        game.Place({mover});
        mover->Move();
        EXPECT_EQ(c[4], mover->GetX());
        EXPECT_EQ(c[5], mover->GetY());
        EXPECT_FALSE(mover->IsOutOfArena());
        mover->SetVelocity(static_cast<float>((c[2] > 0) - (c[2] < 0)),
                           static_cast<float>((c[3] > 0) - (c[3] < 0)));
        mover->Move();
        EXPECT_TRUE(mover->IsOutOfArena());
    }

    // Out: back at its start, reset, a death counted; not once decided.
    Floor();
    auto* one = new Player(&game, 100, kStandY, 1, 0);
    game.Place({one});
    one->SetAttackCharge(0.2f);
    one->SetDamage(3.0f);
    one->SetPosition(200, 830);
    one->SetVelocity(0, 15.0f);
    game.Step(2);
    EXPECT_EQ(1, one->GetDeaths());
    EXPECT_EQ("100,456 0,0 *1", State(one));
    EXPECT_GE(one->GetAttackCharge(), 1.0f);
    one->SetWon(true);
    one->SetPosition(200, 900);
    game.Step(3);
    EXPECT_TRUE(one->IsOutOfArena());
    EXPECT_EQ(1, one->GetDeaths());
}

TEST_F(Arena, ALeverPullUsesTheCellUnderThePointTenPixelsIn)
{
    Floor();
    auto* one = new Player(&game, 100, kStandY, 1, 0);
    game.Place({one});
    // The lever at (4, 19) spans x 96 .. 119 and y 456 .. 479; the other two
    // are where a point outside the grid would wrongly read.
    for (const auto& [column, row] : {std::pair(4, 19), std::pair(4, 0), std::pair(38, 18)})
        game.SetTiles(column, column, row, kLeverTile);
    const struct
    {
        int x, y;
        bool day;
    } pulls[] = {{86, kStandY, true},   {85, kStandY, true}, {109, kStandY, false},
                 {110, kStandY, false}, {100, 446, true},    {100, 445, true},
                 {100, -60, true},      {-60, kStandY, true}};
    for (const auto& pull : pulls)
    {
        one->SetPosition(pull.x, pull.y);
        one->PullLever();
        one->PullLever(); // clicks before one update count once
        game.Step();
        EXPECT_EQ(pull.day, game.IsDaytime()) << pull.x << "," << pull.y;
        EXPECT_FALSE(one->HasLeverRequest()) << "used up either way";
    }
}

TEST_F(Arena, TheWalkerPatrolsAndShrinksOnceOut)
{
    Floor();
    auto* walker = new NPC(&game, 100, kStandY, kWalkerKind);
    game.Place({walker});
    int turns = 0;
    for (int frame = 0; frame < 1200; ++frame)
    {
        const int x = walker->GetX();
        const int direction = walker->GetDirection();
        game.Step();
        // Turns start past a turning point, overrun by about 20 pixels.
        ASSERT_TRUE(walker->GetDirection() >= direction || x >= 864) << x;
        ASSERT_TRUE(walker->GetDirection() <= direction || x <= 48) << x;
        ASSERT_TRUE(walker->GetX() > 18 && walker->GetX() < 894) << walker->GetX();
        turns += walker->GetDirection() != direction;
    }
    EXPECT_GE(turns, 4);
    walker->SetPosition(400, 900);
    game.Step(2);
    EXPECT_TRUE(walker->IsOutOfArena());
    EXPECT_EQ(0, walker->GetDrawWidth() + walker->GetDrawHeight());
    EXPECT_EQ(0, walker->GetDeaths()) << "an enemy never respawns";
}

TEST_F(Arena, TheFlyerSteersAFifthAFrameAndSwingsThroughItsTarget)
{
    game.SetTiles(16, 17, 13, kBrickTile); // a ledge under the target, top at y = 312
    auto* target = new Player(&game, 400, 288, 1, 0);
    auto* flyer = new FlyingNPC(&game, 100, 300, 1, kFlyerKind);
    auto* lost = new FlyingNPC(&game, 300, 500, 2, kFlyerKind); // no player 2 here
    game.Place({target, flyer, lost});
    lost->SetVelocity(1.5f, -0.5f);
    flyer->SteerTowardsTarget();
    EXPECT_EQ("100,300 0.2,-0.2 *1", State(flyer));
    flyer->SetPosition(100, 288);
    flyer->SetVelocity(0, 0);
    StepUntil(200, [&] { return target->GetDamage() > 1.0f; });
    ASSERT_GT(target->GetDamage(), 1.0f) << "the flyer never reached its target";
    EXPECT_EQ(0.0f, flyer->GetVelocityY()) << "level with its target: no vertical steering";
    EXPECT_EQ(&flyer->GetRightImage(), flyer->GetCurrentImage());
    EXPECT_LT(flyer->GetVelocityX(), 0.0f) << "bounced back";
    EXPECT_LT(target->GetVelocityY(), 0.0f) << "a grounded target is thrown up";
    StepUntil(100, [&] { return flyer->GetVelocityX() > 0.0f; });
    EXPECT_GT(flyer->GetVelocityX(), 0.0f) << "steering brings it round again";
    EXPECT_EQ(1.5f, lost->GetVelocityX());
    EXPECT_EQ(-0.5f, lost->GetVelocityY()) << "no steering and no gravity";
    flyer->SetPosition(400, -200);
    flyer->SetVelocity(0, -2.0f);
    game.Step(2);
    EXPECT_EQ(0, flyer->GetDrawWidth()) << "out: shrunk to nothing";
}

TEST_F(Arena, ThePlatformCyclesAndCarriesItsRider)
{
    // Created at its lowest, it turns without moving, rises 250 and turns.
    auto* platform = new MovingPlatform(&game, 400, 350, 100, 350);
    auto* rider = new Player(&game, 410, 326, 1, 0);
    game.Place({platform, rider});
    for (int frame = 1; frame <= 251; ++frame)
    {
        game.Step();
        ASSERT_EQ(351 - frame, platform->GetY()) << frame;
        ASSERT_EQ(platform->GetY() - 24, rider->GetY()) << frame;
        ASSERT_TRUE(rider->IsOnThinPlatform()) << frame;
    }
    EXPECT_EQ(-1, platform->GetStep());
    game.Step();
    EXPECT_EQ(100, platform->GetY());
    EXPECT_EQ(1, platform->GetStep());
    game.HoldKeys("s");
    game.Step(5);
    EXPECT_GT(rider->GetY(), platform->GetY()) << "the fall key drops through it";
}

TEST_F(Arena, CharactersDrawTheirSpriteUnlessPinnedOrWithoutOne)
{
    Character* shown = Body(100, 100);
    Character* pinned = Body(950, 100, 20.0f);
    Character* bare = Body(300, 100, 0, 0, 99);
    auto* barePlayer = new Player(&game, 400, 100, 1, -1);
    game.Place({shown, pinned, bare, barePlayer});
    bare->Accelerate(1.0f);
    barePlayer->Accelerate(-1.0f);
    EXPECT_EQ(nullptr, bare->GetCurrentImage()) << "still sprite-less when turned";
    EXPECT_EQ(nullptr, barePlayer->GetCurrentImage());
    pinned->Move();
    SDL_Surface* screen = game.GetForeground();
    testing_support::FillSurface(screen, 0x12345678);
    game.DrawObjects();
    EXPECT_EQ(960 * 720 - 24 * 24, testing_support::CountRgb(screen, 0x345678));
    EXPECT_EQ(shown->GetLeftImage().GetPixel(5, 5), testing_support::PixelAt(screen, 105, 105));
}

TEST_F(Arena, TheScoreLineBouncesShowsTheScoresAndResetsThemWhileRIsHeld)
{
    auto* text = new MovingText(&game);
    game.Place({text});
    game.SetScores(3, 12);
    game.Step();
    EXPECT_STREQ("Scores: 3 - 12", text->GetText());
    int left = 1000, top = 1000, right = -1, bottom = -1;
    for (int i = 0; i < 3000; ++i)
    {
        game.Step();
        left = std::min(left, text->GetX()), top = std::min(top, text->GetY());
        right = std::max(right, text->GetX()), bottom = std::max(bottom, text->GetY());
    }
    EXPECT_EQ((std::array<int, 4>{0, 0, 760, 680}), (std::array<int, 4>{left, top, right, bottom}));
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
