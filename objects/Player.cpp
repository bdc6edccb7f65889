#include "objects/Player.h"

#include "engine/BaseEngine.h"
#include "game/Stage2Engine.h"

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
    : Character(engine, startX, startY, kind), m_playerNumber(playerNumber)
{
    m_x = m_spawnX;
    m_y = m_spawnY;
    m_drawOffsetX = 0;
    m_drawOffsetY = 0;
    // Player 1 starts facing right, player 2 (like every character) left.
    if (playerNumber == 1)
        Face(true);
}

Player::~Player() = default;

bool Player::GetKeys(Keys& keys) const
{
    if (m_playerNumber == 1)
        keys = Keys{'w', 's', 'a', 'd', 'c'};
    else if (m_playerNumber == 2)
        keys = Keys{'i', 'k', 'j', 'l', 'n'};
    else
        return false;
    return true;
}

bool Player::Held(int key) const { return m_engine->IsKeyPressed(key); }

void Player::Update(int /*time*/)
{
    if (!m_won && !m_lost)
    {
        Keys keys{};
        if (GetKeys(keys))
        {
            if (Held(keys.jump))
                Jump();
            if (Held(keys.fall))
                FastFall();
            if (Held(keys.left))
                Accelerate(-1.0f);
            if (Held(keys.right))
                Accelerate(+1.0f);
            // Only a thin or moving platform can be dropped through; a brick
            // or a character underneath holds the player up.
            if (Held(keys.fall) && m_onThinPlatform && !m_onSolidGround)
                m_y += kDropThrough;
            if (Held(keys.attack))
                Attack();
        }
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
    Stage2Engine* const game = Game();
    if (!game)
        return;
    const int tile = m_engine->TileSize();
    const int column = (m_x + kReferenceInset) / tile;
    const int row = (m_y + kReferenceInset) / tile;
    if (column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows &&
        game->GetLevelTile(column, row) == kLeverTile)
        game->ToggleDaytime();
}

void Player::Attack()
{
    if (m_attackCharge < 1.0f)
        return;
    Keys keys{};
    if (!GetKeys(keys))
        return;

    bool dashed = false;
    if (Held(keys.right))
    {
        AddVelocity(kDashSpeed, 0);
        dashed = true;
    }
    else if (Held(keys.left))
    {
        AddVelocity(-kDashSpeed, 0);
        dashed = true;
    }

    // A vertical impulse goes with the horizontal one, down before up.
    if (Held(keys.fall))
    {
        AddVelocity(0, kDashSpeed);
        m_attackCharge = 0;
        return;
    }
    if (Held(keys.jump))
    {
        AddVelocity(0, -kDashSpeed);
        m_attackCharge = 0;
        return;
    }
    if (dashed)
        m_attackCharge = 0;
}
