#include "objects/NPC.h"

#include "engine/BaseEngine.h"

namespace
{
// The walker turns once it comes this close to either side of the window.
constexpr int kTurnMargin = 48;
} // namespace

NPC::NPC(BaseEngine* engine, int startX, int startY, CharacterKind kind)
    : Character(engine, startX, startY, kind)
{
    ClearState<WalkerState>(*this);
    m_direction = 1;
    m_x = m_spawnX;
    m_y = m_spawnY;
    m_drawOffsetX = 0;
    m_drawOffsetY = 0;
}

NPC::~NPC() = default;

void NPC::SaveState(StateBytes& out) const
{
    Character::SaveState(out);
    AppendState<WalkerState>(out, *this);
}

bool NPC::LoadState(StateReader& in) { return Character::LoadState(in) && in.Load<WalkerState>(*this); }

void NPC::Update(int /*time*/)
{
    if (m_outOfArena)
    {
        // Out for the rest of the round: shrunk to nothing rather than
        // removed, it still falls and slides but no longer walks.
        m_width = 0;
        m_height = 0;
    }
    else
    {
        Accelerate(static_cast<float>(m_direction));
        // Turning is by acceleration alone, so the walker overruns each
        // turning point by its braking distance.
        const int windowWidth = m_engine->GetWindowWidth();
        if (m_x + kTurnMargin >= windowWidth - kTurnMargin)
            m_direction = -1;
        if (m_x <= kTurnMargin)
            m_direction = +1;
    }
    Move();
    ApplyForces();
    m_engine->Redraw(false);
}
