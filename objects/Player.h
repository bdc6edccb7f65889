#pragma once

#include "objects/Character.h"

// Which player, and what it carried over from the last pass.
struct PlayerState
{
    int m_playerNumber;
    bool m_leverRequest;
    bool m_jumpHeld;
};

// A character steered by its player: the arena says which actions are held
// (the player's keys or pad), and the mouse (or the pad) pulls levers.
class Player : public Character, protected PlayerState
{
public:
    Player(BaseEngine* engine, int startX, int startY, int playerNumber, CharacterKind kind);
    ~Player() override;

    void Update(int time) override;
    void SaveState(StateBytes& out) const override;
    bool LoadState(StateReader& in) override;
    // The dash: a burst of 10 in each direction the frame holds, when fully
    // charged.
    void Attack(const InputFrame& frame);
    // Asks for a lever pull on the next controlled update.
    void PullLever() { m_leverRequest = true; }
    int GetPlayerNumber() const { return m_playerNumber; }
    bool HasLeverRequest() const { return m_leverRequest; }

private:
    // False for a player number without a seat.
    bool HasControls() const { return m_playerNumber == 1 || m_playerNumber == 2; }
    // What the player's seat does in this pass; nothing without a seat.
    InputFrame Frame() const;
    // Consumes a pending lever pull, flipping day and night on a lever.
    void UseLeverRequest();
};
