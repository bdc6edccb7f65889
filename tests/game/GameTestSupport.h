#pragma once

#include "game/Stage2Engine.h"
#include "objects/Player.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>

namespace game_testing
{
// The game with its state opened up, stepped by hand: the tests set the
// frame tick and call the hooks as the main loop would.
class TestGame : public Stage2Engine
{
public:
    using Stage2Engine::m_backgroundGrid;
    using Stage2Engine::m_levelGrid;
    using Stage2Engine::m_score1;
    using Stage2Engine::m_secondsLeft;
    using Stage2Engine::m_sunDimming;

    // One pass of the main loop's logic at the given tick.
    void Pass(int tick)
    {
        SetFrameTick(tick);
        DoFrameLogic();
    }
    void Click(int x, int y) { OnMouseDown(1, x, y); }
    void ClickCentre(const GameData::ScreenRect& r) { Click((r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2); }

    // Clicks through both character screens and the level screen at the
    // given tick, which becomes the round's start.
    void ClickIntoRound(int level, int character1, int character2, int tick = 0)
    {
        SetFrameTick(tick);
        Click(10, 10); // anywhere on the main menu
        ClickCentre(GameData::kPortraitHits[character1]);
        Click(GameData::kConfirmBox.x1, GameData::kConfirmBox.y1);
        ClickCentre(GameData::kPortraitHits[character2]);
        Click(GameData::kConfirmBox.x1, GameData::kConfirmBox.y1);
        ClickCentre(GameData::kThumbnailHits[level]);
        Click(GameData::kConfirmBox.x1, GameData::kConfirmBox.y1);
    }

    // Replaces the round's objects with the given players and one more.
    void UsePlayers(Player* first, Player* second, DisplayableObject* extra = nullptr)
    {
        CreateObjectArray(3);
        StoreObjectInArray(0, first);
        StoreObjectInArray(1, second);
        StoreObjectInArray(2, extra);
        m_player1 = first;
        m_player2 = second;
    }
};

// A player that stands still, counting its updates, and can be given any
// death count.
class ScriptedPlayer : public Player
{
public:
    ScriptedPlayer(BaseEngine* engine, int number) : Player(engine, 100, 100, number, 0) {}
    void Update(int) override { ++updates; }
    void SetDeaths(int deaths) { m_deaths = deaths; }
    int updates = 0;
};

// Each test gets a fresh game started headless, as the program starts it.
class GameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        game = std::make_unique<TestGame>();
        ASSERT_EQ(testing_support::InitialiseHeadless(*game), 0);
    }
    void TearDown() override { game->Deinitialise(); }

    SDL_Surface* Background() const { return game->GetBackground(); }
    SDL_Surface* Foreground() const { return game->GetForeground(); }

    std::unique_ptr<TestGame> game;
};

// Pixels of one RGB colour within a rectangle given by two corners.
inline int CountInRect(SDL_Surface* surface, int x1, int y1, int x2, int y2, uint32_t colour)
{
    int count = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            count += testing_support::RgbAt(surface, x, y) == colour;
    return count;
}
} // namespace game_testing
