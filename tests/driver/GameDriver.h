#pragma once

#include "game/Stage2Engine.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class DisplayableObject;
class RoundCheck;

// The one way tests, the soak, the fuzzers and the benchmarks drive the
// game: started headless, stepped with a clock set by the caller, keys and
// clicks fed through the engine's own event dispatch, menus walked by the
// rectangles of GameData, and the game's state read (and for arenas of a
// test's own, written) directly.
class GameDriver : public Stage2Engine
{
public:
    // Starts the game with SDL's dummy video driver in the working directory.
    explicit GameDriver(const char* font = GameData::kFontFile);
    ~GameDriver() override;
    bool Started() const { return m_started; }

    // One pass of the main loop after its events: the clock moves on by
    // elapsedMs, then the frame logic and the frame. True when the paced
    // logic ran in this pass.
    bool Pass(int elapsedMs = 15);
    // Frames of the objects alone, as a round runs them (every update, then
    // every draw), for arenas built by a test.
    void Step(int frames = 1);

    // Input through DispatchEvent, as the main loop delivers it.
    void PressKey(int keyCode) { KeyEvent(keyCode, true); }
    void ReleaseKey(int keyCode) { KeyEvent(keyCode, false); }
    // Presses (or lets go of) every key named, e.g. "wd".
    void HoldKeys(const char* keys, bool held = true);
    void ReleaseAllKeys();
    void Click(int x, int y, int button = 1);
    void ClickOn(const GameData::ScreenRect& rect) { Click(rect.CentreX(), rect.CentreY()); }
    // Hands every event waiting in the library's queue (a pad's, say) to
    // the game, as the main loop does.
    void PumpEvents();
    // The real main loop, with script(pass) called before the frame logic
    // of every pass until it returns false; then the loop is closed.
    int RunMainLoop(std::function<bool(int pass)> script);
    void DoFrameLogic() override;
    // Every cue played, by name and volume, since the last digest.
    void OnCue(const char* name, float volume, float pitch) override;
    // Every pad shaken, since the test last cleared the list.
    void OnRumble(int pad, float strength, int milliseconds) override;
    void OnRoundPass(const RoundPass& pass) override;
    // From now on, checks every round pass (see RoundCheck).
    RoundCheck& CheckRounds(uint32_t seed);
    struct RedrawFlags
    {
        bool redraw;
        bool wholeScreen;
    };
    RedrawFlags GetRedrawFlags() const { return {m_redraw, m_redrawAll}; }
    void SetRedrawFlags(RedrawFlags flags)
    {
        m_redraw = flags.redraw;
        m_redrawAll = flags.wholeScreen;
    }
    std::vector<std::pair<std::string, float>> cues;
    float lastCuePitch = 1.0f;
    struct Rumble
    {
        int pad;
        float strength;
        int milliseconds;
    };
    std::vector<Rumble> rumbles;
    bool IsMuted() const { return m_sound.IsMuted(); }
    // From the main menu through both character screens and the level
    // screen into a round; true when the game is then playing.
    bool StartRound(int kind1, int kind2, int level);

    // Arenas: an empty level, tiles set by hand, and objects placed in the
    // array (drawn once, so that their last drawn place is where they
    // start); players among them become the round's players.
    void ClearLevel();
    void SetTiles(int fromColumn, int toColumn, int row, int code);
    void Place(std::initializer_list<DisplayableObject*> objects);

    // State the game keeps to itself.
    void SetScores(int score1, int score2)
    {
        m_score1 = score1;
        m_score2 = score2;
    }
    void SetSecondsLeft(int seconds) { m_secondsLeft = seconds; }
    void SetRoundSeconds(int seconds) { m_roundSeconds = seconds; }
    int GetRoundStartSeconds() const { return m_roundStartSeconds; }
    int ObjectCount() const;
    // A digest of everything that decides what happens next and what is
    // shown or heard: the game's fields, every object's place and motion,
    // the composed frame and the cues played since the last digest.
    uint64_t Digest();

private:
    void KeyEvent(int keyCode, bool down);

    bool m_started = false;
    std::unique_ptr<RoundCheck> m_check;
    bool m_roundPassRan = false;
    std::function<bool(int pass)> m_script;
    int m_scriptPass = 0;
};
