// The grids and start positions the game reads from the map text files
// (written by each test into its own working directory), the day flag the
// levers switch and the round scores.
#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>

using testing_support::StdoutCapture;

namespace
{
const char* const kLevelFiles[] = {"level1", "level2", "level3", "testmap"};
using Starts = std::array<int, 4>; // player 1's x and y, then player 2's

// The digit at (column, row) of grid number seed: varies along both axes so
// that a misplaced cell shows.
int Digit(int seed, int column, int row) { return (seed + column * 7 + row * 3) % 10; }

// Lines of 40 digits, each followed by lineEnd.
std::string GridText(int seed, const std::string& lineEnd = "\n", int lines = 30)
{
    std::string text;
    for (int row = 0; row < lines; ++row)
    {
        for (int column = 0; column < 40; ++column)
            text += static_cast<char>('0' + Digit(seed, column, row));
        text += lineEnd;
    }
    return text;
}

// Sets the scores the way the end of a round would.
class ScoredGame : public Stage2Engine
{
public:
    void SetScores(int first, int second)
    {
        m_score1 = first;
        m_score2 = second;
    }
};

class LevelDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Lines past the star grid's 30 are not read.
        testing_support::MakeDirectories("Resources/maps");
        testing_support::WriteFile("Resources/maps/background.txt",
                                   GridText(5) + GridText(6) + "1 2 3 4 ");
        StdoutCapture output;
        m_game = std::make_unique<ScoredGame>();
        EXPECT_EQ(output.Finish(), "");
    }

    // Writes the level file for the index and loads it; returns the output.
    std::string Load(int levelIndex, const std::string& contents)
    {
        testing_support::WriteFile(FileOf(levelIndex), contents);
        StdoutCapture output;
        m_game->LoadLevelFile(levelIndex);
        return output.Finish();
    }
    static std::string FileOf(int levelIndex)
    {
        return std::string("Resources/maps/") + kLevelFiles[levelIndex] + ".txt";
    }
    void ExpectGrid(int seed, int rows = 30)
    {
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < 40; ++column)
                ASSERT_EQ(m_game->GetLevelTile(column, row), Digit(seed, column, row))
                    << column << "," << row;
    }
    Starts StartPositions() const
    {
        return {m_game->GetPlayer1StartX(), m_game->GetPlayer1StartY(),
                m_game->GetPlayer2StartX(), m_game->GetPlayer2StartY()};
    }

    std::string m_dir = testing_support::MakeTempDir();
    testing_support::WorkingDirectory m_cwd{m_dir};
    std::unique_ptr<ScoredGame> m_game;
};
} // namespace

TEST_F(LevelDataTest, TheStarGridIsReadWhenTheGameIsBuilt)
{
    for (int row = 0; row < 30; ++row)
        for (int column = 0; column < 40; ++column)
            ASSERT_EQ(m_game->GetBackgroundTile(column, row), Digit(5, column, row));
}

TEST_F(LevelDataTest, TheTailAfterTheGridGivesTheStartPositions)
{
    const struct
    {
        const char* tail;
        Starts starts;
        const char* lineEnd = "\n";
    } cases[] = {
        {"48 624 888 624 ", {48, 624, 888, 624}},
        {"", {7, 8, 9, 10}}, // no tail: the previous level's starts stay
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
        {"33 ", {33, 8, 9, 10}},
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

TEST_F(LevelDataTest, AMissingFileIsReportedAndMisshapenOnesAreReadAsTheyAre)
{
    // A missing file is reported and changes nothing.
    Load(0, GridText(1) + "48 624 888 624 ");
    std::remove(FileOf(1).c_str());
    StdoutCapture output;
    m_game->LoadLevelFile(1);
    EXPECT_EQ(output.Finish(), "error opening file\n");
    ExpectGrid(1);
    EXPECT_EQ(StartPositions(), (Starts{48, 624, 888, 624}));

    // A short file: past its end the end-of-file value is stored.
    EXPECT_EQ(Load(0, GridText(2, "\n", 10)), "");
    ExpectGrid(2, 10);
    EXPECT_EQ(m_game->GetLevelTile(0, 10), EOF - '0');
    EXPECT_EQ(m_game->GetLevelTile(39, 29), EOF - '0');
    EXPECT_EQ(StartPositions(), (Starts{48, 624, 888, 624}));

    // A short line: its line end stands in as a cell and the next line's
    // first character as the line end, down to the tail.
    std::string text = GridText(1) + "48 624 888 624 ";
    text.erase(0, 1);
    Load(0, text);
    EXPECT_EQ(m_game->GetLevelTile(38, 0), Digit(1, 39, 0));
    EXPECT_EQ(m_game->GetLevelTile(39, 0), '\n' - '0');
    EXPECT_EQ(m_game->GetLevelTile(0, 29), Digit(1, 1, 29));
    EXPECT_EQ(StartPositions(), (Starts{8, 624, 888, 624}));

    // Other characters are stored as they are.
    text = GridText(1) + "1 2 3 4 ";
    text.replace(0, 3, "a #");
    Load(0, text);
    EXPECT_EQ(m_game->GetLevelTile(0, 0), 'a' - '0');
    EXPECT_EQ(m_game->GetLevelTile(1, 0), ' ' - '0');
    EXPECT_EQ(m_game->GetLevelTile(2, 0), '#' - '0');
    EXPECT_EQ(m_game->GetLevelTile(3, 0), Digit(1, 3, 0));
}

TEST_F(LevelDataTest, TheLevelIndexChoosesTheFileAndAnyOtherReadsTheTestMap)
{
    for (int index = 0; index < 4; ++index)
        testing_support::WriteFile(FileOf(index),
                                   GridText(index) + std::to_string(index) + " 0 0 0 ");
    for (const int index : {0, 1, 2, 3, -1, 4, 99, INT_MIN})
    {
        SCOPED_TRACE(index);
        m_game->LoadLevelFile(index == 0 ? 1 : 0);
        m_game->LoadLevelFile(index);
        const int read = index >= 0 && index < 4 ? index : 3;
        ExpectGrid(read);
        EXPECT_EQ(m_game->GetPlayer1StartX(), read);
    }
}

TEST_F(LevelDataTest, TheDayFlagTogglesAndScoresArePerPlayerUntilReset)
{
    EXPECT_FALSE(m_game->IsDaytime());
    m_game->ToggleDaytime();
    EXPECT_TRUE(m_game->IsDaytime());
    m_game->ToggleDaytime();
    EXPECT_FALSE(m_game->IsDaytime());

    m_game->SetScores(3, 5);
    EXPECT_EQ(m_game->GetScore(1), 3);
    EXPECT_EQ(m_game->GetScore(2), 5);
    for (const int other : {0, 3, -1})
        EXPECT_EQ(m_game->GetScore(other), 0) << other;
    // A reset clears both scores and leaves the day flag.
    m_game->ToggleDaytime();
    m_game->ResetScores();
    EXPECT_EQ(m_game->GetScore(1), 0);
    EXPECT_EQ(m_game->GetScore(2), 0);
    EXPECT_TRUE(m_game->IsDaytime());
}
