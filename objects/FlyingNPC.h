#pragma once

#include "objects/Character.h"

// The flying enemy: no gravity or friction, it keeps accelerating towards
// one player and swings back and forth through it.
class FlyingNPC : public Character
{
public:
    FlyingNPC(BaseEngine* engine, int startX, int startY, int targetPlayer, CharacterKind kind);
    ~FlyingNPC() override;

    void Update(int time) override;
    void SteerTowardsTarget();
    int GetTargetPlayer() const { return m_targetPlayer; }

private:
    int m_targetPlayer;
};
