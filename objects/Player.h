#pragma once

#include "objects/Character.h"

// A character steered from the shared keyboard: player 1 with w a s d c,
// player 2 with i j k l n; the mouse pulls levers.
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
    struct Keys
    {
        int jump, fall, left, right, attack;
    };
    // False for a player number without keys.
    bool GetKeys(Keys& keys) const;
    bool Held(int key) const;
    // Consumes a pending lever pull, flipping day and night on a lever.
    void UseLeverRequest();

    int m_playerNumber;
    bool m_leverRequest = false;
};
