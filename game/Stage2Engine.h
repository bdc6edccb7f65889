#pragma once

#include "engine/BaseEngine.h"

// The game. For now it keeps every hook of the engine.
class Stage2Engine : public BaseEngine
{
public:
    Stage2Engine();
    ~Stage2Engine() override;
};
