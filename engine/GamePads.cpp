#include "engine/GamePads.h"

#include <SDL.h>
#include <algorithm>

GamePads::~GamePads()
{
    for (const auto& [pad, controller] : m_open)
        SDL_GameControllerClose(controller);
}

int GamePads::Open(int deviceIndex)
{
    const int pad = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (pad < 0 || Find(pad))
        return -1;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller)
        return -1;
    m_open.emplace_back(pad, controller);
    return pad;
}

bool GamePads::Close(int pad)
{
    const auto open =
        std::find_if(m_open.begin(), m_open.end(), [pad](const auto& entry) { return entry.first == pad; });
    if (open == m_open.end())
        return false;
    SDL_GameControllerClose(open->second);
    m_open.erase(open);
    return true;
}

SDL_GameController* GamePads::Find(int pad) const
{
    for (const auto& [id, controller] : m_open)
        if (id == pad)
            return controller;
    return nullptr;
}

bool GamePads::IsButtonPressed(int pad, int button) const
{
    SDL_GameController* controller = Find(pad);
    return controller &&
           SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(button));
}

int GamePads::GetAxis(int pad, int axis) const
{
    SDL_GameController* controller = Find(pad);
    return controller ? SDL_GameControllerGetAxis(controller, static_cast<SDL_GameControllerAxis>(axis)) : 0;
}

void GamePads::Rumble(int pad, float strength, int milliseconds) const
{
    if (SDL_GameController* controller = Find(pad))
    {
        const auto level = static_cast<Uint16>(std::clamp(strength, 0.0f, 1.0f) * 0xFFFF);
        SDL_GameControllerRumble(controller, level, level, static_cast<Uint32>(std::max(milliseconds, 0)));
    }
}
