#pragma once

#include "objects/Arena.h"

class GamePads;

// What a pad means to the game, in one place: which player holds which pad
// (the first pad plugged in is player 1's, the second player 2's, further
// ones wait for a seat to free), which stick or button stands for which of
// a player's actions, and which press is which menu command.
class PadControls
{
public:
    static constexpr int kSeats = 2;
    // A stick must lean this far (of 32767) to count.
    static constexpr int kDeadZone = 12000;

    enum class Command
    {
        None,
        Accept, // A: confirm, leave the main menu, continue after a round
        Cancel, // B: back
        Start,  // pause and resume, also accept on the menus
        Select, // Back / Select: quit while paused, reset the scores on the main menu
        Lever,  // Y: pull the lever the player stands on; on a character screen, who plays the seat
        Left,
        Right,
        Up,
        Down,
    };

    // Gives a pad the first free seat: 1 or 2, or 0 when none is free.
    int Seat(int pad);
    // Frees a pad's seat: the seat it had, or 0.
    int Unseat(int pad);
    int SeatOf(int pad) const;
    int PadOf(int seat) const;

    // A seated player's action held on its pad: buttons, d-pad or stick.
    bool IsHeld(const GamePads& pads, int seat, PlayerAction action) const;
    // The command a button press gives.
    static Command ButtonCommand(int button);
    // A stick leaning past the dead zone gives one move, until it comes back.
    Command StickCommand(int pad, int axis, int value);

private:
    int m_pads[kSeats] = {-1, -1};
    // The direction each seat's stick last gave, so that leaning moves once.
    Command m_stick[kSeats][2] = {};
};
