#pragma once

#include <cstdint>
#include <vector>

typedef struct _SDL_GameController SDL_GameController;

// The game controllers that are plugged in, as the library maps them (its
// built-in mappings, and a player's own file named by the library's usual
// environment variable). A pad is known by the library's instance id, which
// stays the same from plugging in to pulling out.
class GamePads
{
public:
    GamePads() = default;
    ~GamePads();
    GamePads(const GamePads&) = delete;
    GamePads& operator=(const GamePads&) = delete;

    // Opens the controller at a device index; its id, or -1 when it cannot
    // be opened or is open already.
    int Open(int deviceIndex);
    // Closes a pad; false when no pad of that id is open.
    bool Close(int pad);

    // Button and axis values as the library's controller enums number them;
    // false and 0 for a pad that is not open.
    bool IsButtonPressed(int pad, int button) const;
    int GetAxis(int pad, int axis) const;
    // Shakes the pad, strength 0 to 1, where it can; otherwise nothing.
    void Rumble(int pad, float strength, int milliseconds) const;

private:
    SDL_GameController* Find(int pad) const;

    std::vector<std::pair<int, SDL_GameController*>> m_open;
};
