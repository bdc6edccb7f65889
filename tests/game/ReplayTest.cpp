// Replays: a round by day with a computer seat, watched again, goes the same
// way pass for pass, sounds the same, prints nothing and puts the result
// screen back as it was; a changed frame stops it; saved, it reads back as
// it was. A saved round (of an earlier build) plays again exactly, and
// watching it pauses and speeds up. An online round is recorded alike on
// both machines. Spoiled files and options are refused with one line.
#include "game/Replay.h"
#include "game/CommandLine.h"
#include "objects/Character.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;
using namespace GameData;
using testing_support::StdoutCapture;

namespace
{
using Cues = std::vector<std::pair<std::string, float>>;

// What a round showed: the round's digest after each pass (before its
// frame), the cues, and the passes in which a player went out.
struct Shown
{
    std::vector<uint64_t> digests;
    Cues cues;
    std::vector<size_t> ringOuts;
};

// One pass of the main loop, as GameDriver::Pass runs it, with the round's
// digest taken between the frame logic and the frame.
uint64_t Tick(GameDriver& game, int elapsedMs = 15)
{
    game.SetFrameTick(game.GetFrameTick() + elapsedMs);
    game.DoFrameLogic();
    const uint64_t digest = game.RoundDigest();
    game.RenderFrame();
    return digest;
}

// The loop's step before a pass: now and then late, once a stall.
int StepBefore(int pass)
{
    if (pass == 1500)
        return 80;
    if (pass % 97 == 0)
        return 23;
    return 15;
}

bool WentOut(GameDriver& game, const bool wasOut[2])
{
    if (!wasOut[0] && game.GetPlayer1()->IsOutOfArena())
        return true;
    return !wasOut[1] && game.GetPlayer2()->IsOutOfArena();
}

// Plays a round to its end against the computer, with player 1's keys and
// lever clicks at random, a pause, and the loop's odd steps; a frame is
// drawn before the first pass, or not.
Shown PlayRound(GameDriver& game, uint32_t seed, int level, bool drawFirst)
{
    std::mt19937 random(seed);
    game.SetSeatChoice(2, SeatChoice::ComputerNormal);
    EXPECT_TRUE(game.StartRound(1, 4, level));
    if (drawFirst)
        game.RenderFrame();
    game.cues.clear();
    Shown shown;
    for (int pass = 0; game.GetState() != RoundOver; ++pass)
    {
        const char key = kPlayerKeys[0][random() % kPlayerKeyCount];
        const bool toggle = random() % 10 == 0;
        if (toggle && game.IsKeyPressed(key))
            game.ReleaseKey(key);
        else if (toggle)
            game.PressKey(key);
        if (random() % 150 == 0)
            game.Click(0, 0, kLeftButton);
        if (pass == 2000 || pass == 2030)
            game.PressKey(kPauseKey);
        const size_t passes = game.GetRecording()->passes.size();
        const bool wasOut[2] = {game.GetPlayer1()->IsOutOfArena(), game.GetPlayer2()->IsOutOfArena()};
        const uint64_t digest = Tick(game, StepBefore(pass));
        if (game.GetRecording()->passes.size() == passes)
            continue;
        shown.digests.push_back(digest);
        if (WentOut(game, wasOut))
            shown.ringOuts.push_back(passes);
    }
    // The pause is no pass of the round.
    for (const auto& [name, volume] : game.cues)
        if (name != "pause" && name != "resume")
            shown.cues.emplace_back(name, volume);
    game.ReleaseAllKeys();
    return shown;
}

// Whether a jump landed on the first pass of the last three seconds before
// one of the ring-outs.
bool LandsBeforeARingOut(const std::vector<RoundPass>& passes, const std::vector<size_t>& ringOuts,
                         size_t landed)
{
    for (const size_t ringOut : ringOuts)
    {
        const int ahead = passes[ringOut].time - passes[landed].time;
        const int aheadOfTheOneBefore = passes[ringOut].time - passes[landed - 1].time;
        if (ahead <= kRingOutLeadMs && aheadOfTheOneBefore > kRingOutLeadMs)
            return true;
    }
    return false;
}

std::string ReferenceReplay()
{
    return testing_support::SourceDir() + "/tests/reference/round.skirmora-replay";
}
} // namespace

TEST(Replay, ARoundWatchedAgainGoesTheSameWayJumpsToRingOutsAndSavedReadsBackAsItWas)
{
    GameDriver game("");
    game.ToggleDaytime();
    Shown played;
    {
        StdoutCapture sunColours;
        game.SetFrameTick(1000);
        played = PlayRound(game, 5, kBusyLevel, true);
    }
    EXPECT_EQ(game.GetRecording()->seats[1], SeatChoice::ComputerNormal);
    const int score1 = game.GetScore(1);
    const int score2 = game.GetScore(2);
    const uint64_t result = game.RoundDigest();
    StdoutCapture capture;
    game.cues.clear();
    game.PressKey(kWatchKey);
    Shown watched;
    while (game.IsWatching())
    {
        const uint64_t digest = Tick(game);
        if (game.IsWatching())
            watched.digests.push_back(digest);
    }
    watched.cues = game.cues;
    EXPECT_EQ(capture.Finish(), "") << "a watched round by day prints no sun";
    // The last pass ends the watching, which shows the result screen again.
    played.digests.pop_back();
    EXPECT_EQ(watched.digests, played.digests);
    EXPECT_EQ(watched.cues, played.cues);
    EXPECT_EQ(game.GetReplayMessage(), "") << "every digest met";
    EXPECT_EQ(game.GetState(), RoundOver);
    EXPECT_EQ(game.GetScore(1), score1);
    EXPECT_EQ(game.GetScore(2), score2);
    EXPECT_EQ(game.RoundDigest(), result) << "the result screen as it was";

    // Each n lands on the first pass of the last three seconds before a
    // ring-out ahead, in the round as it was there.
    ASSERT_GE(played.ringOuts.size(), 3u);
    const std::vector<RoundPass>& passes = game.GetRecording()->passes;
    game.PressKey(kWatchKey);
    size_t now = 0;
    for (int jump = 0; jump < 3; ++jump)
    {
        game.PressKey(kNextRingOutKey);
        const size_t landed = game.GetWatchedPass();
        EXPECT_GT(landed, now);
        EXPECT_TRUE(LandsBeforeARingOut(passes, played.ringOuts, landed)) << "landed at pass " << landed;
        EXPECT_EQ(Tick(game), played.digests[landed]);
        now = landed + 1;
    }
    game.PressKey(kQuitKey);
    EXPECT_EQ(game.RoundDigest(), result) << "the result screen as it was";
    // s held from the round and repeating saves nothing.
    SDL_Event held{SDL_KEYDOWN};
    held.key.keysym.sym = kSaveReplayKey;
    held.key.repeat = 1;
    game.DispatchEvent(held);
    EXPECT_EQ(game.GetReplayMessage(), "");

    // Player 1 dashing left for a while instead: watching stops at the
    // next digest.
    auto changed = std::make_shared<Replay>(*game.GetRecording());
    for (size_t pass = 100; pass < 130; ++pass)
        changed->passes[pass].seats[0].held = 1 << static_cast<int>(PlayerAction::Left);
    ASSERT_TRUE(game.WatchReplay(changed));
    for (int pass = 0; pass < 200 && game.IsWatching(); ++pass)
        game.Pass(15);
    EXPECT_FALSE(game.IsWatching());
    EXPECT_EQ(game.GetReplayMessage(), "Replay stopped");
    EXPECT_EQ(game.RoundDigest(), result) << "the result screen as it was";

    // s saves into the data folder: $XDG_DATA_HOME when absolute, else
    // $HOME/.local/share; a folder that cannot be made is reported.
    const std::string temp = testing_support::MakeTempDir();
    testing_support::WriteFile(temp + "/file", "");
    const struct
    {
        const char* data;
        const char* folder;
    } places[] = {{"/data", "/data/skirmora/replays"},
                  {"relative", "/home/.local/share/skirmora/replays"},
                  {"/file", nullptr}};
    for (const auto& place : places)
    {
        SCOPED_TRACE(place.data);
        const std::string data = place.data[0] == '/' ? temp + place.data : place.data;
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        setenv("HOME", (temp + "/home").c_str(), 1);
        game.PressKey(kSaveReplayKey);
        EXPECT_EQ(game.GetReplayMessage(), place.folder ? "Replay saved" : "Replay not saved");
        if (!place.folder)
            continue;
        ASSERT_TRUE(fs::is_directory(temp + place.folder));
        const fs::path saved = fs::directory_iterator(temp + place.folder)->path();
        EXPECT_EQ(saved.filename().string().substr(15), "-level4.skirmora-replay");
        EXPECT_LE(fs::file_size(saved), 20u * 1024u) << "a two-minute round";
        Replay read;
        std::string why;
        ASSERT_TRUE(read.Read(saved.string(), why)) << why;
        EXPECT_TRUE(read.passes == game.GetRecording()->passes);
        EXPECT_EQ(read.Encode(), game.GetRecording()->Encode()) << "the start, the seats and the digests";
    }
    EXPECT_EQ(game.GetScore(1), score1) << "nothing of it touched the round";
    fs::remove_all(temp);
}

TEST(Replay, TheReferenceRoundPlaysExactlyAndWatchingPausesAndSpeedsUp)
{
    GameDriver game;
    if (const char* update = std::getenv("SKIRMORA_UPDATE_REFERENCES"); update && std::string(update) == "1")
    {
        GameDriver recorder("");
        PlayRound(recorder, 9, 1, false);
        const std::vector<unsigned char> bytes = recorder.GetRecording()->Encode();
        testing_support::WriteFile(ReferenceReplay(), std::string(bytes.begin(), bytes.end()));
    }
    auto replay = std::make_shared<Replay>();
    std::string why;
    ASSERT_TRUE(replay->Read(ReferenceReplay(), why)) << why << " (scripts/update-references makes it anew)";
    ASSERT_TRUE(game.WatchReplay(replay));
    const auto labelPixels = [&game] {
        return testing_support::CountRgb(game.GetForeground(), kCyan, kReplayLabelText.x, 0, 780, kHudHeight);
    };
    game.Pass(15);
    const int label = labelPixels();
    EXPECT_GT(label, 30) << "the label";
    game.PressKey(kPauseKey);
    game.Pass(15);
    EXPECT_NE(labelPixels(), label) << "the label says paused";
    for (int i = 0; i < 5; ++i)
        game.Pass(15);
    EXPECT_EQ(game.GetWatchedPass(), 1u) << "paused";
    game.PressKey(kPauseKey);
    game.Pass(15);
    EXPECT_EQ(game.GetWatchedPass(), 2u);
    game.PressKey(kFastForwardKey);
    game.Pass(15);
    EXPECT_EQ(game.GetWatchedPass(), 2u + kFastForwardPasses);
    game.ReleaseKey(kFastForwardKey);

    // To the end four times as fast, then the main menu as it was.
    game.PressKey(kFastForwardKey);
    while (game.IsWatching())
        game.Pass(15);
    EXPECT_EQ(game.GetReplayMessage(), "") << "every digest met";
    EXPECT_EQ(game.GetState(), MainMenu);
    EXPECT_EQ(game.GetScore(1), 0);
    EXPECT_EQ(game.GetScore(2), 0);
    EXPECT_EQ(labelPixels(), 0);
    // q returns at once.
    ASSERT_TRUE(game.WatchReplay(replay));
    game.PressKey(kQuitKey);
    EXPECT_FALSE(game.IsWatching());
}

TEST(Replay, SpoiledFilesAreRefusedWithOneLineAndExitStatus2)
{
    const std::string good = testing_support::ReadFile(ReferenceReplay());
    const auto withChecksum = [](std::string bytes) {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        const uint32_t sum = Replay::Checksum(data, bytes.size() - 4);
        for (int i = 0; i < 4; ++i)
            bytes[bytes.size() - 4 + i] = static_cast<char>(sum >> (8 * i));
        return bytes;
    };
    const auto patched = [&good](size_t at, char value) {
        std::string bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const std::string temp = testing_support::MakeTempDir();
    const struct
    {
        const char* name;
        std::string bytes;
        const char* why;
    } cases[] = {
        {"empty", "", "is empty, not a replay"},
        {"cut", good.substr(0, good.size() / 2), "is cut short"},
        {"damaged", patched(good.size() / 2, static_cast<char>(good[good.size() / 2] ^ 0x10)), "checksum"},
        {"foreign", testing_support::ReadFile("Resources/maps/level1.png"), "is not a Skirmora replay"},
        {"huge", std::string(Replay::kMaxFileBytes + 1, 'S'), "is too large to be a replay"},
        {"format", patched(8, 9), "is in replay format 9"},
        {"rules", withChecksum(patched(10, 99)), "simulation version 99; this game plays version"},
        {"level", withChecksum(patched(16, 9)), "its set-up is invalid"},
        {"folder", "", "is a folder"},
        {"missing", "", "cannot be read (No such file"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string path = temp + "/" + c.name;
        if (std::string(c.name) == "folder")
            fs::create_directory(path);
        else if (std::string(c.name) != "missing")
            testing_support::WriteFile(path, c.bytes);
        Replay replay;
        std::string why;
        EXPECT_FALSE(replay.Read(path, why));
        EXPECT_EQ(why.find(path + " "), 0u) << why;
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
        // The program says the same in one line, opens no window and
        // writes nothing.
        const std::string command = "HOME=" + temp + "/home XDG_DATA_HOME= timeout 60 " + SKIRMORA_PROGRAM +
                                    " --replay " + path + " >" + temp + "/out 2>" + temp + "/err";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 2);
        EXPECT_EQ(testing_support::ReadFile(temp + "/err"), "skirmora: " + why + "\n");
        EXPECT_EQ(testing_support::ReadFile(temp + "/out"), "");
    }
    EXPECT_FALSE(fs::exists(temp + "/home")) << "nothing written";
    fs::remove_all(temp);
}

TEST(Replay, TheCommandLineTakesOneReplayFileAndNothingOnlineBesideIt)
{
    const struct
    {
        std::vector<const char*> arguments;
        CommandLine::Mode mode;
        const char* file;
        const char* error;
    } cases[] = {
        {{"--replay", "a.skirmora-replay"}, CommandLine::Mode::Replay, "a.skirmora-replay", ""},
        {{"--replay", "-dashed"}, CommandLine::Mode::Replay, "-dashed", ""},
        {{"--replay"}, CommandLine::Mode::Play, "", "unknown or repeated option '--replay'"},
        {{"--replay", ""}, CommandLine::Mode::Replay, "", "--replay needs a FILE"},
        {{"--replay", "a", "--replay", "b"}, CommandLine::Mode::Replay, "a", "repeated option '--replay'"},
        {{"--host", "--replay", "a"}, CommandLine::Mode::Host, "", "repeated option '--replay'"},
        {{"--replay", "a", "--join", "h"}, CommandLine::Mode::Replay, "a", "repeated option '--join'"},
        {{"--replay", "a", "--delay", "3"}, CommandLine::Mode::Replay, "a", "--delay is for online games"},
    };
    for (const auto& c : cases)
    {
        std::vector<const char*> argv = {"skirmora"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const CommandLine line = CommandLine::Parse(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(c.arguments.size() > 1 ? c.arguments[1] : c.arguments[0]);
        EXPECT_EQ(line.mode, c.mode);
        EXPECT_EQ(line.replayFile, c.file);
        EXPECT_NE(line.error.find(c.error), std::string::npos) << line.error;
        EXPECT_EQ(line.error.empty(), std::string(c.error).empty()) << line.error;
    }
    const std::string usage = CommandLine::Usage();
    EXPECT_NE(usage.find("--replay FILE"), std::string::npos);
}

// Two games in one process play a short round online, keys held on the
// host's side; each records it alike, watching is refused while online, and
// a third game watches the host's recording through every digest.
TEST(Replay, AnOnlineRoundIsRecordedAlikeOnBothMachinesAndPlaysAgainLocally)
{
    GameDriver host("");
    host.SetRoundSeconds(8);
    ASSERT_TRUE(host.HostOnline(0));
    GameDriver guest("");
    ASSERT_TRUE(guest.JoinOnline("127.0.0.1", host.GetOnlinePort()));
    // Without input delay, and run before the host in each step, the guest
    // guesses the host's keys for the pass, and runs passes again when a
    // guess was wrong.
    host.SetInputDelay(0);
    guest.SetInputDelay(0);
    std::mt19937 random(3);
    const std::function<void()> step = [&] {
        const char key = kPlayerKeys[0][random() % kPlayerKeyCount];
        const bool toggle = host.GetState() == Playing && random() % 8 == 0;
        if (toggle && host.IsKeyPressed(key))
            host.ReleaseKey(key);
        else if (toggle)
            host.PressKey(key);
        guest.Pass(15);
        host.Pass(15);
        SDL_Delay(1);
    };
    for (int i = 0; i < 2000 && !(host.IsOnlineReady() && guest.IsOnlineReady()); ++i)
        step();
    host.Click(0, 0);
    for (int i = 0; i < 2000 && guest.GetState() != SelectPlayer1; ++i)
        step();
    host.ClickOn(kPortraitHits[1]);
    host.ClickOn(kConfirmBox);
    for (int i = 0; i < 2000 && guest.GetState() != SelectPlayer2; ++i)
        step();
    guest.ClickOn(kPortraitHits[4]);
    guest.ClickOn(kConfirmBox);
    for (int i = 0; i < 2000 && host.GetState() != SelectLevel; ++i)
        step();
    host.ClickOn(kThumbnailHits[kBusyLevel]);
    host.ClickOn(kConfirmBox);
    for (int i = 0; i < 4000 && (host.GetState() != RoundOver || guest.GetState() != RoundOver); ++i)
        step();
    ASSERT_EQ(host.GetState(), RoundOver);
    ASSERT_EQ(guest.GetState(), RoundOver);
    host.ReleaseAllKeys();

    const Replay& hosted = *host.GetRecording();
    const Replay& joined = *guest.GetRecording();
    ASSERT_EQ(hosted.passes.size(), joined.passes.size());
    EXPECT_EQ(hosted.passes.size(), host.GetOnlineFigures().passes) << "to the one that ended the round";
    EXPECT_GT(guest.GetOnlineFigures().rollbacks, 0);
    // The pass that ends the round reads no frame, and may run on a guess.
    for (size_t pass = 0; pass + 1 < hosted.passes.size(); ++pass)
        EXPECT_TRUE(hosted.passes[pass] == joined.passes[pass]) << "pass " << pass;
    EXPECT_EQ(hosted.startDigest, joined.startDigest);
    EXPECT_EQ(hosted.digests, joined.digests);
    host.PressKey(kWatchKey);
    EXPECT_FALSE(host.IsWatching()) << "the screens are shared while online";

    GameDriver alone("");
    ASSERT_TRUE(alone.WatchReplay(std::make_shared<Replay>(hosted)));
    while (alone.IsWatching())
        alone.Pass(15);
    EXPECT_EQ(alone.GetReplayMessage(), "") << "every digest met";
    EXPECT_EQ(alone.GetState(), MainMenu);
}
