// The state machine: input on each screen, and the paced frame logic that
// runs the round clock, ends rounds, follows day and night and pulses the sun.
#include "game/Stage2Engine.h"

#include "game/OnlineSession.h"
#include "objects/Player.h"

#include <cstdio>

namespace
{
// The sun's colour steps by one in the green byte.
constexpr uint32_t kSunStep = 0x100;

// Index of the first rectangle holding the point, or -1.
template <int Count> int FirstHit(const GameData::ScreenRect (&rects)[Count], int x, int y)
{
    for (int i = 0; i < Count; ++i)
        if (rects[i].Contains(x, y))
            return i;
    return -1;
}
} // namespace

using namespace GameData;

bool Stage2Engine::IsRoundState() const
{
    return m_state == Playing || m_state == Paused || m_state == RoundOver;
}

void Stage2Engine::Repaint()
{
    PaintBackground();
    Redraw(true);
}

void Stage2Engine::ReturnToMainMenu()
{
    m_state = MainMenu;
    CreateObjects();
    Repaint();
    FollowWithMusic();
}

void Stage2Engine::OnMouseDown(int button, int x, int y)
{
    if (m_online && !m_actingOnline)
        return ActOnline(m_state != Playing, [&] { OnMouseDown(button, x, y); });
    switch (m_state)
    {
    case MainMenu:
        // Any click starts a game; the selection screens have no objects.
        m_state = SelectPlayer1;
        DestroyObjects();
        Repaint();
        PlayCue("confirm");
        break;
    case SelectPlayer1:
    case SelectPlayer2:
    case SelectLevel:
        ClickSelection(x, y);
        break;
    case Playing:
        ClickDuringPlay(button);
        break;
    default:
        break;
    }
}

// The three selection screens share their layout of choices, Back and
// Confirm; the first rectangle hit acts.
void Stage2Engine::ClickSelection(int x, int y)
{
    const int choice =
        m_state == SelectLevel ? FirstHit(kThumbnailHits, x, y) : FirstHit(kPortraitHits, x, y);
    if (choice >= 0)
    {
        m_highlight = choice;
        Repaint();
        PlayCue("highlight");
    }
    else if (kBackHit.Contains(x, y))
    {
        GoBack();
    }
    else if (kConfirmBox.Contains(x, y) && m_highlight != -1)
    {
        Confirm();
    }
}

void Stage2Engine::GoBack()
{
    if (m_state == SelectPlayer1)
    {
        m_state = MainMenu;
        CreateObjects();
    }
    else
    {
        m_state = m_state == SelectLevel ? SelectPlayer2 : SelectPlayer1;
    }
    m_highlight = -1;
    Repaint();
    PlayCue("back");
}

void Stage2Engine::Confirm()
{
    if (m_state == SelectPlayer1)
    {
        m_player1Character = m_highlight;
        m_state = SelectPlayer2;
    }
    else if (m_state == SelectPlayer2)
    {
        m_state = SelectLevel;
        m_player2Character = m_highlight;
    }
    else
    {
        StartRound();
        return;
    }
    m_highlight = -1;
    Repaint();
    PlayCue("confirm");
}

void Stage2Engine::StartRound()
{
    LoadLevelFile(m_highlight);
    m_level = m_highlight;
    m_secondsLeft = m_roundSeconds;
    m_highlight = -1;
    m_state = Playing;
    m_roundStartSeconds = GetTime() / 1000;
    SeatRoundSources();
    CreateObjects();
    BeginRecording();
    Repaint();
    PlayCue("round-start");
    FollowWithMusic();
}

// The click position does not matter: the pull goes into the seat's next
// frame, and in that pass the player decides whether it stands on a lever.
void Stage2Engine::ClickDuringPlay(int button)
{
    // Online, either button is this machine's player's.
    if (m_online && (button == kLeftButton || button == kRightButton))
        m_seatSources[m_online->LocalSeat() - 1]->PullLever();
    else if (button == kLeftButton)
        m_seatSources[0]->PullLever();
    else if (button == kRightButton)
        m_seatSources[1]->PullLever();
}

void Stage2Engine::OnKeyDown(int keyCode)
{
    if (OnReplayKey(keyCode))
        return;
    // Online, Tab (who plays the seat) is the choosing player's alone.
    if (m_online && !m_actingOnline)
        return ActOnline(keyCode == kSeatKey, [&] { OnKeyDown(keyCode); });
    if (keyCode == kPauseKey)
    {
        if (m_state == Playing || m_state == Paused)
            TogglePause();
        else if (m_state == RoundOver)
            ReturnToMainMenu();
    }
    else if (keyCode == kQuitKey && m_state == Paused)
    {
        // The round is abandoned; the scores stay as they were.
        ReturnToMainMenu();
    }
    else if (keyCode == kMuteKey)
    {
        m_sound.SetMuted(!m_sound.IsMuted());
        Redraw(false); // the muted mark comes or goes
    }
    else if (VolumeStep(keyCode))
    {
        StepVolume(VolumeStep(keyCode));
    }
    else if (keyCode == kSeatKey && (m_state == SelectPlayer1 || m_state == SelectPlayer2))
    {
        CycleSeat();
    }
}

void Stage2Engine::TogglePause()
{
    if (m_state == Playing)
    {
        m_state = Paused;
        m_pauseTick = m_frameTick;
    }
    else
    {
        // Take the pause's length off the game time, so GetTime resumes
        // exactly where it stood when the pause began.
        m_timeOffset += m_pauseTick - m_frameTick;
        m_state = Playing;
    }
    RepaintWithSun();
    PlayCue(m_state == Paused ? "pause" : "resume");
    FollowWithMusic();
}

// A repaint clears the sun off the background, so put it back by day.
void Stage2Engine::RepaintWithSun()
{
    PaintBackground();
    if (m_daytime)
        DrawOval(kSunBox.x1, kSunBox.y1, kSunBox.x2, kSunBox.y2, m_sunColour, GetBackground());
    Redraw(true);
}

void Stage2Engine::DoFrameLogic()
{
    // The network is served on every pass of the main loop.
    ServiceOnline();
    // Paced like the engine's own logic, but the loop spins instead of
    // sleeping while it waits.
    if (m_frameTick < m_nextUpdateTime)
        return;
    m_nextUpdateTime = m_frameTick + BaseEngine::kLogicIntervalMs;
    if (WatchFrameLogic())
        return;

    switch (m_state)
    {
    case MainMenu:
        UpdateObjects(m_frameTick);
        break;
    case Playing:
    {
        if (m_onlinePlay)
        {
            RunOnlineTick();
            break;
        }
        const RoundPass pass = NextPass();
        OnRoundPass(pass);
        RunRecordedPass(pass);
        break;
    }
    case RoundOver:
        // The winner keeps jumping and the enemies keep going; nobody
        // steers any more.
        m_pass = RoundPass{GetTime(), {}};
        UpdateObjects(GetTime());
        break;
    default:
        break;
    }
}

// The clock follows the time the pass carries, not the engine's own.
void Stage2Engine::RunRound()
{
    const int secondsBefore = m_secondsLeft;
    m_secondsLeft = m_roundStartSeconds + m_roundSeconds - m_pass.time / 1000;
    // A tick for each second of the final countdown.
    if (m_secondsLeft != secondsBefore && m_secondsLeft > 0 && m_secondsLeft <= kCountdownSeconds)
        PlayCue("tick");
    UpdateObjects(m_pass.time);
    // A lever pulled during the update flips the day flag; two flips in one
    // pass cancel out and leave the painted sky right as it is.
    if (m_paintedNight == m_daytime)
    {
        m_paintedNight = !m_daytime;
        if (!m_silent)
            Repaint();
        PlayCue(m_daytime ? "day" : "night");
    }
}

void Stage2Engine::EndRound()
{
    m_state = RoundOver;
    if (m_player1 && m_player2)
    {
        // Fewer deaths wins; equal deaths is a draw that credits both.
        const int deaths1 = m_player1->GetDeaths();
        const int deaths2 = m_player2->GetDeaths();
        if (deaths1 <= deaths2)
        {
            m_player1->SetWon(true);
            m_player2->SetLost(true);
            ++m_score1;
        }
        if (deaths2 <= deaths1)
        {
            m_player1->SetLost(true);
            m_player2->SetWon(true);
            ++m_score2;
        }
        PlayCue(m_player1->HasWon() && m_player2->HasWon() ? "fanfare-draw" : "fanfare-win");
    }
    if (!m_silent)
        Repaint();
}

// By day the sun cycles from orange to yellow and back, one step a pass.
void Stage2Engine::PulseSun()
{
    if (!m_daytime)
        return;
    // The colour goes to standard output on every daytime pass: the game's
    // design asks for this line, it is not left-over debugging. A replay
    // being watched is no round of the game, and keeps it to itself.
    if (!m_silent && !m_watch)
        std::printf("%d\n", static_cast<int>(m_sunColour));
    if (!m_sunDimming)
    {
        m_sunColour += kSunStep;
        if (m_sunColour == kSunBright)
            m_sunDimming = true;
    }
    else
    {
        m_sunColour -= kSunStep;
        if (m_sunColour == kSunStart)
            m_sunDimming = false;
    }
    // Show the sun drawn on the last pass, then draw it anew on the
    // background, without asking for a whole redraw.
    if (m_silent)
        return;
    CopyBackgroundPixels(kSunBox.x1, kSunBox.y1, kSunBox.x2 - kSunBox.x1, kSunBox.y2 - kSunBox.y1);
    DrawOval(kSunBox.x1, kSunBox.y1, kSunBox.x2, kSunBox.y2, m_sunColour, GetBackground());
}
