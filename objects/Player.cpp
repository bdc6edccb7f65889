#include "objects/Player.h"

#include "engine/BaseEngine.h"
#include "game/GameData.h"

namespace
{
// A dash adds this much speed in each held direction.
constexpr float kDashSpeed = 10.0f;
// Pushes the lowest row below a thin platform's top row, so it stops
// catching the player.
constexpr int kDropThrough = 2;
} // namespace

using namespace GameData;

Player::Player(BaseEngine* engine, int startX, int startY, int playerNumber, CharacterKind kind)
    : Character(engine, startX, startY, kind)
{
    ClearState<PlayerState>(*this);
    m_playerNumber = playerNumber;
    m_x = m_spawnX;
    m_y = m_spawnY;
    m_drawOffsetX = 0;
    m_drawOffsetY = 0;
    // Player 1 starts facing right, player 2 (like every character) left.
    if (playerNumber == 1)
        Face(true);
}

Player::~Player() = default;

void Player::SaveState(StateBytes& out) const
{
    Character::SaveState(out);
    AppendState<PlayerState>(out, *this);
}

bool Player::LoadState(StateReader& in) { return Character::LoadState(in) && in.Load<PlayerState>(*this); }

InputFrame Player::Frame() const
{
    if (!HasControls() || !m_arena)
        return InputFrame{};
    return m_arena->SeatFrame(m_playerNumber);
}

void Player::Update(int /*time*/)
{
    const InputFrame frame = Frame();
    if (frame.lever)
        PullLever();
    if (!m_won && !m_lost)
    {
        // A press (not a hold) that boosts is a jump from the ground or
        // again in the air.
        const bool jumping = frame.Holds(PlayerAction::Jump);
        const float rising = m_velocityY;
        const bool grounded = m_onGround;
        if (jumping)
            Jump();
        if (jumping && !m_jumpHeld && m_velocityY != rising)
            Report(grounded ? ObjectEvent::Jump : ObjectEvent::AirJump);
        m_jumpHeld = jumping;
        if (frame.Holds(PlayerAction::Fall))
            FastFall();
        if (frame.Holds(PlayerAction::Left))
            Accelerate(-1.0f);
        if (frame.Holds(PlayerAction::Right))
            Accelerate(+1.0f);
        // Only a thin or moving platform can be dropped through; a brick or
        // a character underneath holds the player up.
        if (frame.Holds(PlayerAction::Fall) && m_onThinPlatform && !m_onSolidGround)
        {
            m_y += kDropThrough;
            Report(ObjectEvent::DropThrough);
        }
        if (frame.Holds(PlayerAction::Attack))
            Attack(frame);
        UseLeverRequest();
    }
    else if (m_won && !m_lost)
    {
        // The sole winner keeps jumping on the round-over screen.
        Jump();
    }

    Respawn();
    Recharge();
    Move();
    ApplyForces();
    m_engine->Redraw(false);
}

void Player::UseLeverRequest()
{
    if (!m_leverRequest)
        return;
    // A pull made anywhere but on a lever is used up without effect.
    m_leverRequest = false;
    if (!m_arena)
        return;
    const int tile = m_engine->TileSize();
    const int column = (m_x + kReferenceInset) / tile;
    const int row = (m_y + kReferenceInset) / tile;
    if (column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows &&
        m_arena->GetLevelTile(column, row) == kLeverTile)
    {
        m_arena->ToggleDaytime();
        Report(ObjectEvent::Lever);
    }
}

void Player::Attack(const InputFrame& frame)
{
    if (m_attackCharge < 1.0f || !HasControls())
        return;

    bool dashed = false;
    if (frame.Holds(PlayerAction::Right))
    {
        AddVelocity(kDashSpeed, 0);
        dashed = true;
    }
    else if (frame.Holds(PlayerAction::Left))
    {
        AddVelocity(-kDashSpeed, 0);
        dashed = true;
    }

    // A vertical impulse goes with the horizontal one, down before up;
    // any impulse empties the charge.
    if (frame.Holds(PlayerAction::Fall))
        AddVelocity(0, kDashSpeed);
    else if (frame.Holds(PlayerAction::Jump))
        AddVelocity(0, -kDashSpeed);
    else if (!dashed)
        return;
    m_attackCharge = 0;
    Report(ObjectEvent::Dash);
}
