// Drawing: every primitive, text and image copy, clipped at each edge of its
// surface, composed into one scene and compared whole with a reference; the
// extremes that fill everything or nothing; images that fail to load.
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
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// One call in ink: R rectangle, O oval, T triangle, V vertical-sided
// region, P pixel, C background copy, S the string "MMMM".
struct Call
{
    char shape;
    double a, b, c = 0, d = 0, e = 0, f = 0;
};

void Draw(BaseEngine& engine, const Call& k, SDL_Surface* surface = nullptr)
{
    const auto i = [](double v) { return static_cast<int>(v); };
    switch (k.shape)
    {
    case 'R':
        engine.DrawRectangle(i(k.a), i(k.b), i(k.c), i(k.d), kInk, surface);
        break;
    case 'O':
        engine.DrawOval(i(k.a), i(k.b), i(k.c), i(k.d), kInk, surface);
        break;
    case 'T':
        engine.DrawTriangle(k.a, k.b, k.c, k.d, k.e, k.f, kInk, surface);
        break;
    case 'V':
        engine.DrawVerticalSidedRegion(k.a, k.b, k.c, k.d, k.e, k.f, kInk, surface);
        break;
    case 'P':
        engine.SafeSetPixel(i(k.a), i(k.b), kInk, surface);
        break;
    case 'S':
        engine.DrawString(i(k.a), i(k.b), "MMMM", kInk);
        break;
    default:
        engine.CopyBackgroundPixels(i(k.a), i(k.b), i(k.c), i(k.d));
    }
}

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
        {'R', 10, 10, 10, 10},
        {'R', 140, 60, 100, 20},
        {'R', -5, -5, 4, 4},
        {'R', 955, 100, 2000, 101},
        {'R', 200, 715, 201, 900},
        {'R', 960, 0, INT_MAX, 5},
        {'R', 0, INT_MIN, 5, -1},
        {'P', -1, 0},
        {'P', 960, 0},
        {'P', 0, -1},
        {'P', 0, 720},
        {'P', 959, 30},
        // Ovals: a disc either way round, a thin one, empty ones, over each edge.
        {'O', 30, 130, 180, 280},
        {'O', 380, 280, 230, 130},
        {'O', 0, 40, 1, 50},
        {'O', 500, 200, 500, 280},
        {'O', 520, 250, 580, 250},
        {'O', -50, 400, 50, 500},
        {'O', 909, 300, 1009, 400},
        {'O', 400, -50, 500, 50},
        {'O', 600, 669, 700, 769},
        // Triangles: vertical left and right sides, the apex up in two
        // vertex orders, three vertices in a column (only first to third),
        // and over each edge.
        {'T', 200, 10, 210, 10, 200, 20},
        {'T', 230, 20, 235, 10, 240, 20},
        {'T', 260, 20, 250, 20, 255, 10},
        {'T', 270, 15, 280, 10, 280, 20},
        {'T', 290, 2, 290, 8, 290, 6},
        {'T', 295, 6, 295, 8, 295, 2},
        {'T', 940, 500, 970, 500, 940, 530},
        {'T', -20, 560, 10, 560, -20, 590},
        {'T', 700, -20, 730, -20, 700, 10},
        {'T', 800, 710, 830, 710, 800, 740},
        // Regions: pix(-0.7) is 0, pix(0.5) 1, pix(-1.6) -1; right to left is
        // the same region.
        {'V', -0.7, -0.7, 60.5, 62.49},
        {'V', -1.6, -1.6, 60, 65},
        {'V', 344, 340, 4, 0, 8, 0},
        // Background copies, clipped or empty.
        {'C', 940, 700, 30, 30},
        {'C', 400, 300, 2, 3},
        {'C', -5, 600, 10, 10},
        {'C', 100, 300, 0, 10},
        {'C', 100, 300, 10, -1},
        {'C', 960, 0, 10, 10},
        {'C', INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {'C', INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        // Text clipped at each edge, and far off.
        {'S', -12, 320},
        {'S', 900, 620},
        {'S', 820, -8},
        {'S', 420, 700},
        {'S', INT_MAX - 5, 10},
        {'S', 10, INT_MAX - 5},
        {'S', INT_MIN, INT_MIN},
        {'S', INT_MIN + 5, 10},
        {'S', 960, 0}};
    for (const Call& call : scene)
        Draw(m_engine, call);
    SDL_Surface* screen = m_engine.GetForeground();
    m_engine.DrawString(500, 50, "Skirmora", kInk), m_engine.DrawString(10, 10, "", kInk),
        m_engine.DrawString(10, 10, nullptr, kInk);

    // Images: whole, a block, clipped at each edge, masked, far off.
    PixelImage image;
    Load(image, 24, 24, Coordinates);
    const int blocks[][7] = {{0, 0, 330, 400, 24, 24, 0},
                             {0, 0, 330, 440, 24, 24, 1},
                             {2, 3, 370, 400, 5, 4, 0},
                             {2, 3, 370, 440, 5, 4, 1},
                             {0, 0, -5, 640, 24, 24, 0},
                             {0, 0, -5, 680, 24, 24, 1},
                             {0, 0, 950, 420, 24, 24, 0},
                             {0, 0, 950, 460, 24, 24, 1},
                             {0, 0, 560, 710, 24, 24, 0},
                             {0, 0, 860, 700, 24, 24, 1},
                             {0, 0, 620, -7, 24, 24, 0},
                             {0, 0, 660, -7, 24, 24, 1},
                             {0, 0, 410, 400, INT_MAX, INT_MAX, 0},
                             {0, 0, INT_MAX - 5, 0, 24, 24, 1},
                             {0, 0, INT_MIN, 0, 24, 24, 0},
                             {0, 0, 0, INT_MIN, 24, 24, 1}};
    for (const auto& b : blocks)
        (image.*(b[6] ? &PixelImage::RenderImageWithMask : &PixelImage::RenderImage))(screen, b[0], b[1],
                                                                                      b[2], b[3], b[4], b[5]);
    // Resampled up from 2 x 2, bilinear and point-sampled.
    Load(image, 2, 2, [](int x, int y) { return 0xFF640000u >> (8 * (x + y)) | 0xFF000000u; });
    PixelImage large;
    for (const bool point : {false, true})
        large.ResizeFrom(image, 40, 30, point),
            large.RenderImage(screen, 0, 0, point ? 780 : 730, 200, 40, 30);
    EXPECT_EQ(large.GetPixel(5, 5) >> 24, 0u) << "resampled pixels carry no alpha";
    // Transparent pixels load as 0 whatever their colour, so all of them
    // match a transparent lower-right one and are skipped.
    Load(image, 4, 4,
         [](int x, int y) { return x + y == 3 ? 0xFFFF0000u : 0x00102030u * static_cast<uint32_t>(x + 1); });
    image.RenderImageWithMask(screen, 0, 0, 880, 250, 4, 4);
    // A picture that fails to load is empty: drawn it is nothing, resampled black.
    EXPECT_FALSE(image.LoadImage("/nonexistent/picture.png") || image.HasPixels() || image.GetWidth() ||
                 image.GetHeight());
    image.RenderImage(screen, 0, 0, 850, 250, 4, 4), image.RenderImageWithMask(screen, 0, 0, 850, 260, 4, 4);
    large.ResizeFrom(image, 5, 3, false);
    large.RenderImage(screen, 0, 0, 850, 270, 5, 3), large.RenderImageWithMask(screen, 0, 0, 860, 270, 5, 3);
    testing_support::ExpectMatchesReference(screen, "drawing-scene");
}

TEST_F(DrawingTest, ExtremesFillEverythingOrNothingAndStayOnTheirSurface)
{
    SDL_Surface* screen = m_engine.GetForeground();
    const auto inked = [](const std::vector<Call>& calls, SDL_Surface* surface, BaseEngine& engine) {
        testing_support::FillSurface(surface, kPaper);
        for (const Call& call : calls)
            Draw(engine, call, surface);
        return testing_support::CountRgb(surface, kInk);
    };
    for (const Call& call : {Call{'R', INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Call{'O', -2e9, -2e9, 2e9, 2e9},
                             Call{'T', -1e9, -1e9, 3e9, -1e9, -1e9, 3e9}})
        EXPECT_EQ(inked({call}, screen, m_engine), 960 * 720) << call.shape;
    EXPECT_EQ(inked({{'T', kHuge, 0, 2 * kHuge, 0, kHuge, 10},
                     {'T', -kHuge, 5, -kHuge, 7, -kHuge / 2, 9},
                     {'T', 0, kHuge, 10, kHuge, 5, kInf},
                     {'T', 0, -kHuge, 10, -kInf, 5, -kHuge}},
                    screen, m_engine),
              0);
    m_engine.CopyBackgroundPixels(0, 0, INT_MAX, INT_MAX);
    EXPECT_EQ(testing_support::CountRgb(screen, kCopied), 960 * 720);
    // Undefined coordinates stay within what the finite ones reach.
    const int undefined =
        inked({{'V', kInf, -kInf}, {'V', kNaN, kNaN, kNaN, kNaN, kNaN, kNaN}, {'T', kNaN, 1, 2, kNaN, 3, 4}},
              screen, m_engine);
    EXPECT_EQ(undefined, testing_support::CountRgb(screen, kInk, 0, 0, 959, 0) +
                             testing_support::CountRgb(screen, kInk, 0, 1, 4, 4));
    // A smaller surface bounds the rows and columns written.
    const auto small = testing_support::MakeSurface(10, 6, kPaper);
    EXPECT_EQ(
        inked({{'R', 0, 0, 100, 100}, {'O', -50, -50, 50, 50}, {'T', 0, 0, 500, 0, 0, 500}, {'P', 3, 8}},
              small.get(), m_engine),
        60);
}

TEST_F(DrawingTest, AnOutlineGoesAroundTheGlyphsAndLeavesThemAsTheyAre)
{
    SDL_Surface* screen = m_engine.GetForeground();
    const auto pixel = [screen](int x, int y) {
        return static_cast<uint32_t*>(screen->pixels)[y * screen->pitch / 4 + x];
    };
    m_engine.DrawString(100, 100, "Skirmora 100%", kInk);
    m_engine.DrawString(300, 300, "Back", 0x000001);
    std::vector<uint32_t> plain(960 * 720);
    for (int i = 0; i < 960 * 720; ++i)
        plain[static_cast<size_t>(i)] = pixel(i % 960, i / 960);
    testing_support::FillSurface(screen, kPaper);
    m_engine.SetTextOutline(true, 0x000001);
    m_engine.DrawString(100, 100, "Skirmora 100%", kInk);
    m_engine.DrawString(300, 300, "Back", 0x000001); // text of the outline's colour gets none
    int outlined = 0;
    for (int y = 1; y < 719; ++y)
        for (int x = 1; x < 959; ++x)
        {
            bool touches = false; // a glyph pixel of the plain text next to this one
            for (int i = 0; i < 9; ++i)
                touches |= plain[static_cast<size_t>((y + i / 3 - 1) * 960 + x + i % 3 - 1)] != kPaper;
            const bool glyph = plain[static_cast<size_t>(y * 960 + x)] != kPaper || y > 200;
            ASSERT_EQ(glyph ? pixel(x, y) : pixel(x, y) & 0xFFFFFF,
                      glyph     ? plain[static_cast<size_t>(y * 960 + x)]
                      : touches ? 0x000001u
                                : kPaper)
                << x << "," << y;
            outlined += !glyph && touches;
        }
    EXPECT_GT(outlined, 500);
}
