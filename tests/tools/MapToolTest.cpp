// The committed map files against their sources, what the game reads from
// them, and sources the tools refuse.
#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"
#include "tools/MapSource.h"
#include "tools/PictureSet.h"
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
struct MapFile
{
    explicit MapFile(const char* name)
    {
        EXPECT_TRUE(game.ReadMapFile(MapPath(name).c_str(), grid, true)) << name;
    }
    int At(int column, int row) const { return grid[row][column]; }
    int Count(int code) const
    {
        int count = 0;
        for (const auto& row : grid)
            count += static_cast<int>(std::count(std::begin(row), std::end(row), code));
        return count;
    }

    Stage2Engine game;
    signed char grid[GameData::kGridRows][GameData::kGridColumns] = {};
};

template <typename Source>
void ExpectRejected(const std::string& text, const std::string& message)
{
    Source source;
    std::string error;
    EXPECT_FALSE(source.Parse(text, error)) << text;
    EXPECT_NE(error.find(message), std::string::npos) << "got: " << error;
}

std::string Rows(int count, const std::string& row)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += row + "\n";
    return text;
}
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

TEST(MapTool, EveryLevelIsPlayableForTwo)
{
    for (const char* name : {"level1.txt", "level2.txt", "level3.txt", "testmap.txt"})
    {
        SCOPED_TRACE(name);
        const MapFile level(name);
        const int startX[] = {level.game.GetPlayer1StartX(), level.game.GetPlayer2StartX()};
        const int startY[] = {level.game.GetPlayer1StartY(), level.game.GetPlayer2StartY()};
        // Both start on a brick, on the tile grid, well apart.
        for (int player = 0; player < 2; ++player)
        {
            ASSERT_TRUE(startX[player] % 24 == 0 && startY[player] % 24 == 0);
            EXPECT_EQ(level.At(startX[player] / 24, startY[player] / 24), 0);
            EXPECT_EQ(level.At(startX[player] / 24, startY[player] / 24 + 1), 1);
        }
        EXPECT_GE(std::abs(startX[0] - startX[1]), 240);

        // Every lever stands on something, so a player can stand in its cell.
        int standableLevers = 0;
        for (int row = 0; row + 1 < GameData::kGridRows; ++row)
            for (int column = 0; column < GameData::kGridColumns; ++column)
            {
                const int below = level.At(column, row + 1);
                standableLevers += level.At(column, row) == 4 && (below == 1 || below == 2);
            }
        EXPECT_GE(standableLevers, 1);
        EXPECT_EQ(standableLevers, level.Count(4));
        EXPECT_GE(level.Count(2), 8) << "thin platforms";
        EXPECT_GE(level.Count(3), 1) << "jump blocks";

        // No wall at either side above the starts: a knock-out stays possible.
        for (int row = 0; row <= std::max(startY[0], startY[1]) / 24; ++row)
            for (const int column : {0, 39})
                EXPECT_NE(level.At(column, row), 1) << "wall at " << column << "," << row;
    }
}

TEST(MapTool, TheFourthLevelLeavesRoomForTheGamesObjects)
{
    const MapFile level("testmap.txt");
    // Empty: the lifts' travel (columns 6-8 and 31-33 from y 100 to 350 with a
    // rider on top, 18-20 from 350 to 600) and the flyers' starts at
    // (120, 48) and (840, 48).
    const int open[][4] = {{6, 8, 3, 15}, {31, 33, 3, 15}, {18, 20, 13, 25}, {4, 6, 0, 3},
                           {34, 36, 0, 3}};
    for (const auto& box : open)
        for (int column = box[0]; column <= box[1]; ++column)
            for (int row = box[2]; row <= box[3]; ++row)
                EXPECT_EQ(level.At(column, row), 0) << column << "," << row;
    // The walker patrols x 48..890 on row 26 with nothing in its way.
    for (int column = 1; column <= 38; ++column)
    {
        EXPECT_EQ(level.At(column, 26), 1) << column;
        EXPECT_EQ(level.At(column, 25), 0) << column;
    }
}

TEST(MapTool, MalformedSourcesAreRefusedNamingTheLine)
{
    const std::string head = "output a.png\npalette\nk 0xFF000000\n";
    ExpectRejected<PixelArt>("palette\nk 0xFF000000\npixels\nk\n", "no output");
    ExpectRejected<PixelArt>(head + "pixels\nkk\nk\n", "line 6: row is 1 wide");
    ExpectRejected<PixelArt>(head + "pixels\nkx\n", "'x' is not in the palette");
    // The game never blends: a colour without full alpha is a slip.
    ExpectRejected<PixelArt>("output a.png\npalette\nk 0x8000FF00\npixels\nk\n", "line 3");
    ExpectRejected<PixelArt>("output ../a.png\n", "line 1");
    ExpectRejected<PixelArt>(head + "pixels\n", "no pixel rows");
    PictureSet pictures;
    std::string error;
    ASSERT_TRUE(pictures.Add("a", head + "pixels\nk\n", error)) << error;
    EXPECT_FALSE(pictures.Add("b", head + "pixels\nk\n", error));
    EXPECT_NE(error.find("also written by a"), std::string::npos) << error;

    const std::string empty(40, '.');
    const std::string floor(40, '#');
    const std::string starts = "..1" + std::string(34, '.') + "2..";
    const std::string level = "output t.txt\nkind level\ngrid\n";
    ExpectRejected<MapSource>(level + Rows(27, empty) + starts + "\n" + Rows(2, empty),
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(level + Rows(27, empty) + starts + "\n##^" + floor.substr(3) +
                                  "\n" + empty,
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(level + Rows(28, empty) + floor + "\n" + empty,
                              "no start for player 1");
    ExpectRejected<MapSource>(level + Rows(2, starts), "a second start");
    ExpectRejected<MapSource>(level + Rows(29, empty), "29 rows, not 30");
    ExpectRejected<MapSource>(level + empty + ".\n", "41 symbols");
    ExpectRejected<MapSource>(level + "*" + empty.substr(1) + "\n", "symbol '*'");
    ExpectRejected<MapSource>("output t.txt\nkind background\ngrid\n#" + empty.substr(1),
                              "symbol '#'");
    ExpectRejected<MapSource>("output t.txt\ngrid\n" + Rows(30, empty), "must both be named");
}
