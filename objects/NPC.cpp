// STUB: to be implemented.
#include "objects/NPC.h"
NPC::NPC(BaseEngine* engine, int startX, int startY, CharacterKind kind)
    : Character(engine, startX, startY, kind) { m_x = startX; m_y = startY; }
NPC::~NPC() = default;
void NPC::Update(int) {}
