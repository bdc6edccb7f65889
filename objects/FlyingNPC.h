#pragma once

#include "objects/Character.h"

struct FlyerState
{
    int m_targetPlayer; // the number of the player it chases
};

// The flying enemy: no gravity or friction, it keeps accelerating towards
// one player and swings back and forth through it.
class FlyingNPC : public Character, protected FlyerState
{
public:
    FlyingNPC(BaseEngine* engine, int startX, int startY, int targetPlayer, CharacterKind kind);
    ~FlyingNPC() override;

    void Update(int time) override;
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;
    void SteerTowardsTarget();
    int GetTargetPlayer() const { return m_targetPlayer; }
};
