// The font cache (one entry per file and size, its console messages, fonts
// asked for before the library is ready, growth) and the default font.
#include "engine/BaseEngine.h"
#include "engine/FontStore.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using testing_support::StdoutCapture;

namespace
{
const char* const kFont = "Cornerstone Regular.ttf";
constexpr uint32_t kCyan = 0x00FFFF;
} // namespace

TEST(FontStore, OneEntryPerFileAndSizeOpenedOnceTheLibraryIsReady)
{
    StdoutCapture asking;
    auto store = std::make_unique<FontStore>();
    FontEntry* first = store->GetFont(kFont, 24);
    EXPECT_EQ(first->GetFont(), nullptr);
    EXPECT_EQ(asking.Finish(), "Loading font: 24 point Cornerstone Regular.ttf\n"
                               "Font loading failed.\n");

    TTF_Init();
    StdoutCapture output;
    store->OpenPendingFonts();
    EXPECT_NE(first->GetFont(), nullptr);
    EXPECT_EQ(store->GetFont(kFont, 24), first);
    FontEntry* larger = store->GetFont(kFont, 30);
    // Names compare byte for byte, so another spelling is another entry.
    FontEntry* otherCase = store->GetFont("cornerstone regular.ttf", 24);
    EXPECT_EQ(store->GetFontCount(), 3);
    EXPECT_NE(larger, first);
    EXPECT_NE(otherCase, first);
    EXPECT_EQ(larger->GetPointSize(), 30);
    EXPECT_NE(larger->GetFont(), nullptr);
    EXPECT_EQ(otherCase->GetFont(), nullptr);
    store.reset();
    TTF_Quit();
    EXPECT_EQ(output.Finish(), "Loading font: 30 point Cornerstone Regular.ttf\n"
                               "Loading font: 24 point cornerstone regular.ttf\n"
                               "Font loading failed.\n"
                               "Free font: 24 point Cornerstone Regular.ttf\n"
                               "Free font: 30 point Cornerstone Regular.ttf\n");
}

TEST(FontStore, GrowsByTenSlotsKeepingEntriesInOrder)
{
    StdoutCapture quiet;
    FontStore store;
    std::vector<FontEntry*> entries;
    for (int size = 1; size <= 21; ++size)
    {
        entries.push_back(store.GetFont("none.ttf", size));
        EXPECT_EQ(store.GetFontCapacity(), size <= 20 ? 20 : 30) << size;
    }
    for (int i = 0; i < 21; ++i)
    {
        EXPECT_EQ(store.GetEntry(i), entries[i]) << i;
        EXPECT_EQ(entries[i]->GetPointSize(), i + 1);
    }
    EXPECT_EQ(store.GetFont("none.ttf", 3), entries[2]);
}

TEST(EngineFonts, DefaultFontIsOpenedAtStartAndFreedAtDestruction)
{
    const struct
    {
        const char* name;
        bool opens;
        const char* atStart;
        const char* atEnd;
    } cases[] = {
        {kFont, true, "Loading font: 24 point Cornerstone Regular.ttf\n",
         "Free font: 24 point Cornerstone Regular.ttf\n"},
        {"Missing.ttf", false, "Loading font: 24 point Missing.ttf\nFont loading failed.\n", ""},
        {"", false, "", ""},
        {nullptr, false, "", ""},
    };
    for (const auto& font : cases)
    {
        SCOPED_TRACE(font.name ? font.name : "null");
        StdoutCapture starting;
        auto engine = std::make_unique<BaseEngine>();
        ASSERT_EQ(testing_support::InitialiseHeadless(*engine, 200, 100, font.name), 0);
        EXPECT_EQ(starting.Finish(), font.atStart);
        FontEntry* entry = engine->GetDefaultFont();
        EXPECT_EQ(entry != nullptr, font.name && font.name[0]);
        EXPECT_EQ(engine->GetFontStore().GetFontCount(), entry ? 1 : 0);
        EXPECT_EQ(entry && entry->GetFont(), font.opens);
        engine->DrawString(10, 10, "Hello", kCyan);
        EXPECT_EQ(testing_support::CountRgb(engine->GetForeground(), kCyan) > 0, font.opens);

        engine->Deinitialise();
        StdoutCapture ending;
        engine.reset();
        EXPECT_EQ(ending.Finish(), font.atEnd);
    }
}
