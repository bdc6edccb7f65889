// STUB: to be implemented.
#include "objects/Character.h"
Character::Character(BaseEngine* engine, int spawnX, int spawnY, CharacterKind)
    : GravityObject(engine), m_spawnX(spawnX), m_spawnY(spawnY) { m_width = m_height = kSize; }
Character::~Character() = default;
void Character::Draw() { DisplayableObject::Draw(); }
void Character::LoadSprites(const char*, const char*) {}
void Character::Accelerate(float) {}
void Character::Jump() {}
void Character::FastFall() {}
void Character::Respawn() {}
void Character::Recharge() {}
void Character::AddDamage(float amount) { m_damage += amount; }
const char* Character::RightSpriteFile(CharacterKind) { return nullptr; }
const char* Character::LeftSpriteFile(CharacterKind) { return nullptr; }
