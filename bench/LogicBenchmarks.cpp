// One paced logic pass of a round on the fourth level: nine objects moved
// pixel by pixel, each testing its contacts with the tiles and the others.
// Its budget is the 15 ms between two passes. Beside it, what rollback and
// replays add: a silent pass, a snapshot taken and restored, its digest.
#include "bench/BenchGame.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <numeric>

namespace
{
// Held keys change every so often so that the players run, jump and dash.
struct HeldAction
{
    int player;
    PlayerAction action;
};
const HeldAction kPatterns[][3] = {
    {{0, PlayerAction::Right}, {1, PlayerAction::Left}, {0, PlayerAction::Jump}},
    {{0, PlayerAction::Left}, {1, PlayerAction::Right}, {1, PlayerAction::Jump}},
    {{0, PlayerAction::Right}, {0, PlayerAction::Attack}, {1, PlayerAction::Attack}},
    {{0, PlayerAction::Jump}, {0, PlayerAction::Fall}, {1, PlayerAction::Fall}},
};
constexpr int kPassesPerPattern = 40;

void BM_LogicPassFourthLevel(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (!game)
        return;
    long pass = 0;
    for (auto _ : state)
    {
        if (game->RoundNearlyOver())
        {
            state.PauseTiming();
            game->RestartRound();
            state.ResumeTiming();
        }
        if (pass % kPassesPerPattern == 0)
        {
            game->Game().ReleaseAllKeys();
            for (const HeldAction& held : kPatterns[(pass / kPassesPerPattern) % 4])
                game->Game().PressKey(BenchGame::Key(held.player, held.action));
        }
        ++pass;
        game->Game().SetFrameTick(game->Game().GetFrameTick() + 15);
        game->Game().DoFrameLogic();
    }
}
BENCHMARK(BM_LogicPassFourthLevel)->Unit(benchmark::kMicrosecond);

// The same pass run silently, as a rollback runs passes again; its floor is
// the normal pass above.
void BM_SilentPassFourthLevel(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (!game)
        return;
    GameDriver& driver = game->Game();
    driver.PressKey(BenchGame::Key(0, PlayerAction::Right));
    driver.PressKey(BenchGame::Key(1, PlayerAction::Left));
    StateBytes start;
    driver.SaveRound(start);
    long pass = 0;
    for (auto _ : state)
    {
        // Every 400 passes back to the start, so the round never ends.
        if (++pass % 400 == 0)
        {
            state.PauseTiming();
            driver.LoadRound(start);
            state.ResumeTiming();
        }
        RoundPass next = driver.NextPass();
        next.time = driver.GetTime() + static_cast<int>(pass % 400) * 15;
        driver.RunPass(next, true);
        driver.NoteFrameDrawn();
    }
}
BENCHMARK(BM_SilentPassFourthLevel)->Unit(benchmark::kMicrosecond);

// A snapshot of a round on the fourth level (the game's round state and
// nine objects), taken and restored.
void BM_SnapshotAndRestoreFourthLevel(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (!game)
        return;
    StateBytes snapshot;
    for (auto _ : state)
    {
        game->Game().SaveRound(snapshot);
        if (!game->Game().LoadRound(snapshot))
            state.SkipWithError("the snapshot did not restore");
    }
    state.counters["bytes"] = static_cast<double>(snapshot.size());
}
BENCHMARK(BM_SnapshotAndRestoreFourthLevel)->Unit(benchmark::kMicrosecond);

// Its floor: the same bytes copied out and back.
void BM_SnapshotAndRestoreFourthLevel_Floor(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (!game)
        return;
    StateBytes snapshot;
    game->Game().SaveRound(snapshot);
    StateBytes copy(snapshot.size());
    for (auto _ : state)
    {
        std::memcpy(copy.data(), snapshot.data(), snapshot.size());
        benchmark::ClobberMemory();
        std::memcpy(snapshot.data(), copy.data(), copy.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SnapshotAndRestoreFourthLevel_Floor)->Unit(benchmark::kMicrosecond);

void BM_DigestFourthLevel(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (!game)
        return;
    StateBytes snapshot;
    game->Game().SaveRound(snapshot);
    for (auto _ : state)
        benchmark::DoNotOptimize(Stage2Engine::Digest(snapshot));
}
BENCHMARK(BM_DigestFourthLevel)->Unit(benchmark::kMicrosecond);

// Its floor: reading every byte once, summed.
void BM_DigestFourthLevel_Floor(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (!game)
        return;
    StateBytes snapshot;
    game->Game().SaveRound(snapshot);
    for (auto _ : state)
        benchmark::DoNotOptimize(std::accumulate(snapshot.begin(), snapshot.end(), 0u));
}
BENCHMARK(BM_DigestFourthLevel_Floor)->Unit(benchmark::kMicrosecond);
} // namespace
