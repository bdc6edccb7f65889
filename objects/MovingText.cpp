#include "objects/MovingText.h"

#include "engine/BaseEngine.h"
#include "game/GameData.h"
#include "objects/Arena.h"

#include <cstdio>

using namespace GameData;

namespace
{
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
    ClearState<ScoreLineState>(*this);
    m_dx = 1;
    m_dy = 1;
    m_x = kScoreLineStart.x;
    m_y = kScoreLineStart.y;
    m_lastDrawnX = kScoreLineStart.x;
    m_lastDrawnY = kScoreLineStart.y;
    // Erase restores the larger rectangle; the bounce uses the smaller box.
    m_width = kScoreLineEraseWidth;
    m_height = kScoreLineEraseHeight;
    // The text's outline reaches a pixel left of and above its corner.
    m_drawOffsetX = -1;
    m_drawOffsetY = -1;
}

MovingText::~MovingText() = default;

void MovingText::SaveState(StateBytes& out) const
{
    DisplayableObject::SaveState(out);
    AppendState<ScoreLineState>(out, *this);
}

bool MovingText::LoadState(StateReader& in)
{
    return DisplayableObject::LoadState(in) && in.Load<ScoreLineState>(*this);
}

void MovingText::Update(int /*time*/)
{
    const int score1 = m_arena ? m_arena->GetScore(1) : 0;
    const int score2 = m_arena ? m_arena->GetScore(2) : 0;
    // Scores too large for the buffer are cut off at its end rather than
    // written past it; play never gets near that.
    std::snprintf(m_text, sizeof(m_text), "Scores: %d - %d", score1, score2);

    m_x += m_dx;
    m_y += m_dy;
    Bounce(m_x, m_dx, kScoreLineBounceWidth, m_engine->GetWindowWidth());
    Bounce(m_y, m_dy, kScoreLineBounceHeight, m_engine->GetWindowHeight());

    // The line was built before this, so a reset shows from the next update.
    if (m_arena && m_engine->IsKeyPressed(kResetKey))
        m_arena->ResetScores();
    m_engine->Redraw(false);
}

void MovingText::Draw()
{
    m_engine->DrawString(m_x, m_y, m_text, kCyan, nullptr, m_engine->GetForeground());
    StoreLastDrawnPosition();
}
