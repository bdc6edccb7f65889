// What replays cost: recording a pass of a round on the fourth level (the
// pass kept, and a digest of the round once a second of game time), beside
// the logic pass it follows; and a two-minute round's file written and read
// back, each beside the bare file copy.
#include "bench/BenchGame.h"
#include "game/Replay.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
// A two-minute round recorded by the tests.
constexpr const char* kRoundFile = "tests/reference/round.skirmora-replay";
constexpr const char* kScratchFile = "/tmp/skirmora-bench.skirmora-replay";

void BM_RecordPassFourthLevel(benchmark::State& state)
{
    auto game = BenchGame::StartBusyRoundOrSkip(state);
    if (!game)
        return;
    RoundPass pass;
    pass.time = game->Game().GetTime();
    long recorded = 0;
    for (auto _ : state)
    {
        // A round's worth, then a new round's recording.
        if (++recorded % 8000 == 0)
        {
            state.PauseTiming();
            game->RestartRound();
            state.ResumeTiming();
        }
        pass.time += 15;
        game->Game().RecordPass(pass);
    }
}
BENCHMARK(BM_RecordPassFourthLevel)->Unit(benchmark::kMicrosecond);

std::vector<unsigned char> FileBytes(const char* path)
{
    std::vector<unsigned char> bytes(Replay::kMaxFileBytes);
    std::FILE* file = std::fopen(path, "rb");
    bytes.resize(file ? std::fread(bytes.data(), 1, bytes.size(), file) : 0);
    if (file)
        std::fclose(file);
    return bytes;
}

void WriteBytes(const std::vector<unsigned char>& bytes)
{
    std::FILE* file = std::fopen(kScratchFile, "wb");
    if (!file)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void BM_WriteReplayTwoMinutes(benchmark::State& state)
{
    Replay replay;
    std::string why;
    if (!replay.Read(kRoundFile, why))
    {
        state.SkipWithError(why.c_str());
        return;
    }
    for (auto _ : state)
        WriteBytes(replay.Encode());
    state.counters["bytes"] = static_cast<double>(replay.Encode().size());
}
BENCHMARK(BM_WriteReplayTwoMinutes)->Unit(benchmark::kMicrosecond);

void BM_WriteReplayTwoMinutes_Floor(benchmark::State& state)
{
    const std::vector<unsigned char> bytes = FileBytes(kRoundFile);
    for (auto _ : state)
        WriteBytes(bytes);
}
BENCHMARK(BM_WriteReplayTwoMinutes_Floor)->Unit(benchmark::kMicrosecond);

void BM_ReadReplayTwoMinutes(benchmark::State& state)
{
    for (auto _ : state)
    {
        Replay replay;
        std::string why;
        if (!replay.Read(kRoundFile, why))
            state.SkipWithError(why.c_str());
        benchmark::DoNotOptimize(replay.passes.data());
    }
}
BENCHMARK(BM_ReadReplayTwoMinutes)->Unit(benchmark::kMicrosecond);

void BM_ReadReplayTwoMinutes_Floor(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(FileBytes(kRoundFile).data());
}
BENCHMARK(BM_ReadReplayTwoMinutes_Floor)->Unit(benchmark::kMicrosecond);
} // namespace
