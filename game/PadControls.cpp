#include "game/PadControls.h"

#include "engine/GamePads.h"

#include <SDL.h>

int PadControls::Seat(int pad)
{
    if (SeatOf(pad))
        return SeatOf(pad);
    for (int seat = 1; seat <= kSeats; ++seat)
        if (m_pads[seat - 1] < 0)
        {
            m_pads[seat - 1] = pad;
            m_stick[seat - 1][0] = m_stick[seat - 1][1] = Command::None;
            return seat;
        }
    return 0;
}

int PadControls::Unseat(int pad)
{
    const int seat = SeatOf(pad);
    if (seat)
        m_pads[seat - 1] = -1;
    return seat;
}

int PadControls::SeatOf(int pad) const
{
    for (int seat = 1; seat <= kSeats; ++seat)
        if (pad >= 0 && m_pads[seat - 1] == pad)
            return seat;
    return 0;
}

int PadControls::PadOf(int seat) const { return seat >= 1 && seat <= kSeats ? m_pads[seat - 1] : -1; }

bool PadControls::IsHeld(const GamePads& pads, int seat, PlayerAction action) const
{
    const int pad = PadOf(seat);
    if (pad < 0)
        return false;
    const auto button = [&](SDL_GameControllerButton b) { return pads.IsButtonPressed(pad, b); };
    switch (action)
    {
    case PlayerAction::Jump:
        return button(SDL_CONTROLLER_BUTTON_A);
    case PlayerAction::Fall:
        return button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) ||
               pads.GetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY) > kDeadZone;
    case PlayerAction::Left:
        return button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) ||
               pads.GetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX) < -kDeadZone;
    case PlayerAction::Right:
        return button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) ||
               pads.GetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX) > kDeadZone;
    case PlayerAction::Attack:
        return button(SDL_CONTROLLER_BUTTON_X) || button(SDL_CONTROLLER_BUTTON_B);
    }
    return false;
}

PadControls::Command PadControls::ButtonCommand(int button)
{
    switch (button)
    {
    case SDL_CONTROLLER_BUTTON_A:
        return Command::Accept;
    case SDL_CONTROLLER_BUTTON_B:
        return Command::Cancel;
    case SDL_CONTROLLER_BUTTON_START:
        return Command::Start;
    case SDL_CONTROLLER_BUTTON_BACK:
        return Command::Select;
    case SDL_CONTROLLER_BUTTON_Y:
        return Command::Lever;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return Command::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return Command::Right;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return Command::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return Command::Down;
    default:
        return Command::None;
    }
}

PadControls::Command PadControls::StickCommand(int pad, int axis, int value)
{
    const int seat = SeatOf(pad);
    if (!seat || (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY))
        return Command::None;
    const bool across = axis == SDL_CONTROLLER_AXIS_LEFTX;
    const Command leaning = value < -2 * kDeadZone  ? (across ? Command::Left : Command::Up)
                            : value > 2 * kDeadZone ? (across ? Command::Right : Command::Down)
                                                    : Command::None;
    Command& last = m_stick[seat - 1][across ? 0 : 1];
    // Moves once per lean; back inside the dead zone it may move again.
    if (leaning == Command::None && (value > -kDeadZone && value < kDeadZone))
        last = Command::None;
    if (leaning == Command::None || leaning == last)
        return Command::None;
    last = leaning;
    return leaning;
}
