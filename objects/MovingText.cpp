// STUB: to be implemented.
#include "objects/MovingText.h"
MovingText::MovingText(BaseEngine* engine) : DisplayableObject(engine) {}
MovingText::~MovingText() = default;
void MovingText::Update(int) {}
void MovingText::Draw() { DisplayableObject::Draw(); }
