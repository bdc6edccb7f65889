// The long soak: plays the game headless for the given number of passes of
// 15 ms (240,000 is an hour of game time) and prints what it exercised and
// the digest of the game after every 100,000 passes. Fails on a broken
// invariant, or when a run of 100,000 passes or more missed a screen change.
// Usage: skirmora_soak [passes] [seed]
#include "tools/soak/SoakRun.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const long passes = argc > 1 ? std::atol(argv[1]) : 240000;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10))
                                   : 20260101u;
    // The game prints the sun's colour on every daytime pass.
    if (!std::freopen("/dev/null", "w", stdout))
        return 2;
    setenv("SDL_VIDEODRIVER", "dummy", 1);

    int status = 0;
    {
        DrivenGame game;
        if (game.Initialise("soak", 960, 720, "Cornerstone Regular.ttf", 24) != 0)
            return 1;
        SoakRun run(game, seed);
        run.Run(passes);
        game.Deinitialise();
        const SoakReport& report = run.Report();
        std::fprintf(stderr, "seed %u\n%s\n", seed, report.Summary().c_str());
        for (size_t i = 0; i < report.digests.size(); ++i)
            if ((i + 1) % 100 == 0 || i + 1 == report.digests.size())
                std::fprintf(stderr, "digest after %zu passes: %016llx\n", (i + 1) * 1000,
                             static_cast<unsigned long long>(report.digests[i]));
        status = report.failures.empty() ? 0 : 1;
        // A long run must have made every screen change there is.
        const std::vector<std::string> missing = report.MissingTransitions();
        for (const std::string& change : missing)
            std::fprintf(stderr, "never seen: %s\n", change.c_str());
        if (passes >= 100000 && !missing.empty())
            status = 1;
    }
    return status;
}
