// The engine's main loop and key table (events pushed into SDL's queue),
// frame pacing, frame composition, the object array's passes and teardown.
#include "engine/BaseEngine.h"
#include "engine/DisplayableObject.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Log = std::vector<std::string>;
constexpr uint32_t kYellow = 0xFFFF00;
constexpr uint32_t kStray = 0x00ABCDEF;

void Push(Uint32 type, int code = 0, int x = 0, int y = 0)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP)
        event.key.keysym.sym = code;
    else if (type == SDL_MOUSEMOTION)
        event.motion = {type, 0, 0, 0, 0, x, y, 0, 0};
    else if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP)
        event.button = {type, 0, 0, 0, static_cast<Uint8>(code), 0, 0, 0, x, y};
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

template <typename... Numbers> void Write(Log& log, std::string text, Numbers... numbers)
{
    ((text += " " + std::to_string(numbers)), ...);
    log.push_back(text);
}

// Logs every hook into a log that outlives it (the base destructor deletes
// the objects). Key hooks log whether the key already reads as held. In the
// main loop the logic and render passes are only logged: the first runs a
// test's action, later ones push a quit so that a faulty loop still ends.
// Other tests call the base passes by name. The game-time offset is one
// the object passes must not see.
class HookEngine : public BaseEngine
{
public:
    explicit HookEngine(Log& hookLog) : log(hookLog) { m_timeOffset = 1000; }
    void OnKeyDown(int key) override { Write(log, "down", key, IsKeyPressed(key)); }
    void OnKeyUp(int key) override { Write(log, "up", key, IsKeyPressed(key)); }
    void OnMouseMove(int x, int y) override { Write(log, "move", x, y); }
    void OnMouseDown(int b, int x, int y) override { Write(log, "press", b, x, y); }
    void OnMouseUp(int b, int x, int y) override { Write(log, "release", b, x, y); }
    void DoFrameLogic() override
    {
        log.push_back("logic");
        if (++passes == 1 && firstLogic)
            firstLogic();
        else
            Push(SDL_QUIT);
    }
    void RenderFrame() override { log.push_back("render"); }
    void AfterEraseObjects() override { log.push_back("after erase"); }
    void DrawUnderText() override { log.push_back("under text"); }
    void BeforeDrawObjects() override { log.push_back("before draw"); }
    void DrawOverText() override
    {
        log.push_back("over text");
        if (redrawWhileComposing)
            Redraw(false);
    }
    SDL_Window* Window() const { return m_window; }

    Log& log;
    int passes = 0;
    std::function<void()> firstLogic;
    bool redrawWhileComposing = false;
};

// A base box that logs its passes and can run an action inside its Update.
class LoggingObject : public DisplayableObject
{
public:
    LoggingObject(HookEngine* engine, std::string name, int x = 0, int y = 0)
        : DisplayableObject(engine), m_log(engine->log), m_name(std::move(name))
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
        Write(m_log, "update " + m_name, time);
        if (onUpdate)
        {
            const auto action = onUpdate; // it may delete this object
            action();
        }
    }

    std::function<void()> onUpdate;

private:
    Log& m_log;
    std::string m_name;
};

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, 960, 720, ""), 0);
        m_foreground = m_engine.GetForeground();
        // Drop what the driver queued and the marker SDL leaves behind a quit.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override { m_engine.Deinitialise(); }
    // A new array of objects named from first on, 20 pixels apart on row 50.
    LoggingObject* AddObjects(int count, char first = 'A')
    {
        m_engine.CreateObjectArray(count);
        for (int i = 0; i < count; ++i)
            m_engine.StoreObjectInArray(
                i, new LoggingObject(&m_engine, std::string(1, static_cast<char>(first + i)), 100 + 20 * i, 50));
        return static_cast<LoggingObject*>(m_engine.GetDisplayableObject(0));
    }
    // The magenta pixels must be exactly the 10 x 10 boxes at lefts a and b.
    void ExpectBoxesAt(int a, int b)
    {
        EXPECT_EQ(testing_support::PixelsWithValue(m_foreground, 0x00FF00FF),
                  testing_support::PixelsWhere(960, 720, [&](int x, int y) {
                      const bool inA = x >= a && x < a + 10, inB = x >= b && x < b + 10;
                      return y >= 50 && y < 60 && (inA || inB);
                  }));
    }

    Log m_log;
    HookEngine m_engine{m_log};
    SDL_Surface* m_foreground = nullptr;
};
} // namespace

TEST_F(EngineTest, MainLoopDispatchesABatchThenLogicThenRenderAndAQuitEndsItAtOnce)
{
    Push(SDL_KEYDOWN, SDLK_a);
    Push(SDL_MOUSEMOTION, 0, 3, 4);
    Push(SDL_MOUSEBUTTONDOWN, 3, 640, 480);
    Push(SDL_MOUSEBUTTONUP, 1, 5, 6);
    Push(SDL_KEYUP, SDLK_a);
    Push(SDL_KEYDOWN, SDLK_LSHIFT);
    Push(SDL_WINDOWEVENT);
    m_engine.firstLogic = [] {
        Push(SDL_KEYDOWN, SDLK_UP);
        Push(SDL_KEYUP, SDLK_LALT);
        Push(SDL_QUIT);
        Push(SDL_KEYDOWN, SDLK_c);
    };
    const int before = static_cast<int>(SDL_GetTicks());
    EXPECT_EQ(m_engine.MainLoop(), 0);

    // Keys read as held in their own hook. The second pass stops at the
    // quit: no key c, no logic, no render.
    const auto key = [](const char* what, int code, int held) {
        return what + (" " + std::to_string(code)) + " " + std::to_string(held);
    };
    EXPECT_EQ(m_log, (Log{"down 97 1", "move 3 4", "press 3 640 480", "release 1 5 6", "up 97 0",
                          key("down", SDLK_LSHIFT, 1), "logic", "render", key("down", SDLK_UP, 1),
                          key("up", SDLK_LALT, 0)}));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_UP));
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_DOWN));
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_c));
    // Unlisted keys share one entry: releasing one released the others.
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_LSHIFT));
    SDL_Event left{};
    ASSERT_EQ(SDL_PollEvent(&left), 1);
    EXPECT_EQ(left.key.keysym.sym, SDLK_c);
    // The tick is read from the library at the top of each pass.
    EXPECT_GE(m_engine.GetFrameTick(), before);
    EXPECT_LE(m_engine.GetFrameTick(), static_cast<int>(SDL_GetTicks()));
}

TEST(TranslateKey, MapsListedKeysToTheirIndexAndEveryOtherToZero)
{
    std::map<int, int> listed = {
        {0x40000052, 128}, {0x40000051, 129}, {0x40000050, 130}, {0x4000004F, 131},
        {0x40000046, 144}, {0x40000047, 145}, {0x40000048, 146}, {0x40000049, 147},
        {0x4000004A, 148}, {0x4000004B, 149}, {0x4000004D, 151}, {0x4000004E, 152},
        {0x40000039, 158}, {0x40000053, 159}, {0x40000054, 160}, {0x40000055, 161},
        {0x40000056, 162}, {0x40000057, 163}, {0x40000058, 164}};
    for (int f = 0; f < 12; ++f)
        listed[SDLK_F1 + f] = 132 + f;
    std::vector<int> codes = {INT_MIN, INT_MAX};
    for (int code = -300; code < 1000; ++code)
        codes.push_back(code);
    for (int code = 0x40000000; code < 0x40000200; ++code)
        codes.push_back(code);
    for (const int code : codes)
    {
        const auto found = listed.find(code);
        const int expected = code >= 0 && code <= 127 ? code
                             : found == listed.end()  ? 0
                                                      : found->second;
        ASSERT_EQ(BaseEngine::TranslateKey(code), expected) << std::hex << code;
    }
}

TEST_F(EngineTest, BaseLogicSleepsWhileEarlyThenUpdatesEvery15Ms)
{
    AddObjects(1);
    // Runs the base pass at the tick; returns the milliseconds it took.
    const auto stepAt = [this](int tick) {
        m_engine.SetFrameTick(tick);
        const Uint32 before = SDL_GetTicks();
        m_engine.BaseEngine::DoFrameLogic();
        return SDL_GetTicks() - before;
    };
    stepAt(485); // due at once: the next is due at 500
    // Nine or more early: a 9 ms sleep and no update; less: no update.
    EXPECT_GE(stepAt(490), 9u);
    EXPECT_GE(stepAt(491), 9u);
    for (const int tick : {495, 500, 514, 515, 540, 554, 555})
        stepAt(tick);
    // The objects get the frame tick, not the offset game time, and a late
    // pass counts the next due tick from itself.
    EXPECT_EQ(m_log, (Log{"update A 485", "update A 500", "update A 515", "update A 540",
                          "update A 555"}));
}

TEST_F(EngineTest, WholeAndPartialRedrawsAndTheRedrawFlags)
{
    LoggingObject* first = AddObjects(2);
    EXPECT_TRUE(m_engine.IsRedrawDue());
    EXPECT_TRUE(m_engine.IsWholeRedrawDue());
    testing_support::FillSurface(m_foreground, kStray);
    m_engine.BaseEngine::RenderFrame();
    EXPECT_EQ(m_log, (Log{"under text", "before draw", "draw A", "draw B", "over text"}));
    ExpectBoxesAt(100, 120);
    EXPECT_EQ(testing_support::CountRgb(m_foreground, kYellow), 960 * 720 - 200);
    EXPECT_FALSE(m_engine.IsRedrawDue());
    EXPECT_FALSE(m_engine.IsWholeRedrawDue());

    // Moved without a redraw asked: nothing happens.
    m_log.clear();
    first->SetPosition(103, 50);
    m_engine.BaseEngine::RenderFrame();
    EXPECT_TRUE(m_log.empty());
    ExpectBoxesAt(100, 120);

    // A partial redraw erases every box where it was drawn, then draws anew;
    // a stray pixel away from the boxes stays.
    m_engine.SafeSetPixel(500, 500, kStray);
    m_engine.Redraw(false);
    EXPECT_FALSE(m_engine.IsWholeRedrawDue());
    m_engine.BaseEngine::RenderFrame();
    EXPECT_EQ(m_log, (Log{"erase A", "erase B", "after erase", "under text", "before draw",
                          "draw A", "draw B", "over text"}));
    ExpectBoxesAt(103, 120);
    EXPECT_EQ(testing_support::CountRgb(m_foreground, kYellow), 960 * 720 - 200 - 1);

    // A whole redraw asked once stays asked; one asked while composing
    // makes one more frame.
    m_engine.Redraw(true);
    m_engine.Redraw(false);
    EXPECT_TRUE(m_engine.IsWholeRedrawDue());
    m_engine.redrawWhileComposing = true;
    m_engine.BaseEngine::RenderFrame();
    EXPECT_EQ(testing_support::RgbAt(m_foreground, 500, 500), kYellow);
    EXPECT_TRUE(m_engine.IsRedrawDue());
    EXPECT_FALSE(m_engine.IsWholeRedrawDue());
}

TEST_F(EngineTest, PassesWalkTheArrayInOrderAndStopWhenAnUpdateDestroysIt)
{
    EXPECT_EQ(m_engine.GetDisplayableObject(0), nullptr);
    m_engine.UpdateObjects(1);
    m_engine.CreateObjectArray(0);
    EXPECT_EQ(m_engine.GetDisplayableObject(0), nullptr);
    m_engine.UpdateObjects(1);
    m_engine.DrawObjects();
    m_engine.EraseObjects();
    EXPECT_TRUE(m_log.empty());

    AddObjects(3)->onUpdate = [this] { m_engine.DestroyObjects(); };
    m_engine.DrawObjects();
    m_engine.EraseObjects();
    m_engine.UpdateObjects(7);
    EXPECT_EQ(m_log, (Log{"draw A", "draw B", "draw C", "erase A", "erase B", "erase C",
                          "update A 7", "delete A", "delete B", "delete C"}));
    EXPECT_EQ(m_engine.GetDisplayableObject(0), nullptr);

    // A rebuilt array's objects are not reached by the old pass, and the
    // stop flag that rebuilding leaves does not stop the next one.
    m_log.clear();
    AddObjects(2)->onUpdate = [this] { AddObjects(2, 'C'); };
    m_engine.UpdateObjects(7);
    m_engine.UpdateObjects(22);
    EXPECT_EQ(m_log, (Log{"update A 7", "delete A", "delete B", "update C 22", "update D 22"}));
}

TEST(EngineDestruction, DeletesItsObjectsAndReleasesItsWindowAndSurfaces)
{
    Log log;
    auto engine = std::make_unique<HookEngine>(log);
    ASSERT_EQ(testing_support::InitialiseHeadless(*engine, 320, 200, ""), 0);
    engine->CreateObjectArray(1);
    engine->StoreObjectInArray(0, new LoggingObject(engine.get(), "A"));
    const Uint32 windowId = SDL_GetWindowID(engine->Window());
    ASSERT_NE(SDL_GetWindowFromID(windowId), nullptr);
    // Hold a reference to each surface to see the engine let go of its own.
    SDL_Surface* surfaces[] = {engine->GetForeground(), engine->GetBackground()};
    for (SDL_Surface* surface : surfaces)
        ++surface->refcount;

    engine->Deinitialise();
    engine.reset();
    EXPECT_EQ(log, Log{"delete A"});
    EXPECT_EQ(SDL_GetWindowFromID(windowId), nullptr);
    for (SDL_Surface* surface : surfaces)
    {
        EXPECT_EQ(surface->refcount, 1);
        SDL_FreeSurface(surface);
    }
}

TEST(EngineStart, AWindowThatCannotBeMadeStopsTheStartWithTheLibrarysReason)
{
    BaseEngine engine;
    testing::internal::CaptureStderr();
    EXPECT_EQ(testing_support::InitialiseHeadless(engine, 20000, 720, ""), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to init SDL: Window is too large.\n");
    EXPECT_EQ(engine.GetForeground(), nullptr);
    engine.Deinitialise();
}
