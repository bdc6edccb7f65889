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
// Records every hook call in order. The loop can only end on a quit event,
// so a test asks for one to be pushed after a given number of logic passes.
class RecordingEngine : public BaseEngine
{
public:
    void OnKeyDown(int keyCode) override { Record("down", keyCode); }
    void OnKeyUp(int keyCode) override { Record("up", keyCode); }
    void OnMouseMove(int x, int y) override
    {
        calls.push_back("move " + std::to_string(x) + " " + std::to_string(y));
    }
    void OnMouseDown(int button, int x, int y) override { RecordButton("press", button, x, y); }
    void OnMouseUp(int button, int x, int y) override { RecordButton("release", button, x, y); }
    void DoFrameLogic() override
    {
        calls.push_back("logic");
        ++logicPasses;
        // A runaway loop would hang the test; end it instead.
        if (logicPasses == quitAfterLogicPasses || logicPasses > 10000)
        {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    }
    void RenderFrame() override { calls.push_back("render"); }

    std::vector<std::string> calls;
    int logicPasses = 0;
    int quitAfterLogicPasses = 1;

private:
    // The hook reports whether the key already reads as held inside it.
    void Record(const char* what, int keyCode)
    {
        calls.push_back(std::string(what) + " " + std::to_string(keyCode) +
                        (IsKeyPressed(keyCode) ? " held" : " free"));
    }
    void RecordButton(const char* what, int button, int x, int y)
    {
        calls.push_back(std::string(what) + " " + std::to_string(button) + " " +
                        std::to_string(x) + " " + std::to_string(y));
    }
};

void PushKey(Uint32 type, SDL_Keycode key, bool repeat = false)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void PushButton(Uint32 type, int button, int x, int y)
{
    SDL_Event event{};
    event.type = type;
    event.button.button = static_cast<Uint8>(button);
    event.button.x = x;
    event.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void PushMotion(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void PushQuit()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

class MainLoopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(testing_support::InitialiseHeadless(m_engine, 960, 720, ""), 0);
        // Drop whatever the driver queued when the window was made.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override
    {
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        m_engine.Deinitialise();
    }

    RecordingEngine m_engine;
};
} // namespace

TEST_F(MainLoopTest, EachPassDispatchesEveryEventThenRunsLogicThenRenders)
{
    m_engine.quitAfterLogicPasses = 2;
    PushKey(SDL_KEYDOWN, SDLK_a);
    PushMotion(3, 4);
    PushButton(SDL_MOUSEBUTTONDOWN, 3, 640, 480);
    PushButton(SDL_MOUSEBUTTONUP, 1, 5, 6);
    PushKey(SDL_KEYUP, SDLK_a);
    m_engine.SetFrameTick(-1);
    const Uint32 before = SDL_GetTicks();

    EXPECT_EQ(m_engine.MainLoop(), 0);

    const std::vector<std::string> expected = {
        "down 97 held", "move 3 4", "press 3 640 480", "release 1 5 6", "up 97 free",
        "logic", "render", "logic", "render"};
    EXPECT_EQ(m_engine.calls, expected);
    // The tick is read afresh from the library at the top of each pass.
    EXPECT_GE(m_engine.GetFrameTick(), static_cast<int>(before));
    EXPECT_LE(m_engine.GetFrameTick(), static_cast<int>(SDL_GetTicks()));
}

TEST_F(MainLoopTest, QuitInTheMiddleOfABatchEndsTheLoopAtOnce)
{
    PushKey(SDL_KEYDOWN, SDLK_a);
    PushButton(SDL_MOUSEBUTTONDOWN, 1, 10, 20);
    PushQuit();
    PushKey(SDL_KEYDOWN, SDLK_b);
    PushButton(SDL_MOUSEBUTTONUP, 1, 10, 20);

    EXPECT_EQ(m_engine.MainLoop(), 0);

    // Neither the events behind the quit nor this pass's logic and
    // rendering ran.
    const std::vector<std::string> expected = {"down 97 held", "press 1 10 20"};
    EXPECT_EQ(m_engine.calls, expected);
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_b));
    // The rest of the queue is left where it was.
    SDL_Event left{};
    ASSERT_EQ(SDL_PollEvent(&left), 1);
    EXPECT_EQ(left.type, static_cast<Uint32>(SDL_KEYDOWN));
    EXPECT_EQ(left.key.keysym.sym, SDLK_b);
}

TEST_F(MainLoopTest, KeyStateFollowsDownRepeatAndUp)
{
    m_engine.quitAfterLogicPasses = 2;
    PushKey(SDL_KEYDOWN, SDLK_UP);
    PushKey(SDL_KEYDOWN, SDLK_UP, true);
    PushKey(SDL_KEYDOWN, SDLK_UP, true);
    PushKey(SDL_KEYDOWN, SDLK_SPACE);
    PushKey(SDL_KEYUP, SDLK_UP);

    EXPECT_EQ(m_engine.MainLoop(), 0);

    const std::string up = std::to_string(SDLK_UP);
    const std::vector<std::string> expected = {
        "down " + up + " held", "down " + up + " held", "down " + up + " held",
        "down 32 held", "up " + up + " free", "logic", "render", "logic", "render"};
    EXPECT_EQ(m_engine.calls, expected);
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_UP));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_SPACE));
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_DOWN));
}

TEST_F(MainLoopTest, UnlistedKeysShareOneState)
{
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT);
    PushKey(SDL_KEYDOWN, SDLK_a);
    PushQuit();
    EXPECT_EQ(m_engine.MainLoop(), 0);
    // Any other unlisted key reads the same table entry.
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_LSHIFT));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_RCTRL));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_KP_5));

    // SDL leaves its end-of-poll marker behind the quit: start afresh.
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    m_engine.calls.clear();
    PushKey(SDL_KEYUP, SDLK_LALT);
    PushQuit();
    EXPECT_EQ(m_engine.MainLoop(), 0);
    EXPECT_EQ(m_engine.calls, std::vector<std::string>{"up " + std::to_string(SDLK_LALT) + " free"});
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_LSHIFT));
    EXPECT_TRUE(m_engine.IsKeyPressed(SDLK_a));
}

TEST(TranslateKey, MapsEveryListedKeyToItsIndex)
{
    for (int code = 0; code <= 127; ++code)
        EXPECT_EQ(BaseEngine::TranslateKey(code), code) << code;

    const std::vector<std::pair<int, int>> listed = {
        {0x40000052, 128}, {0x40000051, 129}, {0x40000050, 130}, {0x4000004F, 131},
        {0x40000046, 144}, {0x40000047, 145}, {0x40000048, 146}, {0x40000049, 147},
        {0x4000004A, 148}, {0x4000004B, 149}, {0x4000004D, 151}, {0x4000004E, 152},
        {0x40000039, 158}, {0x40000053, 159}, {0x40000054, 160}, {0x40000055, 161},
        {0x40000056, 162}, {0x40000057, 163}, {0x40000058, 164}};
    for (const auto& [code, index] : listed)
        EXPECT_EQ(BaseEngine::TranslateKey(code), index) << std::hex << code;
    for (int f = 0; f < 12; ++f)
        EXPECT_EQ(BaseEngine::TranslateKey(SDLK_F1 + f), 132 + f) << "F" << f + 1;
    // The library's own names agree with the raw codes.
    EXPECT_EQ(BaseEngine::TranslateKey(SDLK_F12), 143);
    EXPECT_EQ(BaseEngine::TranslateKey(SDLK_KP_ENTER), 164);
}

TEST(TranslateKey, EveryOtherCodeFallsBackToZero)
{
    const int others[] = {128,        0xE9,       0xFF,       256,        -1,
                          0x40000000, 0x40000038, 0x4000004C, 0x40000059, 0x40000062,
                          0x400000E0, 0x400000E1, 0x400000E7, 0x7FFFFFFF, SDLK_KP_0,
                          SDLK_LSHIFT};
    for (const int code : others)
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
// Exposes the pacing fields and records what the objects would be given.
class PacedEngine : public BaseEngine
{
public:
    void UpdateObjects(int time) override { updates.push_back(time); }
    void SetNextUpdateTime(int tick) { m_nextUpdateTime = tick; }
    int NextUpdateTime() const { return m_nextUpdateTime; }
    void SetTimeOffset(int offset) { m_timeOffset = offset; }

    std::vector<int> updates;
};
} // namespace

TEST(BaseFrameLogic, WaitsForTheDueTickThenUpdatesEvery15Ms)
{
    PacedEngine engine;
    engine.SetNextUpdateTime(500);
    engine.SetTimeOffset(1000);

    // Ten milliseconds early: a 9 ms sleep and no update.
    engine.SetFrameTick(490);
    const Uint32 before = SDL_GetTicks();
    engine.DoFrameLogic();
    EXPECT_GE(SDL_GetTicks() - before, 9u);
    EXPECT_TRUE(engine.updates.empty());

    // Five early: no update, and the due tick stays.
    engine.SetFrameTick(495);
    engine.DoFrameLogic();
    EXPECT_TRUE(engine.updates.empty());
    EXPECT_EQ(engine.NextUpdateTime(), 500);

    // Due: the objects get the raw frame tick, not the offset game time.
    engine.SetFrameTick(500);
    engine.DoFrameLogic();
    EXPECT_EQ(engine.updates, std::vector<int>{500});
    EXPECT_EQ(engine.NextUpdateTime(), 515);
    EXPECT_EQ(engine.GetTime(), 1500);

    engine.SetFrameTick(514);
    engine.DoFrameLogic();
    EXPECT_EQ(engine.updates.size(), 1u);

    // A late pass counts the next due tick from itself.
    engine.SetFrameTick(540);
    engine.DoFrameLogic();
    EXPECT_EQ(engine.updates, (std::vector<int>{500, 540}));
    EXPECT_EQ(engine.NextUpdateTime(), 555);
}

TEST(BaseFrameLogic, SleepsWhenNineMillisecondsRemain)
{
    PacedEngine engine;
    engine.SetNextUpdateTime(1000);
    engine.SetFrameTick(991);
    const Uint32 before = SDL_GetTicks();
    engine.DoFrameLogic();
    EXPECT_GE(SDL_GetTicks() - before, 9u);
    EXPECT_TRUE(engine.updates.empty());
    EXPECT_EQ(engine.NextUpdateTime(), 1000);
}
