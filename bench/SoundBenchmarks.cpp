// Sound: how soon a cue reaches the device after the game plays it, and what
// mixing costs while a round plays (music and the players' effects). The
// audio thread mixes a buffer at a time; SDL's dummy driver paces it in real
// time as a device would.
#include "bench/BenchGame.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <thread>

namespace
{
// Written by the audio thread after each mix: the first time a buffer
// carries sound, and the thread's own CPU time.
std::atomic<int64_t> g_heardAt{0};
std::atomic<int64_t> g_audioCpuNanoseconds{0};

int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SDLCALL AfterMix(void*, Uint8* stream, int length)
{
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    g_audioCpuNanoseconds = int64_t{cpu.tv_sec} * 1000000000 + cpu.tv_nsec;
    for (int i = 0; i < length && g_heardAt == 0; ++i)
        if (stream[i])
            g_heardAt = Now();
}

std::unique_ptr<BenchGame> StartWithSound(benchmark::State& state)
{
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto game = BenchGame::StartRound(0);
    if (!game || !game->Game().GetSound().IsOpen())
        state.SkipWithError("no round with sound");
    else
        Mix_SetPostMix(AfterMix, nullptr);
    return game;
}

// From PlayCue to the first mixed buffer that holds the cue: the next one,
// so about half a buffer on average. The device then plays that buffer out:
// add one buffer (128 frames, 2.7 ms). The worst cue of the run is kept too.
void BM_CueToMixedBuffer(benchmark::State& state)
{
    auto game = StartWithSound(state);
    if (!game)
        return;
    game->Game().GetSound().PlayMusic(GameData::kRoundMusic, 0.0f);
    int iteration = 0;
    int64_t worst = 0;
    for (auto _ : state)
    {
        // Silent buffers in between. Halting waits for the mix in progress,
        // so a fixed wait would always land at one place in the device's
        // buffer: the cues are spread over a whole buffer instead.
        Mix_HaltChannel(-1);
        std::this_thread::sleep_for(std::chrono::microseconds(50000 + 1300 * (iteration++ % 8)));
        g_heardAt = 0;
        const int64_t played = Now();
        game->Game().PlayCue("hit", 1.0f, 1.0f);
        while (g_heardAt == 0)
            std::this_thread::yield();
        state.SetIterationTime(static_cast<double>(g_heardAt - played) / 1e9);
        worst = std::max(worst, g_heardAt - played);
    }
    state.counters["worst_ms"] = static_cast<double>(worst) / 1e6;
}
BENCHMARK(BM_CueToMixedBuffer)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

// The audio thread's CPU time over a second of a round on the fourth level,
// players running, jumping and dashing, with the round's music.
void BM_MixingDuringARound(benchmark::State& state)
{
    auto game = StartWithSound(state);
    if (!game)
        return;
    GameDriver& driver = game->Game();
    for (auto _ : state)
    {
        const int64_t cpuBefore = g_audioCpuNanoseconds;
        const int64_t started = Now();
        for (int pass = 0; pass < 66; ++pass)
        {
            // Player 1 runs right, jumping and dashing, then player 2 runs left.
            const int player = pass % 20 < 10 ? 0 : 1;
            const PlayerAction run = player == 0 ? PlayerAction::Right : PlayerAction::Left;
            for (const PlayerAction action : {run, PlayerAction::Jump, PlayerAction::Attack})
            {
                driver.PressKey(BenchGame::Key(player, action));
                driver.ReleaseKey(BenchGame::Key(1 - player, action));
            }
            driver.Pass();
            std::this_thread::sleep_until(
                std::chrono::steady_clock::time_point(std::chrono::nanoseconds(started)) +
                std::chrono::milliseconds(15 * (pass + 1)));
        }
        state.counters["audio_cpu_percent"] = 100.0 * static_cast<double>(g_audioCpuNanoseconds - cpuBefore) /
                                              static_cast<double>(Now() - started);
    }
}
BENCHMARK(BM_MixingDuringARound)->Iterations(5)->Unit(benchmark::kMillisecond);
} // namespace
