// STUB: to be implemented.
#include "objects/MovingPlatform.h"
MovingPlatform::MovingPlatform(BaseEngine* engine, int x, int y, int minY, int maxY)
    : GravityObject(engine), m_minY(minY), m_maxY(maxY) { m_x = x; m_y = y; m_width = 72; m_height = 24; }
MovingPlatform::~MovingPlatform() = default;
void MovingPlatform::Update(int) {}
void MovingPlatform::Draw() { DisplayableObject::Draw(); }
