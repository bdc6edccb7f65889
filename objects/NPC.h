#pragma once

#include "objects/Character.h"

// The walking enemy: patrols back and forth across the arena under gravity.
class NPC : public Character
{
public:
    NPC(BaseEngine* engine, int startX, int startY, CharacterKind kind);
    ~NPC() override;

    void Update(int time) override;
    int GetDirection() const { return m_direction; }

private:
    int m_direction = 1;
};
