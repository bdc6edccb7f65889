#include "objects/MovingText.h"

#include "engine/BaseEngine.h"
#include "game/GameData.h"
#include "objects/Arena.h"

#include <cstdio>

namespace
{
constexpr int kStartX = 375;
constexpr int kStartY = 350;
// Erase restores the larger rectangle; the bounce uses the smaller box.
constexpr int kEraseWidth = 250;
constexpr int kEraseHeight = 50;
constexpr int kBounceWidth = 200;
constexpr int kBounceHeight = 40;

// Keeps a box of the given size inside [0, extent), turning its motion back
// at either end.
void Bounce(int& position, int& step, int size, int extent)
{
    if (position < 0)
    {
        position = 0;
        step = +1;
    }
    if (position + size >= extent)
    {
        step = -1;
        position = extent - size;
    }
}
} // namespace

MovingText::MovingText(BaseEngine* engine) : DisplayableObject(engine), m_arena(dynamic_cast<Arena*>(engine))
{
    m_x = kStartX;
    m_y = kStartY;
    m_lastDrawnX = kStartX;
    m_lastDrawnY = kStartY;
    m_width = kEraseWidth;
    m_height = kEraseHeight;
    // The text's outline reaches a pixel left of and above its corner.
    m_drawOffsetX = -1;
    m_drawOffsetY = -1;
}

MovingText::~MovingText() = default;

void MovingText::Update(int /*time*/)
{
    const int score1 = m_arena ? m_arena->GetScore(1) : 0;
    const int score2 = m_arena ? m_arena->GetScore(2) : 0;
    // Scores too large for the buffer are cut off at its end rather than
    // written past it; play never gets near that.
    std::snprintf(m_text, sizeof(m_text), "Scores: %d - %d", score1, score2);

    m_x += m_dx;
    m_y += m_dy;
    Bounce(m_x, m_dx, kBounceWidth, m_engine->GetWindowWidth());
    Bounce(m_y, m_dy, kBounceHeight, m_engine->GetWindowHeight());

    // The line was built before this, so a reset shows from the next update.
    if (m_arena && m_engine->IsKeyPressed(GameData::kResetKey))
        m_arena->ResetScores();
    m_engine->Redraw(false);
}

void MovingText::Draw()
{
    m_engine->DrawString(m_x, m_y, m_text, GameData::kCyan, nullptr, m_engine->GetForeground());
    StoreLastDrawnPosition();
}
