// STUB: screen backgrounds, to be implemented.
#include "game/Stage2Engine.h"
void Stage2Engine::PaintBackground() { FillBackground(m_daytime ? kDaySky : kNightSky); }
void Stage2Engine::DrawBackgroundTriangle(int x1, int y1, int x2, int y2, int x3, int y3, uint32_t colour)
{ DrawTriangle(x1, y1, x2, y2, x3, y3, colour, m_background); }
void Stage2Engine::PaintCharacterSelect() {}
void Stage2Engine::PaintLevelSelect() {}
void Stage2Engine::PaintButtons() {}
void Stage2Engine::PaintPlayScreen() {}
