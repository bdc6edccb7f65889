#include "objects/FlyingNPC.h"

#include "engine/BaseEngine.h"
#include "objects/Player.h"

namespace
{
// Steering adds this much speed per frame towards the target, unlimited.
constexpr double kSteerStep = 0.2;
} // namespace

FlyingNPC::FlyingNPC(BaseEngine* engine, int startX, int startY, int targetPlayer, CharacterKind kind)
    : Character(engine, startX, startY, kind)
{
    ClearState<FlyerState>(*this);
    m_targetPlayer = targetPlayer;
    m_x = m_spawnX;
    m_y = m_spawnY;
    m_drawOffsetX = 0;
    m_drawOffsetY = 0;
}

FlyingNPC::~FlyingNPC() = default;

void FlyingNPC::SaveState(StateBytes& out) const
{
    Character::SaveState(out);
    AppendState<FlyerState>(out, *this);
}

bool FlyingNPC::LoadState(StateReader& in) { return Character::LoadState(in) && in.Load<FlyerState>(*this); }

void FlyingNPC::Update(int /*time*/)
{
    SteerTowardsTarget();
    // No ApplyForces: the flyer has neither gravity nor friction.
    Move();
    m_engine->Redraw(false);
}

void FlyingNPC::SteerTowardsTarget()
{
    ForEachOtherObject([this](DisplayableObject* object) {
        if (m_outOfArena)
        {
            // Out for the rest of the round: drawn as nothing, no steering.
            m_width = 0;
            m_height = 0;
            return;
        }
        const auto* const player = dynamic_cast<const Player*>(object);
        if (!player || player->GetPlayerNumber() != m_targetPlayer)
            return;

        // The player's centre less half its size: its top-left corner, so
        // the flyer aims to cover it exactly.
        const int targetX =
            player->GetX() + player->GetDrawOffsetX() + player->GetDrawWidth() / 2 - player->GetWidth() / 2;
        const int targetY =
            player->GetY() + player->GetDrawOffsetY() + player->GetDrawHeight() / 2 - player->GetHeight() / 2;

        if (targetX > m_x)
        {
            m_velocityX = static_cast<float>(m_velocityX + kSteerStep);
            Face(true);
        }
        else if (targetX < m_x)
        {
            m_velocityX = static_cast<float>(m_velocityX - kSteerStep);
            Face(false);
        }
        if (targetY > m_y)
            m_velocityY = static_cast<float>(m_velocityY + kSteerStep);
        else if (targetY < m_y)
            m_velocityY = static_cast<float>(m_velocityY - kSteerStep);
    });
}
