// The base displayable object: its placeholder box, where it remembers being
// drawn, and erasing at that place.
#include "engine/BaseEngine.h"
#include "engine/DisplayableObject.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using testing_support::PixelAt;
using testing_support::PixelsWithValue;
using Pixels = std::vector<std::pair<int, int>>;

namespace
{
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kBackground = 0x00204060;
constexpr uint32_t kStale = 0x00999999;

// Lets a test give the base object another size or draw offset.
class ShapedObject : public DisplayableObject
{
public:
    explicit ShapedObject(BaseEngine* engine) : DisplayableObject(engine) {}
    void Shape(int width, int height, int offsetX = 0, int offsetY = 0)
    {
        m_width = width;
        m_height = height;
        m_drawOffsetX = offsetX;
        m_drawOffsetY = offsetY;
    }
};

Pixels Block(int left, int top, int width, int height)
{
    Pixels pixels;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            pixels.emplace_back(x, y);
    return pixels;
}

class DisplayableObjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, 960, 720, ""), 0);
        m_foreground = m_engine.GetForeground();
        testing_support::FillSurface(m_engine.GetBackground(), kBackground);
        testing_support::FillSurface(m_foreground, kStale);
    }
    void TearDown() override { m_engine.Deinitialise(); }

    BaseEngine m_engine;
    SDL_Surface* m_foreground = nullptr;
};
} // namespace

TEST_F(DisplayableObjectTest, DrawsATenByTenMagentaSquareAndErasesWhereItWasDrawn)
{
    ShapedObject object(&m_engine);
    EXPECT_EQ(object.GetLastDrawnX(), -1);
    object.SetPosition(100, 50);
    object.Draw();
    EXPECT_EQ(PixelsWithValue(m_foreground, kMagenta), Block(100, 50, 10, 10));
    EXPECT_EQ(object.GetLastDrawnX(), 100);
    EXPECT_EQ(object.GetLastDrawnY(), 50);

    object.SetPosition(103, 50);
    object.Erase();
    EXPECT_TRUE(PixelsWithValue(m_foreground, kMagenta).empty());
    EXPECT_EQ(PixelsWithValue(m_foreground, kBackground), Block(100, 50, 10, 10));
    object.Draw();
    EXPECT_EQ(PixelsWithValue(m_foreground, kMagenta), Block(103, 50, 10, 10));
}

TEST_F(DisplayableObjectTest, OffsetAndSizeShapeTheBoxAndItsErasure)
{
    ShapedObject object(&m_engine);
    object.Shape(4, 3, -2, 5);
    object.SetPosition(20, 30);
    object.Draw();
    EXPECT_EQ(PixelsWithValue(m_foreground, kMagenta), Block(18, 35, 4, 3));

    // A size changed since the draw: the erased block has the new size.
    object.Shape(6, 2, -2, 5);
    object.Erase();
    EXPECT_EQ(PixelsWithValue(m_foreground, kBackground), Block(18, 35, 6, 2));

    // An empty box draws nothing but still records where the object was.
    testing_support::FillSurface(m_foreground, kStale);
    object.Shape(0, 5);
    object.SetPosition(300, 300);
    object.Draw();
    EXPECT_TRUE(PixelsWithValue(m_foreground, kMagenta).empty());
    EXPECT_EQ(object.GetLastDrawnX(), 300);
    object.Erase();
    EXPECT_TRUE(PixelsWithValue(m_foreground, kBackground).empty());
}

TEST_F(DisplayableObjectTest, BoxAndErasureAreClippedAtEveryEdge)
{
    const std::pair<int, int> corners[] = {{-5, -5}, {955, 715}, {-9, 400}, {500, -9}, {959, 0}};
    std::vector<std::unique_ptr<ShapedObject>> owned;
    for (const auto& [x, y] : corners)
    {
        owned.push_back(std::make_unique<ShapedObject>(&m_engine));
        owned.back()->SetPosition(x, y);
        owned.back()->Draw();
    }
    const Pixels drawn = PixelsWithValue(m_foreground, kMagenta);
    Pixels expected;
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 960; ++x)
            if ((x < 5 && y < 5) || (x >= 955 && y >= 715) || (x == 0 && y >= 400 && y < 410) ||
                (y == 0 && x >= 500 && x < 510) || (x == 959 && y < 10))
                expected.emplace_back(x, y);
    EXPECT_EQ(drawn, expected);

    for (auto& object : owned)
        object->Erase();
    EXPECT_TRUE(PixelsWithValue(m_foreground, kMagenta).empty());
    EXPECT_EQ(PixelsWithValue(m_foreground, kBackground), expected);
}
