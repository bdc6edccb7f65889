// The level and star grids' pictures, from small PNGs that each test writes
// into its own working directory.
#include "engine/BaseEngine.h"
#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"
#include "tiles/BackgroundMap.h"
#include "tiles/TileMap.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using testing_support::PixelAt;
using testing_support::PixelsWithValue;
using Pixels = std::vector<std::pair<int, int>>;

namespace
{
constexpr uint32_t kSky = 0x007EC0EE;
constexpr uint32_t kBrick = 0xB04020;
constexpr uint32_t kPlatform = 0x60A060;
constexpr uint32_t kJump = 0x20C0C0;
constexpr uint32_t kLeverDay = 0xFF0000;
constexpr uint32_t kLeverNight = 0xFFFF00;
constexpr uint32_t kStar = 0xFFFFFF;
constexpr uint32_t kSmallStar = 0xE0E0FF;
constexpr uint32_t kUnused = 0x0000FF;

// Opaque where inside holds, fully transparent elsewhere. Pictures are
// 48 x 48 with edges on even pixels, so halving them to 24 x 24 keeps every
// colour exact.
std::function<uint32_t(int, int)> Shape(uint32_t colour, std::function<bool(int, int)> inside)
{
    return [colour, inside](int x, int y) { return inside(x, y) ? 0xFF000000u | colour : 0u; };
}

void WritePicture(const std::string& name, uint32_t colour,
                  std::function<bool(int, int)> inside = [](int, int) { return true; })
{
    ASSERT_TRUE(testing_support::WritePng("Resources/sprites/environment/" + name, 48, 48,
                                          Shape(colour, std::move(inside))));
}

// The 24 x 24 tile's pixels at (left, top) for which inside(column, row) holds.
Pixels TilePixels(int left, int top, const std::function<bool(int, int)>& inside)
{
    Pixels pixels;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            if (inside(x, y))
                pixels.emplace_back(left + x, top + y);
    return pixels;
}

class TileMapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_surface = SDL_CreateRGBSurface(0, 960, 720, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                         0xFF000000);
        ASSERT_NE(m_surface, nullptr);
        testing_support::FillSurface(m_surface, kSky);
    }
    void TearDown() override { SDL_FreeSurface(m_surface); }

    void WriteAllPictures()
    {
        WritePicture("background.png", kUnused);
        WritePicture("brick.png", kBrick);
        WritePicture("jumpblock.png", kJump);
        // The platform's lower half is transparent.
        WritePicture("thinplatform.png", kPlatform, [](int, int y) { return y < 24; });
        // Each lever shows one half, and both leave their bottom rows (and so
        // the lower-right corner) transparent.
        WritePicture("leverleft.png", kLeverDay, [](int x, int y) { return x < 24 && y < 40; });
        WritePicture("leverright.png", kLeverNight,
                     [](int x, int y) { return x >= 24 && y < 40; });
        WritePicture("star.png", kStar,
                     [](int x, int y) { return x >= 16 && x < 32 && y >= 16 && y < 32; });
        WritePicture("smallstar.png", kSmallStar,
                     [](int x, int y) { return x >= 20 && x < 28 && y >= 20 && y < 28; });
    }

    // Draws a one-row grid of the given codes from the screen's corner.
    template <typename Grid>
    void DrawRow(Grid& grid, BaseEngine* engine, const std::vector<int>& codes, int top = 0)
    {
        grid.SetMapSize(static_cast<int>(codes.size()), 1);
        for (size_t i = 0; i < codes.size(); ++i)
            grid.SetCell(static_cast<int>(i), 0, codes[i]);
        grid.DrawTileRange(engine, m_surface, 0, 0, static_cast<int>(codes.size()) - 1, 0, 0,
                           top);
    }

    size_t SkyLeft() const { return PixelsWithValue(m_surface, kSky).size(); }

    std::string m_dir = testing_support::MakeTempDir();
    testing_support::WorkingDirectory m_cwd{m_dir};
    SDL_Surface* m_surface = nullptr;
    BaseEngine m_plainEngine;
};
} // namespace

TEST_F(TileMapTest, CodesWithoutAPictureLeaveTheSurfaceAlone)
{
    WriteAllPictures();
    TileMap level(24);
    // A lever needs the game to choose its picture: with a plain engine it
    // draws nothing either.
    DrawRow(level, &m_plainEngine, {0, 5, 6, 7, 8, 9, -16, 100, -49, 4});
    DrawRow(level, nullptr, {4}, 100);
    EXPECT_EQ(SkyLeft(), 960u * 720u);
}

TEST_F(TileMapTest, BrickAndJumpBlockCoverTheirWholeTile)
{
    WriteAllPictures();
    TileMap level(24);
    DrawRow(level, &m_plainEngine, {1, 0, 3}, 48);

    auto all = [](int, int) { return true; };
    // The resampled pictures carry alpha 0, copied as they are.
    EXPECT_EQ(PixelsWithValue(m_surface, kBrick), TilePixels(0, 48, all));
    EXPECT_EQ(PixelsWithValue(m_surface, kJump), TilePixels(48, 48, all));
    EXPECT_EQ(SkyLeft(), 960u * 720u - 2u * 576u);
}

TEST_F(TileMapTest, ThinPlatformLetsTheSkyShowThrough)
{
    WriteAllPictures();
    TileMap level(24);
    DrawRow(level, &m_plainEngine, {0, 2});
    EXPECT_EQ(PixelsWithValue(m_surface, kPlatform),
              TilePixels(24, 0, [](int, int y) { return y < 12; }));
    EXPECT_EQ(PixelAt(m_surface, 24, 12), kSky);
    EXPECT_EQ(PixelAt(m_surface, 47, 23), kSky);
    EXPECT_EQ(SkyLeft(), 960u * 720u - 24u * 12u);
}

TEST_F(TileMapTest, LeverFollowsTheDayFlag)
{
    WriteAllPictures();
    TileMap level(24);
    std::unique_ptr<Stage2Engine> game;
    {
        testing_support::StdoutCapture quiet;
        game = std::make_unique<Stage2Engine>();
    }
    ASSERT_FALSE(game->IsDaytime());

    DrawRow(level, game.get(), {4});
    EXPECT_EQ(PixelsWithValue(m_surface, kLeverNight),
              TilePixels(0, 0, [](int x, int y) { return x >= 12 && y < 20; }));
    EXPECT_EQ(SkyLeft(), 960u * 720u - 12u * 20u);

    game->ToggleDaytime();
    testing_support::FillSurface(m_surface, kSky);
    DrawRow(level, game.get(), {4});
    EXPECT_EQ(PixelsWithValue(m_surface, kLeverDay),
              TilePixels(0, 0, [](int x, int y) { return x < 12 && y < 20; }));
    EXPECT_EQ(SkyLeft(), 960u * 720u - 12u * 20u);
}

TEST_F(TileMapTest, StarGridDrawsOnlyItsTwoStars)
{
    WriteAllPictures();
    BackgroundMap stars(24);
    DrawRow(stars, &m_plainEngine, {0, 1, 2, 3, 4, 5, 6, 9});

    EXPECT_EQ(PixelsWithValue(m_surface, kStar),
              TilePixels(96, 0, [](int x, int y) { return x >= 8 && x < 16 && y >= 8 && y < 16; }));
    EXPECT_EQ(PixelsWithValue(m_surface, kSmallStar),
              TilePixels(120, 0,
                         [](int x, int y) { return x >= 10 && x < 14 && y >= 10 && y < 14; }));
    EXPECT_EQ(SkyLeft(), 960u * 720u - 64u - 16u);
}

TEST_F(TileMapTest, MissingPicturesDrawBlackOpaqueTilesAndNothingMasked)
{
    // No picture files at all: the empty images resize to all-0 pixels,
    // opaque black for bricks and jump blocks, all mask for the rest.
    TileMap level(24);
    BackgroundMap stars(24);
    std::unique_ptr<Stage2Engine> game;
    {
        testing_support::StdoutCapture quiet;
        game = std::make_unique<Stage2Engine>();
    }
    DrawRow(level, game.get(), {1, 2, 3, 4});
    DrawRow(stars, game.get(), {4, 5}, 100);

    Pixels black;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 96; ++x)
            if (x < 24 || (x >= 48 && x < 72))
                black.emplace_back(x, y);
    EXPECT_EQ(PixelsWithValue(m_surface, 0u), black);
    EXPECT_EQ(SkyLeft(), 960u * 720u - black.size());
}
