// The game played for minutes by seeded random input: every invariant holds
// and the same seed plays exactly the recorded game, printed lines and all;
// and spoiled data files are reported and leave it playing.
#include "tests/TestSupport.h"
#include "tests/driver/RoundCheck.h"
#include "tests/driver/SoakRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

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
    EXPECT_TRUE(rounds.failures.empty()) << rounds.failures.front();
    EXPECT_GT(rounds.passes, 10000) << "round passes checked";
    EXPECT_GT(rounds.rollbacks, 300) << "rollbacks made";
    EXPECT_TRUE(report.failures.empty() && report.MissingTransitions().empty()) << report.Summary();
    EXPECT_TRUE(report.logicPasses > 18000 && report.dayChanges > 0) << report.Summary();
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

TEST(Soak, SpoiledDataIsReportedAndTheGameStillPlaysEveryScreen)
{
    const auto spoil = [](const std::string& root, const std::string& ending, const auto& with) {
        int i = 0;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            if (entry.is_regular_file() && entry.path().extension() == ending)
                testing_support::WriteFile(entry.path(), with(testing_support::ReadFile(entry.path()), i++));
    };
    const struct
    {
        const char* name;
        std::function<void(const std::string&)> spoil;
        int fontFailures, fileErrors;
    } cases[] = {
        {"no data at all", [](const std::string& root) { fs::remove_all(root), fs::create_directory(root); },
         1, 2},
        // Garbage, a picture cut short, and (found by fuzzing) a bare XCF
        // header, which decodes to a picture of 0 x 0.
        // Garbage, pictures cut short, and (found by fuzzing) a bare XCF
        // header, which decodes to a picture of 0 x 0; maps cut short or empty.
        {"spoiled pictures and maps",
         [&](const std::string& root) {
             spoil(root, ".png", [](const std::string& picture, int i) {
                 return i % 3 == 0   ? "not a picture \x01\xff"
                        : i % 3 == 1 ? picture.substr(0, 40)
                                     : std::string("gimp xcf A\x86\x89PN", 14);
             });
             spoil(root, ".txt",
                   [](const std::string& map, int i) { return map.substr(0, i % 2 ? 41 * 15 : 0); });
             spoil(root, ".wav",
                   [](const std::string& sound, int i) { return sound.substr(0, i * 5) + "garbage"; });
         },
         0, 0},
        {"directories in place of files",
         [](const std::string& root) {
             for (const char* path :
                  {"Cornerstone Regular.ttf", "Resources/maps/background.txt", "Resources/maps/level2.txt",
                   "Resources/sprites/environment/brick.png", "Resources/sprites/character/kestoright.png"})
                 fs::remove(root + "/" + path), fs::create_directories(root + "/" + path);
         },
         1, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string root = testing_support::MakeTempDir();
        fs::copy(testing_support::SourceDir() + "/Resources", root + "/Resources",
                 fs::copy_options::recursive);
        fs::copy(testing_support::SourceDir() + "/Cornerstone Regular.ttf", root);
        c.spoil(root);
        testing_support::WorkingDirectory inside(root);
        StdoutCapture capture;
        GameDriver game;
        ASSERT_TRUE(game.StartRound(2, 5, 1));
        game.HoldKeys("dcjn");
        while (game.GetState() == Playing)
            game.Pass(500);
        EXPECT_GE(game.GetScore(1) + game.GetScore(2), 1) << "the round was scored";
        game.PressKey(' ');
        EXPECT_EQ(game.ObjectCount(), 1) << "back on the main menu";
        // The star field at start-up and the level at the round's start.
        const std::string printed = capture.Finish();
        const std::string error = "error opening file\n";
        EXPECT_EQ(printed, (c.fileErrors ? error : "") + "Loading font: 24 point Cornerstone Regular.ttf\n" +
                               (c.fontFailures ? "Font loading failed.\n" : "") +
                               (c.fileErrors > 1 ? error : ""));
        StdoutCapture quiet;
        SoakRun soak(game, 11);
        soak.Run(1500);
        EXPECT_TRUE(soak.Report().failures.empty()) << soak.Report().Summary();
        fs::remove_all(root);
    }
}
