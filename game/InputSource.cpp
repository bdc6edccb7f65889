#include "game/InputSource.h"

#include "engine/BaseEngine.h"
#include "game/GameData.h"
#include "game/PadControls.h"

InputFrame LocalInput::NextFrame()
{
    static_assert(GameData::kPlayerKeyCount == kPlayerActionCount, "a key for every action, in its order");
    InputFrame frame;
    for (int seat = 1; seat <= 2; ++seat)
    {
        if (seat != m_seat && !m_eitherSeat)
            continue;
        for (int i = 0; i < kPlayerActionCount; ++i)
        {
            const auto action = static_cast<PlayerAction>(i);
            if (m_keys.IsKeyPressed(GameData::kPlayerKeys[seat - 1][i]) ||
                m_padControls.IsHeld(m_pads, seat, action))
                frame.Hold(action);
        }
    }
    frame.lever = m_leverAsked;
    m_leverAsked = false;
    return frame;
}
