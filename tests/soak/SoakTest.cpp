// The game played for minutes by seeded random input: every invariant holds
// and the same seed plays exactly the recorded game, printed lines and all;
// and spoiled data files are reported and leave it playing.
#include "tests/TestSupport.h"
#include "tests/driver/RoundCheck.h"
#include "tests/driver/SoakRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testing_support::StdoutCapture;

TEST(Soak, FiveMinutesKeepEveryInvariantAndPlayTheRecordedGame)
{
    StdoutCapture capture;
    SoakReport report;
    RoundCheckReport rounds;
    {
        GameDriver game;
        ASSERT_TRUE(game.Started());
        const RoundCheck& checked = game.CheckRounds(7);
        SoakRun run(game, 20260101);
        run.Run(20000);
        report = run.Report();
        rounds = checked.Report();
    }
    const std::string printed = capture.Finish();
    // Every round pass was followed by a shadow fed only the passes, and now
    // and then run again from a snapshot 1 to 10 passes back.
    EXPECT_EQ(rounds.failures, std::vector<std::string>{}) << "the shadow round's first difference";
    EXPECT_GT(rounds.passes, 10000) << "round passes checked";
    EXPECT_GT(rounds.rollbacks, 300) << "rollbacks made";
    EXPECT_EQ(report.failures, std::vector<std::string>{}) << report.Summary();
    EXPECT_EQ(report.MissingTransitions(), std::vector<std::string>{}) << "screen changes never made";
    EXPECT_GT(report.logicPasses, 18000) << report.Summary();
    EXPECT_GT(report.dayChanges, 0) << report.Summary();
    // The record: a digest of the game after every thousandth pass, and of
    // what it printed (the font's lines, and by day the sun's colours).
    std::ostringstream record;
    for (const uint64_t digest : report.digests)
        record << std::hex << digest << "\n";
    record << std::dec << std::count(printed.begin(), printed.end(), '\n') << " lines printed, hash "
           << std::hash<std::string>()(printed) << "\n";
    const std::string path = testing_support::SourceDir() + "/tests/reference/soak-record.txt";
    if (const char* update = std::getenv("SKIRMORA_UPDATE_REFERENCES"); update && std::string(update) == "1")
        testing_support::WriteFile(path, record.str());
    EXPECT_EQ(record.str(), testing_support::ReadFile(path))
        << "the seeded game played differently from the record";
}

namespace
{
// A data file spoiled by its kind and its place among the files of that kind:
// pictures garbage, cut short, or (found by fuzzing) a bare XCF header that
// decodes to a picture of 0 x 0; maps cut short or emptied; sounds cut short
// and followed by garbage.
std::string Spoiled(const fs::path& file, int index)
{
    const std::string data = testing_support::ReadFile(file);
    if (file.extension() == ".txt")
        return data.substr(0, index % 2 ? 41 * 15 : 0);
    if (file.extension() == ".wav")
        return data.substr(0, index * 5) + "garbage";
    if (index % 3 == 0)
        return "not a picture \x01\xff";
    if (index % 3 == 1)
        return data.substr(0, 40);
    return std::string("gimp xcf A\x86\x89PN", 14);
}
} // namespace

// Every data file spoiled, and directories where the font, the star field, a
// level file and two pictures were: a directory opens on Linux but cannot be
// read, and is reported like a missing file.
TEST(Soak, SpoiledDataIsReportedAndTheGameStillPlaysEveryScreen)
{
    const std::string root = testing_support::MakeTempDir();
    fs::copy(testing_support::SourceDir() + "/Resources", root + "/Resources", fs::copy_options::recursive);
    std::map<fs::path, int> seen; // files of each kind so far
    for (const auto& entry : fs::recursive_directory_iterator(root))
    {
        if (entry.is_regular_file())
            testing_support::WriteFile(entry.path(), Spoiled(entry.path(), seen[entry.path().extension()]++));
    }
    for (const char* path :
         {"Cornerstone Regular.ttf", "Resources/maps/background.txt", "Resources/maps/level2.txt",
          "Resources/sprites/environment/brick.png", "Resources/sprites/character/kestoright.png"})
    {
        fs::remove(root + "/" + path);
        fs::create_directories(root + "/" + path);
    }
    testing_support::WorkingDirectory inside(root);
    StdoutCapture capture;
    GameDriver game;
    ASSERT_TRUE(game.StartRound(2, 5, 1));
    game.HoldKeys("dcjn");
    while (game.GetState() == Playing)
        game.Pass(500);
    EXPECT_EQ(game.GetState(), RoundOver);
    EXPECT_GE(game.GetScore(1) + game.GetScore(2), 1) << "the sum of the scores after a round";
    game.PressKey(' ');
    EXPECT_EQ(game.ObjectCount(), 1) << "back on the main menu";
    // The star field at start-up, the font, and the level at the round's start.
    const std::string error = "error opening file\n";
    EXPECT_EQ(capture.Finish(),
              error + "Loading font: 24 point Cornerstone Regular.ttf\nFont loading failed.\n" + error);
    StdoutCapture quiet;
    SoakRun soak(game, 11);
    soak.Run(1500);
    EXPECT_EQ(soak.Report().failures, std::vector<std::string>{}) << soak.Report().Summary();
    fs::remove_all(root);
}
