#include "objects/Character.h"

#include "engine/BaseEngine.h"
#include "game/GameData.h"

#include <algorithm>
#include <cmath>

namespace
{
// Each jump boost sets the rising speed back to this.
constexpr float kJumpSpeed = -10.0f;
// FastFall adds only up to this fall speed.
constexpr float kFastFallLimit = 30.0f;
constexpr float kFastFallStep = 2.0f;
constexpr double kRechargeStep = 0.01;
} // namespace

Character::Character(BaseEngine* engine, int spawnX, int spawnY, CharacterKind kind) : GravityObject(engine)
{
    ClearState<CharacterState>(*this);
    m_maxSpeed = 6.0f;
    m_maxJumpBoosts = 8.0f;
    m_jumpBoostsLeft = 8.0f;
    m_spawnX = spawnX;
    m_spawnY = spawnY;
    m_attackCharge = 1.0f;
    m_damage = 1.0f;
    // The size comes first: the sprites are resampled to it.
    m_width = kSize;
    m_height = kSize;
    const char* const right = RightSpriteFile(kind);
    const char* const left = LeftSpriteFile(kind);
    if (right && left)
        LoadSprites(right, left);
}

Character::~Character() = default;

// The sprite worn is a pointer into the character itself, saved as which of
// the two it is.
void Character::SaveState(StateBytes& out) const
{
    GravityObject::SaveState(out);
    AppendState<CharacterState>(out, *this);
    const unsigned char wearing = !m_currentImage ? 0 : m_currentImage == &m_rightImage ? 1 : 2;
    AppendState(out, wearing);
}

bool Character::LoadState(StateReader& in)
{
    unsigned char wearing = 0;
    if (!GravityObject::LoadState(in) || !in.Load<CharacterState>(*this) || !in.Load(wearing))
        return false;
    m_currentImage = wearing == 0 ? nullptr : wearing == 1 ? &m_rightImage : &m_leftImage;
    return true;
}

const char* Character::RightSpriteFile(CharacterKind kind)
{
    return (kind >= 0 && kind < GameData::kKindCount) ? GameData::kSpriteFiles[kind].right : nullptr;
}

const char* Character::LeftSpriteFile(CharacterKind kind)
{
    return (kind >= 0 && kind < GameData::kKindCount) ? GameData::kSpriteFiles[kind].left : nullptr;
}

void Character::Draw()
{
    // Pinned at a side edge: not shown, and the last drawn place is kept so
    // the motion still sees where it was last seen.
    if (m_pastEdge)
        return;
    // A character without sprites shows nothing, but its place is still
    // recorded: the motion rules read it as the start of the next frame.
    if (m_currentImage)
        m_currentImage->RenderImage(m_engine->GetForeground(), 0, 0, m_x, m_y, m_width, m_height);
    StoreLastDrawnPosition();
}

void Character::NoteDrawn()
{
    if (!m_pastEdge)
        StoreLastDrawnPosition();
}

void Character::LoadSprites(const char* rightFile, const char* leftFile)
{
    // A file that fails to load leaves an empty image, which resamples to a
    // black sprite: the character still shows where it is.
    {
        PixelImage loaded;
        loaded.LoadImage(rightFile);
        m_rightImage.ResizeFrom(loaded, m_width, m_height, false);
    }
    {
        PixelImage loaded;
        loaded.LoadImage(leftFile);
        m_leftImage.ResizeFrom(loaded, m_width, m_height, false);
    }
    m_currentImage = &m_leftImage;
}

void Character::Face(bool right)
{
    if (m_currentImage)
        m_currentImage = right ? &m_rightImage : &m_leftImage;
}

void Character::Accelerate(float direction)
{
    bool mayGrow = false;
    if (direction > 0)
    {
        Face(true);
        mayGrow = m_maxSpeed > m_velocityX;
    }
    else if (direction < 0)
    {
        Face(false);
        mayGrow = m_velocityX > -m_maxSpeed;
    }
    if (!mayGrow)
        return;

    if (m_onGround)
        m_velocityX += direction;
    else
    {
        // Air control is weaker in the ratio of the two frictions.
        const float ratio =
            std::max(m_groundFriction, m_airFriction) / std::min(m_groundFriction, m_airFriction);
        m_velocityX += direction / ratio;
    }
}

void Character::Jump()
{
    if (m_onGround)
        m_jumpBoostsLeft = m_maxJumpBoosts;
    // No boost while falling or while thrown by a jump block.
    if (m_velocityY <= 0 && !m_launched && m_jumpBoostsLeft > 0)
    {
        m_velocityY = kJumpSpeed;
        m_jumpBoostsLeft -= 1.0f;
    }
}

void Character::FastFall()
{
    if (m_velocityY <= kFastFallLimit)
        AddVelocity(0, kFastFallStep);
}

void Character::Respawn()
{
    // Once the round is decided, a character out of the arena stays out.
    if (!m_outOfArena || m_won || m_lost)
        return;
    m_deaths += 1;
    Report(ObjectEvent::Respawn);
    m_x = m_spawnX;
    m_y = m_spawnY;
    m_outOfArena = false;
    m_edgeOvershoot = 0;
    m_pastEdge = false;
    m_damage = 1.0f;
    m_attackCharge = 1.0f;
    m_velocityX = 0;
    m_velocityY = 0;
    m_engine->Redraw(true);
}

void Character::Recharge()
{
    if (m_attackCharge < 1.0f)
        m_attackCharge = static_cast<float>(m_attackCharge + kRechargeStep);
}

void Character::AddDamage(float amount)
{
    m_damage += amount;
    if (m_damage > kMaxDamage)
        m_damage = kMaxDamage;
}

void Character::TakeHit(const Hit& hit)
{
    const bool vertical = hit.from == HitFrom::Above || hit.from == HitFrom::Below;
    // The hitting speed along the blow, signed, and this character's own.
    const float speed = vertical ? hit.velocityY : hit.velocityX;
    float& along = vertical ? m_velocityY : m_velocityX;
    const bool faster = speed > 0 ? speed > along : along > speed;
    // A landing on a grounded head pushes it down but does no damage.
    if (faster && !(hit.from == HitFrom::Above && m_onGround))
        AddDamage(std::fabs(speed) / 100.0f);
    const float damage = m_damage;

    if (vertical)
    {
        // A grounded character keeps its footing against a landing.
        if (hit.from == HitFrom::Below || !m_onGround)
            m_velocityX += damage * hit.velocityX;
    }
    else if (m_onGround)
        m_velocityY -= damage * std::fabs(speed); // a grounded victim is thrown upward
    else
        m_velocityY += damage * hit.velocityY;
    along += damage * speed;
    Report(ObjectEvent::Hit, damage * std::fabs(speed));
}
