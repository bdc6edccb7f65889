// The tile grids drawn with the game's pictures, the map text files (written
// by each test into its own working directory), the day flag and scores.
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

using testing_support::StdoutCapture;
using namespace GameData;

namespace
{
// The base grid, drawn in its own grey pattern.
class GreyTiles final : public TileManager
{
public:
    using TileManager::TileManager;
};

// Every tile code of both grids, by night and by day, and the grey pattern
// of the base grid, drawn in one scene.
TEST(TileGrids, EachCodeDrawsItsPictureAndTheLeverFollowsTheDay)
{
    GameDriver game;
    ASSERT_TRUE(game.Started());
    SDL_Surface* scene = game.GetBackground();
    game.FillBackground(kNightSky);
    const auto drawRow = [&](TileManager& grid, int y) {
        grid.SetMapSize(12, 1);
        for (int code = -1; code < 11; ++code)
            grid.SetCell(code + 1, 0, code);
        grid.DrawTileRange(&game, scene, 0, 0, 11, 0, 100, y);
    };
    drawRow(game.GetTileMap(), 100);
    drawRow(game.GetBackgroundMap(), 150);
    game.ToggleDaytime();
    drawRow(game.GetTileMap(), 200);
    GreyTiles grey(24);
    grey.SetMapSize(20, 3);
    grey.SetCell(3, 1, 5);
    grey.SetCell(4, 1, -7);
    grey.DrawTileRange(&game, scene, 0, 0, 19, 2, 100, 300);
    grey.DrawTileRange(&game, scene, 5, 1, 4, 2, 600, 100); // first past last: nothing
    grey.SetOrigin(10, 400);
    grey.DrawTileInPlace(&game, scene, 2, 1);
    testing_support::ExpectMatchesReference(scene, "tile-grids");
}

// Lines of 40 digits, each followed by lineEnd; the digit at (column, row)
// varies along both axes so that a misplaced cell shows.
int Digit(int seed, int column, int row) { return (seed + column * 7 + row * 3) % 10; }
std::string GridText(int seed, const std::string& lineEnd = "\n")
{
    std::string text;
    for (int row = 0; row < 30; ++row)
    {
        for (int column = 0; column < 40; ++column)
            text += static_cast<char>('0' + Digit(seed, column, row));
        text += lineEnd;
    }
    return text;
}

// The start positions a level file's tail gives: player 1's x and y, then
// player 2's.
using Starts = std::array<int, 4>;

class MapFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::WriteFile(kStarFieldFile, GridText(5));
        StdoutCapture output;
        m_game = std::make_unique<GameDriver>(nullptr);
        EXPECT_EQ(output.Finish(), "");
    }
    // Writes the level file for the index and loads it; returns the output.
    std::string Load(int level, const std::string& contents)
    {
        testing_support::WriteFile(kLevelFiles[level], contents);
        StdoutCapture output;
        m_game->LoadLevelFile(level);
        return output.Finish();
    }
    void ExpectGrid(int seed)
    {
        for (int row = 0; row < 30; ++row)
            for (int column = 0; column < 40; ++column)
                ASSERT_EQ(m_game->GetLevelTile(column, row), Digit(seed, column, row))
                    << "the cell at column " << column << ", row " << row;
    }
    Starts StartPositions() const
    {
        return {m_game->GetPlayer1StartX(), m_game->GetPlayer1StartY(), m_game->GetPlayer2StartX(),
                m_game->GetPlayer2StartY()};
    }

    testing_support::WorkingDirectory m_cwd{testing_support::MakeTempDir()};
    std::unique_ptr<GameDriver> m_game;
};
} // namespace

TEST_F(MapFiles, TheTailAfterTheGridGivesTheStartPositions)
{
    const struct
    {
        const char* tail;
        Starts starts;
        const char* lineEnd = "\n";
    } cases[] = {
        {"48 624 888 624 ", {48, 624, 888, 624}},
        {"", {7, 8, 9, 10}},         // no tail: the previous level's starts stay
        {"5  7 8 9 ", {5, 0, 7, 8}}, // two spaces make an empty token worth 0
        // A sign and leading white space are taken, a non-digit ends a number.
        {"-12 +34 \n56 7x9 ", {-12, 34, 56, 7}},
        {"ab 1 ? 2 ", {0, 1, 0, 2}},
        {"\n48 624 888 624 ", {48, 624, 888, 624}},
        // An over-long token keeps its first three characters.
        {"12345 6 7 8 ", {123, 6, 7, 8}},
        {"1 99999999999999999999999999999999 3 4 ", {1, 999, 3, 4}},
        // A tail cut short stops at the end of the file.
        {"48 624 888 624", {48, 624, 888, 624}},
        {"11 22", {11, 22, 9, 10}},
        {"48 624 888 624 \r\n", {48, 624, 888, 624}, "\r\n"},
        {"", {7, 8, 9, 10}, "\r\n"},
    };
    for (const auto& file : cases)
    {
        SCOPED_TRACE(::testing::Message() << '"' << file.tail << '"');
        Load(0, GridText(2) + "7 8 9 10 ");
        EXPECT_EQ(Load(1, GridText(3, file.lineEnd) + file.tail), "");
        ExpectGrid(3);
        EXPECT_EQ(StartPositions(), file.starts);
    }
}

// Short files and short lines are read at fixed places, past the end the
// end-of-file value: the map fuzzers check that for every input they make,
// also in the bounded run of the test script.
TEST_F(MapFiles, AMissingFileIsReportedAndALoneCarriageReturnIsACell)
{
    Load(0, GridText(1) + "48 624 888 624 ");
    std::remove(kLevelFiles[1]);
    StdoutCapture output;
    m_game->LoadLevelFile(1);
    EXPECT_EQ(output.Finish(), "error opening file\n");
    ExpectGrid(1);

    std::string text = GridText(1) + "48 624 888 624 ";
    text[41 * 2 + 5] = '\r';
    Load(0, text);
    EXPECT_EQ(m_game->GetLevelTile(5, 2), '\r' - '0') << "the carriage return's cell";
    EXPECT_EQ(m_game->GetLevelTile(6, 2), Digit(1, 6, 2)) << "the cell after it";
}
