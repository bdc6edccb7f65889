#include "tools/soak/SoakRun.h"

#include "objects/Character.h"

#include <cstdlib>
#include <sstream>

namespace
{
constexpr int kSpace = 0x20;
constexpr int kQuit = 'q';
constexpr int kReset = 'r';
const int kPlayerKeys[] = {'w', 'a', 's', 'd', 'c', 'i', 'j', 'k', 'l', 'n'};
// Keys no screen reacts to, the arrows among them.
const int kStrayKeys[] = {'x', 'e', 'p', 0x1B, 0x0D, 0x40000052, 0x40000050, 0x400000E1};
constexpr int kDigestEvery = 1000;
constexpr size_t kMaxFailures = 20;
const char* const kStateNames[] = {"MainMenu", "SelectPlayer1", "SelectPlayer2", "SelectLevel",
                                   "Playing",  "Paused",        "RoundOver"};

// Every screen change the state machine makes.
const int kGameTransitions[][2] = {
    {MainMenu, SelectPlayer1},    {SelectPlayer1, MainMenu},    {SelectPlayer1, SelectPlayer2},
    {SelectPlayer2, SelectPlayer1}, {SelectPlayer2, SelectLevel}, {SelectLevel, SelectPlayer2},
    {SelectLevel, Playing},       {Playing, Paused},            {Playing, RoundOver},
    {Paused, Playing},            {Paused, MainMenu},           {RoundOver, MainMenu}};
} // namespace

std::vector<std::string> SoakReport::MissingTransitions() const
{
    std::vector<std::string> missing;
    for (const auto& change : kGameTransitions)
        if (!transitions[change[0]][change[1]])
            missing.push_back(std::string(kStateNames[change[0]]) + " -> " +
                              kStateNames[change[1]]);
    return missing;
}

bool SoakReport::VisitedEveryState() const
{
    for (int to = 0; to < kStates; ++to)
    {
        long arrivals = 0;
        for (int from = 0; from < kStates; ++from)
            arrivals += transitions[from][to];
        if (!arrivals)
            return false;
    }
    return true;
}

std::string SoakReport::Summary() const
{
    std::ostringstream out;
    out << passes << " passes (" << logicPasses << " logic), " << clicks << " clicks, "
        << keyEvents << " key events, " << leverClicks << " lever clicks, " << dayChanges
        << " day changes, " << scoreResets << " score resets\n"
        << roundsStarted << " rounds started, " << roundsEnded << " ended; started by level:";
    for (long rounds : levelRounds)
        out << ' ' << rounds;
    out << "\ntransitions seen:";
    for (int from = 0; from < kStates; ++from)
        for (int to = 0; to < kStates; ++to)
            if (transitions[from][to])
                out << "\n  " << kStateNames[from] << " -> " << kStateNames[to] << ": "
                    << transitions[from][to];
    for (const std::string& failure : failures)
        out << "\nFAILED " << failure;
    return out.str();
}

SoakRun::SoakRun(DrivenGame& game, uint32_t seed) : m_game(game), m_random(seed) {}

bool SoakRun::Chance(double probability)
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < probability;
}

int SoakRun::Uniform(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(m_random);
}

void SoakRun::Run(long passes)
{
    for (long pass = 0; pass < passes; ++pass)
    {
        const Before beforeEvents = Snapshot();
        Act();
        // Input alone never touches the scores or the round's end.
        if (m_game.GetScore(1) != beforeEvents.score1 ||
            m_game.GetScore(2) != beforeEvents.score2)
            Fail("the scores changed on input");
        const Before beforePass = Snapshot();
        CountTransition(beforeEvents.state, beforePass.state);

        if (m_game.Pass(Elapsed()))
            ++m_report.logicPasses;
        ++m_report.passes;
        CheckAfterPass(beforePass);

        if (m_report.passes % kDigestEvery == 0)
            m_report.digests.push_back(m_game.Digest());
    }
}

// Mostly a full logic interval; now and then a short pass in which the
// logic waits, or a late one.
int SoakRun::Elapsed()
{
    if (Chance(0.04))
        return Uniform(1, 14);
    if (Chance(0.02))
        return Uniform(16, 40);
    return 15;
}

SoakRun::Before SoakRun::Snapshot() const
{
    return {m_game.GetState(), m_game.GetScore(1), m_game.GetScore(2), m_game.IsDaytime(),
            m_game.GetTime()};
}

// ---- Input ----------------------------------------------------------------------

void SoakRun::Act()
{
    switch (m_game.GetState())
    {
    case MainMenu:
        ActOnMainMenu();
        break;
    case SelectPlayer1:
    case SelectPlayer2:
        ActOnSelection(false);
        break;
    case SelectLevel:
        ActOnSelection(true);
        break;
    case Playing:
        ActInRound();
        break;
    case Paused:
        ActOnPause();
        break;
    case RoundOver:
        if (Chance(1.0 / 150))
            Press(kSpace);
        else if (Chance(1.0 / 200))
            m_game.Click(Uniform(1, 3), Uniform(0, 959), Uniform(0, 719));
        break;
    }
}

void SoakRun::ActOnMainMenu()
{
    // Now and then the r key is held for a while: the score line polls it.
    if (m_rHeldPasses > 0 && --m_rHeldPasses == 0)
        m_game.ReleaseKey(kReset);
    else if (m_rHeldPasses == 0 && Chance(1.0 / 400))
    {
        m_rHeldPasses = Uniform(1, 20);
        Press(kReset);
    }
    if (Chance(1.0 / 300))
        Press(kSpace); // does nothing here
    if (Chance(1.0 / 40))
    {
        if (m_rHeldPasses > 0)
        {
            m_game.ReleaseKey(kReset);
            m_rHeldPasses = 0;
        }
        ++m_report.clicks;
        m_game.Click(Uniform(1, 3), Uniform(-20, 980), Uniform(-20, 740));
    }
}

void SoakRun::ActOnSelection(bool levels)
{
    if (!Chance(1.0 / 8))
        return;
    const double pick = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
    if (pick < 0.55)
        ClickIn(levels ? DrivenGame::ThumbnailTarget(Uniform(0, 3))
                       : DrivenGame::PortraitTarget(Uniform(0, 5)));
    else if (pick < 0.80)
        ClickIn(DrivenGame::kConfirm);
    else if (pick < 0.88)
        ClickIn(DrivenGame::kBack);
    else if (pick < 0.91)
        Press(Chance(0.5) ? kSpace : kQuit); // neither does anything here
    else
    {
        ++m_report.clicks;
        m_game.Click(Uniform(1, 3), Uniform(-20, 980), Uniform(-20, 740));
    }
}

void SoakRun::ActInRound()
{
    // Each player now and then makes for the lever for a while; otherwise
    // its keys are pressed and let go at random.
    for (int player = 0; player < 2; ++player)
    {
        if (m_seekPasses[player] == 0 && Chance(1.0 / 700))
            m_seekPasses[player] = Uniform(100, 700);
        if (m_seekPasses[player] > 0)
        {
            --m_seekPasses[player];
            SeekLever(player);
            continue;
        }
        for (int i = 0; i < 5; ++i)
        {
            const int key = kPlayerKeys[player * 5 + i];
            if (Chance(1.0 / 12))
            {
                if (m_game.IsKeyPressed(key))
                    m_game.ReleaseKey(key);
                else
                    Press(key);
            }
        }
    }
    if (Chance(1.0 / 150))
    {
        // Left pulls player 1's lever, right player 2's, middle nothing.
        const int button = Uniform(1, 3);
        m_game.Click(button, Uniform(0, 959), Uniform(0, 719));
        ++m_report.clicks;
        if (button != 2)
            ++m_report.leverClicks;
    }
    if (Chance(1.0 / 1000))
        Press(Chance(0.5) ? kQuit : kStrayKeys[Uniform(0, 7)]);
    if (Chance(1.0 / 2500))
    {
        m_pauseGameTime = m_game.GetTime();
        Press(kSpace);
    }
}

void SoakRun::SeekLever(int player)
{
    const Character* character = player == 0 ? m_game.GetPlayer1() : m_game.GetPlayer2();
    const int tile = m_game.TileSize();
    int leverColumn = -1, leverRow = -1;
    for (int row = 0; row < GameData::kGridRows && leverColumn < 0; ++row)
        for (int column = 0; column < GameData::kGridColumns; ++column)
            if (m_game.GetLevelTile(column, row) == 4)
            {
                leverColumn = column;
                leverRow = row;
                break;
            }
    if (!character || leverColumn < 0)
    {
        m_seekPasses[player] = 0;
        return;
    }
    // The player's keys in the order jump, fall, left, right, attack.
    const int* keys = kPlayerKeys + player * 5;
    // A player stands on the lever when the point 10 pixels into its box is
    // inside the lever's cell.
    const int dx = leverColumn * tile + tile / 2 - (character->GetX() + 10);
    const int dy = leverRow * tile + tile / 2 - (character->GetY() + 10);
    auto hold = [&](int key, bool held) {
        if (held != m_game.IsKeyPressed(key))
            held ? Press(key) : m_game.ReleaseKey(key);
    };
    hold(keys[3], dx > 4);
    hold(keys[2], dx < -4);
    hold(keys[0], dy < -tile / 2 && Chance(0.7));
    hold(keys[1], false);
    hold(keys[4], false);
    if (std::abs(dx) < tile && std::abs(dy) < tile && Chance(0.1))
    {
        m_game.Click(player == 0 ? 1 : 3, Uniform(0, 959), Uniform(0, 719));
        ++m_report.clicks;
        ++m_report.leverClicks;
    }
}

void SoakRun::ActOnPause()
{
    if (Chance(1.0 / 60))
    {
        Press(kSpace);
        // The pause's length is taken off the game time.
        if (m_game.GetState() == Playing && m_game.GetTime() != m_pauseGameTime)
            Fail("game time moved on during a pause");
    }
    else if (Chance(1.0 / 300))
        Press(kQuit);
    else if (Chance(1.0 / 100))
        m_game.Click(Uniform(1, 3), Uniform(0, 959), Uniform(0, 719));
}

void SoakRun::ClickIn(const DrivenGame::Target& target)
{
    ++m_report.clicks;
    m_game.Click(1, Uniform(target.x1, target.x2), Uniform(target.y1, target.y2));
}

void SoakRun::Press(int keyCode)
{
    ++m_report.keyEvents;
    m_game.PressKey(keyCode);
    // Space and q are let go at once; the players' keys stay held.
    if (keyCode == kSpace || keyCode == kQuit)
        m_game.ReleaseKey(keyCode);
}

// ---- Checks ---------------------------------------------------------------------

void SoakRun::Fail(const std::string& what)
{
    if (m_report.failures.size() < kMaxFailures)
        m_report.failures.push_back("at pass " + std::to_string(m_report.passes) + ": " + what);
}

void SoakRun::CountTransition(GameState from, GameState to)
{
    if (from == to)
        return;
    ++m_report.transitions[from][to];
    if (from == SelectLevel && to == Playing)
    {
        ++m_report.roundsStarted;
        ++m_report.levelRounds[m_game.GetLevel() & 3];
    }
}

void SoakRun::CheckAfterPass(const Before& before)
{
    const GameState state = m_game.GetState();
    if (state < MainMenu || state > RoundOver)
    {
        Fail("state " + std::to_string(state) + " is no screen");
        return;
    }
    CountTransition(before.state, state);
    if (m_game.IsDaytime() != before.daytime)
        ++m_report.dayChanges;

    const int score1 = m_game.GetScore(1);
    const int score2 = m_game.GetScore(2);
    if (before.state == Playing && state == RoundOver)
        CheckRoundEnd(before);
    else if (score1 == 0 && score2 == 0 && (before.score1 || before.score2))
    {
        ++m_report.scoreResets;
        if (state != MainMenu || !m_game.IsKeyPressed(kReset))
            Fail("the scores were reset away from the main menu's r key");
    }
    else if (score1 != before.score1 || score2 != before.score2)
        Fail("the scores changed without a round end");

    const uint32_t sun = m_game.GetSunColour();
    if ((sun & 0xFF00FF) != 0xFD0000 || ((sun >> 8) & 0xFF) < 0xB8 || ((sun >> 8) & 0xFF) > 0xFD)
        Fail("sun colour " + std::to_string(sun) + " left its range");
    CheckObjects();
}

void SoakRun::CheckRoundEnd(const Before& before)
{
    ++m_report.roundsEnded;
    if (m_game.GetTime() / 1000 - m_game.GetRoundStartSeconds() < Stage2Engine::kRoundSeconds)
        Fail("a round ended before 120 s of game time");
    const Character* p1 = m_game.GetPlayer1();
    const Character* p2 = m_game.GetPlayer2();
    if (!p1 || !p2)
        return; // reported by CheckObjects
    const int d1 = p1->GetDeaths();
    const int d2 = p2->GetDeaths();
    const int expected1 = before.score1 + (d1 <= d2 ? 1 : 0);
    const int expected2 = before.score2 + (d2 <= d1 ? 1 : 0);
    if (m_game.GetScore(1) != expected1 || m_game.GetScore(2) != expected2)
        Fail("round end scored " + std::to_string(m_game.GetScore(1)) + ":" +
             std::to_string(m_game.GetScore(2)) + " for deaths " + std::to_string(d1) + ":" +
             std::to_string(d2));
    if (p1->HasWon() != (d1 <= d2) || p2->HasWon() != (d2 <= d1) ||
        p1->HasLost() != (d2 <= d1) || p2->HasLost() != (d1 <= d2))
        Fail("round end marked the wrong winner");
}

void SoakRun::CheckObjects()
{
    const GameState state = m_game.GetState();
    const int count = m_game.ObjectCount();
    if (state == Playing || state == Paused || state == RoundOver)
    {
        const Character* players[] = {m_game.GetPlayer1(), m_game.GetPlayer2()};
        for (const Character* player : players)
            if (!player || !m_game.InObjectArray(player))
                Fail("a player pointer is not in the object array during a round");
        if (count != (m_game.GetLevel() == 3 ? 8 : 2))
            Fail(std::to_string(count) + " objects in a round on level " +
                 std::to_string(m_game.GetLevel()));
    }
    else if (count != (state == MainMenu ? 1 : 0))
        Fail(std::to_string(count) + " objects on menu screen " + std::to_string(state));

    for (int i = 0; i < count; ++i)
        if (const auto* character = dynamic_cast<const Character*>(m_game.GetDisplayableObject(i)))
        {
            const float damage = character->GetDamage();
            if (!(damage >= 1.0f && damage <= 5.0f))
                Fail("damage " + std::to_string(damage) + " outside 1.0 to 5.0");
        }
}
