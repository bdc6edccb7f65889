#include "game/Stage2Engine.h"

Stage2Engine::Stage2Engine() = default;
Stage2Engine::~Stage2Engine() = default;
