#pragma once

#include "engine/DisplayableObject.h"

class Arena;

// The main menu's score line: drifts diagonally, bounces off the window's
// edges, and resets the scores while r is held.
class MovingText : public DisplayableObject
{
public:
    static constexpr int kTextSize = 20;

    explicit MovingText(BaseEngine* engine);
    ~MovingText() override;

    void Update(int time) override;
    void Draw() override;

    const char* GetText() const { return m_text; }

private:
    // The game whose scores it shows, found once; null outside a game.
    Arena* m_arena;
    char m_text[kTextSize] = {};
    int m_dx = 1;
    int m_dy = 1;
};
