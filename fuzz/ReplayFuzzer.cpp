// Feeds arbitrary bytes to the replay reader, with their checksum first made
// right so that damage reaches past it. What it accepts must write back as
// it was read; its first seconds are then watched, sped up, with a jump and
// a return, so the watching meets whatever frames and times a file can hold
// once its start has matched.
#include "game/Replay.h"
#include "tests/driver/GameDriver.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace
{
GameDriver* g_game = nullptr;
// Watching costs a round's set-up: only this many passes of a replay.
constexpr size_t kWatchedPasses = 300;

// A property that does not hold stops the fuzzer, which keeps the input.
void Require(bool holds, const char* what)
{
    if (!holds)
    {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The fighters' sprites are read by relative path, as in play.
    std::filesystem::current_path(SKIRMORA_SOURCE_DIR);
    g_game = new GameDriver(nullptr);
    Require(g_game->Started(), "the game did not start");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<unsigned char> bytes(data, data + size);
    if (size >= 20)
    {
        const uint32_t sum = Replay::Checksum(bytes.data(), size - 4);
        for (int i = 0; i < 4; ++i)
            bytes[size - 4 + static_cast<size_t>(i)] = static_cast<unsigned char>(sum >> (8 * i));
    }
    auto replay = std::make_shared<Replay>();
    std::string why;
    const bool read = replay->Decode(bytes.data(), bytes.size(), why);
    Require(read == why.empty(), "a refusal without a reason, or a reason for no refusal");
    if (!read)
        return 0;
    const std::vector<unsigned char> written = replay->Encode();
    Replay again;
    Require(again.Decode(written.data(), written.size(), why) && again.Encode() == written,
            "what was read does not write back as it was");

    // Its first passes, up to a digest.
    size_t last = std::min(replay->passes.size(), kWatchedPasses) - 1;
    while (!replay->IsCheckpoint(last))
        --last;
    size_t digests = 0;
    for (size_t i = 0; i <= last; ++i)
        digests += replay->IsCheckpoint(i);
    replay->passes.resize(last + 1);
    replay->digests.resize(digests);
    GameDriver& game = *g_game;
    if (!game.WatchReplay(replay))
        return 0;
    game.PressKey(GameData::kFastForwardKey);
    for (int frame = 0; frame < 8 && game.IsWatching(); ++frame)
        game.Pass();
    game.ReleaseKey(GameData::kFastForwardKey);
    for (const int key : {GameData::kNextRingOutKey, GameData::kQuitKey})
        if (game.IsWatching())
            game.PressKey(key);
    Require(!game.IsWatching() && game.GetState() == MainMenu, "watching did not return to the main menu");
    return 0;
}
