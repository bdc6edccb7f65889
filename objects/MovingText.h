#pragma once

#include "engine/DisplayableObject.h"

class Arena;

struct ScoreLineState
{
    char m_text[20]; // the line drawn, rebuilt on every update
    int m_dx;        // +1 or -1
    int m_dy;
};

// The main menu's score line: drifts diagonally, bounces off the window's
// edges, and resets the scores while r is held.
class MovingText : public DisplayableObject, protected ScoreLineState
{
public:
    static constexpr int kTextSize = sizeof(ScoreLineState::m_text);

    explicit MovingText(BaseEngine* engine);
    ~MovingText() override;

    void Update(int time) override;
    void Draw() override;
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;

    const char* GetText() const { return m_text; }

private:
    // The game whose scores it shows, found once; null outside a game.
    Arena* m_arena;
};
