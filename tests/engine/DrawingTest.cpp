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
#include <vector>

namespace
{
constexpr uint32_t kPaper = 0x00101820;
constexpr uint32_t kInk = 0x00C0FFEE;
constexpr uint32_t kCopied = 0x00445566; // the background's colour
const double kHuge = 1e300;
const double kInf = std::numeric_limits<double>::infinity();

// What a call draws: the string "MMMM" for Text, the background's colour
// for Copy, the rest in ink.
enum Shape
{
    Rectangle,
    Oval,
    Triangle,
    Region, // vertical-sided
    Pixel,
    Copy,
    Text,
};

// One drawing call: its shape, and its numbers in the order its function
// takes them (corners, vertices, or a place and a size).
struct Call
{
    Shape shape;
    double a, b, c = 0, d = 0, e = 0, f = 0;
};

void Draw(BaseEngine& engine, const Call& call)
{
    // Only the shapes that take whole numbers convert (huge doubles would not).
    const auto whole = [](double number) { return static_cast<int>(number); };
    switch (call.shape)
    {
    case Rectangle:
        engine.DrawRectangle(whole(call.a), whole(call.b), whole(call.c), whole(call.d), kInk);
        break;
    case Oval:
        engine.DrawOval(whole(call.a), whole(call.b), whole(call.c), whole(call.d), kInk);
        break;
    case Triangle:
        engine.DrawTriangle(call.a, call.b, call.c, call.d, call.e, call.f, kInk);
        break;
    case Region:
        engine.DrawVerticalSidedRegion(call.a, call.b, call.c, call.d, call.e, call.f, kInk);
        break;
    case Pixel:
        engine.SafeSetPixel(whole(call.a), whole(call.b), kInk);
        break;
    case Copy:
        engine.CopyBackgroundPixels(whole(call.a), whole(call.b), whole(call.c), whole(call.d));
        break;
    case Text:
        engine.DrawString(whole(call.a), whole(call.b), "MMMM", kInk);
        break;
    }
}

// A block of an image copied into the screen, opaque or with its mask.
struct ImageCopy
{
    int sourceX, sourceY, x, y, width, height;
    bool masked;
};

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
    const std::vector<Call> scene = {
        // Rectangles: one pixel, corners either way, over each edge, just off.
        {Rectangle, 10, 10, 10, 10},
        {Rectangle, 140, 60, 100, 20},
        {Rectangle, -5, -5, 4, 4},
        {Rectangle, 955, 100, 2000, 101},
        {Rectangle, 200, 715, 201, 900},
        {Rectangle, 960, 0, INT_MAX, 5},
        {Rectangle, 0, INT_MIN, 5, -1},
        {Pixel, -1, 0},
        {Pixel, 960, 0},
        {Pixel, 0, -1},
        {Pixel, 0, 720},
        {Pixel, 959, 30},
        // Ovals: a disc either way round, a thin one, empty ones, over each edge.
        {Oval, 30, 130, 180, 280},
        {Oval, 380, 280, 230, 130},
        {Oval, 0, 40, 1, 50},
        {Oval, 500, 200, 500, 280},
        {Oval, 520, 250, 580, 250},
        {Oval, -50, 400, 50, 500},
        {Oval, 909, 300, 1009, 400},
        {Oval, 400, -50, 500, 50},
        {Oval, 600, 669, 700, 769},
        // Triangles: vertical left and right sides, the apex up in two
        // vertex orders, three vertices in a column (only first to third),
        // and over each edge.
        {Triangle, 200, 10, 210, 10, 200, 20},
        {Triangle, 230, 20, 235, 10, 240, 20},
        {Triangle, 260, 20, 250, 20, 255, 10},
        {Triangle, 270, 15, 280, 10, 280, 20},
        {Triangle, 290, 2, 290, 8, 290, 6},
        {Triangle, 295, 6, 295, 8, 295, 2},
        {Triangle, 940, 500, 970, 500, 940, 530},
        {Triangle, -20, 560, 10, 560, -20, 590},
        {Triangle, 700, -20, 730, -20, 700, 10},
        {Triangle, 800, 710, 830, 710, 800, 740},
        // Far off or infinite: nothing, and no overflow on the way.
        {Triangle, kHuge, 0, 2 * kHuge, 0, kHuge, 10},
        {Triangle, -kHuge, 5, -kHuge, 7, -kHuge / 2, 9},
        {Triangle, 0, kHuge, 10, kHuge, 5, kInf},
        {Triangle, 0, -kHuge, 10, -kInf, 5, -kHuge},
        // Regions: pix(-0.7) is 0, pix(0.5) 1, pix(-1.6) -1; right to left is
        // the same region.
        {Region, -0.7, -0.7, 60.5, 62.49},
        {Region, -1.6, -1.6, 60, 65},
        {Region, 344, 340, 4, 0, 8, 0},
        // Background copies, clipped or empty.
        {Copy, 940, 700, 30, 30},
        {Copy, 400, 300, 2, 3},
        {Copy, -5, 600, 10, 10},
        {Copy, 100, 300, 0, 10},
        {Copy, 100, 300, 10, -1},
        {Copy, 960, 0, 10, 10},
        {Copy, INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {Copy, INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        // Text clipped at each edge, and far off.
        {Text, -12, 320},
        {Text, 900, 620},
        {Text, 820, -8},
        {Text, 420, 700},
        {Text, INT_MAX - 5, 10},
        {Text, 10, INT_MAX - 5},
        {Text, INT_MIN, INT_MIN},
        {Text, INT_MIN + 5, 10},
        {Text, 960, 0}};
    for (const Call& call : scene)
        Draw(m_engine, call);
    SDL_Surface* screen = m_engine.GetForeground();
    m_engine.DrawString(500, 50, "Skirmora", kInk);
    m_engine.DrawString(10, 10, "", kInk);
    m_engine.DrawString(10, 10, nullptr, kInk);

    // Images: whole, a block, clipped at each edge, masked, far off.
    PixelImage image;
    Load(image, 24, 24, Coordinates);
    const ImageCopy copies[] = {{0, 0, 330, 400, 24, 24, false},
                                {0, 0, 330, 440, 24, 24, true},
                                {2, 3, 370, 400, 5, 4, false},
                                {2, 3, 370, 440, 5, 4, true},
                                {0, 0, -5, 640, 24, 24, false},
                                {0, 0, -5, 680, 24, 24, true},
                                {0, 0, 950, 420, 24, 24, false},
                                {0, 0, 950, 460, 24, 24, true},
                                {0, 0, 560, 710, 24, 24, false},
                                {0, 0, 860, 700, 24, 24, true},
                                {0, 0, 620, -7, 24, 24, false},
                                {0, 0, 660, -7, 24, 24, true},
                                {0, 0, 410, 400, INT_MAX, INT_MAX, false},
                                {0, 0, INT_MAX - 5, 0, 24, 24, true},
                                {0, 0, INT_MIN, 0, 24, 24, false},
                                {0, 0, 0, INT_MIN, 24, 24, true}};
    for (const ImageCopy& copy : copies)
    {
        if (copy.masked)
            image.RenderImageWithMask(screen, copy.sourceX, copy.sourceY, copy.x, copy.y, copy.width,
                                      copy.height);
        else
            image.RenderImage(screen, copy.sourceX, copy.sourceY, copy.x, copy.y, copy.width, copy.height);
    }
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
