// The cost of a frame on the play screen, beside the floor that any frame
// of that kind must pay on this machine.
#include "bench/BenchGame.h"

#include <benchmark/benchmark.h>

namespace
{

// After a screen change: the whole background, the HUD, nine objects.
void BM_WholeRedrawFrame(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    for (auto _ : state)
    {
        game->Game().Redraw(true);
        game->Game().RenderFrame();
    }
}
BENCHMARK(BM_WholeRedrawFrame)->Unit(benchmark::kMicrosecond);

void BM_WholeRedrawFrame_Floor(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    for (auto _ : state)
    {
        game->CopyWholeBackground();
        game->PresentOnly();
    }
}
BENCHMARK(BM_WholeRedrawFrame_Floor)->Unit(benchmark::kMicrosecond);

// Every pass of play: each object erased and drawn again, the HUD redrawn.
void BM_PartialRedrawFrame(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    for (auto _ : state)
    {
        game->Game().Redraw(false);
        game->Game().RenderFrame();
    }
}
BENCHMARK(BM_PartialRedrawFrame)->Unit(benchmark::kMicrosecond);

void BM_PartialRedrawFrame_Floor(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    for (auto _ : state)
        game->PresentOnly();
}
BENCHMARK(BM_PartialRedrawFrame_Floor)->Unit(benchmark::kMicrosecond);

// The play screen's background at night: sky, stars, level tiles.
void BM_PaintBackgroundNight(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (game && game->Game().IsDaytime())
        game->Game().ToggleDaytime();
    for (auto _ : state)
        game->Game().PaintBackground();
}
BENCHMARK(BM_PaintBackgroundNight)->Unit(benchmark::kMicrosecond);

void BM_PaintBackgroundNight_Floor(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    for (auto _ : state)
        game->Game().FillBackground(GameData::kNightSky);
}
BENCHMARK(BM_PaintBackgroundNight_Floor)->Unit(benchmark::kMicrosecond);
} // namespace
