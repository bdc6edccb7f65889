// Reading the map text files into the game's grids and start positions, on
// files each test writes into its own working directory.
#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using testing_support::StdoutCapture;

namespace
{
// The digit at (column, row) of grid number seed: varies along both axes so
// that a misplaced cell shows.
char Digit(int seed, int column, int row)
{
    return static_cast<char>('0' + (seed + column * 7 + row * 3) % 10);
}

// 30 lines of 40 digits, each line followed by lineEnd.
std::string GridText(int seed, const std::string& lineEnd = "\n", int lines = 30)
{
    std::string text;
    for (int row = 0; row < lines; ++row)
    {
        for (int column = 0; column < 40; ++column)
            text += Digit(seed, column, row);
        text += lineEnd;
    }
    return text;
}

class MapFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::MakeDirectories("Resources/maps");
        StdoutCapture quiet;
        m_game = std::make_unique<Stage2Engine>();
    }

    // Writes a level file for the index and loads it; returns what was printed.
    std::string Load(int levelIndex, const std::string& contents)
    {
        const char* const names[] = {"level1", "level2", "level3", "testmap"};
        testing_support::WriteFile(std::string("Resources/maps/") + names[levelIndex] + ".txt",
                                   contents);
        return LoadOnly(levelIndex);
    }
    std::string LoadOnly(int levelIndex)
    {
        StdoutCapture output;
        m_game->LoadLevelFile(levelIndex);
        return output.Finish();
    }

    void ExpectGrid(int seed)
    {
        for (int row = 0; row < 30; ++row)
            for (int column = 0; column < 40; ++column)
                ASSERT_EQ(m_game->GetLevelTile(column, row), Digit(seed, column, row) - '0')
                    << column << "," << row;
    }
    void ExpectStarts(int x1, int y1, int x2, int y2)
    {
        EXPECT_EQ(m_game->GetPlayer1StartX(), x1);
        EXPECT_EQ(m_game->GetPlayer1StartY(), y1);
        EXPECT_EQ(m_game->GetPlayer2StartX(), x2);
        EXPECT_EQ(m_game->GetPlayer2StartY(), y2);
    }

    std::string m_dir = testing_support::MakeTempDir();
    testing_support::WorkingDirectory m_cwd{m_dir};
    std::unique_ptr<Stage2Engine> m_game;
};
} // namespace

TEST_F(MapFileTest, GridAndFullTail)
{
    EXPECT_EQ(Load(0, GridText(1) + "48 624 888 624 "), "");
    ExpectGrid(1);
    ExpectStarts(48, 624, 888, 624);
}

TEST_F(MapFileTest, NoTailKeepsThePreviousStartPositions)
{
    Load(0, GridText(1) + "48 624 888 624 ");
    EXPECT_EQ(Load(1, GridText(2)), "");
    ExpectGrid(2);
    ExpectStarts(48, 624, 888, 624);
}

TEST_F(MapFileTest, TwoSpacesMakeAnEmptyTokenWorthZero)
{
    Load(0, GridText(1) + "5  7 8 9 ");
    ExpectStarts(5, 0, 7, 8);
}

TEST_F(MapFileTest, TokensTakeASignAndLeadingWhiteSpaceAndStopAtANonDigit)
{
    Load(0, GridText(1) + "-12 +34 \n56 7x9 ");
    ExpectStarts(-12, 34, 56, 7);
    Load(0, GridText(1) + "ab 1 ? 2 ");
    ExpectStarts(0, 1, 0, 2);
    // A tail on a line of its own after a blank line.
    Load(0, GridText(1) + "\n48 624 888 624 ");
    ExpectStarts(48, 624, 888, 624);
}

TEST_F(MapFileTest, OverLongTokenKeepsItsFirstThreeCharacters)
{
    Load(0, GridText(1) + "12345 6 7 8 ");
    ExpectStarts(123, 6, 7, 8);
    Load(0, GridText(1) + "1 99999999999999999999999999999999 3 4 ");
    ExpectStarts(1, 999, 3, 4);
}

TEST_F(MapFileTest, TailCutShortStopsAtTheEndOfTheFile)
{
    Load(0, GridText(1) + "1 2 3 4 ");
    Load(0, GridText(1) + "48 624 888 624");
    ExpectStarts(48, 624, 888, 624);

    Load(0, GridText(1) + "7 8 9 10 ");
    Load(0, GridText(1) + "11 22");
    ExpectStarts(11, 22, 9, 10);
    Load(0, GridText(1) + "33 ");
    ExpectStarts(33, 22, 9, 10);
}

TEST_F(MapFileTest, AMissingFileChangesNothing)
{
    Load(0, GridText(1) + "48 624 888 624 ");
    std::remove("Resources/maps/level2.txt");
    EXPECT_EQ(LoadOnly(1), "error opening file\n");
    ExpectGrid(1);
    ExpectStarts(48, 624, 888, 624);
}

TEST_F(MapFileTest, AShortFileFillsTheRestWithNoTileAndHasNoTail)
{
    Load(0, GridText(1) + "48 624 888 624 ");
    EXPECT_EQ(Load(0, GridText(2, "\n", 10)), "");
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 40; ++column)
            ASSERT_EQ(m_game->GetLevelTile(column, row), Digit(2, column, row) - '0');
    // Past the end the end-of-file value is stored: no tile code.
    for (int row = 10; row < 30; ++row)
        for (int column = 0; column < 40; ++column)
            ASSERT_EQ(m_game->GetLevelTile(column, row), -49) << column << "," << row;
    ExpectStarts(48, 624, 888, 624);
}

TEST_F(MapFileTest, AShortLineShiftsEveryLaterCell)
{
    std::string text = GridText(1) + "48 624 888 624 ";
    text.erase(0, 1); // line 0 now has 39 cells
    Load(0, text);

    for (int column = 0; column < 39; ++column)
        EXPECT_EQ(m_game->GetLevelTile(column, 0), Digit(1, column + 1, 0) - '0');
    // The line end stands in as a cell, and the next line's first character
    // as the line end.
    EXPECT_EQ(m_game->GetLevelTile(39, 0), '\n' - '0');
    EXPECT_EQ(m_game->GetLevelTile(0, 1), Digit(1, 1, 1) - '0');
    EXPECT_EQ(m_game->GetLevelTile(0, 29), Digit(1, 1, 29) - '0');
    // So the tail loses its first character.
    ExpectStarts(8, 624, 888, 624);
}

TEST_F(MapFileTest, CarriageReturnLineEndsReadLikeLineFeeds)
{
    Load(0, GridText(3, "\r\n") + "48 624 888 624 \r\n");
    ExpectGrid(3);
    ExpectStarts(48, 624, 888, 624);

    Load(1, GridText(4, "\r\n"));
    ExpectGrid(4);
    ExpectStarts(48, 624, 888, 624);
}

TEST_F(MapFileTest, OtherCharactersAreStoredUnchecked)
{
    std::string text = GridText(1) + "1 2 3 4 ";
    text[0] = 'a';
    text[1] = ' ';
    text[2] = '#';
    text[41 + 5] = '\x7f';
    Load(0, text);
    EXPECT_EQ(m_game->GetLevelTile(0, 0), 'a' - '0');
    EXPECT_EQ(m_game->GetLevelTile(1, 0), -16);
    EXPECT_EQ(m_game->GetLevelTile(2, 0), '#' - '0');
    EXPECT_EQ(m_game->GetLevelTile(5, 1), 0x7f - '0');
    EXPECT_EQ(m_game->GetLevelTile(3, 0), Digit(1, 3, 0) - '0');
    ExpectStarts(1, 2, 3, 4);
}

TEST_F(MapFileTest, LevelIndexChoosesTheFile)
{
    const char* const names[] = {"level1", "level2", "level3", "testmap"};
    for (int i = 0; i < 4; ++i)
        testing_support::WriteFile(std::string("Resources/maps/") + names[i] + ".txt",
                                   GridText(i) + std::to_string(i) + " 0 0 0 ");
    for (int index = 0; index < 4; ++index)
    {
        LoadOnly(index);
        ExpectGrid(index);
        EXPECT_EQ(m_game->GetPlayer1StartX(), index);
    }
    // Every other index reads the fourth level's file.
    for (int index : {-1, 4, 99, -2147483647 - 1})
    {
        LoadOnly(0);
        LoadOnly(index);
        ExpectGrid(3);
        EXPECT_EQ(m_game->GetPlayer1StartX(), 3) << index;
    }
}

TEST(BackgroundFile, IsReadWhenTheGameIsBuiltIgnoringExtraLines)
{
    const std::string dir = testing_support::MakeTempDir();
    testing_support::WorkingDirectory cwd(dir);
    testing_support::MakeDirectories("Resources/maps");
    testing_support::WriteFile("Resources/maps/background.txt",
                               GridText(5) + GridText(6) + "48 624 888 624 ");
    StdoutCapture output;
    Stage2Engine game;
    const std::string printed = output.Finish();
    EXPECT_EQ(printed.find("error opening file"), std::string::npos);
    for (int row = 0; row < 30; ++row)
        for (int column = 0; column < 40; ++column)
            ASSERT_EQ(game.GetBackgroundTile(column, row), Digit(5, column, row) - '0');
}

TEST(BackgroundFile, AMissingFileIsReportedOnceAndTheGameIsBuilt)
{
    const std::string dir = testing_support::MakeTempDir();
    testing_support::WorkingDirectory cwd(dir);
    StdoutCapture output;
    Stage2Engine game;
    const std::string printed = output.Finish();
    const size_t first = printed.find("error opening file\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(printed.find("error opening file", first + 1), std::string::npos);
    EXPECT_FALSE(game.IsDaytime());
}
