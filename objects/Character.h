#pragma once

#include "engine/PixelImage.h"
#include "game/GameData.h"
#include "objects/GravityObject.h"

// Which sprites a character wears: 0 to 5 the selectable fighters, 6 the
// walking enemy, 7 the flying enemy. Any other kind wears nothing.
typedef int CharacterKind;

// A character's running, jumping, attack, damage and round: everything but
// its pictures, and the one it wears (which a snapshot saves apart).
struct CharacterState
{
    float m_maxSpeed;
    float m_maxJumpBoosts;
    float m_jumpBoostsLeft;
    int m_spawnX;
    int m_spawnY;
    float m_attackCharge;
    float m_damage;
    int m_deaths;
    bool m_won;
    bool m_lost;
};

// A gravity object with a face: sprites, running, jumping in boosts, an
// attack charge, a damage multiplier and the round's deaths and marks.
class Character : public GravityObject, protected CharacterState
{
public:
    // Every character is one tile in size.
    static constexpr int kSize = GameData::kTileSize;
    static constexpr float kMaxDamage = 5.0f;

    Character(BaseEngine* engine, int spawnX, int spawnY, CharacterKind kind);
    ~Character() override;

    void Draw() override;
    void NoteDrawn() override;
    ContactKind GetContactKind() const override { return ContactKind::Character; }
    // The one rule of a hit: damage by the hitting speed / 100 when the hitter
    // is the faster in the blow's direction, then knockback of the hitting
    // speed times the damage after it.
    void TakeHit(const Hit& hit) override;
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;

    void LoadSprites(const char* rightFile, const char* leftFile);
    void Accelerate(float direction);
    void Jump();
    void FastFall();
    void Respawn();
    void Recharge();
    void AddDamage(float amount);
    float GetDamage() const { return m_damage; }
    int GetDeaths() const { return m_deaths; }

    bool HasWon() const { return m_won; }
    bool HasLost() const { return m_lost; }
    void SetWon(bool won) { m_won = won; }
    void SetLost(bool lost) { m_lost = lost; }
    float GetAttackCharge() const { return m_attackCharge; }
    float GetJumpBoostsLeft() const { return m_jumpBoostsLeft; }
    int GetSpawnX() const { return m_spawnX; }
    int GetSpawnY() const { return m_spawnY; }
    void SetAttackCharge(float charge) { m_attackCharge = charge; }
    void SetDamage(float damage) { m_damage = damage; }
    const PixelImage* GetCurrentImage() const { return m_currentImage; }
    const PixelImage& GetRightImage() const { return m_rightImage; }

    // The sprite files of a kind, or null for a kind outside 0 to 7.
    static const char* RightSpriteFile(CharacterKind kind);
    static const char* LeftSpriteFile(CharacterKind kind);

protected:
    // Turns the sprite; a character without sprites keeps wearing nothing.
    void Face(bool right);

    PixelImage m_rightImage;
    PixelImage m_leftImage;
    PixelImage* m_currentImage = nullptr;
};
