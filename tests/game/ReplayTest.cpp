// Replays: a round by day with a computer seat, watched again, goes the same
// way pass for pass, sounds the same, prints nothing and puts the result
// screen back as it was; a changed frame stops it; saved, it reads back as
// it was. A saved round (of an earlier build) plays again exactly, and
// watching it pauses, speeds up and jumps to each ring-out. Spoiled files
// are refused with one line.
#include "game/Replay.h"
#include "objects/Character.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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

// A computer of the test's own: it runs at player 1 and now and then jumps
// or dashes, deciding after each pass from the round and a generator that it
// keeps in the round's snapshot.
class Chaser final : public InputSource
{
public:
    Chaser() { ClearState(m_state); }
    InputFrame NextFrame() override
    {
        InputFrame frame;
        frame.held = static_cast<uint8_t>(m_state.held);
        return frame;
    }
    void AfterPass(const Stage2Engine& game) override
    {
        m_state.seed = m_state.seed * 1103515245u + 12345u;
        InputFrame frame;
        frame.Hold(game.GetPlayer1()->GetX() < game.GetPlayer2()->GetX() ? PlayerAction::Left
                                                                         : PlayerAction::Right);
        if ((m_state.seed >> 16) % 9 == 0)
            frame.Hold((m_state.seed >> 20) % 2 ? PlayerAction::Jump : PlayerAction::Attack);
        m_state.held = frame.held;
    }
    void SaveState(StateBytes& out) const override { AppendState(out, m_state); }
    bool LoadState(StateReader& in) override { return in.Load(m_state); }
    SeatKind Kind() const override { return SeatKind::ComputerNormal; }

private:
    struct
    {
        uint32_t seed;
        uint32_t held;
    } m_state;
};

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

// Plays a round to its end against the chaser, with player 1's keys and
// lever clicks at random, a pause, now and then a late pass and once a
// stall; a frame is drawn before the first pass, or not.
Shown PlayRound(GameDriver& game, uint32_t seed, int level, bool drawFirst)
{
    std::mt19937 random(seed);
    game.SetSeatSource(2, std::make_unique<Chaser>());
    EXPECT_TRUE(game.StartRound(1, 4, level));
    if (drawFirst)
        game.RenderFrame();
    game.cues.clear();
    Shown shown;
    for (int pass = 0; game.GetState() != RoundOver; ++pass)
    {
        const char key = kPlayerKeys[0][random() % kPlayerKeyCount];
        if (random() % 10 == 0)
            game.IsKeyPressed(key) ? game.ReleaseKey(key) : game.PressKey(key);
        if (random() % 150 == 0)
            game.Click(0, 0, kLeftButton);
        if (pass == 2000 || pass == 2030)
            game.PressKey(kPauseKey);
        const size_t passes = game.GetRecording()->passes.size();
        const bool wasOut[] = {game.GetPlayer1()->IsOutOfArena(), game.GetPlayer2()->IsOutOfArena()};
        const int elapsed = pass == 1500 ? 80 : pass % 97 == 0 ? 23 : 15;
        const uint64_t digest = Tick(game, elapsed);
        if (game.GetRecording()->passes.size() == passes)
            continue;
        shown.digests.push_back(digest);
        if ((!wasOut[0] && game.GetPlayer1()->IsOutOfArena()) ||
            (!wasOut[1] && game.GetPlayer2()->IsOutOfArena()))
            shown.ringOuts.push_back(passes);
    }
    // The pause is no pass of the round.
    for (const auto& [name, volume] : game.cues)
        if (name != "pause" && name != "resume")
            shown.cues.emplace_back(name, volume);
    game.ReleaseAllKeys();
    return shown;
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
    const int scores[] = {game.GetScore(1), game.GetScore(2)};
    const uint64_t result = game.RoundDigest();
    StdoutCapture capture;
    game.cues.clear();
    game.PressKey(kWatchKey);
    Shown watched;
    while (game.IsWatching())
        if (const uint64_t digest = Tick(game); game.IsWatching())
            watched.digests.push_back(digest);
    watched.cues = game.cues;
    EXPECT_EQ(capture.Finish(), "") << "a watched round by day prints no sun";
    // The last pass ends the watching, which shows the result screen again.
    EXPECT_EQ(watched.digests, std::vector<uint64_t>(played.digests.begin(), played.digests.end() - 1));
    EXPECT_EQ(watched.cues, played.cues);
    EXPECT_EQ(game.GetReplayMessage(), "") << "every digest met";
    EXPECT_EQ(game.GetState(), RoundOver);
    EXPECT_EQ(game.GetScore(1), scores[0]);
    EXPECT_EQ(game.GetScore(2), scores[1]);
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
        EXPECT_TRUE(std::any_of(played.ringOuts.begin(), played.ringOuts.end(),
                                [&](size_t ringOut) {
                                    return passes[ringOut].time - passes[landed].time <= kRingOutLeadMs &&
                                           passes[ringOut].time - passes[landed - 1].time > kRingOutLeadMs;
                                }))
            << "landed at pass " << landed;
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
        setenv("XDG_DATA_HOME", (place.data[0] == '/' ? temp + place.data : place.data).c_str(), 1);
        setenv("HOME", (temp + "/home").c_str(), 1);
        game.PressKey(kSaveReplayKey);
        EXPECT_EQ(game.GetReplayMessage(), place.folder ? "Replay saved" : "Replay not saved");
        if (!place.folder)
            continue;
        ASSERT_TRUE(fs::is_directory(temp + place.folder)) << place.data;
        const fs::path saved = fs::directory_iterator(temp + place.folder)->path();
        EXPECT_EQ(saved.filename().string().substr(15), "-level4.skirmora-replay");
        EXPECT_LE(fs::file_size(saved), 20u * 1024u) << "a two-minute round";
        Replay read;
        std::string why;
        ASSERT_TRUE(read.Read(saved.string(), why)) << why;
        EXPECT_TRUE(read.passes == game.GetRecording()->passes);
        EXPECT_EQ(read.Encode(), game.GetRecording()->Encode()) << "the start, the seats and the digests";
    }
    EXPECT_EQ(game.GetScore(1), scores[0]) << "nothing of it touched the round";
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
    EXPECT_EQ(game.GetScore(1) + game.GetScore(2), 0);
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
        const std::string command = "HOME=" + temp + "/home XDG_DATA_HOME= " + SKIRMORA_PROGRAM +
                                    " --replay " + path + " >" + temp + "/out 2>" + temp + "/err";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 2);
        EXPECT_EQ(testing_support::ReadFile(temp + "/err"), "skirmora: " + why + "\n");
        EXPECT_EQ(testing_support::ReadFile(temp + "/out"), "");
    }
    const int status =
        std::system((std::string(SKIRMORA_PROGRAM) + " --replai x 2>" + temp + "/err").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_NE(testing_support::ReadFile(temp + "/err").find("usage: skirmora [--replay FILE]"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(temp + "/home")) << "nothing written";
    fs::remove_all(temp);
}
