// Every string the game shows, except the main menu's moving score line.
// Text goes to the screen surface only, so a whole redraw wipes it and the
// hooks draw it again in the same frame.
#include "game/Stage2Engine.h"

#include "objects/Character.h"

#include <algorithm>
#include <cstdio>

namespace
{
// The longest string has 51 characters.
constexpr int kTextSize = 128;
constexpr int kHudHeight = 40;
// From this many seconds down the clock becomes a countdown mid-screen.
constexpr int kCountdownSeconds = 5;
constexpr int kCountdownX = 475;
constexpr int kCountdownY = 350;
constexpr int kCountdownWidth = 500;
constexpr int kCountdownHeight = 370;
// The deaths' cross stands level with the count's digits.
constexpr int kCrossDrop = 7;

struct PlacedText
{
    int x, y;
    const char* text;
};

const PlacedText kPauseHelp[] = {
    {425, 200, "Paused"},
    {140, 300, "Player 1 Controls:"},
    {160, 350, "w, a, s, d = Move"},
    {190, 400, "c = Attack"},
    {550, 300, "Player 2 Controls:"},
    {570, 350, "i, j, k, l = Move"},
    {600, 400, "n = Attack"},
    {120, 450, "left/right click (while on switch) = toggle daytime"},
    {365, 500, "Press q to quit"},
};
} // namespace

using namespace GameData;

std::string Stage2Engine::DamageText(float damage)
{
    // Single precision, as the multiplier itself; 1.0 shows 0%, 5.0 100%.
    const float percent = (damage - 1.0f) * 25.0f;
    char text[kTextSize];
    std::snprintf(text, sizeof text, "%.0f%%", static_cast<double>(percent));
    return text;
}

std::string Stage2Engine::ClockText(int secondsLeft)
{
    char text[kTextSize];
    std::snprintf(text, sizeof text, "%d:%02d", secondsLeft / 60, secondsLeft % 60);
    return text;
}

void Stage2Engine::DrawUnderText()
{
    switch (m_state)
    {
    case MainMenu:
        DrawString(400, 200, "Skirmora", kCyan);
        DrawString(380, 250, "Click to Play", kCyan);
        DrawString(300, 300, "Press r to reset scores", kCyan);
        break;
    case SelectPlayer1:
    case SelectPlayer2:
    case SelectLevel:
        if (m_state == SelectLevel)
            DrawString(420, 30, "Level Select", kCyan);
        else
        {
            DrawString(420, 30, m_state == SelectPlayer1 ? "Player 1" : "Player 2", kCyan);
            DrawString(350, 70, "Character Select", kCyan);
        }
        // Button labels in black on the cyan boxes of the background.
        DrawString(55, 32, "Back", kBlack);
        DrawString(720, 640, "Confirm", kBlack);
        break;
    case Playing:
    case Paused:
        DrawHud();
        break;
    default:
        break;
    }
}

void Stage2Engine::DrawOverText()
{
    if (IsRoundState())
        DrawMarkers();
    if (m_state == Paused)
        DrawPauseHelp();
    else if (m_state == RoundOver)
        DrawResult();
    DrawVolume();
}

// The HUD's values change every pass, so their areas are restored from the
// background before they are drawn again.
void Stage2Engine::DrawHud()
{
    CopyBackgroundPixels(0, 0, m_windowWidth, kHudHeight);
    if (m_player1)
        DrawString(35, 10, DamageText(m_player1->GetDamage()).c_str(), kCyan);
    if (m_player2)
        DrawString(880, 10, DamageText(m_player2->GetDamage()).c_str(), kCyan);
    DrawSides();

    if (m_secondsLeft > kCountdownSeconds)
    {
        DrawString(440, 10, ClockText(m_secondsLeft).c_str(), kCyan);
        return;
    }
    // The restore block is kept inside the window; it starts a pixel left
    // of and above the number, where its outline reaches.
    CopyBackgroundPixels(kCountdownX - 1, kCountdownY - 1,
                         std::min(kCountdownWidth, m_windowWidth - kCountdownX) + 1,
                         std::min(kCountdownHeight, m_windowHeight - kCountdownY) + 1);
    char text[kTextSize];
    std::snprintf(text, sizeof text, "%d", m_secondsLeft);
    DrawString(kCountdownX, kCountdownY, text, kCyan);
}

void Stage2Engine::DrawPauseHelp()
{
    for (const PlacedText& line : kPauseHelp)
        DrawString(line.x, line.y, line.text, kCyan);
}

void Stage2Engine::DrawResult()
{
    if (!m_player1 || !m_player2)
        return;
    if (m_player1->HasWon() && m_player2->HasWon())
        DrawString(435, 350, "Draw", kCyan);
    else if (m_player1->HasWon())
        DrawString(360, 350, "Winner: Player 1", kCyan);
    else if (m_player2->HasWon())
        DrawString(360, 350, "Winner: Player 2", kCyan);

    char text[kTextSize];
    std::snprintf(text, sizeof text, "Deaths: %d", m_player1->GetDeaths());
    DrawString(35, 10, text, kCyan);
    std::snprintf(text, sizeof text, "Deaths: %d", m_player2->GetDeaths());
    DrawString(790, 10, text, kCyan);
    DrawString(310, 420, "Press Space to Continue", kCyan);
    DrawChip(35, kPlayerColours[0]);
    DrawChip(790, kPlayerColours[1]);
}

// Each player's side of the HUD in its colour: a chip before the damage
// figure, and the deaths under it, which lie below the restored strip and
// so restore their own boxes.
void Stage2Engine::DrawSides()
{
    const Character* const players[] = {m_player1, m_player2};
    for (int i = 0; i < 2; ++i)
    {
        if (!players[i])
            continue;
        const int x = kDeathsX[i];
        DrawChip(x, kPlayerColours[i]);
        const ScreenRect& box = kDeathsBoxes[i];
        CopyBackgroundPixels(box.x1, box.y1, box.x2 - box.x1 + 1, box.y2 - box.y1 + 1);
        DrawCross(x - kChipGap - kChipSize, kDeathsY + kCrossDrop, kChipSize, kPlayerColours[i]);
        char text[kTextSize];
        std::snprintf(text, sizeof text, "%d", players[i]->GetDeaths());
        DrawString(x, kDeathsY, text, kPlayerColours[i]);
    }
}

// A square of the colour, outlined like the text, ending a gap before the
// text that starts at x.
void Stage2Engine::DrawChip(int x, uint32_t colour)
{
    const int left = x - kChipGap - kChipSize;
    DrawRectangle(left - 1, kChipY - 1, left + kChipSize, kChipY + kChipSize, kTextOutline);
    DrawRectangle(left, kChipY, left + kChipSize - 1, kChipY + kChipSize - 1, colour);
}

// An X of two-pixel strokes, size pixels square, outlined like the text.
void Stage2Engine::DrawCross(int x, int y, int size, uint32_t colour)
{
    for (const bool outline : {true, false})
        for (int step = 0; step + 1 < size; ++step)
            for (const int left : {x + step, x + size - 2 - step})
            {
                const int around = outline ? 1 : 0;
                DrawRectangle(left - around, y + step - around, left + 1 + around, y + step + 1 + around,
                              outline ? kTextOutline : colour);
            }
}
