// One paced logic pass of a round on the fourth level: nine objects moved
// pixel by pixel, each testing its contacts with the tiles and the others.
// Its budget is the 15 ms between two passes.
#include "bench/BenchGame.h"

#include <benchmark/benchmark.h>

namespace
{
// Held keys change every so often so that the players run, jump and dash.
const int kPatterns[][3] = {{'d', 'j', 'w'}, {'a', 'l', 'i'}, {'d', 'c', 'n'}, {'w', 's', 'k'}};
constexpr int kPassesPerPattern = 40;

void BM_LogicPassFourthLevel(benchmark::State& state)
{
    auto game = BenchGame::StartRound(GameData::kBusyLevel);
    if (!game)
    {
        state.SkipWithError("the game did not start a round");
        return;
    }
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
            for (int key : kPatterns[(pass / kPassesPerPattern) % 4])
                game->Game().PressKey(key);
        }
        ++pass;
        game->Game().SetFrameTick(game->Game().GetFrameTick() + 15);
        game->Game().DoFrameLogic();
    }
}
BENCHMARK(BM_LogicPassFourthLevel)->Unit(benchmark::kMicrosecond);
} // namespace
