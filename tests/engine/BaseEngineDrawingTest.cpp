// Pixel-exact drawing: which pixels each primitive sets, clipping at every
// edge of the target surface, background copies, and text.
#include "engine/BaseEngine.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

using testing_support::PixelsWithValue;
using Pixels = std::vector<std::pair<int, int>>;

namespace
{
constexpr uint32_t kPaper = 0x00101820;
constexpr uint32_t kInk = 0x00C0FFEE;
constexpr int kWidth = 960;
constexpr int kHeight = 720;
const double kHuge = 1e300;
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// One drawing call in ink: R rectangle, O oval, T triangle, V vertical-sided
// region, P pixel, C background copy from a background of ink.
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
    case 'R': engine.DrawRectangle(i(k.a), i(k.b), i(k.c), i(k.d), kInk, surface); break;
    case 'O': engine.DrawOval(i(k.a), i(k.b), i(k.c), i(k.d), kInk, surface); break;
    case 'T': engine.DrawTriangle(k.a, k.b, k.c, k.d, k.e, k.f, kInk, surface); break;
    case 'V': engine.DrawVerticalSidedRegion(k.a, k.b, k.c, k.d, k.e, k.f, kInk, surface); break;
    case 'P': engine.SafeSetPixel(i(k.a), i(k.b), kInk, surface); break;
    default:
        testing_support::FillSurface(engine.GetBackground(), kInk);
        engine.CopyBackgroundPixels(i(k.a), i(k.b), i(k.c), i(k.d));
    }
}

bool InDisc(int x, int y, int cx, int cy, int radius)
{
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

class DrawingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::StdoutCapture quiet;
        ASSERT_EQ(testing_support::InitialiseHeadless(*m_engine, kWidth, kHeight), 0);
        m_foreground = m_engine->GetForeground();
        Clear();
    }
    void TearDown() override
    {
        testing_support::StdoutCapture quiet;
        m_engine->Deinitialise();
        m_engine.reset();
    }
    void Clear() const
    {
        testing_support::FillSurface(m_foreground, kPaper);
        testing_support::FillSurface(m_engine->GetBackground(), kPaper);
    }
    Pixels Inked() const { return PixelsWithValue(m_foreground, kInk); }
    // Text pixels (of any alpha); every other pixel must be untouched paper.
    Pixels TextPixels() const
    {
        const Pixels text = testing_support::PixelsWhere(kWidth, kHeight, [&](int x, int y) {
            return testing_support::RgbAt(m_foreground, x, y) == kInk;
        });
        EXPECT_EQ(PixelsWithValue(m_foreground, kPaper).size() + text.size(),
                  static_cast<size_t>(kWidth * kHeight));
        return text;
    }

    std::unique_ptr<BaseEngine> m_engine = std::make_unique<BaseEngine>();
    SDL_Surface* m_foreground = nullptr;
};
} // namespace

TEST_F(DrawingTest, ShapesInkExactlyTheirPixelsClippedAtEveryEdge)
{
    const auto all = [](int, int) { return true; };
    const auto none = [](int, int) { return false; };
    const auto disc = [](int x, int y) { return InDisc(x, y, 105, 105, 75); };
    const auto apexUp = [](int x, int y) {
        return x <= 10 && y <= 10 && y >= std::abs(2 * x - 10);
    };
    const struct
    {
        const char* name;
        std::vector<Call> calls;
        std::function<bool(int, int)> covered;
    } cases[] = {
        // One pixel, corners in either order, over each edge, just off.
        {"rectangles",
         {{'R', 10, 10, 10, 10}, {'R', 440, 335, 120, 90}, {'R', -5, -5, 4, 4},
          {'R', 955, 100, 2000, 101}, {'R', 200, 715, 201, 900}, {'R', kWidth, 0, INT_MAX, 5},
          {'R', 0, INT_MIN, 5, -1}, {'P', -1, 0}, {'P', kWidth, 0}, {'P', 0, -1}, {'P', 0, kHeight},
          {'P', kWidth - 1, kHeight - 1}},
         [](int x, int y) {
             return (x == 10 && y == 10) || (x >= 120 && x <= 440 && y >= 90 && y <= 335) ||
                    (x <= 4 && y <= 4) || (x >= 955 && (y == 100 || y == 101)) ||
                    ((x == 200 || x == 201) && y >= 715) || (x == kWidth - 1 && y == kHeight - 1);
         }},
        {"int-limit rectangle", {{'R', INT_MIN, INT_MIN, INT_MAX, INT_MAX}}, all},
        // Its extremes (30, 105), (180, 105), (105, 30), (105, 180) included.
        {"oval", {{'O', 30, 30, 180, 180}}, disc},
        {"oval corners swapped", {{'O', 180, 180, 30, 30}}, disc},
        // A thin one, empty ones, and half discs over each edge.
        {"ovals",
         {{'O', 0, 0, 1, 10}, {'O', 500, 200, 500, 280}, {'O', 520, 250, 580, 250},
          {'O', -50, 400, 50, 500}, {'O', kWidth - 51, 300, kWidth + 49, 400},
          {'O', 400, -50, 500, 50}, {'O', 600, kHeight - 51, 700, kHeight + 49}},
         [](int x, int y) {
             return (x <= 1 && y == 5) || InDisc(x, y, 0, 450, 50) ||
                    InDisc(x, y, kWidth - 1, 350, 50) || InDisc(x, y, 450, 0, 50) ||
                    InDisc(x, y, 650, kHeight - 1, 50);
         }},
        {"huge oval", {{'O', -2e9, -2e9, 2e9, 2e9}}, all},
        {"triangle with a vertical left side", {{'T', 0, 0, 10, 0, 0, 10}},
         [](int x, int y) { return x + y <= 10; }},
        // Split at the middle vertex: column 5 runs from row 0 to row 10.
        {"triangle with its apex up", {{'T', 0, 10, 5, 0, 10, 10}}, apexUp},
        {"apex up, another vertex order", {{'T', 10, 10, 0, 10, 5, 0}}, apexUp},
        {"triangle with a vertical right side", {{'T', 0, 5, 10, 0, 10, 10}},
         [](int x, int y) { return x <= 10 && 2 * y >= 10 - x && 2 * y <= 11 + x; }},
        // Only the span from the first to the third given vertex is drawn.
        {"three vertices in one column", {{'T', 5, 2, 5, 8, 5, 6}, {'T', 7, 6, 7, 8, 7, 2}},
         [](int x, int y) { return x == 5 && y >= 2 && y <= 6; }},
        // Half up toward zero: pix(-0.7) is 0, pix(0.5) 1, pix(-1.6) -1; a
        // region given right to left is the same region.
        {"rounding",
         {{'V', -0.7, -0.7, 0.5, 2.49}, {'V', -1.6, -1.6, 0, 5}, {'V', 24, 20, 4, 0, 8, 0}},
         [](int x, int y) {
             return (x == 0 && (y == 1 || y == 2)) ||
                    (x >= 20 && x <= 24 && y >= x - 20 && y <= 2 * (x - 20));
         }},
        // The top one's row -1 at column 311 rounds into row 0.
        {"triangles over the edges",
         {{'T', 950, 100, 980, 100, 950, 130}, {'T', -20, 200, 10, 200, -20, 230},
          {'T', 300, -20, 330, -20, 300, 10}, {'T', 500, 710, 530, 710, 500, 740}},
         [](int x, int y) {
             return (x >= 950 && y >= 100 && (x - 950) + (y - 100) <= 30) ||
                    (y >= 200 && (x + 20) + (y - 200) <= 30) ||
                    (x >= 300 && (x - 300) + (y + 20) <= 30) || (x == 311 && y == 0) ||
                    (x >= 500 && y >= 710 && (x - 500) + (y - 710) <= 30);
         }},
        {"huge triangle", {{'T', -1e9, -1e9, 3e9, -1e9, -1e9, 3e9}}, all},
        {"triangles far off",
         {{'T', kHuge, 0, 2 * kHuge, 0, kHuge, 10}, {'T', -kHuge, 5, -kHuge, 7, -kHuge / 2, 9},
          {'T', 0, kHuge, 10, kHuge, 5, kInf}, {'T', 0, -kHuge, 10, -kInf, 5, -kHuge}},
         none},
        {"background copies",
         {{'C', -5, -5, 10, 10}, {'C', kWidth - 5, kHeight - 5, 10, 10}, {'C', 400, 300, 2, 3},
          {'C', 100, 100, 0, 10}, {'C', 100, 100, 10, -1}, {'C', kWidth, 0, 10, 10},
          {'C', INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {'C', INT_MAX, INT_MAX, INT_MAX, INT_MAX}},
         [](int x, int y) {
             return (x < 5 && y < 5) || (x >= kWidth - 5 && y >= kHeight - 5) ||
                    (x >= 400 && x < 402 && y >= 300 && y < 303);
         }},
        {"int-limit background copy", {{'C', 0, 0, INT_MAX, INT_MAX}}, all},
    };
    for (const auto& shape : cases)
    {
        SCOPED_TRACE(shape.name);
        Clear();
        for (const Call& call : shape.calls)
            Draw(*m_engine, call);
        EXPECT_EQ(Inked(), testing_support::PixelsWhere(kWidth, kHeight, shape.covered));
    }
}

TEST_F(DrawingTest, UndefinedCoordinatesStayWithinTheFiniteOnesReach)
{
    for (const Call& call : {Call{'V', kInf, -kInf}, Call{'V', kNaN, kNaN, kNaN, kNaN, kNaN, kNaN},
                             Call{'T', kNaN, 1, 2, kNaN, 3, 4}})
        Draw(*m_engine, call);
    for (const auto& [x, y] : Inked())
        EXPECT_TRUE(y == 0 || (x <= 4 && y <= 4)) << x << "," << y;
}

TEST_F(DrawingTest, TheSurfaceArgumentPicksTheTargetAndBoundsItsRows)
{
    const auto small = testing_support::MakeSurface(10, 6, kPaper);
    for (const Call& call : {Call{'R', 0, 0, 100, 100}, Call{'O', -50, -50, 50, 50},
                             Call{'T', 0, 0, 500, 0, 0, 500}, Call{'P', 3, 8}})
        Draw(*m_engine, call, small.get());
    EXPECT_EQ(PixelsWithValue(small.get(), kInk).size(), 60u);
    EXPECT_TRUE(Inked().empty());
}

TEST_F(DrawingTest, TextInksGlyphPixelsOnlyClippedAtTheEdges)
{
    m_engine->DrawString(100, 50, "Skirmora", kInk);
    const Pixels text = TextPixels();
    // Right and down from its corner, one line high, and the paper shows
    // between the strokes.
    EXPECT_GT(text.size(), 100u);
    int right = 0, bottom = 0;
    for (const auto& [x, y] : text)
    {
        EXPECT_TRUE(x >= 100 && x < 400 && y >= 50 && y < 90) << x << "," << y;
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    EXPECT_LT(static_cast<int>(text.size()), (right - 99) * (bottom - 49) / 2);

    Clear();
    m_engine->DrawString(-12, -8, "MMMM", kInk);
    m_engine->DrawString(940, 700, "MMMM", kInk);
    const Pixels clipped = TextPixels();
    EXPECT_FALSE(clipped.empty());
    for (const auto& [x, y] : clipped)
        EXPECT_TRUE((x < 100 && y < 40) || (x >= 940 && y >= 700)) << x << "," << y;

    // Far off, empty or missing text draws nothing.
    Clear();
    for (const auto& [x, y] : Pixels{{INT_MAX - 5, 10}, {10, INT_MAX - 5}, {INT_MIN, INT_MIN},
                                     {INT_MIN + 5, 10}, {kWidth, 0}, {0, kHeight}})
        m_engine->DrawString(x, y, "MMMM", kInk);
    m_engine->DrawString(10, 10, "", kInk);
    m_engine->DrawString(10, 10, nullptr, kInk);
    EXPECT_TRUE(TextPixels().empty());
}
