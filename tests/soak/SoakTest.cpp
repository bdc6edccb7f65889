#include "tests/TestSupport.h"
#include "tools/soak/SoakRun.h"

#include <gtest/gtest.h>
#include <sstream>

namespace
{
SoakReport Soak(uint32_t seed, long passes)
{
    DrivenGame game;
    EXPECT_EQ(testing_support::InitialiseHeadless(game), 0);
    SoakRun run(game, seed);
    run.Run(passes);
    game.Deinitialise();
    return run.Report();
}

// Every line the game prints while playing: its messages, or by day the
// sun's colour as a decimal number, which stays within its pulse.
void ExpectOnlyKnownLines(const std::string& printed)
{
    std::istringstream lines(printed);
    std::string line;
    while (std::getline(lines, line))
    {
        if (line.rfind("Loading font: ", 0) == 0 || line.rfind("Free font: ", 0) == 0)
            continue;
        char* end = nullptr;
        const long colour = std::strtol(line.c_str(), &end, 10);
        ASSERT_TRUE(end && *end == '\0' && !line.empty()) << "unexpected line: " << line;
        EXPECT_EQ(colour & 0xFF00FF, 0xFD0000) << line;
        EXPECT_GE((colour >> 8) & 0xFF, 0xB8) << line;
        EXPECT_LE((colour >> 8) & 0xFF, 0xFD) << line;
    }
}
} // namespace

// The CI's share of the soak: five minutes of game time, every screen. The
// full hour, which must make every screen change, is scripts/soak.
TEST(SoakTest, ShortRunKeepsEveryInvariantAcrossAllScreens)
{
    testing_support::StdoutCapture capture;
    const SoakReport report = Soak(20260101, 20000);
    const std::string printed = capture.Finish();

    EXPECT_TRUE(report.failures.empty()) << report.Summary();
    EXPECT_EQ(report.passes, 20000);
    EXPECT_GT(report.logicPasses, 18000);
    EXPECT_EQ(report.digests.size(), 20u);
    EXPECT_TRUE(report.VisitedEveryState()) << report.Summary();
    EXPECT_GT(report.roundsEnded, 0) << report.Summary();
    EXPECT_GT(report.leverClicks, 0);
    ExpectOnlyKnownLines(printed);
}

TEST(SoakTest, SameSeedPlaysTheSameGameAndAnotherSeedDoesNot)
{
    const SoakReport first = Soak(77, 3000);
    const SoakReport again = Soak(77, 3000);
    const SoakReport other = Soak(78, 3000);
    ASSERT_EQ(first.digests.size(), 3u);
    EXPECT_EQ(first.digests, again.digests);
    EXPECT_NE(first.digests, other.digests);
}
