#include "objects/GravityObject.h"

#include "engine/BaseEngine.h"
#include "game/GameData.h"

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

GravityObject::GravityObject(BaseEngine* engine)
    : DisplayableObject(engine), m_arena(dynamic_cast<Arena*>(engine))
{
    ClearState<GravityState>(*this);
    // Everything else starts at zero or false.
    m_gravity = 1.0f;
    m_maxFallSpeed = 15.0f;
    m_groundFriction = 0.8f;
    m_airFriction = 0.2f;
}

GravityObject::~GravityObject() = default;

void GravityObject::SaveState(StateBytes& out) const
{
    DisplayableObject::SaveState(out);
    AppendState<GravityState>(out, *this);
}

bool GravityObject::LoadState(StateReader& in)
{
    return DisplayableObject::LoadState(in) && in.Load<GravityState>(*this);
}

void GravityObject::AddVelocity(float dx, float dy)
{
    m_velocityX += dx;
    m_velocityY += dy;
}

void GravityObject::Move()
{
    const float vyLeft = m_velocityY;
    const float vxLeft = m_velocityX;
    MoveVertically(vyLeft);
    // Decided on the speed a vertical contact may have changed, and on the
    // speed at entry together.
    if (m_velocityX > 0 && vxLeft > 0)
        MoveRight(vxLeft);
    else if (m_velocityX < 0 && vxLeft < 0)
        MoveLeft(vxLeft);
    EdgeCheck();
    CheckCollisions();
}

// The loop counts on the speed at entry only: a contact that changes the
// speed or moves the object does not end it early.
void GravityObject::MoveVertically(float vyLeft)
{
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
}

// Past a side edge the object stays pinned and its travel is counted
// instead; it moves again once the count is back at 0.
void GravityObject::MoveRight(float vxLeft)
{
    const int windowWidth = m_engine->GetWindowWidth();
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

void GravityObject::MoveLeft(float vxLeft)
{
    const int windowWidth = m_engine->GetWindowWidth();
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
    if (m_arena)
        m_arena->OnObjectEvent(*this, event, strength);
}

void GravityObject::CheckCollisions()
{
    m_onGround = false;
    m_onThinPlatform = false;
    m_onSolidGround = false;

    // The 3 x 3 tiles around the object; a character is one tile in size.
    if (m_arena)
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
    if (!m_arena)
        return;
    const int code = m_arena->GetLevelTile(column, row);
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
        CollideWithSolidSides(tileX, tileY, tile);
        return;
    }
    // A brick is landed on only moving down; a thin platform also catches
    // an object that did not move vertically.
    const bool landing = code == kThinPlatformTile || m_lastDrawnY < m_y;
    if (landing && OverlapsColumns(tileX, tile) && Bottom() == tileY)
    {
        m_velocityY = 0;
        m_y = tileY - m_height;
    }
    if (OverlapsColumns(tileX, tile) && m_y + m_height == tileY)
        StandOn(code == kThinPlatformTile);
    // Thin platforms have no sides and no underside.
    if (code == kBrickTile)
        CollideWithSolidSides(tileX, tileY, tile);
}

void GravityObject::CollideWithSolidSides(int tileX, int tileY, int tile)
{
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
    // No threshold on this side: any leftward speed bounces.
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
    const ContactKind self = GetContactKind();
    const ContactKind kind = other->GetContactKind();
    if (kind == ContactKind::Character && self != ContactKind::Platform)
        CollideWithCharacter(*other, otherX, otherY);
    else if (kind == ContactKind::Platform && self == ContactKind::Character)
        RidePlatform(*other, otherX, otherY);
    // Any other pair passes through.
}

// Only this object is repositioned; the other takes the hit and its own
// next Move carries it away. Each test reads what the previous ones left.
void GravityObject::CollideWithCharacter(GravityObject& other, int otherX, int otherY)
{
    const int otherWidth = other.m_width;
    const int otherHeight = other.m_height;
    // The push-outs below the other and beside its right side add a tile to
    // the other's position, not its size: every character is a tile wide.
    const int tile = m_engine->TileSize();

    if (OverlapsColumns(otherX, otherWidth) && Bottom() == otherY)
    {
        m_y = otherY - m_height;
        if (m_velocityY > 0)
            Strike(other, HitFrom::Above);
    }
    // Standing on it restores jumps like solid ground.
    if (OverlapsColumns(otherX, otherWidth) && m_y + m_height == otherY)
        StandOn(false);
    if (m_lastDrawnX < m_x && Right() == otherX && OverlapsRows(otherY, otherHeight))
    {
        m_x = otherX - m_width;
        if (m_velocityX > 0)
            Strike(other, HitFrom::Left);
    }
    if (m_lastDrawnX > m_x && m_x == otherX + otherWidth - 1 && OverlapsRows(otherY, otherHeight))
    {
        m_x = otherX + tile;
        if (m_velocityX < 0)
            Strike(other, HitFrom::Right);
    }
    if (m_lastDrawnY > m_y && OverlapsColumns(otherX, otherWidth) && m_y == otherY + otherHeight - 1)
    {
        m_y = otherY + tile;
        if (m_velocityY < 0)
            Strike(other, HitFrom::Below);
    }
}

void GravityObject::Strike(GravityObject& other, HitFrom from)
{
    other.TakeHit(Hit{from, m_velocityX, m_velocityY});
    if (from == HitFrom::Above || from == HitFrom::Below)
        m_velocityY = static_cast<float>(m_velocityY * kBounce);
    else
        m_velocityX = static_cast<float>(m_velocityX * kBounce);
}

void GravityObject::RidePlatform(const GravityObject& other, int otherX, int otherY)
{
    // One pixel of upward motion a frame is how a rising platform carries
    // its rider; anything faster passes through.
    if (m_lastDrawnY - 1 > m_y)
        return;
    // The fall speed is left alone: ApplyForces zeroes it on the ground.
    if (OverlapsColumns(otherX, other.m_width) && Bottom() == otherY)
        m_y = otherY - m_height;
    // It counts as a thin platform, so it can be dropped through.
    if (OverlapsColumns(otherX, other.m_width) && m_y + m_height == otherY)
        StandOn(true);
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
