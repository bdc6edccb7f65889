#pragma once

#include "engine/BaseEngine.h"
#include "engine/DisplayableObject.h"
#include "objects/Arena.h"

// How an object takes part in another's contacts: characters hit and are
// hit, a moving platform carries characters, anything else is passed through.
enum class ContactKind
{
    Inert,
    Character,
    Platform,
};

// The side of a character that another ran, fell or rose into.
enum class HitFrom
{
    Above,
    Left,
    Right,
    Below,
};

// One character's contact with another, with the hitter's speeds as it hit.
struct Hit
{
    HitFrom from;
    float velocityX;
    float velocityY;
};

// The physics of one object: speeds and their limits, frictions, what it
// stood on at the last contact check, and how far past the edges it went.
struct GravityState
{
    float m_gravity;
    float m_velocityX;
    float m_velocityY;
    float m_maxFallSpeed;
    bool m_onGround;
    float m_groundFriction;
    float m_airFriction;
    bool m_onThinPlatform;
    bool m_onSolidGround;
    bool m_launched;
    bool m_pastEdge;
    int m_edgeOvershoot;
    bool m_outOfArena;
};

// A displayable object under the game's physics: moved one pixel at a time,
// with its contacts against level tiles and other objects resolved after
// every pixel. Subclasses call Move and ApplyForces from their Update.
class GravityObject : public DisplayableObject, protected GravityState
{
public:
    // Edge limits. Fixed numbers, not the object's size: an object is out
    // once it has travelled 120 pixels past the right edge, 144 past the
    // left, 120 below the window or 144 above it.
    static constexpr int kEdgeSlack = 24;
    static constexpr int kEdgeLimit = 144;

    explicit GravityObject(BaseEngine* engine);
    ~GravityObject() override;

    void AddVelocity(float dx, float dy);
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

    // One frame of motion: vertical pass, horizontal pass, edge check.
    void Move();
    void CheckCollisions();
    void CollideWithTile(int column, int row);
    void CollideWithObject(GravityObject* other, int otherX, int otherY);
    // One frame of friction and gravity.
    void ApplyForces();
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;

    virtual ContactKind GetContactKind() const { return ContactKind::Inert; }
    // What a hit does to the object hit; only characters take hits.
    virtual void TakeHit(const Hit& /*hit*/) {}

    float GetVelocityX() const { return m_velocityX; }
    float GetVelocityY() const { return m_velocityY; }
    void SetVelocity(float vx, float vy)
    {
        m_velocityX = vx;
        m_velocityY = vy;
    }
    bool IsPastEdge() const { return m_pastEdge; }
    int GetEdgeOvershoot() const { return m_edgeOvershoot; }
    bool IsOutOfArena() const { return m_outOfArena; }
    bool IsOnGround() const { return m_onGround; }
    bool IsOnThinPlatform() const { return m_onThinPlatform; }
    bool IsOnSolidGround() const { return m_onSolidGround; }
    bool IsLaunched() const { return m_launched; }

protected:
    void Report(ObjectEvent event, float strength = 0.0f);
    void EdgeCheck();

    // Calls visit(object) for every other object in the engine's array, in
    // array order.
    template <typename Visit> void ForEachOtherObject(Visit visit) const
    {
        for (int i = 0;; ++i)
        {
            DisplayableObject* const object = m_engine->GetDisplayableObject(i);
            if (!object)
                return;
            if (object != this)
                visit(object);
        }
    }

    // The game the object moves in, found once at construction; null when
    // the engine is not a game, which leaves the object without tiles.
    Arena* m_arena;

private:
    // The two halves of Move; the horizontal one counts travel past a side
    // edge instead of moving there.
    void MoveVertically(float vyLeft);
    void MoveRight(float vxLeft);
    void MoveLeft(float vxLeft);
    // A solid tile's sides and underside, shared by bricks and jump blocks.
    void CollideWithSolidSides(int tileX, int tileY, int tile);
    // Character against character, and a character riding a platform.
    void CollideWithCharacter(GravityObject& other, int otherX, int otherY);
    void RidePlatform(const GravityObject& other, int otherX, int otherY);
    // Hands a hit to the other character, then bounces off it at half speed.
    void Strike(GravityObject& other, HitFrom from);

    // Whether this object's box, as it is now, shares columns (rows) with
    // the span of the given width (height) starting at left (top).
    bool OverlapsColumns(int left, int width) const { return Right() >= left && m_x < left + width; }
    bool OverlapsRows(int top, int height) const { return Bottom() >= top && m_y < top + height; }
    int Right() const { return m_x + m_width - 1; }
    int Bottom() const { return m_y + m_height - 1; }
    // The contact flags of standing on a top surface: a thin one (thin or
    // moving platform) or a solid one (brick or character).
    void StandOn(bool thin);
};
