#include "tests/driver/SoakRun.h"

#include "objects/Character.h"

#include <SDL.h>
#include <algorithm>
#include <cstdlib>
#include <iterator>

using namespace GameData;

namespace
{
const char* const kStateNames[] = {"MainMenu", "SelectPlayer1", "SelectPlayer2", "SelectLevel",
                                   "Playing",  "Paused",        "RoundOver"};

struct Transition
{
    GameState from, to;
};

// Every screen change the game's state machine can make.
const Transition kGameTransitions[] = {{MainMenu, SelectPlayer1},
                                       {SelectPlayer1, MainMenu},
                                       {SelectPlayer1, SelectPlayer2},
                                       {SelectPlayer2, SelectPlayer1},
                                       {SelectPlayer2, SelectLevel},
                                       {SelectLevel, SelectPlayer2},
                                       {SelectLevel, Playing},
                                       {Playing, Paused},
                                       {Playing, RoundOver},
                                       {Paused, Playing},
                                       {Paused, MainMenu},
                                       {RoundOver, MainMenu}};

const GameState kScreens[] = {MainMenu, SelectPlayer1, SelectPlayer2, SelectLevel,
                              Playing,  Paused,        RoundOver};

bool IsRound(GameState state) { return state == Playing || state == Paused || state == RoundOver; }
} // namespace

std::vector<std::string> SoakReport::MissingTransitions() const
{
    std::vector<std::string> missing;
    for (const Transition& transition : kGameTransitions)
        if (!transitions[transition.from][transition.to])
            missing.push_back(std::string(kStateNames[transition.from]) + " -> " +
                              kStateNames[transition.to]);
    return missing;
}

std::string SoakReport::Summary() const
{
    std::string text = std::to_string(passes) + " passes (" + std::to_string(logicPasses) + " logic), " +
                       std::to_string(dayChanges) + " day changes";
    for (const std::string& missing : MissingTransitions())
        text += "\nnever seen: " + missing;
    for (const std::string& failure : failures)
        text += "\nFAILED " + failure;
    return text;
}

void SoakRun::Run(long passes)
{
    for (long pass = 0; pass < passes; ++pass)
    {
        const GameState before = m_game.GetState();
        const int score1 = m_game.GetScore(1);
        const int score2 = m_game.GetScore(2);
        const bool daytime = m_game.IsDaytime();
        Act();
        if (m_game.Pass(NextPassMs()))
            ++m_report.logicPasses;
        if (m_game.IsDaytime() != daytime)
            ++m_report.dayChanges;
        Check(before, score1, score2);
        ++m_report.passes;
        if (m_report.passes % 1000 == 0)
            m_report.digests.push_back(m_game.Digest());
    }
}

int SoakRun::NextPassMs()
{
    if (Chance(0.04))
        return Uniform(1, 14); // early: the logic waits
    if (Chance(0.02))
        return Uniform(16, 40); // late
    return 15;
}

void SoakRun::Toggle(int key)
{
    if (m_game.IsKeyPressed(key))
        m_game.ReleaseKey(key);
    else
        m_game.PressKey(key);
}

// A click anywhere in and around the window, with any button. (The order in
// which a call's arguments are drawn is the compiler's; the record was made
// with gcc.)
void SoakRun::ClickAnywhere() { m_game.Click(Uniform(-20, 980), Uniform(-20, 740), Uniform(1, 3)); }

void SoakRun::PressOrClickAnywhere(double keyChance, int key)
{
    if (Chance(keyChance))
        m_game.PressKey(key);
    else
        ClickAnywhere();
}

void SoakRun::Act()
{
    // On any screen, now and then, a volume step or the mute key, on a
    // schedule of their own so that the random input stays as it was.
    if (m_report.passes % 613 == 0)
        m_game.PressKey("-=m"[m_report.passes / 613 % 3]);
    switch (m_game.GetState())
    {
    case MainMenu:
    {
        // The score line polls r: now and then held for a few passes.
        const double toggleChance = m_game.IsKeyPressed('r') ? 0.3 : 1.0 / 400;
        if (Chance(toggleChance))
            Toggle('r');
        if (Chance(1.0 / 40))
        {
            m_game.ReleaseKey('r');
            ClickAnywhere();
        }
        break;
    }
    case Playing:
        ActInRound();
        break;
    case Paused:
        if (Chance(1.0 / 60))
        {
            m_game.PressKey(' ');
            if (m_game.GetState() == Playing && m_game.GetTime() != m_pauseGameTime)
                Fail("game time moved on during a pause");
        }
        else if (Chance(1.0 / 100))
            PressOrClickAnywhere(0.5, 'q');
        break;
    case RoundOver:
        if (Chance(1.0 / 150))
            PressOrClickAnywhere(0.8, ' ');
        break;
    default:
        ActOnSelectionScreen();
    }
}

void SoakRun::ActOnSelectionScreen()
{
    if (!Chance(1.0 / 8))
        return;
    const int pick = Uniform(0, 99);
    if (pick >= 96)
        return ClickAnywhere();
    if (pick >= 92)
        return Toggle("q \x1b"[pick % 3]); // keys that do nothing here
    // Clicks inside a choice (55 in 100), Confirm (25) or Back (12).
    ScreenRect target = kBackHit;
    if (pick < 55 && m_game.GetState() == SelectLevel)
        target = kThumbnailHits[Uniform(0, 3)];
    else if (pick < 55)
        target = kPortraitHits[Uniform(0, 5)];
    else if (pick < 80)
        target = kConfirmBox;
    m_game.Click(Uniform(target.x1, target.x2), Uniform(target.y1, target.y2));
}

void SoakRun::ActInRound()
{
    // Each player now and then makes for the lever and pulls it there;
    // otherwise its keys are pressed and let go at random.
    const int cells = kGridColumns * kGridRows;
    int lever = 0;
    while (lever < cells && m_game.GetLevelTile(lever % kGridColumns, lever / kGridColumns) != kLeverTile)
        ++lever;
    for (int player = 0; player < 2; ++player)
    {
        const Character* character = player == 0 ? m_game.GetPlayer1() : m_game.GetPlayer2();
        const char* keys = kPlayerKeys[player];
        if (m_seekPasses[player] == 0 && Chance(1.0 / 700))
            m_seekPasses[player] = Uniform(100, 700);
        if (m_seekPasses[player] == 0 || lever == cells)
        {
            for (int i = 0; i < kPlayerKeyCount; ++i)
                if (Chance(1.0 / 12))
                    Toggle(keys[i]);
            continue;
        }
        --m_seekPasses[player];
        const int leverX = lever % kGridColumns * kTileSize + kTileSize / 2;
        const int leverY = lever / kGridColumns * kTileSize + kTileSize / 2;
        const int dx = leverX - (character->GetX() + kReferenceInset);
        const int dy = leverY - (character->GetY() + kReferenceInset);
        const bool jump = dy < -kTileSize / 2 && Chance(0.7);
        const bool left = dx < -4;
        const bool right = dx > 4;
        const bool held[kPlayerKeyCount] = {jump, false, left, right, false}; // the order of the keys
        for (int i = 0; i < kPlayerKeyCount; ++i)
        {
            if (held[i])
                m_game.PressKey(keys[i]);
            else
                m_game.ReleaseKey(keys[i]);
        }
        if (std::abs(dx) < kTileSize && std::abs(dy) < kTileSize && Chance(0.1))
            m_game.Click(Uniform(0, 959), Uniform(0, 719), player == 0 ? 1 : 3);
    }
    if (Chance(1.0 / 150))
        m_game.Click(Uniform(0, 959), Uniform(0, 719), Uniform(1, 3)); // left and right pull levers
    if (Chance(1.0 / 1000))
        m_game.PressKey("qxe\r"[Uniform(0, 3)]);
    if (Chance(1.0 / 2500))
    {
        m_pauseGameTime = m_game.GetTime();
        m_game.PressKey(' ');
    }
}

void SoakRun::Fail(const std::string& what)
{
    if (m_report.failures.size() < 20)
        m_report.failures.push_back("at pass " + std::to_string(m_report.passes) + ": " + what);
}

void SoakRun::Check(GameState before, int score1, int score2)
{
    const GameState state = m_game.GetState();
    if (std::find(std::begin(kScreens), std::end(kScreens), state) == std::end(kScreens))
        return Fail("state " + std::to_string(state) + " is no screen");
    if (before != state)
        ++m_report.transitions[before][state];
    CheckScores(before, score1, score2);
    if (m_report.passes % 97 == 0 && m_game.GetForeground())
        CheckPartialRedraw();
    CheckObjects();
}

// Scores change at a round's end, by the deaths, or to 0 by the r key.
void SoakRun::CheckScores(GameState before, int score1, int score2)
{
    const GameState state = m_game.GetState();
    const int now1 = m_game.GetScore(1);
    const int now2 = m_game.GetScore(2);
    if (before == Playing && state == RoundOver)
    {
        const Character* player1 = m_game.GetPlayer1();
        const Character* player2 = m_game.GetPlayer2();
        const int deaths1 = player1->GetDeaths();
        const int deaths2 = player2->GetDeaths();
        if (m_game.GetTime() / 1000 - m_game.GetRoundStartSeconds() < Stage2Engine::kRoundSeconds)
            Fail("a round ended before 120 s of game time");
        // Fewer deaths win; equal deaths are a draw, won and lost by both.
        const bool wins1 = deaths1 <= deaths2;
        const bool wins2 = deaths2 <= deaths1;
        const std::string deaths = " for deaths " + std::to_string(deaths1) + ":" + std::to_string(deaths2);
        if (now1 != score1 + wins1 || now2 != score2 + wins2)
            Fail("a round end scored " + std::to_string(now1) + ":" + std::to_string(now2) + deaths);
        const bool marked = player1->HasWon() == wins1 && player2->HasWon() == wins2 &&
                            player1->HasLost() == wins2 && player2->HasLost() == wins1;
        if (!marked)
            Fail("a round end marked the wrong winners or losers" + deaths);
        return;
    }
    const bool changed = now1 != score1 || now2 != score2;
    const bool resetByR = state == MainMenu && m_game.IsKeyPressed('r') && now1 == 0 && now2 == 0;
    if (changed && !resetByR)
        Fail("the scores changed without a round end or the main menu's r key");
}

// What partial redraws left on the screen is what a whole redraw shows:
// nothing erased wrongly, no trails (the sun aside, which the screen shows a
// pass late by design).
void SoakRun::CheckPartialRedraw()
{
    SDL_Surface* screen = m_game.GetForeground();
    const auto* pixels = static_cast<const uint32_t*>(screen->pixels);
    const std::vector<uint32_t> shown(pixels, pixels + screen->w * screen->h);
    m_game.Redraw(true);
    m_game.RenderFrame();
    for (int i = 0; i < screen->w * screen->h; ++i)
    {
        const int x = i % screen->w;
        const int y = i / screen->w;
        if (shown[i] == pixels[i] || kSunBox.Contains(x, y))
            continue;
        Fail("a partial redraw left pixel " + std::to_string(x) + "," + std::to_string(y) + " on screen " +
             kStateNames[m_game.GetState()]);
        return;
    }
}

// The score line on the main menu, nothing on a selection screen, and in a
// round the players (after the fourth level's lifts) and its enemies, with
// every fighter's damage multiplier within 1 to 5.
void SoakRun::CheckObjects()
{
    const GameState state = m_game.GetState();
    const bool busy = m_game.GetLevel() == kBusyLevel;
    int expected = 0;
    if (IsRound(state))
        expected = busy ? 8 : 2;
    else if (state == MainMenu)
        expected = 1;
    const int count = m_game.ObjectCount();
    if (count != expected)
        Fail(std::to_string(count) + " objects on screen " + kStateNames[state]);
    const int playerIndex = busy ? 3 : 0;
    if (IsRound(state) && (m_game.GetDisplayableObject(playerIndex) != m_game.GetPlayer1() ||
                           m_game.GetDisplayableObject(playerIndex + 1) != m_game.GetPlayer2()))
        Fail("the players are not where the object array holds them");
    for (int i = 0; i < count; ++i)
    {
        const auto* character = dynamic_cast<const Character*>(m_game.GetDisplayableObject(i));
        if (character && !(character->GetDamage() >= 1.0f && character->GetDamage() <= 5.0f))
            Fail("damage " + std::to_string(character->GetDamage()) + " outside 1 to 5");
    }
}
