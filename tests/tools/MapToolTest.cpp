#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"
#include "tools/MapSource.h"
#include "tools/SourceDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace
{
std::string MapPath(const std::string& name)
{
    return testing_support::SourceDir() + "/Resources/maps/" + name;
}

// A committed level file as the game itself reads it.
class MapFile
{
public:
    explicit MapFile(const char* name)
    {
        EXPECT_TRUE(m_game.ReadMapFile(MapPath(name).c_str(), m_grid, true)) << name;
    }
    int At(int column, int row) const { return m_grid[row][column]; }
    int StartX(int player) const
    {
        return player == 1 ? m_game.GetPlayer1StartX() : m_game.GetPlayer2StartX();
    }
    int StartY(int player) const
    {
        return player == 1 ? m_game.GetPlayer1StartY() : m_game.GetPlayer2StartY();
    }
    int Count(int code) const
    {
        int count = 0;
        for (const auto& row : m_grid)
            count += static_cast<int>(std::count(std::begin(row), std::end(row), code));
        return count;
    }

private:
    Stage2Engine m_game;
    signed char m_grid[Stage2Engine::kGridRows][Stage2Engine::kGridColumns] = {};
};
} // namespace

TEST(MapTool, RegeneratesEveryCommittedMapFileByteForByte)
{
    std::vector<SourceDirectory::Source> sources;
    std::string error;
    ASSERT_TRUE(SourceDirectory::Read(testing_support::SourceDir() + "/tools/maps", ".map",
                                      sources, error))
        << error;
    std::set<std::string> outputs;
    for (const auto& source : sources)
    {
        MapSource map;
        ASSERT_TRUE(map.Parse(source.text, error)) << source.path << ": " << error;
        outputs.insert(map.GetOutput());
        std::ifstream in(MapPath(map.GetOutput()), std::ios::binary);
        std::ostringstream committed;
        committed << in.rdbuf();
        EXPECT_EQ(map.MapFileText(), committed.str())
            << map.GetOutput() << " differs from " << source.path;
    }
    EXPECT_EQ(outputs, (std::set<std::string>{"background.txt", "level1.txt", "level2.txt",
                                               "level3.txt", "testmap.txt"}));
}

TEST(Levels, EveryLevelIsPlayableForTwo)
{
    for (const char* name : {"level1.txt", "level2.txt", "level3.txt", "testmap.txt"})
    {
        SCOPED_TRACE(name);
        const MapFile level(name);
        // Both start on a brick, on the tile grid, well apart.
        for (const int player : {1, 2})
        {
            ASSERT_EQ(level.StartX(player) % 24, 0);
            ASSERT_EQ(level.StartY(player) % 24, 0);
            const int column = level.StartX(player) / 24;
            const int row = level.StartY(player) / 24;
            EXPECT_EQ(level.At(column, row), 0);
            EXPECT_EQ(level.At(column, row + 1), 1);
        }
        EXPECT_GE(std::abs(level.StartX(1) - level.StartX(2)), 240);

        // Every lever stands on something, so a player can stand in its cell.
        int standableLevers = 0;
        for (int row = 0; row + 1 < Stage2Engine::kGridRows; ++row)
            for (int column = 0; column < Stage2Engine::kGridColumns; ++column)
                standableLevers += level.At(column, row) == 4 &&
                                   (level.At(column, row + 1) == 1 ||
                                    level.At(column, row + 1) == 2);
        EXPECT_GE(standableLevers, 1);
        EXPECT_EQ(standableLevers, level.Count(4));
        EXPECT_GE(level.Count(2), 8) << "thin platforms";
        EXPECT_GE(level.Count(3), 1) << "jump blocks";

        // No wall at either side above the starts: a knock-out stays possible.
        const int lowestStart = std::max(level.StartY(1), level.StartY(2)) / 24;
        for (int row = 0; row <= lowestStart; ++row)
            for (const int column : {0, 39})
                EXPECT_NE(level.At(column, row), 1) << "wall at " << column << "," << row;
    }
}

TEST(Levels, TheFourthLevelLeavesRoomForTheGamesObjects)
{
    const MapFile level("testmap.txt");
    // Lifts: columns 6-8 and 31-33 between y 100 and 350 (with a rider on
    // top), columns 18-20 between y 350 and 600.
    for (const int first : {6, 31})
        for (int row = 3; row <= 15; ++row)
            for (int column = first; column < first + 3; ++column)
                EXPECT_EQ(level.At(column, row), 0) << column << "," << row;
    for (int row = 13; row <= 25; ++row)
        for (int column = 18; column <= 20; ++column)
            EXPECT_EQ(level.At(column, row), 0) << column << "," << row;
    // The walker patrols x 48..890 standing on row 26 with nothing in its way.
    for (int column = 1; column <= 38; ++column)
    {
        EXPECT_EQ(level.At(column, 26), 1) << column;
        EXPECT_EQ(level.At(column, 25), 0) << column;
    }
    // The flyers start at (120, 48) and (840, 48), in open sky.
    for (int row = 0; row <= 3; ++row)
        for (const int column : {4, 5, 6, 34, 35, 36})
            EXPECT_EQ(level.At(column, row), 0) << column << "," << row;
}
