// STUB: to be implemented.
#include "objects/FlyingNPC.h"
FlyingNPC::FlyingNPC(BaseEngine* engine, int startX, int startY, int targetPlayer, CharacterKind kind)
    : Character(engine, startX, startY, kind), m_targetPlayer(targetPlayer) { m_x = startX; m_y = startY; }
FlyingNPC::~FlyingNPC() = default;
void FlyingNPC::Update(int) {}
void FlyingNPC::SteerTowardsTarget() {}
