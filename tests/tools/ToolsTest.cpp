// The data tools and the data they made: committed pictures, thumbnails and
// map files must be what the tools make from their sources, the levels must
// be playable, and malformed sources are refused.
#include "engine/PixelImage.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"
#include "tools/LevelPicture.h"
#include "tools/MapSource.h"
#include "tools/PictureSet.h"
#include "tools/PngFile.h"
#include "tools/SourceDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace GameData;

namespace
{
struct Picture
{
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Picture Load(const std::string& path)
{
    Picture picture;
    EXPECT_TRUE(PngFile::Load(path, picture.pixels, picture.width, picture.height)) << path;
    return picture;
}

std::string Source(const std::string& path) { return testing_support::SourceDir() + "/" + path; }

template <typename Parsed> void ExpectRejected(const std::string& text, const std::string& message)
{
    Parsed source;
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

TEST(Tools, CommittedPicturesThumbnailsAndMapsAreRemadeExactly)
{
    PictureSet pictures;
    std::string error;
    ASSERT_TRUE(pictures.LoadDirectory(Source("tools/art"), error)) << error;
    const std::string out = testing_support::MakeTempDir();
    ASSERT_TRUE(pictures.WriteAll(out, error)) << error;
    // Every committed sprite and icon is made by a source, with the same pixels.
    const std::vector<std::string> paths = pictures.OutputPaths();
    const std::set<std::string> written(paths.begin(), paths.end());
    for (const char* folder : {"sprites", "icons"})
        for (const auto& entry : fs::recursive_directory_iterator(Source("Resources/") + folder))
            EXPECT_TRUE(written.count(fs::relative(entry.path(), Source("Resources")).string()) ||
                        entry.is_directory())
                << entry.path() << " has no source";
    for (const std::string& path : written)
        EXPECT_EQ(Load(out + "/" + path).pixels, Load(Source("Resources/") + path).pixels) << path;
    fs::remove_all(out);

    std::vector<SourceDirectory::Source> sources;
    ASSERT_TRUE(SourceDirectory::Read(Source("tools/maps"), ".map", sources, error)) << error;
    for (const auto& source : sources)
    {
        MapSource map;
        ASSERT_TRUE(map.Parse(source.text, error)) << source.path << ": " << error;
        EXPECT_EQ(map.MapFileText(), testing_support::ReadFile(Source("Resources/maps/") + map.GetOutput()))
            << map.GetOutput() << " differs from " << source.path;
    }
    EXPECT_EQ(sources.size(), 5u);

    GameDriver game;
    LevelPicture picture(game);
    for (int index = 0; index < kLevelCount; ++index)
    {
        ASSERT_TRUE(picture.PaintLevel(index)) << kLevelFiles[index];
        const Picture committed = Load(Source(kThumbnailFiles[index]));
        EXPECT_EQ(committed.width * 1000 + committed.height, kThumbnailWidth * 1000 + kThumbnailHeight);
        EXPECT_EQ(picture.Thumbnail(committed.width, committed.height), committed.pixels)
            << kThumbnailFiles[index] << " is not what " << kLevelFiles[index] << " draws";
    }
    EXPECT_FALSE(picture.Paint("missing.txt"));
}

TEST(Tools, PicturesSurviveTheGamesResamplingAndTellTheFightersApart)
{
    // The game skips pixels equal to the lower-right one: after its
    // resampling those must be exactly the transparent ones.
    for (int code = 0; code < kTilePictureCount; ++code)
    {
        const Picture source = Load(Source(kTilePictureFiles[code]));
        PixelImage loaded, kept;
        ASSERT_TRUE(loaded.LoadImage(Source(kTilePictureFiles[code]).c_str()));
        kept.ResizeFrom(loaded, kTileSize, kTileSize, false);
        const bool masked = source.At(23, 23) >> 24 == 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(source.At(x, y) >> 24 == 0, masked && kept.GetPixel(x, y) == 0)
                    << kTilePictureFiles[code] << " at " << x << "," << y;
    }
    // Fighters are opaque, mirrored left and right, on backdrops of their own.
    std::set<uint32_t> backdrops;
    for (const SpriteFiles& files : kSpriteFiles)
    {
        const Picture right = Load(Source(files.right));
        const Picture left = Load(Source(files.left));
        ASSERT_EQ(right.width * right.height, 144 * 144);
        for (int y = 0; y < 144; ++y)
            for (int x = 0; x < 144; ++x)
            {
                ASSERT_EQ(right.At(x, y) >> 24, 0xFFu) << files.right;
                ASSERT_EQ(left.At(143 - x, y), right.At(x, y)) << files.left << " is no mirror";
            }
        backdrops.insert(right.At(6, 6));
    }
    EXPECT_EQ(backdrops.size(), static_cast<size_t>(kKindCount));
}

TEST(Tools, EveryLevelIsPlayableForTwoWithRoomForTheFourthLevelsObjects)
{
    GameDriver game(nullptr);
    for (int index = 0; index < kLevelCount; ++index)
    {
        SCOPED_TRACE(kLevelFiles[index]);
        game.LoadLevelFile(index);
        const auto at = [&](int column, int row) { return game.GetLevelTile(column, row); };
        const int startX[] = {game.GetPlayer1StartX(), game.GetPlayer2StartX()};
        const int startY[] = {game.GetPlayer1StartY(), game.GetPlayer2StartY()};
        for (int player = 0; player < 2; ++player) // on a brick, well apart
        {
            ASSERT_TRUE(startX[player] % kTileSize == 0 && startY[player] % kTileSize == 0);
            EXPECT_EQ(at(startX[player] / kTileSize, startY[player] / kTileSize), kEmptyTile);
            EXPECT_EQ(at(startX[player] / kTileSize, startY[player] / kTileSize + 1), kBrickTile);
        }
        EXPECT_GE(std::abs(startX[0] - startX[1]), 240);
        // Every lever stands on something; thin platforms and jump blocks.
        int levers = 0, standable = 0, platforms = 0, blocks = 0;
        for (int row = 0; row < kGridRows; ++row)
            for (int column = 0; column < kGridColumns; ++column)
            {
                levers += at(column, row) == kLeverTile;
                standable += at(column, row) == kLeverTile && row + 1 < kGridRows &&
                             (at(column, row + 1) == kBrickTile || at(column, row + 1) == kThinPlatformTile);
                platforms += at(column, row) == kThinPlatformTile;
                blocks += at(column, row) == kJumpBlockTile;
            }
        EXPECT_GE(standable, 1);
        EXPECT_EQ(standable, levers);
        EXPECT_GE(platforms, 8);
        EXPECT_GE(blocks, 1);
        // No wall at either side above the starts: a knock-out stays possible.
        for (int row = 0; row <= std::max(startY[0], startY[1]) / kTileSize; ++row)
            EXPECT_TRUE(at(0, row) != kBrickTile && at(39, row) != kBrickTile) << "wall on row " << row;
    }
    // The fourth level keeps the lifts' travel (with a rider on top), the
    // flyers' starts and the walker's floor clear.
    const auto clear = [&](int x1, int y1, int x2, int y2) {
        for (int row = y1 / kTileSize; row <= y2 / kTileSize; ++row)
            for (int column = x1 / kTileSize; column <= x2 / kTileSize; ++column)
                EXPECT_EQ(game.GetLevelTile(column, row), kEmptyTile) << column << "," << row;
    };
    for (const LiftPlacement& lift : kLifts)
        clear(lift.x, lift.minY - kTileSize, lift.x + 3 * kTileSize - 1, lift.maxY + kTileSize - 1);
    for (const FlyerPlacement& flyer : kFlyers)
        clear(flyer.x, flyer.y, flyer.x + kTileSize - 1, flyer.y + kTileSize - 1);
    clear(48, kWalker.y, 890 + kTileSize - 1, kWalker.y + kTileSize - 1);
    for (int column = 1; column <= 38; ++column)
        EXPECT_EQ(game.GetLevelTile(column, kWalker.y / kTileSize + 1), kBrickTile) << column;
}

TEST(Tools, MalformedSourcesAreRefusedNamingTheLine)
{
    const std::string head = "output a.png\npalette\nk 0xFF000000\n";
    ExpectRejected<PixelArt>("palette\nk 0xFF000000\npixels\nk\n", "no output");
    ExpectRejected<PixelArt>(head + "pixels\nkk\nk\n", "line 6: row is 1 wide");
    ExpectRejected<PixelArt>(head + "pixels\nkx\n", "'x' is not in the palette");
    ExpectRejected<PixelArt>("output a.png\npalette\nk 0x8000FF00\npixels\nk\n", "line 3");
    ExpectRejected<PixelArt>("output ../a.png\n", "line 1");
    ExpectRejected<PixelArt>(head + "pixels\n", "no pixel rows");
    PictureSet pictures;
    std::string error;
    ASSERT_TRUE(pictures.Add("a", head + "pixels\nk\n", error)) << error;
    EXPECT_FALSE(pictures.Add("b", head + "pixels\nk\n", error));
    EXPECT_NE(error.find("also written by a"), std::string::npos) << error;

    const std::string empty(40, '.'), floor(40, '#');
    const std::string starts = "..1" + std::string(34, '.') + "2..";
    const std::string level = "output t.txt\nkind level\ngrid\n";
    ExpectRejected<MapSource>(level + Rows(27, empty) + starts + "\n" + Rows(2, empty),
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(level + Rows(27, empty) + starts + "\n##^" + floor.substr(3) + "\n" + empty,
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(level + Rows(28, empty) + floor + "\n" + empty, "no start for player 1");
    ExpectRejected<MapSource>(level + Rows(2, starts), "a second start");
    ExpectRejected<MapSource>(level + Rows(29, empty), "29 rows, not 30");
    ExpectRejected<MapSource>(level + empty + ".\n", "41 symbols");
    ExpectRejected<MapSource>(level + "*" + empty.substr(1) + "\n", "symbol '*'");
    ExpectRejected<MapSource>("output t.txt\nkind background\ngrid\n#" + empty.substr(1), "symbol '#'");
    ExpectRejected<MapSource>("output t.txt\ngrid\n" + Rows(30, empty), "must both be named");
}
