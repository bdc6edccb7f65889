// The computer players' tournament: whole rounds played headless (silent
// passes, no frames drawn) on all four levels with the fighters varied and
// the seats swapped every other round, for each pairing of the issue's
// targets. Prints a table of wins by level, ring-outs a round, the
// self-destructs of each computer (a ring-out with no hit on it in the 3 s
// before) and the computers' decision cost.
// Usage: skirmora_tournament [rounds a pairing] [first seed] [pairing index]
#include "game/ComputerInput.h"
#include "objects/Character.h"
#include "tests/driver/GameDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <time.h>

using namespace GameData;

namespace
{
// The other side of a pairing that is no computer.
enum class Side
{
    Easy,
    Normal,
    Hard,
    Idle,
    Random,
};
const char* const kSideNames[] = {"easy", "normal", "hard", "idle", "random"};

struct Pairing
{
    Side first;
    Side second;
};
const Pairing kPairings[] = {
    {Side::Hard, Side::Easy},   {Side::Normal, Side::Easy},   {Side::Hard, Side::Normal},
    {Side::Normal, Side::Idle}, {Side::Normal, Side::Random},
};

// Presses a new random set of buttons every 100 ms of game time; its
// generator is seeded and saved with the round like a computer's.
class RandomInput final : public InputSource
{
public:
    explicit RandomInput(uint32_t seed) : m_state{seed | 1u, 0, 0} {}
    InputFrame NextFrame() override
    {
        InputFrame frame;
        frame.held = m_state.held;
        return frame;
    }
    void AfterPass(const Stage2Engine& /*game*/) override
    {
        if (++m_state.passes % 7 != 0)
            return;
        m_state.random ^= m_state.random << 13;
        m_state.random ^= m_state.random >> 17;
        m_state.random ^= m_state.random << 5;
        m_state.held = static_cast<uint8_t>(m_state.random % (1u << kPlayerActionCount));
    }
    void SaveState(StateBytes& out) const override { AppendState(out, m_state); }
    bool LoadState(StateReader& in) override { return in.Load(m_state); }

private:
    struct State
    {
        uint32_t random;
        uint32_t passes;
        uint8_t held;
    } m_state;
};

class IdleInput final : public InputSource
{
public:
    InputFrame NextFrame() override { return {}; }
};

// CPU time of this thread: on a shared machine the wall clock also counts
// other work.
double ThreadMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Times each computer's decisions (what it does after a pass).
class TimedInput final : public InputSource
{
public:
    TimedInput(std::unique_ptr<InputSource> inner, double& total, double& most, long& count)
        : m_inner(std::move(inner)), m_total(total), m_most(most), m_count(count)
    {
    }
    InputFrame NextFrame() override { return m_inner->NextFrame(); }
    void AfterPass(const Stage2Engine& game) override
    {
        const double start = ThreadMicroseconds();
        m_inner->AfterPass(game);
        const double us = ThreadMicroseconds() - start;
        m_total += us;
        m_most = std::max(m_most, us);
        ++m_count;
    }

private:
    std::unique_ptr<InputSource> m_inner;
    double& m_total;
    double& m_most;
    long& m_count;
};

// The game with an ear for hits and ring-outs.
class TournamentGame : public GameDriver
{
public:
    TournamentGame() : GameDriver("") {}
    void OnObjectEvent(const GravityObject& object, ObjectEvent event, float strength) override
    {
        const int seat = &object == GetPlayer1() ? 0 : &object == GetPlayer2() ? 1 : -1;
        if (seat >= 0 && event == ObjectEvent::Hit)
            lastHit[seat] = m_pass.time;
        if (seat >= 0 && event == ObjectEvent::RingOut)
        {
            ++ringOuts;
            if (m_pass.time - lastHit[seat] > 3000)
                ++selfDestructs[seat];
        }
        GameDriver::OnObjectEvent(object, event, strength);
    }
    int lastHit[2] = {};
    long ringOuts = 0;
    long selfDestructs[2] = {};
};

struct Tally
{
    long wins[kLevelCount][2] = {};
    long draws[kLevelCount] = {};
    long rounds[kLevelCount] = {};
    long ringOuts[kLevelCount] = {};
    long selfDestructs[kLevelCount][2] = {};
};

struct Cost
{
    double total[3] = {};
    double most[3] = {};
    long count[3] = {};
};

std::unique_ptr<InputSource> MakeSide(Side side, const Stage2Engine& game, int seat, uint32_t seed,
                                      Cost& cost)
{
    if (side == Side::Idle)
        return std::make_unique<IdleInput>();
    if (side == Side::Random)
        return std::make_unique<RandomInput>(seed);
    const int level = static_cast<int>(side);
    return std::make_unique<TimedInput>(
        std::make_unique<ComputerInput>(game, seat, static_cast<ComputerLevel>(level), seed),
        cost.total[level], cost.most[level], cost.count[level]);
}

// One round; the first side plays seat 1 unless swapped.
void PlayRound(TournamentGame& game, const Pairing& pairing, int round, uint32_t seed, Tally& tally,
               Cost& cost)
{
    const int level = round % kLevelCount;
    const bool swapped = (round / kLevelCount) % 2 == 1;
    const int kind1 = (round * 7 / kLevelCount) % kCharacterCount;
    const int kind2 = (round * 5 / kLevelCount + 3) % kCharacterCount;
    if (game.GetState() != MainMenu)
        game.PressKey(' ');
    if (!game.StartRound(kind1, kind2, level))
        return;
    const Side seats[2] = {swapped ? pairing.second : pairing.first,
                           swapped ? pairing.first : pairing.second};
    for (int seat = 1; seat <= 2; ++seat)
        game.SetSeatSource(
            seat, MakeSide(seats[seat - 1], game, seat, seed * 2 + static_cast<uint32_t>(seat), cost));
    game.ringOuts = 0;
    game.selfDestructs[0] = game.selfDestructs[1] = 0;
    game.lastHit[0] = game.lastHit[1] = -100000;
    int time = game.GetTime();
    while (game.GetState() == Playing)
    {
        RoundPass pass = game.NextPass();
        time += BaseEngine::kLogicIntervalMs;
        pass.time = time;
        game.RunPass(pass, true);
        game.NoteFrameDrawn();
    }
    const int deaths[2] = {game.GetPlayer1()->GetDeaths(), game.GetPlayer2()->GetDeaths()};
    const int first = swapped ? 1 : 0;
    ++tally.rounds[level];
    tally.ringOuts[level] += game.ringOuts;
    if (deaths[0] == deaths[1])
        ++tally.draws[level];
    else
        ++tally.wins[level][(deaths[first] < deaths[1 - first]) ? 0 : 1];
    tally.selfDestructs[level][0] += game.selfDestructs[first];
    tally.selfDestructs[level][1] += game.selfDestructs[1 - first];
}

void Print(const Pairing& pairing, const Tally& tally)
{
    const char* a = kSideNames[static_cast<int>(pairing.first)];
    const char* b = kSideNames[static_cast<int>(pairing.second)];
    long wins = 0;
    long losses = 0;
    for (int level = 0; level < kLevelCount; ++level)
    {
        const long rounds = std::max(1L, tally.rounds[level]);
        const long decided = tally.wins[level][0] + tally.wins[level][1];
        wins += tally.wins[level][0];
        losses += tally.wins[level][1];
        std::printf(
            "| %s v %s | %d | %ld | %ld - %ld - %ld | %.0f %% | %.2f | %.3f | %.3f |\n", a, b, level + 1,
            tally.rounds[level], tally.wins[level][0], tally.draws[level], tally.wins[level][1],
            decided ? 100.0 * static_cast<double>(tally.wins[level][0]) / static_cast<double>(decided) : 0.0,
            static_cast<double>(tally.ringOuts[level]) / static_cast<double>(rounds),
            static_cast<double>(tally.selfDestructs[level][0]) / static_cast<double>(rounds),
            static_cast<double>(tally.selfDestructs[level][1]) / static_cast<double>(rounds));
    }
    std::printf("| %s v %s | all | | %ld - %ld | %.0f %% | | | |\n", a, b, wins, losses,
                wins + losses ? 100.0 * static_cast<double>(wins) / static_cast<double>(wins + losses) : 0.0);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[])
{
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 100;
    const auto seed = static_cast<uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);
    const int only = argc > 3 ? std::atoi(argv[3]) : -1;
    TournamentGame game;
    if (!game.Started())
        return 1;
    Cost cost;
    std::printf(
        "| pairing (a v b) | level | rounds | a wins - draws - b wins | a's share of decided | "
        "ring-outs a round | a's self-destructs a round | b's |\n|---|---|---|---|---|---|---|---|\n");
    for (int p = 0; p < static_cast<int>(std::size(kPairings)); ++p)
    {
        if (only >= 0 && p != only)
            continue;
        Tally tally;
        for (int round = 0; round < rounds; ++round)
            PlayRound(game, kPairings[p], round, seed + static_cast<uint32_t>(p * 100000 + round), tally,
                      cost);
        Print(kPairings[p], tally);
    }
    for (int level = 0; level < 3; ++level)
        if (cost.count[level])
            std::printf("decision cost, %s: %.2f us a pass on average, %.1f us at most (%ld passes)\n",
                        kSideNames[level], cost.total[level] / static_cast<double>(cost.count[level]),
                        cost.most[level], cost.count[level]);
    return 0;
}
