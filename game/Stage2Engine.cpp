// STUB: construction and level set-up, to be implemented.
#include "game/Stage2Engine.h"
#include "objects/MovingText.h"
Stage2Engine::Stage2Engine() : m_tileMap(TileSize()), m_backgroundMap(TileSize())
{
    ReadMapFile("Resources/maps/background.txt", m_backgroundGrid, false);
}
Stage2Engine::~Stage2Engine() = default;
void Stage2Engine::LoadMenuImages() {}
int Stage2Engine::CreateObjects() { DestroyObjects(); return 0; }
void Stage2Engine::CreateRoundObjects() {}
