#pragma once

#include "game/Stage2Engine.h"

#include <cstdint>

// The game driven from outside its main loop, as the soak, the bad-data
// tests and the benchmarks need it: a clock set by the caller, keys held and
// pressed as the main loop would, menu clicks at the screens' hit
// rectangles, and read access to what the game keeps protected.
class DrivenGame : public Stage2Engine
{
public:
    // A menu target, both corners inside.
    struct Target
    {
        int x1, y1, x2, y2;
        int CentreX() const { return (x1 + x2) / 2; }
        int CentreY() const { return (y1 + y2) / 2; }
    };
    static Target PortraitTarget(int index);
    static Target ThumbnailTarget(int index);
    static const Target kBack;
    static const Target kConfirm;

    // Keys, updating the key-state table first as the main loop does.
    void PressKey(int keyCode);
    void ReleaseKey(int keyCode);
    // Only the table: keys the players poll rather than react to.
    void HoldKey(int keyCode, bool held);
    void ReleaseAllKeys();
    void Click(int button, int x, int y) { OnMouseDown(button, x, y); }
    void ClickCentre(const Target& target) { Click(1, target.CentreX(), target.CentreY()); }

    // One pass of the main loop after its events: the clock moves on by
    // elapsedMs, then the frame logic and the frame. True when the logic
    // ran its paced step in this pass.
    bool Pass(int elapsedMs = 15);

    // From the main menu through both character screens and the level
    // screen into a round; true when the game is then playing.
    bool StartRound(int kind1, int kind2, int level);

    int ObjectCount() const;
    bool InObjectArray(const DisplayableObject* object) const;
    int GetScoreTotal() const { return m_score1 + m_score2; }
    int GetTimeOffset() const { return m_timeOffset; }
    int GetRoundStartSeconds() const { return m_roundStartSeconds; }
    bool PaintedNight() const { return m_paintedNight; }
    const unsigned char* KeyStates() const { return m_keyStates.get(); }

    // A digest of everything that decides what happens next and what is
    // shown: the game's fields, every object's place and state, and the
    // composed frame.
    uint64_t Digest() const;
};
