#pragma once

#include "game/Stage2Engine.h"
#include "objects/Character.h"
#include "objects/Player.h"
#include "tests/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

// The game with a writable level grid, key table and scores, so objects can
// be stepped frame by frame without the game's own screens.
class ArenaGame : public Stage2Engine
{
public:
    void FillRow(int row, int fromColumn, int toColumn, int code)
    {
        for (int column = fromColumn; column <= toColumn; ++column)
            m_levelGrid[row][column] = static_cast<signed char>(code);
    }
    void SetTile(int column, int row, int code) { FillRow(row, column, column, code); }
    // Holds (or lets go of) every key named.
    void Hold(const char* keys, bool held = true)
    {
        for (; *keys; ++keys)
            m_keyStates[TranslateKey(*keys)] = held ? 1 : 0;
    }
    void ReleaseKeys() { std::fill_n(m_keyStates.get(), kKeyStateCount, 0); }
    void SetScores(int score1, int score2)
    {
        m_score1 = score1;
        m_score2 = score2;
    }
};

// A headless game with an empty level. A brick floor on row 20 has its top
// at y = 480, so a 24-pixel character stands on it at y = 456.
class ArenaTest : public ::testing::Test
{
protected:
    static constexpr int kFloorRow = 20;
    static constexpr int kStandY = 456;

    void SetUp() override
    {
        ASSERT_EQ(0, testing_support::InitialiseHeadless(game));
        for (int row = 0; row < GameData::kGridRows; ++row)
            game.FillRow(row, 0, GameData::kGridColumns - 1, 0);
    }
    void Floor() { game.FillRow(kFloorRow, 0, GameData::kGridColumns - 1, 1); }

    // Hands the objects to the engine's array (which owns them) and draws
    // them once, so their last drawn place is where they start.
    void Place(std::initializer_list<DisplayableObject*> objects)
    {
        game.CreateObjectArray(static_cast<int>(objects.size()));
        int index = 0;
        for (DisplayableObject* object : objects)
            game.StoreObjectInArray(index++, object);
        game.DrawObjects();
    }

    // A bare character, which moves only when the test calls Move.
    Character* Body(int x, int y, float vx = 0, float vy = 0, CharacterKind kind = 0)
    {
        auto* body = new Character(&game, x, y, kind);
        body->SetPosition(x, y);
        body->SetVelocity(vx, vy);
        return body;
    }

    // A character's place, speed and damage multiplier, as "x,y vx,vy *d".
    static std::string State(const Character* c)
    {
        char text[96];
        std::snprintf(text, sizeof text, "%d,%d %g,%g *%g", c->GetX(), c->GetY(),
                      static_cast<double>(c->GetVelocityX()),
                      static_cast<double>(c->GetVelocityY()), static_cast<double>(c->GetDamage()));
        return text;
    }

    // Frames as the game runs them (every update, then every draw), at
    // most the given number, stopping once done() holds.
    template <typename Done>
    void StepUntil(int frames, Done done)
    {
        for (int i = 0; i < frames && !done(); ++i)
        {
            game.UpdateObjects(0);
            game.DrawObjects();
        }
    }
    void Step(int frames = 1) { StepUntil(frames, [] { return false; }); }

    ArenaGame game;
};
