// The long soak: plays the game headless for the given number of passes of
// 15 ms (240,000 is an hour of game time) and prints what it exercised and
// the digest of the game after every 100,000 passes. Fails on a broken
// invariant, or when a run of 100,000 passes or more missed a screen change.
// Usage: skirmora_soak [passes] [seed]
#include "tests/driver/SoakRun.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const long passes = argc > 1 ? std::atol(argv[1]) : 240000;
    const auto seed = static_cast<uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 20260101);
    // The game prints the sun's colour on every daytime pass.
    if (!std::freopen("/dev/null", "w", stdout))
        return 2;
    GameDriver game;
    if (!game.Started())
        return 1;
    SoakRun run(game, seed);
    run.Run(passes);
    const SoakReport& report = run.Report();
    std::fprintf(stderr, "seed %u\n%s\n", seed, report.Summary().c_str());
    for (size_t i = 99; i < report.digests.size(); i += 100)
        std::fprintf(stderr, "digest after %zu passes: %016llx\n", (i + 1) * 1000,
                     static_cast<unsigned long long>(report.digests[i]));
    const bool complete = passes < 100000 || report.MissingTransitions().empty();
    return report.failures.empty() && complete ? 0 : 1;
}
