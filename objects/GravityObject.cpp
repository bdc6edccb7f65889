#include "objects/GravityObject.h"

#include "engine/BaseEngine.h"
#include "game/Stage2Engine.h"
#include "objects/Character.h"
#include "objects/MovingPlatform.h"

namespace
{
// A landing on a jump block throws the object up at this speed.
constexpr float kLaunchSpeed = -25.0f;
// A rightward speed up to this (compared in double precision) stops dead at
// a wall; above it the object bounces back.
constexpr double kWallStopSpeed = 1.2;
// Bounces keep half the speed, reversed.
constexpr double kBounce = -0.5;

} // namespace

using namespace GameData;

GravityObject::GravityObject(BaseEngine* engine) : DisplayableObject(engine) {}

GravityObject::~GravityObject() = default;

void GravityObject::AddVelocity(float dx, float dy)
{
    m_velocityX += dx;
    m_velocityY += dy;
}

Stage2Engine* GravityObject::Game() const { return dynamic_cast<Stage2Engine*>(m_engine); }

void GravityObject::Move()
{
    float vyLeft = m_velocityY;
    float vxLeft = m_velocityX;

    // Vertical pass. The loop counts on the speed at entry only: a contact
    // that changes the speed or moves the object does not end it early.
    if (m_velocityY > 0)
    {
        do
        {
            m_y += 1;
            vyLeft -= 1.0f;
            CheckCollisions();
            EdgeCheck();
        } while (vyLeft > 0);
    }
    else if (m_velocityY < 0)
    {
        do
        {
            m_y -= 1;
            vyLeft += 1.0f;
            CheckCollisions();
            EdgeCheck();
        } while (vyLeft < 0);
    }

    // Horizontal pass. Past a side edge the object stays pinned and its
    // travel is counted instead; it moves again once the count is back at 0.
    const int windowWidth = m_engine->GetWindowWidth();
    if (m_velocityX > 0 && vxLeft > 0)
    {
        while (vxLeft > 0)
        {
            vxLeft -= 1.0f;
            if (m_pastEdge)
                m_edgeOvershoot += 1;
            else
            {
                m_x += 1;
                CheckCollisions();
            }
            if (m_x >= windowWidth - 1)
            {
                m_x = windowWidth - 1;
                m_pastEdge = true;
            }
            if (m_edgeOvershoot >= 0 && m_x < 0)
                m_pastEdge = false;
        }
    }
    else if (m_velocityX < 0 && vxLeft < 0)
    {
        while (vxLeft < 0)
        {
            vxLeft += 1.0f;
            if (m_pastEdge)
                m_edgeOvershoot -= 1;
            else
            {
                m_x -= 1;
                CheckCollisions();
            }
            if (m_x <= 1 - m_width)
            {
                m_x = 1 - m_width;
                m_pastEdge = true;
            }
            if (m_edgeOvershoot <= 0 && m_x > windowWidth - m_width - 1)
                m_pastEdge = false;
        }
    }

    EdgeCheck();
    CheckCollisions();
}

void GravityObject::EdgeCheck()
{
    const int windowWidth = m_engine->GetWindowWidth();
    const int windowHeight = m_engine->GetWindowHeight();
    // Anything touching or beyond the window's border may have left pixels
    // that a partial redraw would not restore.
    if (!(m_y > 0 && m_y < windowHeight - 1 && m_x > 0 && m_x < windowWidth - 1))
        m_engine->Redraw(true);

    const bool wasOut = m_outOfArena;
    if (m_edgeOvershoot + kEdgeSlack > kEdgeLimit || m_edgeOvershoot < -kEdgeLimit)
        m_outOfArena = true;
    else if (m_y + kEdgeSlack > windowHeight + kEdgeLimit || m_y < -kEdgeLimit)
        m_outOfArena = true;
    if (m_outOfArena && !wasOut)
        Report(ObjectEvent::RingOut);
}

void GravityObject::Report(ObjectEvent event, float strength)
{
    if (Stage2Engine* game = Game())
        game->OnObjectEvent(*this, event, strength);
}

void GravityObject::CheckCollisions()
{
    m_onGround = false;
    m_onThinPlatform = false;
    m_onSolidGround = false;

    // The 3 x 3 tiles around the object; a character is one tile in size.
    if (Game())
    {
        const int tile = m_engine->TileSize();
        const int column0 = (m_x + kReferenceInset) / tile - 1;
        const int row0 = (m_y + kReferenceInset) / tile - 1;
        for (int row = row0; row <= row0 + 2; ++row)
            for (int column = column0; column <= column0 + 2; ++column)
                if (column >= 0 && column < kGridColumns && row >= 0 && row < kGridRows)
                    CollideWithTile(column, row);
    }

    // Only gravity objects take part; anything else in the array is skipped.
    ForEachOtherObject([this](DisplayableObject* object) {
        auto* const other = dynamic_cast<GravityObject*>(object);
        if (other)
            CollideWithObject(other, other->m_x + other->m_drawOffsetX, other->m_y + other->m_drawOffsetY);
    });
}

void GravityObject::StandOn(bool thin)
{
    m_onGround = true;
    if (thin)
        m_onThinPlatform = true;
    else
        m_onSolidGround = true;
    // Standing on anything but a jump block ends a launch.
    m_launched = false;
}

void GravityObject::CollideWithTile(int column, int row)
{
    Stage2Engine* const game = Game();
    if (!game)
        return;
    const int code = game->GetLevelTile(column, row);
    if (code != kBrickTile && code != kThinPlatformTile && code != kJumpBlockTile)
        return;
    // One-way: a thin platform catches only an object not moving up.
    if (code == kThinPlatformTile && m_lastDrawnY > m_y)
        return;

    // Objects move one pixel per step, so every entry into a tile is met
    // exactly one pixel deep. Each test sees the position the previous left.
    const int tile = m_engine->TileSize();
    const int tileX = tile * column;
    const int tileY = tile * row;
    if (code == kJumpBlockTile)
    {
        // Throws whatever lands on it, however it arrived; never stood on.
        if (OverlapsColumns(tileX, tile) && Bottom() == tileY)
        {
            m_velocityY = kLaunchSpeed;
            m_y = tileY - m_height;
            m_launched = true;
            Report(ObjectEvent::Thrown);
        }
    }
    else
    {
        // A brick is landed on only moving down; a thin platform also
        // catches an object that did not move vertically.
        const bool landing = code == kThinPlatformTile || m_lastDrawnY < m_y;
        if (landing && OverlapsColumns(tileX, tile) && Bottom() == tileY)
        {
            m_velocityY = 0;
            m_y = tileY - m_height;
        }
        if (OverlapsColumns(tileX, tile) && m_y + m_height == tileY)
            StandOn(code == kThinPlatformTile);
        // Thin platforms have no sides and no underside.
        if (code == kThinPlatformTile)
            return;
    }

    // Sides and underside, shared by bricks and jump blocks.
    if (m_lastDrawnX < m_x && Right() == tileX && OverlapsRows(tileY, tile))
    {
        m_x = tileX - m_width;
        if (static_cast<double>(m_velocityX) <= kWallStopSpeed)
        {
            // A slow arrival stops dead; a leftward speed is kept.
            if (m_velocityX >= 0)
                m_velocityX = 0;
        }
        else
            m_velocityX = static_cast<float>(m_velocityX * kBounce);
    }
    if (m_lastDrawnX > m_x && m_x == tileX + tile - 1 && OverlapsRows(tileY, tile))
    {
        m_x = tileX + tile;
        if (m_velocityX < 0)
            m_velocityX = static_cast<float>(m_velocityX * kBounce);
    }
    if (m_lastDrawnY > m_y && OverlapsColumns(tileX, tile) && m_y == tileY + tile - 1)
    {
        m_y = tileY + tile;
        if (m_velocityY < 0)
            m_velocityY = static_cast<float>(m_velocityY * kBounce);
    }
}

void GravityObject::CollideWithObject(GravityObject* other, int otherX, int otherY)
{
    if (!other)
        return;
    auto* const victim = dynamic_cast<Character*>(other);
    const int otherWidth = other->m_width;
    const int otherHeight = other->m_height;

    if (victim && !dynamic_cast<MovingPlatform*>(this))
    {
        // Character against character. Damage (hitting speed / 100) goes in
        // before the knockback, so a hit pushes by the hitter's speed times
        // the victim's multiplier after the hit. Each rule reads the speeds
        // the previous ones left.
        const int tile = m_engine->TileSize();

        // Landing on its head.
        if (OverlapsColumns(otherX, otherWidth) && Bottom() == otherY)
        {
            m_y = otherY - m_height;
            const float vx = m_velocityX;
            const float vy = m_velocityY;
            if (vy > 0)
            {
                if (vy > other->m_velocityY && !other->m_onGround)
                    victim->AddDamage(vy / 100.0f);
                if (!other->m_onGround)
                    other->m_velocityX += victim->GetDamage() * vx;
                other->m_velocityY += victim->GetDamage() * vy;
                m_velocityY = static_cast<float>(vy * kBounce);
                other->Report(ObjectEvent::Hit, victim->GetDamage() * vy);
            }
        }
        // Standing on it restores jumps like solid ground.
        if (OverlapsColumns(otherX, otherWidth) && m_y + m_height == otherY)
            StandOn(false);
        // Running into its left side.
        if (m_lastDrawnX < m_x && Right() == otherX && OverlapsRows(otherY, otherHeight))
        {
            m_x = otherX - m_width;
            const float vx = m_velocityX;
            const float vy = m_velocityY;
            if (vx > 0)
            {
                if (vx > other->m_velocityX)
                    victim->AddDamage(vx / 100.0f);
                // A grounded victim is thrown upward.
                if (other->m_onGround)
                    other->m_velocityY -= victim->GetDamage() * vx;
                else
                    other->m_velocityY += victim->GetDamage() * vy;
                other->m_velocityX += victim->GetDamage() * vx;
                m_velocityX = static_cast<float>(vx * kBounce);
                other->Report(ObjectEvent::Hit, victim->GetDamage() * vx);
            }
        }
        // Running into its right side.
        if (m_lastDrawnX > m_x && m_x == otherX + otherWidth - 1 && OverlapsRows(otherY, otherHeight))
        {
            m_x = otherX + tile;
            const float vx = m_velocityX;
            const float vy = m_velocityY;
            if (vx < 0)
            {
                if (other->m_velocityX > vx)
                    victim->AddDamage(vx / -100.0f);
                // Upward for a grounded victim, as vx is negative.
                if (other->m_onGround)
                    other->m_velocityY += victim->GetDamage() * vx;
                else
                    other->m_velocityY += victim->GetDamage() * vy;
                other->m_velocityX += victim->GetDamage() * vx;
                m_velocityX = static_cast<float>(vx * kBounce);
                other->Report(ObjectEvent::Hit, victim->GetDamage() * -vx);
            }
        }
        // Hitting it from below.
        if (m_lastDrawnY > m_y && OverlapsColumns(otherX, otherWidth) && m_y == otherY + otherHeight - 1)
        {
            m_y = otherY + tile;
            const float vx = m_velocityX;
            const float vy = m_velocityY;
            if (vy < 0)
            {
                if (other->m_velocityY > vy)
                    victim->AddDamage(vy / -100.0f);
                other->m_velocityX += victim->GetDamage() * vx;
                other->m_velocityY += victim->GetDamage() * vy;
                m_velocityY = static_cast<float>(vy * kBounce);
                other->Report(ObjectEvent::Hit, victim->GetDamage() * -vy);
            }
        }
        return;
    }

    if (dynamic_cast<MovingPlatform*>(other) && dynamic_cast<Character*>(this))
    {
        // Riding a platform: one pixel of upward motion a frame is how a
        // rising platform carries its rider; anything faster passes through.
        if (m_lastDrawnY - 1 > m_y)
            return;
        // The fall speed is left alone: ApplyForces zeroes it on the ground.
        if (OverlapsColumns(otherX, otherWidth) && Bottom() == otherY)
            m_y = otherY - m_height;
        // It counts as a thin platform, so it can be dropped through.
        if (OverlapsColumns(otherX, otherWidth) && m_y + m_height == otherY)
            StandOn(true);
    }
}

void GravityObject::ApplyForces()
{
    const float friction = m_onGround ? m_groundFriction : m_airFriction;
    if (m_velocityX > 0)
    {
        m_velocityX -= friction;
        if (m_velocityX < 0)
            m_velocityX = 0;
    }
    else if (m_velocityX < 0)
    {
        m_velocityX += friction;
        if (m_velocityX > 0)
            m_velocityX = 0;
    }

    if (m_onGround)
    {
        if (m_velocityY > 0)
            m_velocityY = 0;
        return;
    }
    if (m_velocityY < m_maxFallSpeed)
        m_velocityY += m_gravity;
    // A fall faster than the limit (a fast fall) eases back to it.
    if (m_velocityY > m_maxFallSpeed)
        m_velocityY = static_cast<float>(m_velocityY - m_gravity * 0.5);
}
