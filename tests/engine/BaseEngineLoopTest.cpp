// The main loop's event dispatch, the key-state table and the base frame
// pacing, driven through the real MainLoop with events pushed into SDL's
// queue under the dummy video driver.
#include "engine/BaseEngine.h"
#include "tests/TestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;

std::string Join(std::initializer_list<int> numbers)
{
    std::string text;
    for (const int number : numbers)
        text += " " + std::to_string(number);
    return text;
}

// Records every hook call in order; key hooks also tell whether the key
// already reads as held. The loop ends only on a quit event, so one is
// pushed after a given number of logic passes (or a runaway number).
class RecordingEngine : public BaseEngine
{
public:
    void OnKeyDown(int key) override { calls.push_back("down" + Join({key}) + Held(key)); }
    void OnKeyUp(int key) override { calls.push_back("up" + Join({key}) + Held(key)); }
    void OnMouseMove(int x, int y) override { calls.push_back("move" + Join({x, y})); }
    void OnMouseDown(int b, int x, int y) override { calls.push_back("press" + Join({b, x, y})); }
    void OnMouseUp(int b, int x, int y) override { calls.push_back("release" + Join({b, x, y})); }
    void DoFrameLogic() override
    {
        calls.push_back("logic");
        if (++logicPasses == quitAfterLogicPasses || logicPasses > 10000)
        {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    }
    void RenderFrame() override { calls.push_back("render"); }

    Calls calls;
    int logicPasses = 0;
    int quitAfterLogicPasses = 1;

private:
    std::string Held(int key) const { return IsKeyPressed(key) ? " held" : " free"; }
};

void Push(Uint32 type, int code = 0, int x = 0, int y = 0)
{
    SDL_Event event{};
    event.type = type;
    if (type == SDL_KEYDOWN || type == SDL_KEYUP)
        event.key.keysym.sym = code;
    else if (type == SDL_MOUSEMOTION)
    {
        event.motion.x = x;
        event.motion.y = y;
    }
    else if (type == SDL_MOUSEBUTTONDOWN || type == SDL_MOUSEBUTTONUP)
    {
        event.button.button = static_cast<Uint8>(code);
        event.button.x = x;
        event.button.y = y;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

class MainLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, 960, 720, ""), 0);
        StartAfresh();
    }
    void TearDown() override
    {
        StartAfresh();
        m_engine.Deinitialise();
    }
    // Drops what the driver queued, and the end-of-poll marker that SDL
    // leaves behind a quit.
    void StartAfresh()
    {
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        m_engine.calls.clear();
    }

    RecordingEngine m_engine;
};
} // namespace

TEST_F(MainLoopTest, EachPassDispatchesEveryEventThenRunsLogicThenRenders)
{
    m_engine.quitAfterLogicPasses = 2;
    Push(SDL_KEYDOWN, SDLK_a);
    Push(SDL_MOUSEMOTION, 0, 3, 4);
    Push(SDL_MOUSEBUTTONDOWN, 3, 640, 480);
    Push(SDL_MOUSEBUTTONUP, 1, 5, 6);
    Push(SDL_KEYUP, SDLK_a);
    Push(SDL_WINDOWEVENT);
    m_engine.SetFrameTick(-1);
    const Uint32 before = SDL_GetTicks();

    EXPECT_EQ(m_engine.MainLoop(), 0);

    const Calls expected = {"down 97 held",  "move 3 4", "press 3 640 480", "release 1 5 6",
                            "up 97 free",    "logic",    "render",          "logic",
                            "render"};
    EXPECT_EQ(m_engine.calls, expected);
    // The tick is read afresh from the library at the top of each pass.
    EXPECT_GE(m_engine.GetFrameTick(), static_cast<int>(before));
    EXPECT_LE(m_engine.GetFrameTick(), static_cast<int>(SDL_GetTicks()));
}

TEST_F(MainLoopTest, QuitInTheMiddleOfABatchEndsTheLoopAtOnce)
{
    Push(SDL_KEYDOWN, SDLK_a);
    Push(SDL_MOUSEBUTTONDOWN, 1, 10, 20);
    Push(SDL_QUIT);
    Push(SDL_KEYDOWN, SDLK_b);
    Push(SDL_MOUSEBUTTONUP, 1, 10, 20);

    EXPECT_EQ(m_engine.MainLoop(), 0);

    // Neither the events behind the quit nor this pass's logic and
    // rendering ran; the rest of the queue is left where it was.
    EXPECT_EQ(m_engine.calls, (Calls{"down 97 held", "press 1 10 20"}));
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_b));
    SDL_Event left{};
    ASSERT_EQ(SDL_PollEvent(&left), 1);
    EXPECT_EQ(left.key.keysym.sym, SDLK_b);
}

TEST_F(MainLoopTest, KeyStateFollowsDownRepeatAndUp)
{
    // Auto-repeat arrives as more key-down events.
    for (int i = 0; i < 3; ++i)
        Push(SDL_KEYDOWN, SDLK_UP);
    Push(SDL_KEYDOWN, SDLK_SPACE);
    Push(SDL_KEYUP, SDLK_UP);
    Push(SDL_QUIT);

    EXPECT_EQ(m_engine.MainLoop(), 0);

    const std::string up = std::to_string(SDLK_UP);
    const Calls expected = {"down " + up + " held", "down " + up + " held",
                            "down " + up + " held", "down 32 held", "up " + up + " free"};
    EXPECT_EQ(m_engine.calls, expected);
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_UP));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_SPACE));
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_DOWN));
}

TEST_F(MainLoopTest, UnlistedKeysShareOneState)
{
    Push(SDL_KEYDOWN, SDLK_LSHIFT);
    Push(SDL_KEYDOWN, SDLK_a);
    Push(SDL_QUIT);
    EXPECT_EQ(m_engine.MainLoop(), 0);
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_RCTRL));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_KP_5));

    StartAfresh();
    Push(SDL_KEYUP, SDLK_LALT);
    Push(SDL_QUIT);
    EXPECT_EQ(m_engine.MainLoop(), 0);
    EXPECT_EQ(m_engine.calls, Calls{"up " + std::to_string(SDLK_LALT) + " free"});
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_LSHIFT));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_a));
}

TEST(TranslateKey, MapsEveryListedKeyToItsIndexAndTheRestToZero)
{
    for (int code = 0; code <= 127; ++code)
        EXPECT_EQ(BaseEngine::TranslateKey(code), code) << code;
    const std::vector<std::pair<int, int>> listed = {
        {0x40000052, 128}, {0x40000051, 129}, {0x40000050, 130}, {0x4000004F, 131},
        {0x4000003A, 132}, {0x40000045, 143}, {0x40000046, 144}, {0x40000047, 145},
        {0x40000048, 146}, {0x40000049, 147}, {0x4000004A, 148}, {0x4000004B, 149},
        {0x4000004D, 151}, {0x4000004E, 152}, {0x40000039, 158}, {0x40000053, 159},
        {0x40000054, 160}, {0x40000055, 161}, {0x40000056, 162}, {0x40000057, 163},
        {0x40000058, 164}};
    for (const auto& [code, index] : listed)
        EXPECT_EQ(BaseEngine::TranslateKey(code), index) << std::hex << code;
    for (int f = 0; f < 12; ++f)
        EXPECT_EQ(BaseEngine::TranslateKey(SDLK_F1 + f), 132 + f) << "F" << f + 1;

    for (const int code : {128, 0xE9, 256, -1, 0x40000000, 0x40000038, 0x4000004C, 0x40000059,
                           0x400000E1, 0x7FFFFFFF})
        EXPECT_EQ(BaseEngine::TranslateKey(code), 0) << std::hex << code;
    // The gaps in the table are never produced, by any code.
    auto inTable = [](int index) {
        return index >= 0 && index <= 164 && index != 150 && !(index >= 153 && index <= 157);
    };
    for (int code = -300; code < 1000; ++code)
        ASSERT_TRUE(inTable(BaseEngine::TranslateKey(code))) << code;
    for (int code = 0x40000000; code < 0x40000200; ++code)
        ASSERT_TRUE(inTable(BaseEngine::TranslateKey(code))) << std::hex << code;
}

namespace
{
class PacedEngine : public BaseEngine
{
public:
    void UpdateObjects(int time) override { updates.push_back(time); }
    void SetNextUpdateTime(int tick) { m_nextUpdateTime = tick; }
    int NextUpdateTime() const { return m_nextUpdateTime; }
    void SetTimeOffset(int offset) { m_timeOffset = offset; }

    std::vector<int> updates;
};

// Runs one pacing step at the tick; returns the milliseconds it took.
Uint32 StepAt(PacedEngine& engine, int tick)
{
    engine.SetFrameTick(tick);
    const Uint32 before = SDL_GetTicks();
    engine.DoFrameLogic();
    return SDL_GetTicks() - before;
}
} // namespace

TEST(BaseFrameLogic, WaitsForTheDueTickThenUpdatesEvery15Ms)
{
    PacedEngine engine;
    engine.SetNextUpdateTime(500);
    engine.SetTimeOffset(1000);

    // Nine or more early: a 9 ms sleep and no update; less: no update.
    EXPECT_GE(StepAt(engine, 490), 9u);
    EXPECT_GE(StepAt(engine, 491), 9u);
    StepAt(engine, 495);
    EXPECT_TRUE(engine.updates.empty());
    EXPECT_EQ(engine.NextUpdateTime(), 500);

    // Due: the objects get the raw frame tick, not the offset game time.
    StepAt(engine, 500);
    EXPECT_EQ(engine.updates, std::vector<int>{500});
    EXPECT_EQ(engine.NextUpdateTime(), 515);
    EXPECT_EQ(engine.GetTime(), 1500);
    StepAt(engine, 514);
    EXPECT_EQ(engine.updates.size(), 1u);

    // A late pass counts the next due tick from itself.
    StepAt(engine, 540);
    EXPECT_EQ(engine.updates, (std::vector<int>{500, 540}));
    EXPECT_EQ(engine.NextUpdateTime(), 555);
}
