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
    if (m_state == Paused)
        DrawPauseHelp();
    else if (m_state == RoundOver)
        DrawResult();
    DrawReplayMessage();
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
        std::snprintf(text, sizeof text, "%c, %c, %c, %c = Move", key(i, PlayerAction::Jump),
                      key(i, PlayerAction::Left), key(i, PlayerAction::Fall), key(i, PlayerAction::Right));
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
}
