#include "tests/driver/SoakRun.h"

#include "objects/Character.h"

#include <cstdlib>
#include <sstream>

using namespace GameData;

namespace
{
constexpr int kSpace = ' ';
const char kPlayerKeys[2][6] = {"wsadc", "ikjln"}; // jump, fall, left, right, dash
const char* const kStateNames[] = {"MainMenu", "SelectPlayer1", "SelectPlayer2", "SelectLevel",
                                   "Playing",  "Paused",        "RoundOver"};
const int kGameTransitions[][2] = {
    {MainMenu, SelectPlayer1},      {SelectPlayer1, MainMenu},    {SelectPlayer1, SelectPlayer2},
    {SelectPlayer2, SelectPlayer1}, {SelectPlayer2, SelectLevel}, {SelectLevel, SelectPlayer2},
    {SelectLevel, Playing},         {Playing, Paused},            {Playing, RoundOver},
    {Paused, Playing},              {Paused, MainMenu},           {RoundOver, MainMenu}};
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

std::string SoakReport::Summary() const
{
    std::ostringstream out;
    out << passes << " passes (" << logicPasses << " logic), " << leverClicks
        << " lever clicks, " << dayChanges << " day changes, " << roundsEnded << " rounds ended";
    for (const std::string& missing : MissingTransitions())
        out << "\nnever seen: " << missing;
    for (const std::string& failure : failures)
        out << "\nFAILED " << failure;
    return out.str();
}

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
        const GameState before = m_game.GetState();
        const int score1 = m_game.GetScore(1), score2 = m_game.GetScore(2);
        const bool daytime = m_game.IsDaytime();
        Act();
        const int elapsed = Chance(0.04) ? Uniform(1, 14) : Chance(0.02) ? Uniform(16, 40) : 15;
        m_report.logicPasses += m_game.Pass(elapsed);
        ++m_report.passes;
        Check(before, score1, score2, daytime);
        if (m_report.passes % 1000 == 0)
            m_report.digests.push_back(m_game.Digest());
    }
}

void SoakRun::Act()
{
    const GameState state = m_game.GetState();
    const auto anywhere = [this] { m_game.Click(Uniform(-20, 980), Uniform(-20, 740), Uniform(1, 3)); };
    if (state == MainMenu)
    {
        // The score line polls r: held now and then for a pass or a few.
        if (m_game.IsKeyPressed('r') ? Chance(0.3) : Chance(1.0 / 400))
            Toggle('r');
        if (Chance(1.0 / 40))
        {
            m_game.ReleaseKey('r');
            anywhere();
        }
    }
    else if (state == SelectPlayer1 || state == SelectPlayer2 || state == SelectLevel)
    {
        if (!Chance(1.0 / 8))
            return;
        const int pick = Uniform(0, 99);
        const ScreenRect target = pick < 55 ? (state == SelectLevel ? kThumbnailHits[Uniform(0, 3)]
                                                                    : kPortraitHits[Uniform(0, 5)])
                                  : pick < 80 ? kConfirmBox
                                              : kBackHit;
        if (pick < 88)
            m_game.Click(Uniform(target.x1, target.x2), Uniform(target.y1, target.y2));
        else if (pick < 91)
            Toggle(Chance(0.5) ? kSpace : 'q'); // neither does anything here
        else
            anywhere();
    }
    else if (state == Playing)
        ActInRound();
    else if (state == Paused)
    {
        if (Chance(1.0 / 60))
        {
            m_game.PressKey(kSpace);
            if (m_game.GetState() == Playing && m_game.GetTime() != m_pauseGameTime)
                Fail("game time moved on during a pause");
        }
        else if (Chance(1.0 / 300))
            m_game.PressKey('q');
        else if (Chance(1.0 / 100))
            anywhere();
    }
    else if (Chance(1.0 / 150))
        m_game.PressKey(kSpace);
    else if (Chance(1.0 / 200))
        anywhere();
}

void SoakRun::Toggle(int keyCode)
{
    if (m_game.IsKeyPressed(keyCode))
        m_game.ReleaseKey(keyCode);
    else
        m_game.PressKey(keyCode);
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
        }
        else
            for (const char* key = kPlayerKeys[player]; *key; ++key)
                if (Chance(1.0 / 12))
                    Toggle(*key);
    }
    if (Chance(1.0 / 150))
    {
        // Left pulls player 1's lever, right player 2's, middle nothing.
        const int button = Uniform(1, 3);
        m_game.Click(Uniform(0, 959), Uniform(0, 719), button);
        m_report.leverClicks += button != 2;
    }
    if (Chance(1.0 / 1000))
        Toggle(Chance(0.5) ? 'q' : "xep\x1b\r"[Uniform(0, 4)]);
    if (Chance(1.0 / 2500))
    {
        m_pauseGameTime = m_game.GetTime();
        m_game.PressKey(kSpace);
    }
}

void SoakRun::SeekLever(int player)
{
    const Character* character = player == 0 ? m_game.GetPlayer1() : m_game.GetPlayer2();
    int lever = -1;
    for (int cell = 0; cell < kGridColumns * kGridRows && lever < 0; ++cell)
        if (m_game.GetLevelTile(cell % kGridColumns, cell / kGridColumns) == kLeverTile)
            lever = cell;
    if (!character || lever < 0)
    {
        m_seekPasses[player] = 0;
        return;
    }
    const int dx = lever % kGridColumns * kTileSize + kTileSize / 2 - (character->GetX() + kReferenceInset);
    const int dy = lever / kGridColumns * kTileSize + kTileSize / 2 - (character->GetY() + kReferenceInset);
    const char* keys = kPlayerKeys[player];
    const bool held[] = {dy < -kTileSize / 2 && Chance(0.7), false, dx < -4, dx > 4, false};
    for (int i = 0; i < 5; ++i)
        if (held[i] != m_game.IsKeyPressed(keys[i]))
            Toggle(keys[i]);
    if (std::abs(dx) < kTileSize && std::abs(dy) < kTileSize && Chance(0.1))
    {
        m_game.Click(Uniform(0, 959), Uniform(0, 719), player == 0 ? 1 : 3);
        ++m_report.leverClicks;
    }
}

void SoakRun::Fail(const std::string& what)
{
    if (m_report.failures.size() < 20)
        m_report.failures.push_back("at pass " + std::to_string(m_report.passes) + ": " + what);
}

void SoakRun::Check(GameState before, int score1, int score2, bool daytime)
{
    const GameState state = m_game.GetState();
    if (state < MainMenu || state > RoundOver)
        return Fail("state " + std::to_string(state) + " is no screen");
    m_report.transitions[before][state] += before != state;
    m_report.dayChanges += m_game.IsDaytime() != daytime;

    // Scores change at a round's end, by the deaths, or to 0 by the r key.
    const int now1 = m_game.GetScore(1), now2 = m_game.GetScore(2);
    const Character* p1 = m_game.GetPlayer1();
    const Character* p2 = m_game.GetPlayer2();
    if (before == Playing && state == RoundOver && p1 && p2)
    {
        ++m_report.roundsEnded;
        const int d1 = p1->GetDeaths(), d2 = p2->GetDeaths();
        if (m_game.GetTime() / 1000 - m_game.GetRoundStartSeconds() < Stage2Engine::kRoundSeconds)
            Fail("a round ended before 120 s of game time");
        if (now1 != score1 + (d1 <= d2) || now2 != score2 + (d2 <= d1) ||
            p1->HasWon() != (d1 <= d2) || p2->HasWon() != (d2 <= d1) ||
            p1->HasLost() != (d2 <= d1) || p2->HasLost() != (d1 <= d2))
            Fail("round end scored " + std::to_string(now1) + ":" + std::to_string(now2) +
                 " for deaths " + std::to_string(d1) + ":" + std::to_string(d2));
    }
    else if (now1 == 0 && now2 == 0 && (score1 || score2))
    {
        if (state != MainMenu || !m_game.IsKeyPressed('r'))
            Fail("the scores were reset away from the main menu's r key");
    }
    else if (now1 != score1 || now2 != score2)
        Fail("the scores changed without a round end");

    const uint32_t green = (m_game.GetSunColour() >> 8) & 0xFF;
    if ((m_game.GetSunColour() & 0xFF00FF) != 0xFD0000 || green < 0xB8 || green > 0xFD)
        Fail("sun colour " + std::to_string(m_game.GetSunColour()) + " left its range");

    const int count = m_game.ObjectCount();
    const bool round = state == Playing || state == Paused || state == RoundOver;
    if (count != (round ? (m_game.GetLevel() == kBusyLevel ? 8 : 2) : state == MainMenu ? 1 : 0))
        Fail(std::to_string(count) + " objects on screen " + kStateNames[state]);
    if (round && (!m_game.InObjectArray(p1) || !m_game.InObjectArray(p2)))
        Fail("a player pointer is not in the object array during a round");
    for (int i = 0; i < count; ++i)
        if (const auto* character = dynamic_cast<const Character*>(m_game.GetDisplayableObject(i)))
            if (!(character->GetDamage() >= 1.0f && character->GetDamage() <= 5.0f))
                Fail("damage " + std::to_string(character->GetDamage()) + " outside 1 to 5");
}
