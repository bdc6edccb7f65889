// The tile grids: the base grid's sizing, range drawing through the per-tile
// hook and grey pattern, and the level and star grids' pictures, from small
// PNGs that each test writes into its own working directory.
#include "engine/BaseEngine.h"
#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"
#include "tiles/BackgroundMap.h"
#include "tiles/TileMap.h"
#include "tiles/TileManager.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using testing_support::PixelAt;
using testing_support::PixelsWithValue;

namespace
{
constexpr uint32_t kSky = 0x007EC0EE;

// A 48 x 48 picture of one colour, opaque in the box [left, right) x
// [top, bottom) and transparent elsewhere. Edges on even pixels keep every
// colour exact when the picture is halved to a 24 x 24 tile.
struct Picture
{
    const char* name;
    uint32_t colour;
    int left, top, right, bottom;
};
constexpr Picture kUnused{"background.png", 0x0000FF, 0, 0, 48, 48};
constexpr Picture kBrick{"brick.png", 0xB04020, 0, 0, 48, 48};
constexpr Picture kJump{"jumpblock.png", 0x20C0C0, 0, 0, 48, 48};
constexpr Picture kPlatform{"thinplatform.png", 0x60A060, 0, 0, 48, 24};
// Each lever leaves its bottom rows, and so the lower-right corner, clear.
constexpr Picture kLeverDay{"leverleft.png", 0xFF0000, 0, 0, 24, 40};
constexpr Picture kLeverNight{"leverright.png", 0xFFFF00, 24, 0, 48, 40};
constexpr Picture kStar{"star.png", 0xFFFFFF, 16, 16, 32, 32};
constexpr Picture kSmallStar{"smallstar.png", 0xE0E0FF, 20, 20, 28, 28};

// mapX, mapY, screenX, screenY of one DrawTileAt call.
using TileCall = std::tuple<int, int, int, int>;

// The base grid with its own grey pattern.
class GreyTiles final : public TileManager
{
public:
    using TileManager::TileManager;
};

// Records the tiles offered to the hook instead of drawing them.
class RecordingTiles final : public TileManager
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

class TileGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, 960, 720, ""), 0);
        m_surface = m_engine.GetBackground();
        testing_support::FillSurface(m_surface, kSky);
        for (const Picture& p : {kUnused, kBrick, kJump, kPlatform, kLeverDay, kLeverNight, kStar,
                                 kSmallStar})
            ASSERT_TRUE(testing_support::WritePng(
                std::string("Resources/sprites/environment/") + p.name, 48, 48, [&](int x, int y) {
                    const bool inside = x >= p.left && x < p.right && y >= p.top && y < p.bottom;
                    return inside ? 0xFF000000u | p.colour : 0u;
                }));
    }
    void TearDown() override { m_engine.Deinitialise(); }

    // Draws one row of the given codes along the top of the sky-blue surface.
    template <typename Grid> void DrawRow(Grid& grid, BaseEngine* engine, std::vector<int> codes)
    {
        testing_support::FillSurface(m_surface, kSky);
        const int count = static_cast<int>(codes.size());
        grid.SetMapSize(count, 1);
        for (int i = 0; i < count; ++i)
            grid.SetCell(i, 0, codes[i]);
        grid.DrawTileRange(engine, m_surface, 0, 0, count - 1, 0, 0, 0);
    }
    // The picture's pixels must be exactly its box, halved, in the tile at
    // column (the resampled pictures carry alpha 0, copied as it is).
    void ExpectShown(const Picture& p, int column) const
    {
        const int left = 24 * column;
        EXPECT_EQ(PixelsWithValue(m_surface, p.colour),
                  testing_support::PixelsWhere(960, 720, [&](int x, int y) {
                      return x >= left + p.left / 2 && x < left + p.right / 2 &&
                             y >= p.top / 2 && y < p.bottom / 2;
                  }))
            << p.name;
    }
    size_t SkyLeft() const { return PixelsWithValue(m_surface, kSky).size(); }

    std::string m_dir = testing_support::MakeTempDir();
    testing_support::WorkingDirectory m_cwd{m_dir};
    BaseEngine m_engine;
    SDL_Surface* m_surface = nullptr;
};
} // namespace

TEST(TileManagerSize, StartsEmptyAndEachSizeStartsWithEveryCellZero)
{
    GreyTiles tiles(24);
    EXPECT_EQ(tiles.GetCells(), nullptr);
    EXPECT_EQ(tiles.GetMapWidth(), 0);
    EXPECT_EQ(tiles.GetTileHeight(), 24);
    for (const auto& [width, height] : {std::pair(40, 30), std::pair(3, 2)})
    {
        tiles.SetMapSize(width, height);
        EXPECT_EQ(tiles.GetMapWidth(), width);
        EXPECT_EQ(tiles.GetMapHeight(), height);
        const int32_t* cells = tiles.GetCells();
        EXPECT_EQ(std::count(cells, cells + width * height, 0), width * height);
        // Cells are row by row.
        tiles.SetCell(width - 1, 0, 7);
        tiles.SetCell(0, 1, 9);
        EXPECT_EQ(cells[width - 1], 7);
        EXPECT_EQ(cells[width], 9);
    }
}

TEST_F(TileGridTest, RangeOffersCellsColumnByColumnFromTheGivenPosition)
{
    RecordingTiles tiles;
    tiles.SetMapSize(40, 30);
    tiles.SetOrigin(500, 500); // only drawing in place uses it
    tiles.DrawTileRange(&m_engine, m_surface, 0, 0, 39, 29, 0, 0);
    ASSERT_EQ(tiles.calls.size(), 1200u);
    size_t i = 0;
    for (int mapX = 0; mapX < 40; ++mapX)
        for (int mapY = 0; mapY < 30; ++mapY, ++i)
            ASSERT_EQ(tiles.calls[i], TileCall(mapX, mapY, 24 * mapX, 24 * mapY)) << i;
    EXPECT_EQ(tiles.lastSurface, m_surface);

    // A part, one cell, and ranges whose first cell is past their last.
    tiles.calls.clear();
    tiles.DrawTileRange(&m_engine, m_surface, 2, 3, 3, 4, 100, 7);
    tiles.DrawTileRange(&m_engine, m_surface, 5, 5, 5, 5, -3, 9);
    tiles.DrawTileRange(&m_engine, m_surface, 4, 0, 3, 9, 0, 0);
    tiles.DrawTileRange(&m_engine, m_surface, 0, 4, 9, 3, 0, 0);
    const std::vector<TileCall> expected = {
        {2, 3, 100, 7}, {2, 4, 100, 31}, {3, 3, 124, 7}, {3, 4, 124, 31}, {5, 5, -3, 9}};
    EXPECT_EQ(tiles.calls, expected);
}

TEST_F(TileGridTest, BasePictureIsADiagonalGreyPatternShiftedByTheCellValue)
{
    GreyTiles grey(24);
    grey.SetMapSize(40, 30);
    grey.SetCell(3, 5, 5);
    grey.SetCell(4, 5, 7);
    grey.DrawTileRange(&m_engine, m_surface, 0, 0, 39, 29, 0, 0);
    // One step of 0x101010 per cell across and down, wrapping after 16.
    EXPECT_EQ(PixelAt(m_surface, 0, 0), 0x00000000u);
    EXPECT_EQ(PixelAt(m_surface, 24, 0), 0x00101010u);
    EXPECT_EQ(PixelAt(m_surface, 15 * 24 + 23, 23), 0x00F0F0F0u);
    EXPECT_EQ(PixelAt(m_surface, 16 * 24, 0), 0x00000000u);
    EXPECT_EQ(PixelAt(m_surface, 24, 2 * 24), 0x00303030u);
    EXPECT_EQ(PixelAt(m_surface, 3 * 24, 5 * 24), 0x00D0D0D0u);
    EXPECT_EQ(PixelAt(m_surface, 4 * 24, 5 * 24), 0x00000000u);
    EXPECT_TRUE(PixelsWithValue(m_surface, kSky).empty());

    // In place: at the origin plus the cell's offset, one tile in size.
    testing_support::FillSurface(m_surface, kSky);
    grey.SetOrigin(10, 20);
    grey.DrawTileInPlace(&m_engine, m_surface, 2, 1);
    EXPECT_EQ(PixelsWithValue(m_surface, 0x00303030u),
              testing_support::PixelsWhere(960, 720, [](int x, int y) {
                  return x >= 58 && x <= 81 && y >= 44 && y <= 67;
              }));
    EXPECT_EQ(PixelsWithValue(m_surface, kSky).size(),
              960u * 720u - 24u * 24u);
}

TEST_F(TileGridTest, EachCodeDrawsItsPictureOpaqueMaskedOrNotAtAll)
{
    // Bricks and jump blocks are copied whole, the platform lets the sky
    // through its lower half, and a lever needs the game to choose its
    // picture: with a plain engine it draws nothing, as do codes without one.
    TileMap level(24);
    DrawRow(level, &m_engine, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ExpectShown(kBrick, 1);
    ExpectShown(kPlatform, 2);
    ExpectShown(kJump, 3);
    EXPECT_EQ(SkyLeft(), 960u * 720u - 2u * 576u - 288u);
}

TEST_F(TileGridTest, LeverFollowsTheGamesDayFlag)
{
    TileMap level(24);
    std::unique_ptr<Stage2Engine> game;
    {
        testing_support::StdoutCapture quiet;
        game = std::make_unique<Stage2Engine>();
    }
    ASSERT_FALSE(game->IsDaytime());
    DrawRow(level, game.get(), {4});
    ExpectShown(kLeverNight, 0);
    EXPECT_EQ(SkyLeft(), 960u * 720u - 240u);

    game->ToggleDaytime();
    DrawRow(level, game.get(), {4});
    ExpectShown(kLeverDay, 0);
    EXPECT_EQ(SkyLeft(), 960u * 720u - 240u);
}

TEST_F(TileGridTest, StarGridDrawsOnlyItsTwoStars)
{
    BackgroundMap stars(24);
    DrawRow(stars, &m_engine, {0, 1, 2, 3, 4, 5, 6, 9});
    ExpectShown(kStar, 4);
    ExpectShown(kSmallStar, 5);
    EXPECT_EQ(SkyLeft(), 960u * 720u - 64u - 16u);
}
