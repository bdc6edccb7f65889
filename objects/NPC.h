#pragma once

#include "objects/Character.h"

struct WalkerState
{
    int m_direction; // +1 right, -1 left
};

// The walking enemy: patrols back and forth across the arena under gravity.
class NPC : public Character, protected WalkerState
{
public:
    NPC(BaseEngine* engine, int startX, int startY, CharacterKind kind);
    ~NPC() override;

    void Update(int time) override;
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;
    int GetDirection() const { return m_direction; }
};
