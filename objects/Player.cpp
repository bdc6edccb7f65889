// STUB: to be implemented.
#include "objects/Player.h"
Player::Player(BaseEngine* engine, int startX, int startY, int playerNumber, CharacterKind kind)
    : Character(engine, startX, startY, kind), m_playerNumber(playerNumber) { m_x = startX; m_y = startY; }
Player::~Player() = default;
void Player::Update(int) {}
void Player::Attack() {}
bool Player::GetKeys(Keys&) const { return false; }
bool Player::Held(int) const { return false; }
