// Drawing: every primitive, text and image copy, clipped at each edge of its
// surface or far off it, and images that fail to load, composed into one
// scene and compared whole with a reference. (The outline around the HUD's
// text shows in the reference screens of the game.)
#include "engine/BaseEngine.h"
#include "engine/PixelImage.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <string>

namespace
{
constexpr uint32_t kPaper = 0x00101820;
constexpr uint32_t kInk = 0x00C0FFEE;
constexpr uint32_t kCopied = 0x00445566; // the background's colour
const double kHuge = 1e300;
const double kInf = std::numeric_limits<double>::infinity();

// 24 x 24, opaque, each pixel telling its place: red the column, green the
// row; the lower-right one is the mask colour.
uint32_t Coordinates(int x, int y)
{
    return 0xFF000000u | static_cast<uint32_t>(x * 10) << 16 | static_cast<uint32_t>(y * 10) << 8 | 0x40;
}

void Load(PixelImage& image, int width, int height, uint32_t (*pixel)(int, int))
{
    const std::string path = testing_support::MakeTempDir() + "/picture.png";
    ASSERT_TRUE(testing_support::WritePng(path, width, height, pixel));
    ASSERT_TRUE(image.LoadImage(path.c_str()));
}

class DrawingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine), 0);
        testing_support::FillSurface(m_engine.GetForeground(), kPaper);
        testing_support::FillSurface(m_engine.GetBackground(), kCopied);
    }
    void TearDown() override { m_engine.Deinitialise(); }

    BaseEngine m_engine;
};
} // namespace

TEST_F(DrawingTest, EveryPrimitiveTextAndImageCopyMakesTheReferenceScene)
{
    // Rectangles: one pixel, corners either way, over each edge, just off.
    m_engine.DrawRectangle(10, 10, 10, 10, kInk);
    m_engine.DrawRectangle(140, 60, 100, 20, kInk);
    m_engine.DrawRectangle(-5, -5, 4, 4, kInk);
    m_engine.DrawRectangle(955, 100, 2000, 101, kInk);
    m_engine.DrawRectangle(200, 715, 201, 900, kInk);
    m_engine.DrawRectangle(960, 0, INT_MAX, 5, kInk);
    m_engine.DrawRectangle(0, INT_MIN, 5, -1, kInk);
    m_engine.SafeSetPixel(-1, 0, kInk);
    m_engine.SafeSetPixel(960, 0, kInk);
    m_engine.SafeSetPixel(0, -1, kInk);
    m_engine.SafeSetPixel(0, 720, kInk);
    m_engine.SafeSetPixel(959, 30, kInk);
    // Ovals: a disc either way round, a thin one, empty ones, over each edge.
    m_engine.DrawOval(30, 130, 180, 280, kInk);
    m_engine.DrawOval(380, 280, 230, 130, kInk);
    m_engine.DrawOval(0, 40, 1, 50, kInk);
    m_engine.DrawOval(500, 200, 500, 280, kInk);
    m_engine.DrawOval(520, 250, 580, 250, kInk);
    m_engine.DrawOval(-50, 400, 50, 500, kInk);
    m_engine.DrawOval(909, 300, 1009, 400, kInk);
    m_engine.DrawOval(400, -50, 500, 50, kInk);
    m_engine.DrawOval(600, 669, 700, 769, kInk);
    // Triangles: vertical left and right sides, the apex up in two
    // vertex orders, three vertices in a column (only first to third),
    // and over each edge.
    m_engine.DrawTriangle(200, 10, 210, 10, 200, 20, kInk);
    m_engine.DrawTriangle(230, 20, 235, 10, 240, 20, kInk);
    m_engine.DrawTriangle(260, 20, 250, 20, 255, 10, kInk);
    m_engine.DrawTriangle(270, 15, 280, 10, 280, 20, kInk);
    m_engine.DrawTriangle(290, 2, 290, 8, 290, 6, kInk);
    m_engine.DrawTriangle(295, 6, 295, 8, 295, 2, kInk);
    m_engine.DrawTriangle(940, 500, 970, 500, 940, 530, kInk);
    m_engine.DrawTriangle(-20, 560, 10, 560, -20, 590, kInk);
    m_engine.DrawTriangle(700, -20, 730, -20, 700, 10, kInk);
    m_engine.DrawTriangle(800, 710, 830, 710, 800, 740, kInk);
    // Far off or infinite: nothing, and no overflow on the way.
    m_engine.DrawTriangle(kHuge, 0, 2 * kHuge, 0, kHuge, 10, kInk);
    m_engine.DrawTriangle(-kHuge, 5, -kHuge, 7, -kHuge / 2, 9, kInk);
    m_engine.DrawTriangle(0, kHuge, 10, kHuge, 5, kInf, kInk);
    m_engine.DrawTriangle(0, -kHuge, 10, -kInf, 5, -kHuge, kInk);
    // Regions: pix(-0.7) is 0, pix(0.5) 1, pix(-1.6) -1; right to left is
    // the same region.
    m_engine.DrawVerticalSidedRegion(-0.7, -0.7, 60.5, 62.49, 0, 0, kInk);
    m_engine.DrawVerticalSidedRegion(-1.6, -1.6, 60, 65, 0, 0, kInk);
    m_engine.DrawVerticalSidedRegion(344, 340, 4, 0, 8, 0, kInk);
    // Background copies, clipped or empty.
    m_engine.CopyBackgroundPixels(940, 700, 30, 30);
    m_engine.CopyBackgroundPixels(400, 300, 2, 3);
    m_engine.CopyBackgroundPixels(-5, 600, 10, 10);
    m_engine.CopyBackgroundPixels(100, 300, 0, 10);
    m_engine.CopyBackgroundPixels(100, 300, 10, -1);
    m_engine.CopyBackgroundPixels(960, 0, 10, 10);
    m_engine.CopyBackgroundPixels(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    m_engine.CopyBackgroundPixels(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    // Text clipped at each edge, and far off.
    m_engine.DrawString(-12, 320, "MMMM", kInk);
    m_engine.DrawString(900, 620, "MMMM", kInk);
    m_engine.DrawString(820, -8, "MMMM", kInk);
    m_engine.DrawString(420, 700, "MMMM", kInk);
    m_engine.DrawString(INT_MAX - 5, 10, "MMMM", kInk);
    m_engine.DrawString(10, INT_MAX - 5, "MMMM", kInk);
    m_engine.DrawString(INT_MIN, INT_MIN, "MMMM", kInk);
    m_engine.DrawString(INT_MIN + 5, 10, "MMMM", kInk);
    m_engine.DrawString(960, 0, "MMMM", kInk);
    SDL_Surface* screen = m_engine.GetForeground();
    m_engine.DrawString(500, 50, "Skirmora", kInk);
    m_engine.DrawString(10, 10, "", kInk);
    m_engine.DrawString(10, 10, nullptr, kInk);

    // Images: whole, a block, clipped at each edge, masked, far off.
    PixelImage image;
    Load(image, 24, 24, Coordinates);
    image.RenderImage(screen, 0, 0, 330, 400, 24, 24);
    image.RenderImageWithMask(screen, 0, 0, 330, 440, 24, 24);
    image.RenderImage(screen, 2, 3, 370, 400, 5, 4);
    image.RenderImageWithMask(screen, 2, 3, 370, 440, 5, 4);
    image.RenderImage(screen, 0, 0, -5, 640, 24, 24);
    image.RenderImageWithMask(screen, 0, 0, -5, 680, 24, 24);
    image.RenderImage(screen, 0, 0, 950, 420, 24, 24);
    image.RenderImageWithMask(screen, 0, 0, 950, 460, 24, 24);
    image.RenderImage(screen, 0, 0, 560, 710, 24, 24);
    image.RenderImageWithMask(screen, 0, 0, 860, 700, 24, 24);
    image.RenderImage(screen, 0, 0, 620, -7, 24, 24);
    image.RenderImageWithMask(screen, 0, 0, 660, -7, 24, 24);
    image.RenderImage(screen, 0, 0, 410, 400, INT_MAX, INT_MAX);
    image.RenderImageWithMask(screen, 0, 0, INT_MAX - 5, 0, 24, 24);
    image.RenderImage(screen, 0, 0, INT_MIN, 0, 24, 24);
    image.RenderImageWithMask(screen, 0, 0, 0, INT_MIN, 24, 24);
    // Resampled up from 2 x 2, bilinear and point-sampled.
    Load(image, 2, 2, [](int x, int y) { return 0xFF640000u >> (8 * (x + y)) | 0xFF000000u; });
    PixelImage large;
    large.ResizeFrom(image, 40, 30, false);
    large.RenderImage(screen, 0, 0, 730, 200, 40, 30);
    large.ResizeFrom(image, 40, 30, true);
    large.RenderImage(screen, 0, 0, 780, 200, 40, 30);
    EXPECT_EQ(large.GetPixel(5, 5) >> 24, 0u) << "resampled pixels carry no alpha";
    // Transparent pixels load as 0 whatever their colour, so all of them
    // match a transparent lower-right one and are skipped.
    Load(image, 4, 4,
         [](int x, int y) { return x + y == 3 ? 0xFFFF0000u : 0x00102030u * static_cast<uint32_t>(x + 1); });
    image.RenderImageWithMask(screen, 0, 0, 880, 250, 4, 4);
    // A picture that fails to load is empty: drawn it is nothing, resampled black.
    EXPECT_FALSE(image.LoadImage("/nonexistent/picture.png"));
    EXPECT_FALSE(image.HasPixels());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    image.RenderImage(screen, 0, 0, 850, 250, 4, 4);
    image.RenderImageWithMask(screen, 0, 0, 850, 260, 4, 4);
    large.ResizeFrom(image, 5, 3, false);
    large.RenderImage(screen, 0, 0, 850, 270, 5, 3);
    large.RenderImageWithMask(screen, 0, 0, 860, 270, 5, 3);
    testing_support::ExpectMatchesReference(screen, "drawing-scene");
}
