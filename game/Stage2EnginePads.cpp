// Pads: each seated pad drives its own player through the same actions as
// that player's keys and clicks, and works the menus as the mouse does.
#include "game/Stage2Engine.h"

#include "objects/Character.h"

using namespace GameData;
using Command = PadControls::Command;

void Stage2Engine::OnPadAdded(int pad) { m_padControls.Seat(pad); }

// A pad pulled out during a round pauses it, as consoles do.
void Stage2Engine::OnPadRemoved(int pad)
{
    if (m_padControls.Unseat(pad) && m_state == Playing && !m_watch)
        TogglePause();
}

void Stage2Engine::OnPadButtonDown(int pad, int button)
{
    // A pad that found both seats taken takes one that has freed since.
    m_padControls.Seat(pad);
    if (!OnReplayPadButton(button))
        PadCommand(pad, PadControls::ButtonCommand(button));
}

void Stage2Engine::OnPadAxis(int pad, int axis, int value)
{
    // Only the menus take the stick's leaning as presses; in a round the
    // players read it as held.
    if (m_state != Playing)
        PadCommand(pad, m_padControls.StickCommand(pad, axis, value));
}

void Stage2Engine::PadCommand(int pad, PadControls::Command command)
{
    if (m_online && !m_actingOnline)
        return ActOnline(m_state != Playing && m_state != Paused, [&] { PadCommand(pad, command); });
    const int seat = m_padControls.SeatOf(pad);
    if (!seat || command == Command::None)
        return;
    const bool accept = command == Command::Accept || command == Command::Start;
    switch (m_state)
    {
    case MainMenu:
        if (accept)
            OnMouseDown(kLeftButton, 0, 0);
        else if (command == Command::Select)
            ResetScores();
        break;
    case SelectPlayer1:
    case SelectPlayer2:
    case SelectLevel:
        // Each character screen listens to its own player's pad, the level
        // screen to either.
        if (!m_online && m_state != SelectLevel && seat != (m_state == SelectPlayer1 ? 1 : 2))
            break;
        if (command == Command::Accept)
            ClickSelection(kConfirmBox.CentreX(), kConfirmBox.CentreY());
        else if (command == Command::Cancel)
            ClickSelection(kBackHit.CentreX(), kBackHit.CentreY());
        else if (command == Command::Lever)
        {
            // Y chooses who plays the seat being chosen for.
            if (m_state != SelectLevel)
                CycleSeat();
        }
        else
            MoveHighlight(command);
        break;
    case Playing:
    case Paused:
        if (command == Command::Start)
            OnKeyDown(kPauseKey);
        else if (command == Command::Select && m_state == Paused)
            OnKeyDown(kQuitKey);
        else if (command == Command::Lever && m_state == Playing)
            ClickDuringPlay(seat == 1 ? kLeftButton : kRightButton);
        else if ((command == Command::Up || command == Command::Down) && m_state == Paused)
            StepVolume(command == Command::Up ? 1 : -1);
        break;
    case RoundOver:
        if (accept)
            OnKeyDown(kPauseKey);
        break;
    }
}

// The highlight steps through the pictures as laid out on the screen; with
// none highlighted any direction picks the first. A step is a click on the
// picture, so it does all that clicking it does.
void Stage2Engine::MoveHighlight(PadControls::Command command)
{
    const bool levels = m_state == SelectLevel;
    const int count = levels ? kLevelCount : kCharacterCount;
    const int columns = levels ? 2 : 3;
    int choice = m_highlight;
    if (choice < 0)
        choice = command >= Command::Left ? 0 : -1;
    else if (command == Command::Left && choice % columns > 0)
        --choice;
    else if (command == Command::Right && choice % columns < columns - 1)
        ++choice;
    else if (command == Command::Up && choice >= columns)
        choice -= columns;
    else if (command == Command::Down && choice + columns < count)
        choice += columns;
    else
        return;
    if (choice < 0)
        return;
    const ScreenRect& picture = (levels ? kThumbnailHits : kPortraitHits)[choice];
    ClickSelection(picture.CentreX(), picture.CentreY());
}

void Stage2Engine::RumbleFor(const GravityObject& object, ObjectEvent event, float strength)
{
    // A short rumble for a hit, stronger for harder knockback; a long one
    // for a ring-out.
    if (event != ObjectEvent::Hit && event != ObjectEvent::RingOut)
        return;
    const int seat = &object == m_player1 ? 1 : &object == m_player2 ? 2 : 0;
    const int pad = m_padControls.PadOf(seat);
    if (pad < 0)
        return;
    const float level = event == ObjectEvent::Hit ? 0.2f + strength / 40.0f : 1.0f;
    const int milliseconds = event == ObjectEvent::Hit ? 150 : 500;
    OnRumble(pad, level, milliseconds);
    m_pads.Rumble(pad, level, milliseconds);
}
