// STUB: screen text, to be implemented.
#include "game/Stage2Engine.h"
void Stage2Engine::DrawUnderText() {}
void Stage2Engine::DrawOverText() {}
void Stage2Engine::DrawHud() {}
