#include "tests/driver/SoakRun.h"

#include "objects/Character.h"

#include <SDL.h>
#include <cstdlib>

using namespace GameData;

namespace
{
const char* const kStateNames[] = {"MainMenu", "SelectPlayer1", "SelectPlayer2", "SelectLevel",
                                   "Playing",  "Paused",        "RoundOver"};
const int kGameTransitions[][2] = {{0, 1}, {1, 0}, {1, 2}, {2, 1}, {2, 3}, {3, 2},
                                   {3, 4}, {4, 5}, {4, 6}, {5, 4}, {5, 0}, {6, 0}};
} // namespace

std::vector<std::string> SoakReport::MissingTransitions() const
{
    std::vector<std::string> missing;
    for (const auto& [from, to] : kGameTransitions)
        if (!transitions[from][to])
            missing.push_back(std::string(kStateNames[from]) + " -> " + kStateNames[to]);
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
        const int score1 = m_game.GetScore(1), score2 = m_game.GetScore(2), daytime = m_game.IsDaytime();
        Act();
        m_report.logicPasses += m_game.Pass(Chance(0.04)   ? Uniform(1, 14)
                                            : Chance(0.02) ? Uniform(16, 40)
                                                           : 15);
        m_report.dayChanges += m_game.IsDaytime() != daytime;
        Check(before, score1, score2);
        if (++m_report.passes % 1000 == 0)
            m_report.digests.push_back(m_game.Digest());
    }
}

void SoakRun::Act()
{
    const auto toggle = [this](int key) {
        m_game.IsKeyPressed(key) ? m_game.ReleaseKey(key) : m_game.PressKey(key);
    };
    const auto anywhere = [this] { m_game.Click(Uniform(-20, 980), Uniform(-20, 740), Uniform(1, 3)); };
    // On any screen, now and then, a volume step or the mute key, on a
    // schedule of their own so that the random input stays as it was.
    if (m_report.passes % 613 == 0)
        m_game.PressKey("-=m"[m_report.passes / 613 % 3]);
    switch (m_game.GetState())
    {
    case MainMenu: // the score line polls r: now and then held for a few passes
        if (m_game.IsKeyPressed('r') ? Chance(0.3) : Chance(1.0 / 400))
            toggle('r');
        if (Chance(1.0 / 40))
            m_game.ReleaseKey('r'), anywhere();
        break;
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
            Chance(0.5) ? m_game.PressKey('q') : anywhere();
        break;
    case RoundOver:
        if (Chance(1.0 / 150))
            Chance(0.8) ? m_game.PressKey(' ') : anywhere();
        break;
    default: // the selection screens
        if (Chance(1.0 / 8))
        {
            const int pick = Uniform(0, 99);
            const ScreenRect target = pick >= 55 ? (pick < 80 ? kConfirmBox : kBackHit)
                                      : m_game.GetState() == SelectLevel ? kThumbnailHits[Uniform(0, 3)]
                                                                         : kPortraitHits[Uniform(0, 5)];
            if (pick < 92)
                m_game.Click(Uniform(target.x1, target.x2), Uniform(target.y1, target.y2));
            else
                pick < 96 ? toggle("q \x1b"[pick % 3]) : anywhere(); // keys that do nothing here
        }
    }
}

void SoakRun::ActInRound()
{
    // Each player now and then makes for the lever and pulls it there;
    // otherwise its keys are pressed and let go at random.
    int lever = 0;
    while (lever < kGridColumns * kGridRows &&
           m_game.GetLevelTile(lever % kGridColumns, lever / kGridColumns) != kLeverTile)
        ++lever;
    for (int player = 0; player < 2; ++player)
    {
        const Character* character = player ? m_game.GetPlayer2() : m_game.GetPlayer1();
        const char* keys = kPlayerKeys[player];
        if (m_seekPasses[player] == 0 && Chance(1.0 / 700))
            m_seekPasses[player] = Uniform(100, 700);
        if (m_seekPasses[player] == 0 || lever == kGridColumns * kGridRows)
        {
            for (int i = 0; i < 5; ++i)
                if (Chance(1.0 / 12))
                    m_game.IsKeyPressed(keys[i]) ? m_game.ReleaseKey(keys[i]) : m_game.PressKey(keys[i]);
            continue;
        }
        --m_seekPasses[player];
        const int dx =
            lever % kGridColumns * kTileSize + kTileSize / 2 - (character->GetX() + kReferenceInset);
        const int dy =
            lever / kGridColumns * kTileSize + kTileSize / 2 - (character->GetY() + kReferenceInset);
        const bool held[] = {dy < -kTileSize / 2 && Chance(0.7), false, dx<-4, dx> 4, false};
        for (int i = 0; i < 5; ++i)
            held[i] ? m_game.PressKey(keys[i]) : m_game.ReleaseKey(keys[i]);
        if (std::abs(dx) < kTileSize && std::abs(dy) < kTileSize && Chance(0.1))
            m_game.Click(Uniform(0, 959), Uniform(0, 719), player ? 3 : 1);
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
    if (state < MainMenu || state > RoundOver)
        return Fail("state " + std::to_string(state) + " is no screen");
    m_report.transitions[before][state] += before != state;

    // Scores change at a round's end, by the deaths, or to 0 by the r key.
    const int now1 = m_game.GetScore(1), now2 = m_game.GetScore(2);
    const Character *p1 = m_game.GetPlayer1(), *p2 = m_game.GetPlayer2();
    if (before == Playing && state == RoundOver)
    {
        const int d1 = p1->GetDeaths(), d2 = p2->GetDeaths();
        if (m_game.GetTime() / 1000 - m_game.GetRoundStartSeconds() < Stage2Engine::kRoundSeconds)
            Fail("a round ended before 120 s of game time");
        if (now1 != score1 + (d1 <= d2) || now2 != score2 + (d2 <= d1) || p1->HasWon() != (d1 <= d2) ||
            p2->HasWon() != (d2 <= d1) || p1->HasLost() != (d2 <= d1) || p2->HasLost() != (d1 <= d2))
            Fail("a round end scored " + std::to_string(now1) + ":" + std::to_string(now2) + " for deaths " +
                 std::to_string(d1) + ":" + std::to_string(d2));
    }
    else if ((now1 || now2 || (!score1 && !score2) || state != MainMenu || !m_game.IsKeyPressed('r')) &&
             (now1 != score1 || now2 != score2))
        Fail("the scores changed without a round end or the main menu's r key");

    // What partial redraws left on the screen is what a whole redraw shows:
    // nothing erased wrongly, no trails (the sun aside, which the screen
    // shows a pass late by design).
    if (m_report.passes % 97 == 0 && m_game.GetForeground())
    {
        SDL_Surface* screen = m_game.GetForeground();
        const std::vector<uint32_t> shown(static_cast<uint32_t*>(screen->pixels),
                                          static_cast<uint32_t*>(screen->pixels) + screen->w * screen->h);
        m_game.Redraw(true);
        m_game.RenderFrame();
        for (int i = 0; i < screen->w * screen->h; ++i)
            if (shown[i] != static_cast<uint32_t*>(screen->pixels)[i] &&
                !kSunBox.Contains(i % screen->w, i / screen->w))
            {
                Fail("a partial redraw left pixel " + std::to_string(i % screen->w) + "," +
                     std::to_string(i / screen->w) + " on screen " + kStateNames[state]);
                break;
            }
    }

    const int count = m_game.ObjectCount();
    const bool round = state == Playing || state == Paused || state == RoundOver;
    if (count != (round ? (m_game.GetLevel() == kBusyLevel ? 8 : 2) : state == MainMenu ? 1 : 0))
        Fail(std::to_string(count) + " objects on screen " + kStateNames[state]);
    const int playerIndex = m_game.GetLevel() == kBusyLevel ? 3 : 0; // after the lifts
    if (round && (m_game.GetDisplayableObject(playerIndex) != p1 ||
                  m_game.GetDisplayableObject(playerIndex + 1) != p2))
        Fail("the players are not where the object array holds them");
    for (int i = 0; i < count; ++i)
        if (const auto* character = dynamic_cast<const Character*>(m_game.GetDisplayableObject(i)))
            if (!(character->GetDamage() >= 1.0f && character->GetDamage() <= 5.0f))
                Fail("damage " + std::to_string(character->GetDamage()) + " outside 1 to 5");
}
