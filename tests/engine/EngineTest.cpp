// The engine's main loop and key table (events through the library's queue),
// frame pacing, frame composition, the object array, start-up and fonts.
#include "engine/BaseEngine.h"
#include "engine/DisplayableObject.h"
#include "engine/SoundPlayer.h"
#include "tests/TestSupport.h"
#include "tools/WavFile.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using testing_support::StdoutCapture;

namespace
{
using Log = std::vector<std::string>;

// Queues an event: a key's code, or a mouse button and place.
void Push(Uint32 type, int code = 0, int x = 0, int y = 0)
{
    SDL_Event event{type};
    if (type == SDL_KEYDOWN || type == SDL_KEYUP)
    {
        event.key.keysym.sym = code;
    }
    else if (type == SDL_MOUSEMOTION)
    {
        event.motion.x = x;
        event.motion.y = y;
    }
    else
    {
        event.button.button = static_cast<Uint8>(code);
        event.button.x = x;
        event.button.y = y;
    }
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

// Logs every hook, key hooks with whether the key already reads as held. In
// the main loop the first logic pass runs a test's action; later ones push
// a quit, so that a faulty loop still ends. Game time is offset by 1000 ms,
// which the object passes must not see.
class HookEngine : public BaseEngine
{
public:
    explicit HookEngine(Log& hookLog) : log(hookLog) { m_timeOffset = 1000; }
    void OnKeyDown(int key) override { Write("down", key, IsKeyPressed(key)); }
    void OnKeyUp(int key) override { Write("up", key, IsKeyPressed(key)); }
    void OnMouseMove(int x, int y) override { Write("move", x, y); }
    void OnMouseDown(int b, int x, int y) override { Write("press", b, x, y); }
    void OnMouseUp(int b, int x, int y) override { Write("release", b, x, y); }
    void DoFrameLogic() override
    {
        log.push_back("logic");
        ++passes;
        if (passes == 1 && firstLogic)
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
    template <typename... Numbers> void Write(std::string text, Numbers... numbers)
    {
        ((text += " " + std::to_string(numbers)), ...);
        log.push_back(text);
    }

    Log& log;
    int passes = 0;
    std::function<void()> firstLogic;
    bool redrawWhileComposing = false;
};

// A 10 x 10 base box on row 50 that logs its passes and can run an action
// inside its Update.
class LoggingObject : public DisplayableObject
{
public:
    LoggingObject(HookEngine* engine, char name, int x)
        : DisplayableObject(engine), m_log(engine->log), m_name(1, name)
    {
        SetPosition(x, 50);
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
        if (const auto action = onUpdate) // it may delete this object
            action();
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
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); // what the driver queued
    }
    void TearDown() override { m_engine.Deinitialise(); }
    // A new array of boxes named from first on, 20 pixels apart.
    LoggingObject* AddObjects(int count, char first = 'A')
    {
        m_engine.CreateObjectArray(count);
        for (int i = 0; i < count; ++i)
            m_engine.StoreObjectInArray(
                i, new LoggingObject(&m_engine, static_cast<char>(first + i), 100 + 20 * i));
        return static_cast<LoggingObject*>(m_engine.GetDisplayableObject(0));
    }
    // Exactly the two boxes at lefts first and second are magenta, the rest
    // of the screen yellow but for some stray pixels.
    void ExpectBoxesAt(int first, int second, int strays = 0)
    {
        SDL_Surface* screen = m_engine.GetForeground();
        EXPECT_EQ(testing_support::CountRgb(screen, 0xFF00FF, first, 50, first + 9, 59), 100)
            << "box at " << first;
        EXPECT_EQ(testing_support::CountRgb(screen, 0xFF00FF, second, 50, second + 9, 59), 100)
            << "box at " << second;
        EXPECT_EQ(testing_support::CountRgb(screen, 0xFFFF00), 960 * 720 - 200 - strays)
            << "yellow pixels: none left over from a box, none missing";
    }

    Log m_log;
    HookEngine m_engine{m_log};
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
    // The second pass stops at the quit: no key c, no logic, no render.
    EXPECT_EQ(m_log,
              (Log{"down 97 1", "move 3 4", "press 3 640 480", "release 1 5 6", "up 97 0",
                   "down " + std::to_string(SDLK_LSHIFT) + " 1", "logic", "render",
                   "down " + std::to_string(SDLK_UP) + " 1", "up " + std::to_string(SDLK_LALT) + " 0"}));
    SDL_Event left{};
    ASSERT_EQ(SDL_PollEvent(&left), 1) << "the event after the quit stays queued";
    EXPECT_EQ(left.key.keysym.sym, SDLK_c);
    EXPECT_GE(m_engine.GetFrameTick(), before) << "the frame tick is read in the pass";
    EXPECT_LE(m_engine.GetFrameTick(), static_cast<int>(SDL_GetTicks()));
    // The arrows, the function keys and the table's other keys each hold
    // only themselves; unlisted keys (shift, alt) share one entry.
    const int keys[] = {SDLK_UP,           SDLK_DOWN,        SDLK_LEFT,       SDLK_RIGHT,    SDLK_F1,
                        SDLK_F12,          SDLK_PAUSE,       SDLK_HOME,       SDLK_END,      SDLK_PAGEUP,
                        SDLK_PAGEDOWN,     SDLK_INSERT,      SDLK_KP_DIVIDE,  SDLK_KP_ENTER, SDLK_CAPSLOCK,
                        SDLK_NUMLOCKCLEAR, SDLK_PRINTSCREEN, SDLK_SCROLLLOCK, SDLK_LSHIFT};
    EXPECT_FALSE(m_engine.IsKeyPressed(SDLK_LSHIFT)) << "the alt key let go of the shift key's entry";
    for (const int held : keys)
    {
        SDL_Event event{SDL_KEYDOWN};
        event.key.keysym.sym = held;
        m_engine.DispatchEvent(event);
        for (const int other : keys)
        {
            const bool expected = other == held || other == SDLK_UP; // the up arrow is still held
            EXPECT_EQ(m_engine.IsKeyPressed(other), expected)
                << "key " << other << " while " << held << " is held";
        }
        if (held == SDLK_UP)
            continue;
        event.type = SDL_KEYUP;
        m_engine.DispatchEvent(event);
    }
}

TEST_F(EngineTest, BaseLogicSleepsWhileEarlyThenUpdatesEvery15Ms)
{
    AddObjects(1);
    const auto stepAt = [this](int tick) {
        m_engine.SetFrameTick(tick);
        const Uint32 before = SDL_GetTicks();
        m_engine.BaseEngine::DoFrameLogic();
        return SDL_GetTicks() - before;
    };
    stepAt(485); // due at once: the next is due at 500
    EXPECT_GE(stepAt(490), 9u) << "nine or more early: a 9 ms sleep";
    EXPECT_GE(stepAt(491), 9u);
    for (const int tick : {495, 500, 514, 515, 540, 554, 555})
        stepAt(tick);
    // The frame tick, not the offset game time; a late pass counts from itself.
    EXPECT_EQ(m_log, (Log{"update A 485", "update A 500", "update A 515", "update A 540", "update A 555"}));
}

TEST_F(EngineTest, WholeAndPartialRedrawsAndTheRedrawFlags)
{
    SDL_Surface* screen = m_engine.GetForeground();
    LoggingObject* first = AddObjects(2);
    testing_support::FillSurface(screen, 0xABCDEF);
    m_engine.BaseEngine::RenderFrame(); // the first frame is a whole one
    EXPECT_EQ(m_log, (Log{"under text", "before draw", "draw A", "draw B", "over text"}));
    ExpectBoxesAt(100, 120);
    m_log.clear();
    first->SetPosition(103, 50);
    m_engine.BaseEngine::RenderFrame();
    EXPECT_EQ(m_log, Log{}) << "nothing asked, nothing drawn";
    // A partial redraw erases every box where it was drawn, then draws anew;
    // a stray pixel away from the boxes stays.
    m_engine.SafeSetPixel(500, 500, 0xABCDEF);
    m_engine.Redraw(false);
    m_engine.BaseEngine::RenderFrame();
    EXPECT_EQ(m_log, (Log{"erase A", "erase B", "after erase", "under text", "before draw", "draw A",
                          "draw B", "over text"}));
    ExpectBoxesAt(103, 120, 1);
    // A whole redraw asked once stays asked; one asked while composing
    // makes one more frame.
    m_engine.Redraw(true);
    m_engine.Redraw(false);
    m_engine.redrawWhileComposing = true;
    m_engine.BaseEngine::RenderFrame();
    ExpectBoxesAt(103, 120);
    EXPECT_TRUE(m_engine.IsRedrawDue()) << "the redraw asked while composing";
    EXPECT_FALSE(m_engine.IsWholeRedrawDue());
}

TEST_F(EngineTest, PassesWalkTheArrayInOrderAndStopWhenAnUpdateDestroysIt)
{
    m_engine.UpdateObjects(1); // no array yet, then an empty one: nothing to do
    m_engine.CreateObjectArray(0);
    m_engine.UpdateObjects(1);
    m_engine.DrawObjects();
    AddObjects(3)->onUpdate = [this] { m_engine.DestroyObjects(); };
    m_engine.DrawObjects();
    m_engine.EraseObjects();
    m_engine.UpdateObjects(7);
    EXPECT_EQ(m_log, (Log{"draw A", "draw B", "draw C", "erase A", "erase B", "erase C", "update A 7",
                          "delete A", "delete B", "delete C"}));
    // A rebuilt array's objects are not reached by the old pass, and the
    // stop flag that rebuilding leaves does not stop the next one.
    m_log.clear();
    AddObjects(2)->onUpdate = [this] { AddObjects(2, 'C'); };
    m_engine.UpdateObjects(7);
    m_engine.UpdateObjects(22);
    EXPECT_EQ(m_log, (Log{"update A 7", "delete A", "delete B", "update C 22", "update D 22"}));
}

TEST(EngineStart, AWindowThatCannotBeMadeStopsTheStart)
{
    BaseEngine tooLarge;
    testing::internal::CaptureStderr();
    EXPECT_EQ(testing_support::InitialiseHeadless(tooLarge, 20000, 720, ""), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to init SDL: Window is too large.\n");
    EXPECT_EQ(tooLarge.GetForeground(), nullptr);
    tooLarge.Deinitialise();
}

// The game's start-up and end print their font lines in the soak's record.
TEST(EngineFonts, OneEntryPerFileAndSizeOpenedOnceTheLibraryIsReady)
{
    const char* const font = "Cornerstone Regular.ttf";
    StdoutCapture quiet;
    auto store = std::make_unique<FontStore>();
    FontEntry* first = store->GetFont(font, 24);
    EXPECT_EQ(first->GetFont(), nullptr) << "asked for before the library is ready";
    TTF_Init();
    store->OpenPendingFonts();
    EXPECT_NE(first->GetFont(), nullptr);
    for (int size = 5; size < 30; ++size) // past twenty fonts the store grows
        EXPECT_EQ(store->GetFont(font, size)->GetPointSize(), size);
    EXPECT_EQ(store->GetFont(font, 24), first) << "the same file and size share an entry";
    EXPECT_NE(store->GetFont("cornerstone regular.ttf", 24), first) << "file names match case and all";
    store.reset(); // its fonts closed while the library is up
    TTF_Quit();
}

TEST(EngineSound, EffectsReachTheDeviceUnlessMutedAndAHigherPitchPlaysShorter)
{
    // The library's disk driver writes what the device would play to a file.
    const std::string file = testing_support::MakeTempDir() + "/device.raw";
    SDL_setenv("SDL_AUDIODRIVER", "disk", 1);
    SDL_setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    SoundPlayer player;
    const bool open = player.Open() && player.LoadEffect("hit", "Resources/sounds/hit.wav");
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(open);
    // The frames from the first sounding one to the last: of the file (mono,
    // after its 44-byte header), and of one play on the device (stereo).
    const auto span = [](const std::string& samples, size_t frameBytes) {
        const size_t first = samples.find_first_not_of('\0');
        const size_t last = samples.find_last_not_of('\0');
        if (first == std::string::npos)
            return 0;
        return static_cast<int>(last / frameBytes - first / frameBytes);
    };
    const int recorded = span(testing_support::ReadFile("Resources/sounds/hit.wav").substr(44), 2);
    const auto sounding = [&](float pitch, bool muted) {
        const size_t start = testing_support::ReadFile(file).size();
        player.SetMuted(muted);
        player.Play("hit", 1.0f, pitch);
        while (Mix_Playing(-1))
            SDL_Delay(5);
        SDL_Delay(100); // the last buffers on their way to the file
        return span(testing_support::ReadFile(file).substr(start), 4);
    };
    EXPECT_NEAR(sounding(1.0f, false), recorded, 2) << "frames played at the recorded pitch";
    EXPECT_NEAR(sounding(2.0f, false), recorded / 2.0, 2) << "frames played an octave up";
    EXPECT_EQ(sounding(1.0f, true), 0) << "frames played while muted";
}

namespace
{
// A player whose device is the library's disk driver, writing to the file.
bool OpenOnDisk(SoundPlayer& player, const std::string& file)
{
    SDL_setenv("SDL_AUDIODRIVER", "disk", 1);
    SDL_setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    const bool open = player.Open();
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    return open;
}

// The 16-bit samples the device was handed, left and right in turn.
std::vector<int16_t> Captured(const std::string& file)
{
    const std::string bytes = testing_support::ReadFile(file);
    std::vector<int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) // an empty vector's data may be null, which memcpy refuses
        std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}
// Waits until the device has been handed another stretch of sound, of the
// given length: the disk driver keeps its own pace, which falls behind the
// clock on a busy machine. Gives up after 10 s.
void AwaitSound(const std::string& file, int milliseconds)
{
    const size_t samples = static_cast<size_t>(milliseconds) * SoundPlayer::kFrequency / 1000 * 2;
    const size_t target = Captured(file).size() + samples;
    for (int waited = 0; Captured(file).size() < target && waited < 10000; waited += 5)
        SDL_Delay(5);
}
} // namespace

TEST(EngineSound, ACueKeepsAFewVoicesAndTheLoudestMixStaysUnderFullScale)
{
    const std::string file = testing_support::MakeTempDir() + "/device.raw";
    SoundPlayer player;
    ASSERT_TRUE(OpenOnDisk(player, file));
    const std::vector<std::string> loud = {"ring-out", "fanfare-win", "round-start", "confirm",
                                           "hit",      "tick",        "thrown",      "drop"};
    for (const std::string& name : loud)
        ASSERT_TRUE(player.LoadEffect(name, "Resources/sounds/" + name + ".wav"));
    for (int i = 0; i < 5; ++i)
    {
        player.Play("ring-out");
        SDL_Delay(30);
    }
    EXPECT_EQ(Mix_Playing(-1), SoundPlayer::kVoicesPerCue);
    for (const std::string& name : loud)
        player.Play(name);
    EXPECT_EQ(Mix_Playing(-1), SoundPlayer::kVoicesPerCue + 7) << "one more voice for every other cue";
    SDL_Delay(400);
    int loudest = 0;
    int atCeiling = 0;
    for (const int16_t sample : Captured(file))
    {
        loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
        if (std::abs(static_cast<int>(sample)) >= SoundPlayer::kCeiling)
            ++atCeiling;
    }
    EXPECT_GT(loudest, SoundPlayer::kCeiling / 2);
    EXPECT_LE(loudest, SoundPlayer::kCeiling);
    EXPECT_LT(atCeiling, 100) << "the mix is turned down under its ceiling, not cut off at it";
}

TEST(EngineSound, MusicFadesWhenItChangesAndWhenItsVolumeDoes)
{
    const std::string folder = testing_support::MakeTempDir();
    // A steady 400 Hz tone, whose loudness in a 10 ms window is its peak.
    const int toneLevel = 16000;
    std::vector<int16_t> tone;
    for (int n = 0; n < SoundPlayer::kFrequency; ++n)
        tone.push_back(static_cast<int16_t>(
            std::lround(toneLevel * std::sin(2 * 3.14159265358979 * 400 * n / 48000.0))));
    ASSERT_TRUE(WavFile::Save(folder + "/tone.wav", tone, SoundPlayer::kFrequency));
    SoundPlayer player;
    const std::string device = folder + "/device.raw";
    ASSERT_TRUE(OpenOnDisk(player, device));
    ASSERT_TRUE(player.LoadMusic("first", folder + "/tone.wav"));
    ASSERT_TRUE(player.LoadMusic("second", folder + "/tone.wav"));
    player.PlayMusic("first", 0.4f);
    AwaitSound(device, 300);
    player.PlayMusic("first", 0.1f);
    AwaitSound(device, 300);
    player.PlayMusic("second", 0.1f);
    AwaitSound(device, 300);
    const std::vector<int16_t> captured = Captured(device);
    const size_t window = 2 * SoundPlayer::kFrequency / 100;
    double level = 0.0;
    double loudest = 0.0;
    double largestStep = 0.0;
    for (size_t start = 0; start + window <= captured.size(); start += window)
    {
        int peak = 0;
        for (size_t i = start; i < start + window; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(captured[i])));
        largestStep = std::max(largestStep, std::fabs(peak / double{toneLevel} - level));
        level = peak / double{toneLevel};
        loudest = std::max(loudest, level);
    }
    EXPECT_NEAR(loudest, 0.4, 0.01);
    EXPECT_NEAR(level, 0.1, 0.01);
    EXPECT_LE(largestStep, 0.025);

    // The master volume turns the whole mix down, music included.
    player.SetMasterVolume(0.5f);
    AwaitSound(device, 200);
    const std::vector<int16_t> after = Captured(device);
    int lastPeak = 0;
    for (size_t i = after.size() - window; i < after.size(); ++i)
        lastPeak = std::max(lastPeak, std::abs(static_cast<int>(after[i])));
    EXPECT_NEAR(lastPeak / double{toneLevel}, 0.05, 0.01) << "the music at 10 %, at half the master volume";
}
