// Feeds arbitrary bytes to the map reader as the fourth level's file, checks
// what it read, then plays a round on that grid with keys and clicks taken
// from the input, so collision and tile drawing meet every odd tile code and
// start position a file can hold.
#include "tests/driver/GameDriver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace
{
GameDriver* g_game = nullptr;

// A property that does not hold stops the fuzzer, which keeps the input.
void Require(bool holds, const char* what)
{
    if (!holds)
        std::fprintf(stderr, "property failed: %s\n", what), std::abort();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The game reads by relative path: work in a scratch directory of our own.
    char pattern[] = "/tmp/skirmora-fuzz-XXXXXX";
    std::filesystem::current_path(mkdtemp(pattern));
    std::filesystem::create_directories("Resources/maps");
    g_game = new GameDriver(nullptr); // no font: text is not fuzzed, and slow
    Require(g_game->Started(), "the game did not start");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GameDriver& game = *g_game;
    std::FILE* file = std::fopen(GameData::kLevelFiles[GameData::kBusyLevel], "wb");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    game.LoadLevelFile(GameData::kBusyLevel);
    // Without carriage returns every cell sits at a fixed place in the input;
    // past its end the end-of-file value is stored.
    const size_t line = GameData::kGridColumns + 1;
    for (int row = 0; row < GameData::kGridRows && !std::memchr(data, '\r', size); ++row)
        for (int column = 0; column < GameData::kGridColumns; ++column)
        {
            const size_t at = static_cast<size_t>(row) * line + static_cast<size_t>(column);
            const int c = at < size ? data[at] : EOF;
            Require(game.GetLevelTile(column, row) == static_cast<signed char>(c - '0'),
                    "a cell does not hold its character's value");
        }
    // A start token keeps three characters: "-99" to "999".
    for (const int position :
         {game.GetPlayer1StartX(), game.GetPlayer1StartY(), game.GetPlayer2StartX(), game.GetPlayer2StartY()})
        Require(position >= -99 && position <= 999, "a start position out of token range");

    const uint8_t a = size > 0 ? data[0] : 0, b = size > 1 ? data[size - 1] : 0;
    Require(game.StartRound(a % 6, b % 6, GameData::kBusyLevel), "no round started");
    unsigned keys = a * 131u + b;
    for (int pass = 0; pass < 24; ++pass)
    {
        keys = keys * 1103515245u + 12345u;
        for (int i = 0; i < 10; ++i)
            (keys >> (i + 8) & 1) ? game.PressKey("wasdcijkln"[i]) : game.ReleaseKey("wasdcijkln"[i]);
        if (pass == 12)
            game.Click(0, 0, 1), game.Click(0, 0, 3);
        game.Pass();
    }
    game.ReleaseAllKeys();
    game.PressKey(' ');
    game.PressKey('q');
    return 0;
}
