// Images: loading PNGs, resampling, and copying into surfaces opaque or with
// the lower-right pixel as the transparent colour.
#include "engine/PixelImage.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

using testing_support::PixelAt;

namespace
{
constexpr uint32_t kPaper = 0x00101820;

// Owns a window-sized 32-bit surface like the engine's, without an engine.
class Surface
{
public:
    Surface(int width, int height)
        : m_surface(SDL_CreateRGBSurface(0, width, height, 32, 0x00FF0000, 0x0000FF00,
                                         0x000000FF, 0xFF000000))
    {
        testing_support::FillSurface(m_surface, kPaper);
    }
    ~Surface() { SDL_FreeSurface(m_surface); }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    SDL_Surface* get() const { return m_surface; }

private:
    SDL_Surface* m_surface;
};

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

int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }
} // namespace

TEST(PixelImageLoad, ReadsPixelsWithTransparentAreasAsZero)
{
    PixelImage image;
    Load(image, 3, 2, [](int x, int y) {
        if (x == 2)
            return 0x00FF0000u; // fully transparent red
        return 0xFF000000u | static_cast<uint32_t>(0x10 * (x + 1) + y);
    });
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF000010u);
    EXPECT_EQ(image.GetPixel(1, 1), 0xFF000021u);
    EXPECT_EQ(image.GetPixel(2, 0), 0u);
    EXPECT_EQ(image.GetPixel(2, 1), 0u);
}

TEST(PixelImageLoad, AFailedLoadLeavesAnEmptyImage)
{
    PixelImage image;
    Load(image, 4, 4, Coordinates);
    ASSERT_TRUE(image.HasPixels());

    EXPECT_FALSE(image.LoadImage("/nonexistent/picture.png"));
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_FALSE(image.HasPixels());
    // Not a picture at all.
    const std::string text = testing_support::MakeTempDir() + "/text.png";
    testing_support::WriteFile(text, "not a picture");
    EXPECT_FALSE(image.LoadImage(text.c_str()));
    EXPECT_EQ(image.GetWidth(), 0);

    // Drawing it touches nothing; resizing it gives black with alpha 0.
    Surface surface(20, 20);
    image.RenderImage(surface.get(), 0, 0, 0, 0, 4, 4);
    image.RenderImageWithMask(surface.get(), 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(testing_support::PixelsWithValue(surface.get(), kPaper).size(), 400u);
    PixelImage resized;
    resized.ResizeFrom(image, 5, 3, false);
    ASSERT_EQ(resized.GetWidth(), 5);
    ASSERT_EQ(resized.GetHeight(), 3);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(resized.GetPixels()[i], 0u) << i;
    // Opaque it shows as a black block; with the mask not at all.
    resized.RenderImage(surface.get(), 0, 0, 2, 2, 5, 3);
    EXPECT_EQ(testing_support::PixelsWithValue(surface.get(), 0u).size(), 15u);
    resized.RenderImageWithMask(surface.get(), 0, 0, 10, 10, 5, 3);
    EXPECT_EQ(PixelAt(surface.get(), 10, 10), kPaper);
}

TEST(PixelImageResize, TwoByTwoToFourByFour)
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
    // them; samples past the last column or row are left out, so the last
    // column and row come out darker. Alpha is 0 everywhere.
    const uint32_t expected[4][4] = {
        {0x640000, 0x960000, 0xC80000, 0x640000},
        {0x320064, 0x4B4032, 0x648000, 0x324000},
        {0x0000C8, 0x008064, 0x00FE00, 0x007F00},
        {0x000064, 0x004032, 0x007F00, 0x003F00},
    };
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.GetPixel(x, y), expected[y][x]) << x << "," << y;
}

TEST(PixelImageResize, SameSizeKeepsEveryChannelWithinOneUnit)
{
    PixelImage source;
    Load(source, 7, 5, [](int x, int y) {
        return 0xFF000000u | static_cast<uint32_t>((x * 37 + y * 11) % 256) << 16 |
               static_cast<uint32_t>((x * 5 + y * 71) % 256) << 8 |
               static_cast<uint32_t>((x * y * 29 + 200) % 256);
    });
    PixelImage image;
    image.ResizeFrom(source, 7, 5, false);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
        {
            const uint32_t was = source.GetPixel(x, y);
            const uint32_t now = image.GetPixel(x, y);
            EXPECT_EQ(now >> 24, 0u);
            for (int shift : {16, 8, 0})
                EXPECT_LE(std::abs(Channel(now, shift) - Channel(was, shift)), 1)
                    << x << "," << y << " shift " << shift;
        }
}

TEST(PixelImageResize, PointSamplingTakesThePixelUnderEachPosition)
{
    PixelImage source;
    Load(source, 4, 4, Coordinates);
    PixelImage point;
    point.ResizeFrom(source, 8, 2, true);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(point.GetPixel(x, y), Coordinates(x / 2, y * 2) & 0xFFFFFF) << x << "," << y;
}

TEST(PixelImageRender, CopiesTheBlockWholeAtItsPlace)
{
    PixelImage image;
    Load(image, 24, 24, Coordinates);
    Surface surface(100, 80);
    image.RenderImage(surface.get(), 2, 3, 10, 20, 5, 4);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
        {
            const bool inBlock = x >= 10 && x < 15 && y >= 20 && y < 24;
            EXPECT_EQ(PixelAt(surface.get(), x, y),
                      inBlock ? Coordinates(x - 10 + 2, y - 20 + 3) : kPaper)
                << x << "," << y;
        }
}

TEST(PixelImageRender, ClipsAtEveryEdgeWithoutWrapping)
{
    PixelImage image;
    Load(image, 24, 24, Coordinates);
    Surface surface(100, 80);
    SDL_Surface* target = surface.get();

    // Left: image columns 5..23 land at surface columns 0..18.
    image.RenderImage(target, 0, 0, -5, 10, 24, 24);
    for (int x = 0; x <= 18; ++x)
        EXPECT_EQ(PixelAt(target, x, 10), Coordinates(x + 5, 0)) << x;
    EXPECT_EQ(PixelAt(target, 19, 10), kPaper);

    // Right and bottom: only what is inside, nothing on the next row.
    testing_support::FillSurface(target, kPaper);
    image.RenderImage(target, 0, 0, 90, 70, 24, 24);
    EXPECT_EQ(PixelAt(target, 99, 79), Coordinates(9, 9));
    EXPECT_EQ(PixelAt(target, 90, 70), Coordinates(0, 0));
    EXPECT_EQ(testing_support::PixelsWithValue(target, kPaper).size(), 100u * 80u - 100u);

    // Top: rows 7.. of the image from surface row 0.
    testing_support::FillSurface(target, kPaper);
    image.RenderImage(target, 0, 0, 30, -7, 24, 24);
    EXPECT_EQ(PixelAt(target, 30, 0), Coordinates(0, 7));
    EXPECT_EQ(PixelAt(target, 53, 16), Coordinates(23, 23));
    EXPECT_EQ(PixelAt(target, 30, 17), kPaper);

    // At or beyond an edge: nothing at all.
    testing_support::FillSurface(target, kPaper);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {100, 0}, {5000, 0}, {0, 80}, {0, 9000}, {-24, 0}, {0, -24}, {-100000, -100000},
             {INT_MAX - 5, 0}, {0, INT_MAX - 5}, {INT_MIN, 0}, {0, INT_MIN}, {INT_MIN + 5, 5}})
    {
        image.RenderImage(target, 0, 0, x, y, 24, 24);
        image.RenderImageWithMask(target, 0, 0, x, y, 24, 24);
    }
    EXPECT_EQ(testing_support::PixelsWithValue(target, kPaper).size(), 100u * 80u);
}

TEST(PixelImageRender, MaskSkipsTheLowerRightColour)
{
    const uint32_t green = 0xFF00FF00;
    const uint32_t red = 0xFFFF0000;
    Surface surface(10, 10);

    // Green in the corner: the red anti-diagonal alone is copied.
    PixelImage image;
    Load(image, 4, 4, [=](int x, int y) { return x + y == 3 ? red : green; });
    image.RenderImageWithMask(surface.get(), 0, 0, 1, 1, 4, 4);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
        {
            const bool copied = x >= 1 && x <= 4 && y >= 1 && y <= 4 && (x - 1) + (y - 1) == 3;
            EXPECT_EQ(PixelAt(surface.get(), x, y), copied ? red : kPaper) << x << "," << y;
        }

    // Red in the corner: now the diagonal is skipped and the rest copied.
    testing_support::FillSurface(surface.get(), kPaper);
    PixelImage diagonal;
    Load(diagonal, 4, 4, [=](int x, int y) { return x == y ? red : green; });
    diagonal.RenderImageWithMask(surface.get(), 0, 0, 5, 5, 4, 4);
    EXPECT_EQ(PixelAt(surface.get(), 5, 5), kPaper);
    EXPECT_EQ(PixelAt(surface.get(), 8, 8), kPaper);
    EXPECT_EQ(PixelAt(surface.get(), 6, 5), green);
    EXPECT_EQ(testing_support::PixelsWithValue(surface.get(), green).size(), 12u);

    // An image of one colour is all mask and draws nothing.
    testing_support::FillSurface(surface.get(), kPaper);
    PixelImage plain;
    Load(plain, 4, 4, [=](int, int) { return green; });
    plain.RenderImageWithMask(surface.get(), 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(testing_support::PixelsWithValue(surface.get(), kPaper).size(), 100u);
}
