#include "engine/DisplayableObject.h"

#include "engine/BaseEngine.h"

namespace
{
constexpr unsigned int kPlaceholderColour = 0x00FF00FF;
}

DisplayableObject::DisplayableObject(BaseEngine* engine) : m_engine(engine)
{
    ClearState<DisplayableState>(*this);
    m_x = -1;
    m_y = -1;
    m_lastDrawnX = -1;
    m_lastDrawnY = -1;
    m_width = 10;
    m_height = 10;
}

DisplayableObject::~DisplayableObject() = default;

void DisplayableObject::Draw()
{
    const int left = m_x + m_drawOffsetX;
    const int top = m_y + m_drawOffsetY;
    if (m_width >= 1 && m_height >= 1)
        m_engine->DrawRectangle(left, top, left + m_width - 1, top + m_height - 1, kPlaceholderColour,
                                m_engine->GetForeground());
    StoreLastDrawnPosition();
}

void DisplayableObject::Erase()
{
    m_engine->CopyBackgroundPixels(m_lastDrawnX + m_drawOffsetX, m_lastDrawnY + m_drawOffsetY, m_width,
                                   m_height);
}

void DisplayableObject::Update(int /*time*/) {}

void DisplayableObject::StoreLastDrawnPosition()
{
    m_lastDrawnX = m_x;
    m_lastDrawnY = m_y;
}

void DisplayableObject::SaveState(StateBytes& out) const { AppendState<DisplayableState>(out, *this); }

bool DisplayableObject::LoadState(StateReader& in) { return in.Load<DisplayableState>(*this); }
