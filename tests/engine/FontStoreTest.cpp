// The font cache (one entry per file and size, its console messages, fonts
// asked for before the library is ready, growth) and text drawing.
#include "engine/BaseEngine.h"
#include "engine/FontStore.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

using testing_support::PixelAt;
using testing_support::StdoutCapture;

namespace
{
const char* const kFont = "Cornerstone Regular.ttf";
constexpr uint32_t kPaper = 0x00123456;
constexpr uint32_t kCyan = 0x00FFFF;

// Starts the font library for one test; fonts must be closed before it ends.
class FontLibrary
{
public:
    FontLibrary() { TTF_Init(); }
    ~FontLibrary() { TTF_Quit(); }
};
} // namespace

TEST(FontStore, OneEntryPerFileAndPointSize)
{
    FontLibrary library;
    StdoutCapture output;
    {
        FontStore store;
        store.OpenPendingFonts();
        FontEntry* first = store.GetFont(kFont, 24);
        FontEntry* again = store.GetFont(kFont, 24);
        FontEntry* larger = store.GetFont(kFont, 30);
        // Names compare byte for byte, so another spelling is another entry.
        FontEntry* otherCase = store.GetFont("cornerstone regular.ttf", 24);

        EXPECT_EQ(first, again);
        EXPECT_NE(first, larger);
        EXPECT_NE(first, otherCase);
        EXPECT_EQ(store.GetFontCount(), 3);
        ASSERT_NE(first->GetFont(), nullptr);
        ASSERT_NE(larger->GetFont(), nullptr);
        EXPECT_EQ(larger->GetPointSize(), 30);
        EXPECT_EQ(otherCase->GetFont(), nullptr);
    }
    EXPECT_EQ(output.Finish(), "Loading font: 24 point Cornerstone Regular.ttf\n"
                               "Loading font: 30 point Cornerstone Regular.ttf\n"
                               "Loading font: 24 point cornerstone regular.ttf\n"
                               "Font loading failed.\n"
                               "Free font: 24 point Cornerstone Regular.ttf\n"
                               "Free font: 30 point Cornerstone Regular.ttf\n");
}

TEST(FontStore, GrowsByTenSlotsKeepingEntriesInOrder)
{
    StdoutCapture output;
    FontStore store;
    std::vector<FontEntry*> entries;
    for (int size = 1; size <= 20; ++size)
        entries.push_back(store.GetFont("none.ttf", size));
    EXPECT_EQ(store.GetFontCapacity(), 20);

    entries.push_back(store.GetFont("none.ttf", 21));
    EXPECT_EQ(store.GetFontCapacity(), 30);
    ASSERT_EQ(store.GetFontCount(), 21);
    for (int i = 0; i < 21; ++i)
    {
        EXPECT_EQ(store.GetEntry(i), entries[i]) << i;
        EXPECT_EQ(entries[i]->GetPointSize(), i + 1);
        EXPECT_EQ(entries[i]->GetFileName(), "none.ttf");
    }
    // Looking up an early entry after the move still finds it.
    EXPECT_EQ(store.GetFont("none.ttf", 3), entries[2]);
    for (int size = 22; size <= 31; ++size)
        store.GetFont("none.ttf", size);
    EXPECT_EQ(store.GetFontCapacity(), 40);
    EXPECT_EQ(store.GetEntry(30)->GetPointSize(), 31);
}

TEST(FontStore, FontAskedForBeforeTheLibraryIsOpenedLaterSilently)
{
    StdoutCapture asking;
    auto store = std::make_unique<FontStore>();
    FontEntry* early = store->GetFont(kFont, 24);
    EXPECT_EQ(early->GetFont(), nullptr);
    EXPECT_EQ(asking.Finish(), "Loading font: 24 point Cornerstone Regular.ttf\n"
                               "Font loading failed.\n");

    FontLibrary library;
    StdoutCapture opening;
    store->OpenPendingFonts();
    EXPECT_NE(early->GetFont(), nullptr);
    FontEntry* late = store->GetFont(kFont, 12);
    EXPECT_NE(late->GetFont(), nullptr);
    EXPECT_EQ(store->GetFont(kFont, 24), early);
    EXPECT_EQ(opening.Finish(), "Loading font: 12 point Cornerstone Regular.ttf\n");

    StdoutCapture closing;
    store.reset();
    EXPECT_EQ(closing.Finish(), "Free font: 24 point Cornerstone Regular.ttf\n"
                                "Free font: 12 point Cornerstone Regular.ttf\n");
}

TEST(EngineFonts, DefaultFontIsLoadedAtStartAndFreedAtDestruction)
{
    StdoutCapture starting;
    auto engine = std::make_unique<BaseEngine>();
    ASSERT_EQ(testing_support::InitialiseHeadless(*engine), 0);
    EXPECT_EQ(starting.Finish(), "Loading font: 24 point Cornerstone Regular.ttf\n");
    ASSERT_NE(engine->GetDefaultFont(), nullptr);
    EXPECT_NE(engine->GetDefaultFont()->GetFont(), nullptr);
    EXPECT_EQ(engine->GetFontStore().GetFont(kFont, 24), engine->GetDefaultFont());

    engine->Deinitialise();
    StdoutCapture ending;
    engine.reset();
    EXPECT_EQ(ending.Finish(), "Free font: 24 point Cornerstone Regular.ttf\n");
}

TEST(EngineFonts, NoDefaultFontForAnEmptyOrNullName)
{
    for (const char* name : {"", static_cast<const char*>(nullptr)})
    {
        StdoutCapture output;
        {
            BaseEngine engine;
            ASSERT_EQ(testing_support::InitialiseHeadless(engine, 200, 100, name), 0);
            EXPECT_EQ(engine.GetDefaultFont(), nullptr);
            EXPECT_EQ(engine.GetFontStore().GetFontCount(), 0);
            testing_support::FillSurface(engine.GetForeground(), kPaper);
            engine.DrawString(10, 10, "Hello", kCyan);
            EXPECT_EQ(testing_support::CountRgb(engine.GetForeground(), kCyan), 0);
            engine.Deinitialise();
        }
        EXPECT_EQ(output.Finish(), "");
    }
}

TEST(EngineFonts, AMissingFontFileDrawsNoTextAndFreesNothing)
{
    StdoutCapture output;
    {
        BaseEngine engine;
        ASSERT_EQ(testing_support::InitialiseHeadless(engine, 200, 100, "Missing Font.ttf"), 0);
        ASSERT_NE(engine.GetDefaultFont(), nullptr);
        EXPECT_EQ(engine.GetDefaultFont()->GetFont(), nullptr);
        testing_support::FillSurface(engine.GetForeground(), kPaper);
        engine.DrawString(10, 10, "Hello", kCyan);
        EXPECT_EQ(testing_support::CountRgb(engine.GetForeground(), kCyan), 0);
        engine.Deinitialise();
    }
    EXPECT_EQ(output.Finish(), "Loading font: 24 point Missing Font.ttf\n"
                               "Font loading failed.\n");
}

namespace
{
class DrawStringTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StdoutCapture quiet;
        ASSERT_EQ(testing_support::InitialiseHeadless(*m_engine), 0);
        m_foreground = m_engine->GetForeground();
        testing_support::FillSurface(m_foreground, kPaper);
    }
    void TearDown() override
    {
        StdoutCapture quiet;
        m_engine->Deinitialise();
        m_engine.reset();
    }

    // Every pixel is either untouched paper or text colour; returns the
    // positions of the text pixels.
    std::vector<std::pair<int, int>> TextPixels(SDL_Surface* surface, uint32_t colour)
    {
        std::vector<std::pair<int, int>> text;
        for (int y = 0; y < surface->h; ++y)
            for (int x = 0; x < surface->w; ++x)
            {
                const uint32_t pixel = PixelAt(surface, x, y);
                if ((pixel & 0xFFFFFF) == colour)
                    text.emplace_back(x, y);
                else
                    EXPECT_EQ(pixel, kPaper) << x << "," << y;
            }
        return text;
    }

    std::unique_ptr<BaseEngine> m_engine = std::make_unique<BaseEngine>();
    SDL_Surface* m_foreground = nullptr;
};
} // namespace

TEST_F(DrawStringTest, DrawsGlyphPixelsInTheColourAndLeavesTheRest)
{
    m_engine->DrawString(100, 50, "Skirmora", kCyan);
    const auto text = TextPixels(m_foreground, kCyan);
    EXPECT_GT(text.size(), 100u);
    // Text goes right and down from its corner, one line high.
    for (const auto& [x, y] : text)
    {
        EXPECT_TRUE(x >= 100 && x < 400 && y >= 50 && y < 50 + 40) << x << "," << y;
    }
    // Between the strokes the paper shows: the glyphs do not fill their box.
    int inBox = 0;
    for (int y = 50; y < 80; ++y)
        for (int x = 100; x < 200; ++x)
            inBox += (PixelAt(m_foreground, x, y) & 0xFFFFFF) == kCyan;
    EXPECT_LT(inBox, 100 * 30 / 2);
}

TEST_F(DrawStringTest, TargetsTheGivenSurfaceAndFont)
{
    SDL_Surface* background = m_engine->GetBackground();
    testing_support::FillSurface(background, kPaper);
    FontEntry* small = nullptr;
    {
        StdoutCapture quiet;
        small = m_engine->GetFontStore().GetFont(kFont, 10);
    }
    m_engine->DrawString(0, 0, "WWWW", 0xFF8000, nullptr, background);
    m_engine->DrawString(0, 100, "WWWW", 0xFF8000, small, background);

    EXPECT_TRUE(TextPixels(m_foreground, 0xFF8000).empty());
    int large = 0, smaller = 0;
    for (const auto& [x, y] : TextPixels(background, 0xFF8000))
        (y < 100 ? large : smaller)++;
    EXPECT_GT(smaller, 0);
    EXPECT_GT(large, 2 * smaller);
}

TEST_F(DrawStringTest, TextIsClippedAtEveryEdge)
{
    m_engine->DrawString(-12, -8, "MMMM", kCyan);
    m_engine->DrawString(940, 700, "MMMM", kCyan);
    for (const auto& [x, y] : TextPixels(m_foreground, kCyan))
        EXPECT_TRUE((x < 100 && y < 40) || (x >= 940 && y >= 700)) << x << "," << y;

    // Far-off corners draw nothing, and empty or missing text draws nothing.
    testing_support::FillSurface(m_foreground, kPaper);
    m_engine->DrawString(INT_MAX - 5, 10, "MMMM", kCyan);
    m_engine->DrawString(10, INT_MAX - 5, "MMMM", kCyan);
    m_engine->DrawString(INT_MIN, INT_MIN, "MMMM", kCyan);
    m_engine->DrawString(INT_MIN + 5, 10, "MMMM", kCyan);
    m_engine->DrawString(960, 0, "MMMM", kCyan);
    m_engine->DrawString(0, 720, "MMMM", kCyan);
    m_engine->DrawString(10, 10, "", kCyan);
    m_engine->DrawString(10, 10, nullptr, kCyan);
    EXPECT_TRUE(TextPixels(m_foreground, kCyan).empty());
}
