// Images: loading PNGs, resampling, and copying into surfaces opaque or with
// the lower-right pixel as the transparent colour.
#include "engine/PixelImage.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

using testing_support::MakeSurface;
using testing_support::PixelAt;
using testing_support::PixelsWithValue;

namespace
{
constexpr uint32_t kPaper = 0x00101820;

// Writes a PNG into a fresh temp dir and loads it.
void Load(PixelImage& image, int width, int height,
          const std::function<uint32_t(int, int)>& pixel)
{
    const std::string path = testing_support::MakeTempDir() + "/picture.png";
    ASSERT_TRUE(testing_support::WritePng(path, width, height, pixel));
    ASSERT_TRUE(image.LoadImage(path.c_str()));
}

// Every pixel tells its own position: opaque, red = column, green = row.
uint32_t Coordinates(int x, int y)
{
    return 0xFF000000u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8 | 0x40;
}
} // namespace

TEST(PixelImageLoad, AFailedLoadLeavesAnEmptyImageSafeToResizeAndDraw)
{
    const std::string text = testing_support::MakeTempDir() + "/text.png";
    testing_support::WriteFile(text, "not a picture");
    PixelImage image;
    for (const std::string& path : {std::string("/nonexistent/picture.png"), text})
    {
        Load(image, 4, 4, Coordinates);
        EXPECT_FALSE(image.LoadImage(path.c_str()));
        EXPECT_EQ(image.GetWidth(), 0);
        EXPECT_EQ(image.GetHeight(), 0);
        EXPECT_FALSE(image.HasPixels());
    }
    const auto surface = MakeSurface(20, 20, kPaper);
    image.RenderImage(surface.get(), 0, 0, 0, 0, 4, 4);
    image.RenderImageWithMask(surface.get(), 0, 0, 0, 0, 4, 4);
    // Resized it is all 0: a black block opaque, nothing with the mask.
    PixelImage resized;
    resized.ResizeFrom(image, 5, 3, false);
    ASSERT_EQ(resized.GetWidth(), 5);
    ASSERT_EQ(resized.GetHeight(), 3);
    resized.RenderImage(surface.get(), 0, 0, 2, 2, 5, 3);
    resized.RenderImageWithMask(surface.get(), 0, 0, 10, 10, 5, 3);
    EXPECT_EQ(PixelsWithValue(surface.get(), 0u),
              testing_support::PixelsWhere(
                  20, 20, [](int x, int y) { return x >= 2 && x < 7 && y >= 2 && y < 5; }));
    EXPECT_EQ(PixelsWithValue(surface.get(), kPaper).size(), 400u - 15u);
}

TEST(PixelImageResize, BilinearWeightsLeaveOutSamplesPastTheEdgeAndZeroTheAlpha)
{
    PixelImage source;
    Load(source, 2, 2, [](int x, int y) {
        const uint32_t pixels[2][2] = {{0xFF640000, 0xFFC80000}, {0xFF0000C8, 0xFF00FF00}};
        return pixels[y][x];
    });
    PixelImage image;
    image.ResizeFrom(source, 4, 4, false);
    ASSERT_EQ(image.GetWidth(), 4);
    ASSERT_EQ(image.GetHeight(), 4);
    // Weights 0.999 / 0.001 on grid positions and 0.499 / 0.501 between
    // them, so the last column and row come out darker.
    const uint32_t expected[4][4] = {
        {0x640000, 0x960000, 0xC80000, 0x640000},
        {0x320064, 0x4B4032, 0x648000, 0x324000},
        {0x0000C8, 0x008064, 0x00FE00, 0x007F00},
        {0x000064, 0x004032, 0x007F00, 0x003F00},
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.GetPixel(x, y), expected[y][x]) << x << "," << y;

    // At the same size every channel stays within one unit.
    Load(source, 7, 5, [](int x, int y) {
        return 0xFF000000u | static_cast<uint32_t>((x * 37 + y * 11) % 256) << 16 |
               static_cast<uint32_t>((x * 5 + y * 71) % 256) << 8 |
               static_cast<uint32_t>((x * y * 29 + 200) % 256);
    });
    image.ResizeFrom(source, 7, 5, false);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
        {
            const uint32_t was = source.GetPixel(x, y), now = image.GetPixel(x, y);
            EXPECT_EQ(now >> 24, 0u);
            for (const int shift : {16, 8, 0})
                EXPECT_LE(std::abs(static_cast<int>((now >> shift) & 0xFF) -
                                   static_cast<int>((was >> shift) & 0xFF)),
                          1)
                    << x << "," << y << " shift " << shift;
        }
}

TEST(PixelImageRender, CopiesTheBlockClippedToSurfaceAndImageWithoutWrapping)
{
    PixelImage image;
    Load(image, 24, 24, Coordinates);
    const struct
    {
        int srcX, srcY, dstX, dstY, width, height;
    } blocks[] = {
        {2, 3, 10, 20, 5, 4},       {0, 0, -5, 10, 24, 24},          {0, 0, 90, 70, 24, 24},
        {0, 0, 30, -7, 24, 24},     {0, 0, 10, 10, INT_MAX, INT_MAX}, {0, 0, 100, 0, 24, 24},
        {0, 0, 5000, 0, 24, 24},    {0, 0, 0, 80, 24, 24},           {0, 0, -24, 0, 24, 24},
        {0, 0, 0, -24, 24, 24},     {0, 0, INT_MAX - 5, 0, 24, 24},  {0, 0, INT_MIN, 0, 24, 24},
        {0, 0, 0, INT_MIN, 24, 24}, {0, 0, 0, INT_MAX - 5, 24, 24},  {0, 0, INT_MIN + 5, 5, 24, 24},
    };
    for (const auto& b : blocks)
    {
        SCOPED_TRACE(::testing::Message() << "block at " << b.dstX << "," << b.dstY);
        const auto opaque = MakeSurface(100, 80, kPaper);
        const auto masked = MakeSurface(100, 80, kPaper);
        image.RenderImage(opaque.get(), b.srcX, b.srcY, b.dstX, b.dstY, b.width, b.height);
        image.RenderImageWithMask(masked.get(), b.srcX, b.srcY, b.dstX, b.dstY, b.width,
                                  b.height);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
            {
                const long long dx = x - static_cast<long long>(b.dstX);
                const long long dy = y - static_cast<long long>(b.dstY);
                const long long sx = dx + b.srcX, sy = dy + b.srcY;
                const bool copied = dx >= 0 && dx < b.width && dy >= 0 && dy < b.height &&
                                    sx < 24 && sy < 24;
                const uint32_t expected =
                    copied ? Coordinates(static_cast<int>(sx), static_cast<int>(sy)) : kPaper;
                ASSERT_EQ(PixelAt(opaque.get(), x, y), expected) << x << "," << y;
                // Only the lower-right pixel has the mask colour.
                const bool lowerRight = copied && sx == 23 && sy == 23;
                ASSERT_EQ(PixelAt(masked.get(), x, y), lowerRight ? kPaper : expected)
                    << x << "," << y;
            }
    }
}

TEST(PixelImageRender, MaskSkipsEveryPixelOfTheLowerRightColour)
{
    // Transparent pixels load as 0 whatever their colour, so all of them
    // match the lower-right one.
    const uint32_t red = 0xFFFF0000;
    const auto surface = MakeSurface(10, 10, kPaper);
    PixelImage image;
    Load(image, 4, 4, [=](int x, int y) { return x + y == 3 ? red : 0x00102030u * (x + 1) + y; });
    image.RenderImageWithMask(surface.get(), 0, 0, 1, 1, 4, 4);
    EXPECT_EQ(PixelsWithValue(surface.get(), red),
              testing_support::PixelsWhere(
                  10, 10, [](int x, int y) { return x >= 1 && y >= 1 && x + y == 5; }));
    EXPECT_EQ(PixelsWithValue(surface.get(), kPaper).size(), 96u);

    // An image of one colour is all mask and draws nothing.
    Load(image, 4, 4, [=](int, int) { return red; });
    image.RenderImageWithMask(surface.get(), 0, 0, 5, 5, 4, 4);
    EXPECT_EQ(PixelsWithValue(surface.get(), kPaper).size(), 96u);
}
