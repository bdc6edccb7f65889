// Frame composition (whole and partial redraws, the redraw flags) and the
// object array's passes, including a pass whose object destroys the array.
#include "engine/BaseEngine.h"
#include "engine/DisplayableObject.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using testing_support::PixelAt;

namespace
{
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kMagenta = 0xFF00FF;
constexpr uint32_t kStray = 0x00ABCDEF;

using Log = std::vector<std::string>;

// A placeholder box that logs its passes into a log that outlives it, and
// can run an action from inside its Update.
class LoggingObject : public DisplayableObject
{
public:
    LoggingObject(BaseEngine* engine, Log& log, std::string name, int x = 0, int y = 0)
        : DisplayableObject(engine), m_log(log), m_name(std::move(name))
    {
        SetPosition(x, y);
    }
    ~LoggingObject() override { m_log.push_back("delete " + m_name); }
    void Draw() override
    {
        m_log.push_back("draw " + m_name);
        DisplayableObject::Draw();
    }
    void Erase() override
    {
        m_log.push_back("erase " + m_name);
        DisplayableObject::Erase();
    }
    void Update(int time) override
    {
        m_log.push_back("update " + m_name + " " + std::to_string(time));
        if (onUpdate)
        {
            // The action may delete this object: copy it out first.
            const auto action = onUpdate;
            action();
        }
    }

    std::function<void()> onUpdate;

private:
    Log& m_log;
    std::string m_name;
};

// Logs into a log that outlives it, as its objects are deleted by the base
// destructor after the derived part is gone.
class HookEngine : public BaseEngine
{
public:
    explicit HookEngine(Log& log) : log(log) {}
    void AfterEraseObjects() override { log.push_back("after erase"); }
    void DrawUnderText() override
    {
        log.push_back(m_surfaceLocked ? "under text (locked)" : "under text");
    }
    void BeforeDrawObjects() override { log.push_back("before draw"); }
    void DrawOverText() override
    {
        log.push_back("over text");
        if (redrawWhileComposing)
            Redraw(false);
    }

    Log& log;
    bool redrawWhileComposing = false;
};

class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, 960, 720, ""), 0);
        m_foreground = m_engine.GetForeground();
    }
    void TearDown() override { m_engine.Deinitialise(); }

    LoggingObject* AddObjects(int count)
    {
        m_engine.CreateObjectArray(count);
        LoggingObject* first = nullptr;
        for (int i = 0; i < count; ++i)
        {
            auto* object = new LoggingObject(&m_engine, m_engine.log, std::string(1, 'A' + i),
                                             100 + 20 * i, 50);
            m_engine.StoreObjectInArray(i, object);
            if (!first)
                first = object;
        }
        return first;
    }

    Log m_log;
    HookEngine m_engine{m_log};
    SDL_Surface* m_foreground = nullptr;
};
} // namespace

TEST_F(FrameTest, FirstFrameIsAWholeRedrawOfTheYellowBackground)
{
    EXPECT_TRUE(m_engine.IsRedrawDue());
    EXPECT_TRUE(m_engine.IsWholeRedrawDue());
    testing_support::FillSurface(m_foreground, kStray);

    m_engine.RenderFrame();

    EXPECT_EQ(testing_support::CountRgb(m_foreground, kYellow), 960 * 720);
    EXPECT_FALSE(m_engine.IsRedrawDue());
    EXPECT_FALSE(m_engine.IsWholeRedrawDue());
    const Log expected = {"under text", "before draw", "over text"};
    EXPECT_EQ(m_engine.log, expected);
}

TEST_F(FrameTest, NothingIsDrawnUntilARedrawIsAsked)
{
    LoggingObject* object = AddObjects(1);
    m_engine.RenderFrame();
    ASSERT_EQ(PixelAt(m_foreground, 100, 50) & 0xFFFFFF, kMagenta);
    m_engine.log.clear();

    object->SetPosition(300, 300);
    m_engine.RenderFrame();

    EXPECT_TRUE(m_engine.log.empty());
    EXPECT_EQ(PixelAt(m_foreground, 100, 50) & 0xFFFFFF, kMagenta);
    EXPECT_EQ(PixelAt(m_foreground, 300, 300) & 0xFFFFFF, kYellow);
}

TEST_F(FrameTest, PartialRedrawErasesAllOldRectanglesThenDrawsTheNewOnes)
{
    LoggingObject* first = AddObjects(2);
    m_engine.RenderFrame();
    // A stray foreground pixel away from every object: only a whole redraw
    // restores it.
    static_cast<uint32_t*>(m_foreground->pixels)[500 * (m_foreground->pitch / 4) + 500] = kStray;
    m_engine.log.clear();

    first->SetPosition(103, 50);
    m_engine.Redraw(false);
    EXPECT_FALSE(m_engine.IsWholeRedrawDue());
    m_engine.RenderFrame();

    const Log expected = {"erase A", "erase B", "after erase", "under text", "before draw",
                          "draw A",  "draw B",  "over text"};
    EXPECT_EQ(m_engine.log, expected);
    for (int x = 100; x <= 102; ++x)
        EXPECT_EQ(PixelAt(m_foreground, x, 55) & 0xFFFFFF, kYellow) << x;
    for (int x = 103; x <= 112; ++x)
        EXPECT_EQ(PixelAt(m_foreground, x, 55), 0x00FF00FFu) << x;
    EXPECT_EQ(PixelAt(m_foreground, 500, 500), kStray);
    EXPECT_EQ(first->GetLastDrawnX(), 103);

    m_engine.Redraw(false);
    m_engine.Redraw(true);
    m_engine.Redraw(false);
    EXPECT_TRUE(m_engine.IsWholeRedrawDue());
    m_engine.RenderFrame();
    EXPECT_EQ(PixelAt(m_foreground, 500, 500) & 0xFFFFFF, kYellow);
}

TEST_F(FrameTest, ARedrawAskedWhileComposingCausesOneMoreFrame)
{
    m_engine.redrawWhileComposing = true;
    m_engine.RenderFrame();
    EXPECT_TRUE(m_engine.IsRedrawDue());
    EXPECT_FALSE(m_engine.IsWholeRedrawDue());

    m_engine.redrawWhileComposing = false;
    m_engine.RenderFrame();
    EXPECT_FALSE(m_engine.IsRedrawDue());
    m_engine.log.clear();
    m_engine.RenderFrame();
    EXPECT_TRUE(m_engine.log.empty());
}

TEST_F(FrameTest, PassesWalkTheArrayInOrderAndRebuildingDeletesIt)
{
    EXPECT_EQ(m_engine.GetDisplayableObject(0), nullptr);
    m_engine.UpdateObjects(1);
    m_engine.CreateObjectArray(0);
    EXPECT_EQ(m_engine.GetDisplayableObject(0), nullptr);
    m_engine.UpdateObjects(1);
    m_engine.DrawObjects();
    m_engine.EraseObjects();
    EXPECT_TRUE(m_engine.log.empty());

    AddObjects(3);
    m_engine.UpdateObjects(40);
    m_engine.DrawObjects();
    m_engine.EraseObjects();
    m_engine.CreateObjectArray(2);
    Log expected = {"update A 40", "update B 40", "update C 40", "draw A",   "draw B",
                    "draw C",      "erase A",     "erase B",     "erase C",  "delete A",
                    "delete B",    "delete C"};
    EXPECT_EQ(m_engine.log, expected);

    // The stop flag left by that destruction does not stop the next pass.
    m_engine.StoreObjectInArray(0, new LoggingObject(&m_engine, m_engine.log, "X"));
    m_engine.StoreObjectInArray(1, new LoggingObject(&m_engine, m_engine.log, "Y"));
    m_engine.log.clear();
    m_engine.UpdateObjects(3);
    EXPECT_EQ(m_engine.log, (Log{"update X 3", "update Y 3"}));
}

TEST_F(FrameTest, AnUpdateThatDestroysOrRebuildsTheArrayStopsThePass)
{
    LoggingObject* first = AddObjects(2);
    first->onUpdate = [this] { m_engine.DestroyObjects(); };
    m_engine.UpdateObjects(7);
    EXPECT_EQ(m_engine.log, (Log{"update A 7", "delete A", "delete B"}));
    EXPECT_EQ(m_engine.GetDisplayableObject(0), nullptr);

    m_engine.log.clear();
    first = AddObjects(2);
    first->onUpdate = [this] {
        m_engine.CreateObjectArray(2);
        m_engine.StoreObjectInArray(0, new LoggingObject(&m_engine, m_engine.log, "C"));
        m_engine.StoreObjectInArray(1, new LoggingObject(&m_engine, m_engine.log, "D"));
    };
    m_engine.UpdateObjects(7);
    // The new array's objects are not reached by the old pass.
    EXPECT_EQ(m_engine.log, (Log{"update A 7", "delete A", "delete B"}));
    m_engine.log.clear();
    m_engine.UpdateObjects(22);
    EXPECT_EQ(m_engine.log, (Log{"update C 22", "update D 22"}));
}

namespace
{
class WindowedEngine : public BaseEngine
{
public:
    SDL_Window* Window() const { return m_window; }
};
} // namespace

TEST(EngineDestruction, DeletesItsObjectsAndReleasesItsWindowAndSurfaces)
{
    Log log;
    auto engine = std::make_unique<WindowedEngine>();
    ASSERT_EQ(testing_support::InitialiseHeadless(*engine, 320, 200, ""), 0);
    engine->CreateObjectArray(2);
    engine->StoreObjectInArray(0, new LoggingObject(engine.get(), log, "A"));
    engine->StoreObjectInArray(1, new LoggingObject(engine.get(), log, "B"));
    const Uint32 windowId = SDL_GetWindowID(engine->Window());
    ASSERT_NE(SDL_GetWindowFromID(windowId), nullptr);
    // Hold a reference to each surface to see the engine let go of its own.
    SDL_Surface* surfaces[] = {engine->GetForeground(), engine->GetBackground()};
    for (SDL_Surface* surface : surfaces)
        ++surface->refcount;

    engine->Deinitialise();
    engine.reset();

    EXPECT_EQ(log, (Log{"delete A", "delete B"}));
    EXPECT_EQ(SDL_GetWindowFromID(windowId), nullptr);
    for (SDL_Surface* surface : surfaces)
    {
        EXPECT_EQ(surface->refcount, 1);
        SDL_FreeSurface(surface);
    }
}
