// The game played for minutes by seeded random input: every invariant holds,
// the same seed plays exactly the recorded game, and spoiled data files
// leave it playing.
#include "objects/Character.h"
#include "tests/TestSupport.h"
#include "tests/driver/SoakRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;
using testing_support::StdoutCapture;

namespace
{
// The recorded digests of the short run; SKIRMORA_UPDATE_REFERENCES=1
// rewrites them when the game changes on purpose.
void ExpectRecordedDigests(const std::vector<uint64_t>& digests)
{
    std::ostringstream text;
    for (const uint64_t digest : digests)
        text << std::hex << digest << "\n";
    const std::string path = testing_support::SourceDir() + "/tests/reference/soak-digests.txt";
    const char* update = std::getenv("SKIRMORA_UPDATE_REFERENCES");
    if (update && std::string(update) == "1")
        testing_support::WriteFile(path, text.str());
    EXPECT_EQ(text.str(), testing_support::ReadFile(path))
        << "the seeded game played differently from the recorded one";
}
} // namespace

TEST(Soak, FiveMinutesKeepEveryInvariantAndPlayTheRecordedGame)
{
    StdoutCapture capture;
    SoakReport report;
    {
        GameDriver game;
        ASSERT_TRUE(game.Started());
        SoakRun run(game, 20260101);
        run.Run(20000);
        report = run.Report();
    }
    const std::string printed = capture.Finish();
    EXPECT_TRUE(report.failures.empty()) << report.Summary();
    EXPECT_GT(report.logicPasses, 18000);
    EXPECT_TRUE(report.MissingTransitions().empty()) << report.Summary();
    EXPECT_GT(report.dayChanges, 0) << report.Summary();
    ExpectRecordedDigests(report.digests);
    // Only the font's lines and, by day, the sun's colour within its pulse.
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.rfind("Loading font: ", 0) == 0 || line.rfind("Free font: ", 0) == 0)
            continue;
        const long colour = std::strtol(line.c_str(), nullptr, 10);
        ASSERT_EQ(std::to_string(colour), line) << "unexpected line";
        EXPECT_TRUE((colour & 0xFF00FF) == 0xFD0000 && (colour >> 8 & 0xFF) >= 0xB8 &&
                    (colour >> 8 & 0xFF) <= 0xFD)
            << line;
    }
}

TEST(Soak, SpoiledDataIsReportedAndTheGameStillPlaysEveryScreen)
{
    // Found by fuzzing: a bare XCF header decodes to a picture of 0 x 0.
    const std::string emptyPicture("gimp xcf A\x86\x89PN", 14);
    const auto each = [](const std::string& root, const std::string& ending,
                         const std::function<void(const fs::path&, int)>& spoil) {
        int i = 0;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            if (entry.is_regular_file() && entry.path().extension() == ending)
                spoil(entry.path(), i++);
    };
    const struct
    {
        const char* name;
        std::function<void(const std::string&)> spoil;
        int fontFailures, fileErrors;
    } cases[] = {
        {"no data at all", [](const std::string& root) { fs::remove_all(root); fs::create_directory(root); }, 1, 2},
        {"garbage pictures",
         [&](const std::string& root) {
             each(root, ".png", [&](const fs::path& path, int i) {
                 const std::string picture = testing_support::ReadFile(path);
                 testing_support::WriteFile(path, i % 3 == 0   ? "not a picture \x01\xff"
                                                  : i % 3 == 1 ? picture.substr(0, 40)
                                                               : emptyPicture);
             });
         },
         0, 0},
        {"maps cut short or empty",
         [&](const std::string& root) {
             each(root, ".txt", [](const fs::path& path, int i) {
                 testing_support::WriteFile(path, testing_support::ReadFile(path).substr(0, i % 2 ? 41 * 15 : 0));
             });
         },
         0, 0},
        {"directories in place of files",
         [](const std::string& root) {
             for (const char* path : {"Cornerstone Regular.ttf", "Resources/maps/background.txt",
                                      "Resources/maps/level2.txt", "Resources/sprites/environment/brick.png",
                                      "Resources/sprites/character/kestoright.png"})
                 fs::remove(root + "/" + path), fs::create_directories(root + "/" + path);
         },
         1, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string root = testing_support::MakeTempDir();
        fs::copy(testing_support::SourceDir() + "/Resources", root + "/Resources", fs::copy_options::recursive);
        fs::copy(testing_support::SourceDir() + "/Cornerstone Regular.ttf", root);
        c.spoil(root);
        testing_support::WorkingDirectory inside(root);
        StdoutCapture capture;
        GameDriver game;
        ASSERT_TRUE(game.Started());
        ASSERT_TRUE(game.StartRound(2, 5, 1));
        game.HoldKeys("dcjn");
        while (game.GetState() == Playing)
            game.Pass(500);
        EXPECT_GE(game.GetScore(1) + game.GetScore(2), 1) << "the round was scored";
        game.PressKey(' ');
        EXPECT_EQ(game.ObjectCount(), 1) << "back on the main menu";
        const std::string printed = capture.Finish();
        StdoutCapture quiet;
        SoakRun soak(game, 11);
        soak.Run(1500);
        EXPECT_TRUE(soak.Report().failures.empty()) << soak.Report().Summary();
        const auto count = [&](const std::string& line) {
            int n = 0;
            for (size_t at = printed.find(line); at != std::string::npos; at = printed.find(line, at + 1))
                ++n;
            return n;
        };
        EXPECT_EQ(count("Font loading failed.\n"), c.fontFailures) << printed;
        EXPECT_EQ(count("error opening file\n"), c.fileErrors) << printed;
        fs::remove_all(root);
    }
}
