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
// The deaths' cross stands level with the count's digits.
constexpr int kCrossDrop = 7;

struct PlacedText
{
    int x, y;
    const char* text;
};

// The pause screen: its title, then each player's heading with the keys
// under it, then the lever and the way out.
const PlacedText kPausedTitle = {425, 200, "Paused"};
const PlacedText kControlsHeadings[2] = {{140, 300, "Player 1 Controls:"}, {550, 300, "Player 2 Controls:"}};
constexpr GameData::ScreenPoint kMoveKeysText[2] = {{160, 350}, {570, 350}};
constexpr GameData::ScreenPoint kDashKeyText[2] = {{190, 400}, {600, 400}};
const PlacedText kPauseFooter[] = {
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
    RestoreOnlineBand();
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
            DrawSeatLine();
        }
        // Button labels in black on the cyan boxes of the background.
        DrawString(55, 32, "Back", kBlack);
        DrawString(720, 640, "Confirm", kBlack);
        break;
    case Playing:
    case Paused:
        DrawHud();
        DrawReplayLabel();
        break;
    default:
        break;
    }
}

void Stage2Engine::DrawOverText()
{
    if (IsRoundState())
        DrawMarkers();
    DrawOnlineLine();
    if (m_state == Paused)
        DrawPauseHelp();
    else if (m_state == RoundOver)
        DrawResult();
    DrawReplayMessage();
    DrawVolume();
}

// The HUD's values change every pass, so their areas are restored from the
// background before they are drawn again.
void Stage2Engine::DrawHud()
{
    CopyBackgroundPixels(0, 0, m_windowWidth, kHudHeight);
    const Character* const players[] = {m_player1, m_player2};
    for (int i = 0; i < 2; ++i)
        if (players[i])
            DrawString(kDamageText[i].x, kDamageText[i].y, DamageText(players[i]->GetDamage()).c_str(),
                       kCyan);
    DrawSides();

    if (m_secondsLeft > kCountdownSeconds)
    {
        DrawString(kClockText.x, kClockText.y, ClockText(m_secondsLeft).c_str(), kCyan);
        return;
    }
    // The restore block is kept inside the window; it starts a pixel left
    // of and above the number, where its outline reaches.
    const ScreenPoint at = kCountdownText;
    CopyBackgroundPixels(at.x - 1, at.y - 1, std::min(kCountdownWidth, m_windowWidth - at.x) + 1,
                         std::min(kCountdownHeight, m_windowHeight - at.y) + 1);
    char text[kTextSize];
    std::snprintf(text, sizeof text, "%d", m_secondsLeft);
    DrawString(at.x, at.y, text, kCyan);
}

// Only online (or just after): the band it uses is restored before the
// objects are drawn, every frame, so that the line can change or go.
void Stage2Engine::RestoreOnlineBand()
{
    if (m_online || !m_notice.empty())
        CopyBackgroundPixels(kOnlineLine.x - 1, kOnlineLine.y - 1, m_windowWidth - kOnlineLine.x + 1,
                             kOnlineLineHeight);
}

void Stage2Engine::DrawOnlineLine()
{
    if (!m_online && m_notice.empty())
        return;
    const std::string line = OnlineLine();
    if (!line.empty())
        DrawString(kOnlineLine.x, kOnlineLine.y, line.c_str(), kCyan);
}

void Stage2Engine::DrawPauseHelp()
{
    const auto key = [](int player, PlayerAction action) {
        return kPlayerKeys[player][static_cast<int>(action)];
    };
    DrawString(kPausedTitle.x, kPausedTitle.y, kPausedTitle.text, kCyan);
    for (int i = 0; i < 2; ++i)
    {
        DrawString(kControlsHeadings[i].x, kControlsHeadings[i].y, kControlsHeadings[i].text, kCyan);
        char text[kTextSize];
        const char jump = key(i, PlayerAction::Jump);
        const char left = key(i, PlayerAction::Left);
        const char fall = key(i, PlayerAction::Fall);
        const char right = key(i, PlayerAction::Right);
        std::snprintf(text, sizeof text, "%c, %c, %c, %c = Move", jump, left, fall, right);
        DrawString(kMoveKeysText[i].x, kMoveKeysText[i].y, text, kCyan);
        std::snprintf(text, sizeof text, "%c = Attack", key(i, PlayerAction::Attack));
        DrawString(kDashKeyText[i].x, kDashKeyText[i].y, text, kCyan);
    }
    for (const PlacedText& line : kPauseFooter)
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

    const Character* const players[] = {m_player1, m_player2};
    for (int i = 0; i < 2; ++i)
    {
        char text[kTextSize];
        std::snprintf(text, sizeof text, "Deaths: %d", players[i]->GetDeaths());
        DrawString(kDeathsText[i].x, kDeathsText[i].y, text, kCyan);
    }
    DrawString(310, 420, "Press Space to Continue", kCyan);
    for (int i = 0; i < 2; ++i)
        DrawChip(kDeathsText[i].x, kPlayerColours[i]);
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
        const int x = kDamageText[i].x;
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
