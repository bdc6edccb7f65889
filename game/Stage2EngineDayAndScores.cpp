// The day flag and the two round scores: they outlive every round.
#include "game/Stage2Engine.h"

int Stage2Engine::GetScore(int player) const
{
    if (player == 1)
        return m_score1;
    if (player == 2)
        return m_score2;
    return 0;
}

void Stage2Engine::ResetScores()
{
    m_score1 = 0;
    m_score2 = 0;
}

// Only flips the flag (and tells the level's tile map, whose levers follow
// it): the frame logic notices the change and repaints.
void Stage2Engine::ToggleDaytime()
{
    m_daytime = !m_daytime;
    m_tileMap.SetDaytime(m_daytime);
}
