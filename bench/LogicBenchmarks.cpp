// One paced logic pass of a round on the fourth level: nine objects moved
// pixel by pixel, each testing its contacts with the tiles and the others.
// Its budget is the 15 ms between two passes.
#include "bench/BenchGame.h"

#include <benchmark/benchmark.h>

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
            for (const HeldAction& held : kPatterns[(pass / kPassesPerPattern) % 4])
                game->Game().PressKey(BenchGame::Key(held.player, held.action));
        }
        ++pass;
        game->Game().SetFrameTick(game->Game().GetFrameTick() + 15);
        game->Game().DoFrameLogic();
    }
}
BENCHMARK(BM_LogicPassFourthLevel)->Unit(benchmark::kMicrosecond);
} // namespace
