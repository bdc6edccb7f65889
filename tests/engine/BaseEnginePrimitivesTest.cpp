// Pixel-exact drawing primitives: which pixels each shape sets, clipping at
// every edge of the target surface, and background copies.
#include "engine/BaseEngine.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

using testing_support::PixelAt;
using testing_support::PixelsWithValue;
using Pixels = std::vector<std::pair<int, int>>;

namespace
{
constexpr uint32_t kPaper = 0x00101820;
constexpr uint32_t kInk = 0x00C0FFEE;
constexpr int kWidth = 960;
constexpr int kHeight = 720;

// Every pixel of the window for which covered(x, y) holds, in row order.
Pixels Expected(const std::function<bool(int, int)>& covered)
{
    Pixels pixels;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (covered(x, y))
                pixels.emplace_back(x, y);
    return pixels;
}

class PrimitivesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, kWidth, kHeight, ""), 0);
        m_foreground = m_engine.GetForeground();
        m_background = m_engine.GetBackground();
        testing_support::FillSurface(m_foreground, kPaper);
        testing_support::FillSurface(m_background, kPaper);
    }
    void TearDown() override { m_engine.Deinitialise(); }

    Pixels Inked() const { return PixelsWithValue(m_foreground, kInk); }

    BaseEngine m_engine;
    SDL_Surface* m_foreground = nullptr;
    SDL_Surface* m_background = nullptr;
};
} // namespace

TEST_F(PrimitivesTest, RectangleIncludesBothCornersInAnyOrder)
{
    m_engine.DrawRectangle(10, 10, 10, 10, kInk);
    EXPECT_EQ(Inked(), (Pixels{{10, 10}}));

    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawRectangle(440, 335, 120, 90, kInk);
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  return x >= 120 && x <= 440 && y >= 90 && y <= 335;
              }));
    EXPECT_EQ(Inked().size(), 321u * 246u);

    // The surface argument picks the target; the foreground is untouched.
    m_engine.DrawRectangle(0, 0, 3, 3, kInk, m_background);
    EXPECT_EQ(PixelsWithValue(m_background, kInk).size(), 16u);
    EXPECT_EQ(PixelAt(m_foreground, 0, 0), kPaper);
}

TEST_F(PrimitivesTest, RectangleIsClippedAtEveryEdgeWithoutWrapping)
{
    m_engine.DrawRectangle(-5, -5, 4, 4, kInk);
    m_engine.DrawRectangle(955, 100, 2000, 101, kInk);
    m_engine.DrawRectangle(200, 715, 201, 900, kInk);
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  return (x <= 4 && y <= 4) || (x >= 955 && (y == 100 || y == 101)) ||
                         ((x == 200 || x == 201) && y >= 715);
              }));

    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawRectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kInk);
    EXPECT_EQ(Inked().size(), static_cast<size_t>(kWidth * kHeight));
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawRectangle(kWidth, 0, INT_MAX, kHeight - 1, kInk);
    m_engine.DrawRectangle(0, INT_MIN, kWidth - 1, -1, kInk);
    for (const auto& [x, y] : Pixels{{-1, 0}, {kWidth, 0}, {0, -1}, {0, kHeight}, {INT_MIN, 5}})
        m_engine.SafeSetPixel(x, y, kInk);
    EXPECT_TRUE(Inked().empty());
    m_engine.SafeSetPixel(kWidth - 1, kHeight - 1, kInk);
    EXPECT_EQ(Inked(), (Pixels{{kWidth - 1, kHeight - 1}}));
}

TEST_F(PrimitivesTest, PrimitivesStayInsideASurfaceSmallerThanTheWindow)
{
    // Rows are bounded by the surface as well as by the window height.
    SDL_Surface* small = SDL_CreateRGBSurface(0, 10, 6, 32, 0x00FF0000, 0x0000FF00, 0x000000FF,
                                              0xFF000000);
    ASSERT_NE(small, nullptr);
    testing_support::FillSurface(small, kPaper);
    m_engine.DrawRectangle(0, 0, 100, 100, kInk, small);
    m_engine.DrawOval(-50, -50, 50, 50, kInk, small);
    m_engine.DrawTriangle(0, 0, 500, 0, 0, 500, kInk, small);
    m_engine.SafeSetPixel(3, 8, kInk, small);
    EXPECT_EQ(PixelsWithValue(small, kInk).size(), 60u);
    SDL_FreeSurface(small);
}

TEST_F(PrimitivesTest, OvalFillsTheInscribedEllipseIncludingItsExtremes)
{
    m_engine.DrawOval(30, 30, 180, 180, kInk);
    for (const auto& [x, y] : Pixels{{30, 105}, {180, 105}, {105, 30}, {105, 180}, {105, 105}})
        EXPECT_EQ(PixelAt(m_foreground, x, y), kInk) << x << "," << y;
    for (const auto& [x, y] : Pixels{{29, 105}, {181, 105}, {105, 29}, {105, 181}, {30, 30},
                                     {30, 104}, {30, 106}, {180, 180}})
        EXPECT_EQ(PixelAt(m_foreground, x, y), kPaper) << x << "," << y;
    // The disc of radius 75 about (105, 105), exactly.
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  return (x - 105) * (x - 105) + (y - 105) * (y - 105) <= 75 * 75;
              }));

    const Pixels disc = Inked();
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawOval(180, 180, 30, 30, kInk);
    EXPECT_EQ(Inked(), disc);
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawOval(30, 180, 180, 30, kInk);
    EXPECT_EQ(Inked(), disc);
}

TEST_F(PrimitivesTest, DegenerateOvals)
{
    m_engine.DrawOval(0, 0, 1, 10, kInk);
    EXPECT_EQ(Inked(), (Pixels{{0, 5}, {1, 5}}));

    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawOval(50, 20, 50, 80, kInk);
    m_engine.DrawOval(20, 50, 80, 50, kInk);
    m_engine.DrawOval(9, 9, 9, 9, kInk);
    EXPECT_TRUE(Inked().empty());
}

TEST_F(PrimitivesTest, OvalIsClippedAtEveryEdgeWithoutWrapping)
{
    // Half discs of radius 50 centred on the left and right edges.
    m_engine.DrawOval(-50, 100, 50, 200, kInk);
    m_engine.DrawOval(kWidth - 51, 300, kWidth + 49, 400, kInk);
    m_engine.DrawOval(400, -50, 500, 50, kInk);
    m_engine.DrawOval(600, kHeight - 51, 700, kHeight + 49, kInk);
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  auto in = [&](int cx, int cy) {
                      return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= 2500;
                  };
                  return in(0, 150) || in(kWidth - 1, 350) || in(450, 0) || in(650, kHeight - 1);
              }));

    // A huge oval around the window covers all of it.
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawOval(-2000000000, -2000000000, 2000000000, 2000000000, kInk);
    EXPECT_EQ(Inked().size(), static_cast<size_t>(kWidth * kHeight));
}

TEST_F(PrimitivesTest, TriangleWithAVerticalLeftSide)
{
    m_engine.DrawTriangle(0, 0, 10, 0, 0, 10, kInk);
    EXPECT_EQ(Inked(), Expected([](int x, int y) { return x + y <= 10; }));
    EXPECT_EQ(Inked().size(), 66u);
}

TEST_F(PrimitivesTest, TriangleSplitAtItsMiddleVertex)
{
    m_engine.DrawTriangle(0, 10, 5, 0, 10, 10, kInk);
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  return x <= 10 && y <= 10 && y >= std::abs(2 * x - 10);
              }));

    // Vertex order does not matter.
    const Pixels first = Inked();
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawTriangle(10, 10, 0, 10, 5, 0, kInk);
    EXPECT_EQ(Inked(), first);
}

TEST_F(PrimitivesTest, TriangleWithAVerticalRightSide)
{
    // Column c spans rows pix(5 - c / 2) to pix(5 + c / 2).
    m_engine.DrawTriangle(0, 5, 10, 0, 10, 10, kInk);
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  return x <= 10 && 2 * y >= 10 - x && 2 * y <= 11 + x;
              }));
}

TEST_F(PrimitivesTest, ThreeVerticesInOneColumn)
{
    // Only the span from the first to the third given vertex is drawn.
    m_engine.DrawTriangle(5, 2, 5, 8, 5, 6, kInk);
    EXPECT_EQ(Inked(), (Pixels{{5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}}));

    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawTriangle(5, 6, 5, 8, 5, 2, kInk);
    EXPECT_TRUE(Inked().empty());
}

TEST_F(PrimitivesTest, CoordinatesRoundHalfUpTowardZero)
{
    // pix(-0.7) is column 0, pix(0.5) row 1, pix(2.49) row 2.
    m_engine.DrawVerticalSidedRegion(-0.7, -0.7, 0.5, 2.49, 0, 0, kInk);
    EXPECT_EQ(Inked(), (Pixels{{0, 1}, {0, 2}}));

    // pix(-1.6) is -1: nothing left of the surface is drawn.
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawVerticalSidedRegion(-1.6, -1.6, 0, 5, 0, 0, kInk);
    EXPECT_TRUE(Inked().empty());

    // Given right to left, the region is the same.
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawVerticalSidedRegion(4, 0, 4, 0, 8, 0, kInk);
    const Pixels reversed = Inked();
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.DrawVerticalSidedRegion(0, 4, 0, 4, 0, 8, kInk);
    EXPECT_EQ(Inked(), reversed);
    EXPECT_EQ(reversed.size(), 1u + 2u + 3u + 4u + 5u);
}

TEST_F(PrimitivesTest, TriangleIsClippedAtEveryEdgeWithoutWrapping)
{
    // Rows round half up toward zero, so the top triangle's row -1 at
    // column 311 lands in row 0.
    m_engine.DrawTriangle(950, 100, 980, 100, 950, 130, kInk);
    m_engine.DrawTriangle(-20, 200, 10, 200, -20, 230, kInk);
    m_engine.DrawTriangle(300, -20, 330, -20, 300, 10, kInk);
    m_engine.DrawTriangle(500, 710, 530, 710, 500, 740, kInk);
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  return (x >= 950 && y >= 100 && (x - 950) + (y - 100) <= 30) ||
                         (y >= 200 && (x + 20) + (y - 200) <= 30) ||
                         (x >= 300 && (x - 300) + (y + 20) <= 30) || (x == 311 && y == 0) ||
                         (x >= 500 && y >= 710 && (x - 500) + (y - 710) <= 30);
              }));
}

TEST_F(PrimitivesTest, HugeAndInvalidCoordinatesStayInsideTheSurface)
{
    // A triangle far larger than the window covers all of it.
    m_engine.DrawTriangle(-1e9, -1e9, 3e9, -1e9, -1e9, 3e9, kInk);
    EXPECT_EQ(Inked().size(), static_cast<size_t>(kWidth * kHeight));

    // Shapes wholly off the window draw nothing, however far off.
    testing_support::FillSurface(m_foreground, kPaper);
    const double huge = 1e300;
    const double inf = std::numeric_limits<double>::infinity();
    m_engine.DrawTriangle(huge, 0, 2 * huge, 0, huge, 10, kInk);
    m_engine.DrawTriangle(-huge, 5, -huge, 7, -huge / 2, 9, kInk);
    m_engine.DrawTriangle(0, huge, 10, huge, 5, inf, kInk);
    m_engine.DrawTriangle(0, -huge, 10, -inf, 5, -huge, kInk);
    EXPECT_TRUE(Inked().empty());

    // Undefined coordinates must neither crash nor scribble: whatever they
    // draw stays within the finite coordinates' reach.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    m_engine.DrawVerticalSidedRegion(inf, -inf, 0, 0, 0, 0, kInk);
    m_engine.DrawVerticalSidedRegion(nan, nan, nan, nan, nan, nan, kInk);
    m_engine.DrawTriangle(nan, 1, 2, nan, 3, 4, kInk);
    for (const auto& [x, y] : Inked())
        EXPECT_TRUE(y == 0 || (x <= 4 && y <= 4)) << x << "," << y;
}

TEST_F(PrimitivesTest, CopyBackgroundPixelsIsClippedToTheSurfaces)
{
    testing_support::FillSurface(m_background, kInk);
    m_engine.CopyBackgroundPixels(-5, -5, 10, 10);
    m_engine.CopyBackgroundPixels(kWidth - 5, kHeight - 5, 10, 10);
    m_engine.CopyBackgroundPixels(400, 300, 2, 3);
    m_engine.CopyBackgroundPixels(100, 100, 0, 10);
    m_engine.CopyBackgroundPixels(100, 100, 10, -1);
    EXPECT_EQ(Inked(), Expected([](int x, int y) {
                  return (x < 5 && y < 5) || (x >= kWidth - 5 && y >= kHeight - 5) ||
                         (x >= 400 && x < 402 && y >= 300 && y < 303);
              }));

    testing_support::FillSurface(m_foreground, kPaper);
    m_engine.CopyBackgroundPixels(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    m_engine.CopyBackgroundPixels(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
    m_engine.CopyBackgroundPixels(kWidth, 0, 10, 10);
    EXPECT_TRUE(Inked().empty());
    m_engine.CopyBackgroundPixels(0, 0, INT_MAX, INT_MAX);
    EXPECT_EQ(Inked().size(), static_cast<size_t>(kWidth * kHeight));
}
