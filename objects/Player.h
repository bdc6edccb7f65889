#pragma once

#include "objects/Character.h"

// A character steered by its player: the arena says which actions are held
// (the player's keys or pad), and the mouse (or the pad) pulls levers.
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
