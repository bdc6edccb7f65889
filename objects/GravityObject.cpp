// STUB: to be implemented.
#include "objects/GravityObject.h"
#include "game/Stage2Engine.h"
GravityObject::GravityObject(BaseEngine* engine) : DisplayableObject(engine) {}
GravityObject::~GravityObject() = default;
void GravityObject::AddVelocity(float dx, float dy) { m_velocityX += dx; m_velocityY += dy; }
void GravityObject::Move() {}
void GravityObject::CheckCollisions() {}
void GravityObject::CollideWithTile(int, int) {}
void GravityObject::CollideWithObject(GravityObject*, int, int) {}
void GravityObject::ApplyForces() {}
Stage2Engine* GravityObject::Game() const { return dynamic_cast<Stage2Engine*>(m_engine); }
void GravityObject::EdgeCheck() {}
