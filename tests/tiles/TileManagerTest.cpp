// The tile grid base: sizing, range drawing through the per-tile hook, and
// its grey test pattern.
#include "engine/BaseEngine.h"
#include "tests/TestSupport.h"
#include "tiles/TileManager.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using testing_support::PixelAt;

namespace
{
constexpr uint32_t kPaper = 0x00ABCDEF;

// mapX, mapY, screenX, screenY of one DrawTileAt call.
using TileCall = std::tuple<int, int, int, int>;

// Records the tiles offered to the hook instead of drawing them.
class RecordingTiles : public TileManager
{
public:
    RecordingTiles() : TileManager(24) {}
    void DrawTileAt(BaseEngine*, SDL_Surface* surface, int mapX, int mapY, int screenX,
                    int screenY) override
    {
        calls.emplace_back(mapX, mapY, screenX, screenY);
        lastSurface = surface;
    }

    std::vector<TileCall> calls;
    SDL_Surface* lastSurface = nullptr;
};

class TileManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, 960, 720, ""), 0);
        m_background = m_engine.GetBackground();
        testing_support::FillSurface(m_background, kPaper);
    }
    void TearDown() override { m_engine.Deinitialise(); }

    BaseEngine m_engine;
    SDL_Surface* m_background = nullptr;
};
} // namespace

TEST(TileManagerSize, StartsEmptyAndResizingClearsEveryCell)
{
    TileManager tiles(24);
    EXPECT_EQ(tiles.GetCells(), nullptr);
    EXPECT_EQ(tiles.GetMapWidth(), 0);
    EXPECT_EQ(tiles.GetMapHeight(), 0);
    EXPECT_EQ(tiles.GetTileWidth(), 24);
    EXPECT_EQ(tiles.GetTileHeight(), 24);

    tiles.SetMapSize(40, 30);
    ASSERT_NE(tiles.GetCells(), nullptr);
    EXPECT_EQ(tiles.GetMapWidth(), 40);
    EXPECT_EQ(tiles.GetMapHeight(), 30);
    for (int i = 0; i < 1200; ++i)
        ASSERT_EQ(tiles.GetCells()[i], 0) << i;

    // Cells are row by row.
    tiles.SetCell(39, 0, 7);
    tiles.SetCell(0, 1, 9);
    EXPECT_EQ(tiles.GetCells()[39], 7);
    EXPECT_EQ(tiles.GetCells()[40], 9);
    EXPECT_EQ(tiles.GetCell(0, 1), 9);

    tiles.SetMapSize(3, 2);
    EXPECT_EQ(tiles.GetMapWidth(), 3);
    EXPECT_EQ(tiles.GetMapHeight(), 2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(tiles.GetCells()[i], 0) << i;
}

TEST_F(TileManagerTest, RangeOffersEveryCellColumnByColumn)
{
    RecordingTiles tiles;
    tiles.SetMapSize(40, 30);
    tiles.DrawTileRange(&m_engine, m_background, 0, 0, 39, 29, 0, 0);

    ASSERT_EQ(tiles.calls.size(), 1200u);
    size_t i = 0;
    for (int mapX = 0; mapX < 40; ++mapX)
        for (int mapY = 0; mapY < 30; ++mapY, ++i)
            ASSERT_EQ(tiles.calls[i], TileCall(mapX, mapY, 24 * mapX, 24 * mapY)) << i;
    EXPECT_EQ(tiles.lastSurface, m_background);
}

TEST_F(TileManagerTest, RangePlacesItsFirstCellAtTheGivenPosition)
{
    RecordingTiles tiles;
    tiles.SetMapSize(10, 10);
    tiles.SetOrigin(500, 500);
    tiles.DrawTileRange(&m_engine, m_background, 2, 3, 3, 4, 100, 7);
    const std::vector<TileCall> expected = {
        {2, 3, 100, 7}, {2, 4, 100, 31}, {3, 3, 124, 7}, {3, 4, 124, 31}};
    EXPECT_EQ(tiles.calls, expected);

    tiles.calls.clear();
    tiles.DrawTileRange(&m_engine, m_background, 5, 5, 5, 5, -3, 9);
    EXPECT_EQ(tiles.calls, std::vector<TileCall>{TileCall(5, 5, -3, 9)});

    tiles.calls.clear();
    tiles.DrawTileRange(&m_engine, m_background, 4, 0, 3, 9, 0, 0);
    tiles.DrawTileRange(&m_engine, m_background, 0, 4, 9, 3, 0, 0);
    EXPECT_TRUE(tiles.calls.empty());
}

TEST_F(TileManagerTest, DrawTileInPlaceUsesTheOrigin)
{
    RecordingTiles tiles;
    tiles.SetMapSize(5, 5);
    tiles.SetOrigin(10, 20);
    tiles.DrawTileInPlace(&m_engine, m_background, 2, 1);
    tiles.DrawTile(&m_engine, m_background, 4, 4, 1, 2);
    const std::vector<TileCall> expected = {{2, 1, 58, 44}, {4, 4, 1, 2}};
    EXPECT_EQ(tiles.calls, expected);

    // With the base picture: the tile covers (58, 44) to (81, 67).
    TileManager grey(24);
    grey.SetMapSize(5, 5);
    grey.SetOrigin(10, 20);
    grey.DrawTileInPlace(&m_engine, m_background, 2, 1);
    EXPECT_EQ(PixelAt(m_background, 58, 44), 0x00303030u);
    EXPECT_EQ(PixelAt(m_background, 81, 67), 0x00303030u);
    EXPECT_EQ(PixelAt(m_background, 57, 44), kPaper);
    EXPECT_EQ(PixelAt(m_background, 82, 67), kPaper);
    EXPECT_EQ(PixelAt(m_background, 58, 68), kPaper);
    EXPECT_EQ(testing_support::PixelsWithValue(m_background, kPaper).size(),
              960u * 720u - 24u * 24u);
}

TEST_F(TileManagerTest, BasePictureIsADiagonalGreyPattern)
{
    TileManager grey(24);
    grey.SetMapSize(40, 30);
    grey.DrawTileRange(&m_engine, m_background, 0, 0, 39, 29, 0, 0);

    EXPECT_EQ(PixelAt(m_background, 0, 0), 0x00000000u);
    EXPECT_EQ(PixelAt(m_background, 24, 0), 0x00101010u);
    EXPECT_EQ(PixelAt(m_background, 15 * 24 + 23, 23), 0x00F0F0F0u);
    EXPECT_EQ(PixelAt(m_background, 16 * 24, 0), 0x00000000u);
    // One step per cell down as well as across, wrapping after 16.
    EXPECT_EQ(PixelAt(m_background, 24, 24 * 2), 0x00303030u);
    EXPECT_EQ(PixelAt(m_background, 959, 719), static_cast<uint32_t>((39 + 29) % 16) * 0x101010u);
    // The grid covers the whole window.
    EXPECT_TRUE(testing_support::PixelsWithValue(m_background, kPaper).empty());

    // The cell's value shifts the shade.
    grey.SetCell(0, 0, 5);
    grey.SetCell(1, 0, 15);
    grey.DrawTileRange(&m_engine, m_background, 0, 0, 1, 0, 0, 0);
    EXPECT_EQ(PixelAt(m_background, 10, 10), 0x00505050u);
    EXPECT_EQ(PixelAt(m_background, 30, 10), 0x00000000u);
}
