// Who plays each seat: a person at this machine or the computer at one of
// its three levels, chosen on that seat's character screen and applied when
// a round starts.
#include "game/ComputerInput.h"
#include "game/Stage2Engine.h"

#include <cstdio>

using namespace GameData;

namespace
{
constexpr const char* kChoiceNames[kSeatChoiceCount] = {"person", "computer, easy", "computer, normal",
                                                        "computer, hard"};
} // namespace

// Person, easy, normal, hard, and round to person again.
void Stage2Engine::CycleSeat()
{
    SeatChoice& choice = m_seatChoices[m_state == SelectPlayer1 ? 0 : 1];
    choice = static_cast<SeatChoice>((static_cast<int>(choice) + 1) % kSeatChoiceCount);
    Repaint();
    PlayCue("highlight");
}

void Stage2Engine::DrawSeatLine()
{
    const int seat = m_state == SelectPlayer1 ? 1 : 2;
    char text[64];
    std::snprintf(text, sizeof text, "Player %d: %s (Tab or Y to change)", seat,
                  kChoiceNames[static_cast<int>(m_seatChoices[seat - 1])]);
    DrawString(kSeatLineText.x, kSeatLineText.y, text, kCyan);
}

// A person's seat gets a fresh source too, so that no click or pull of the
// last round carries into this one. Each round's computers play from a new
// seed, so rounds differ while a round played again is the same.
void Stage2Engine::SeatRoundSources()
{
    ++m_computerRounds;
    for (int seat = 1; seat <= 2; ++seat)
    {
        const SeatChoice choice = m_seatChoices[seat - 1];
        if (choice == SeatChoice::Person)
            SetSeatSource(seat, std::make_unique<LocalInput>(*this, m_pads, m_padControls, seat));
        else
            SetSeatSource(seat, std::make_unique<ComputerInput>(
                                    *this, seat, static_cast<ComputerLevel>(static_cast<int>(choice) - 1),
                                    m_computerRounds * 2654435761u + static_cast<uint32_t>(seat)));
    }
}
