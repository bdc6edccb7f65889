#pragma once

#include "objects/Character.h"

// What a player can hold down to steer: the same actions from its keys or
// its pad.
enum class PlayerAction
{
    Jump,
    Fall,
    Left,
    Right,
    Attack,
};

// A character steered from the shared keyboard: player 1 with w s a d c,
// player 2 with i k j l n, in the order of PlayerAction; or from its pad.
// The mouse (or the pad) pulls levers.
class Player : public Character
{
public:
    Player(BaseEngine* engine, int startX, int startY, int playerNumber, CharacterKind kind);
    ~Player() override;

    void Update(int time) override;
    // The dash: a burst of 10 in each held direction, when fully charged.
    void Attack();
    // Asks for a lever pull on the next controlled update.
    void PullLever() { m_leverRequest = true; }
    int GetPlayerNumber() const { return m_playerNumber; }
    bool HasLeverRequest() const { return m_leverRequest; }

private:
    // False for a player number without keys.
    bool HasControls() const { return m_playerNumber == 1 || m_playerNumber == 2; }
    bool Held(PlayerAction action) const;
    // Consumes a pending lever pull, flipping day and night on a lever.
    void UseLeverRequest();

    int m_playerNumber;
    bool m_leverRequest = false;
    bool m_jumpHeld = false;
};
