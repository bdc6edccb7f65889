#pragma once

// What both map targets check after the reader has read an input as the
// fourth level's file, and how they hand it the input.
#include "fuzz/Require.h"
#include "tests/driver/GameDriver.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace map_fuzzing
{
using fuzzing::Require;

// The game, started on the first input. It reads by relative path, so it
// works in a scratch directory of its own, in memory where the machine has
// one, so that a file per input stays cheap.
inline GameDriver& Game()
{
    static GameDriver* game = [] {
        const char* root = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(root) + "/skirmora-fuzz-XXXXXX";
        std::filesystem::current_path(mkdtemp(pattern.data()));
        std::filesystem::create_directories("Resources/maps");
        return new GameDriver(nullptr); // no font: text is not fuzzed, and slow
    }();
    Require(game->Started(), "the game did not start");
    return *game;
}

// Writes the input as the fourth level's file and has the game read it.
inline void LoadAsLevel(GameDriver& game, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(GameData::kLevelFiles[GameData::kBusyLevel], "wb");
    Require(file != nullptr, "the level file could not be written");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    game.LoadLevelFile(GameData::kBusyLevel);
}

// Without carriage returns every cell sits at a fixed place in the input;
// past its end the end-of-file value is stored. A start token keeps three
// characters, so every start position is within "-99" to "999".
inline void CheckWhatWasRead(const GameDriver& game, const uint8_t* data, size_t size)
{
    const bool fixedPlaces = std::memchr(data, '\r', size) == nullptr;
    const size_t lineLength = GameData::kGridColumns + 1;
    for (int row = 0; fixedPlaces && row < GameData::kGridRows; ++row)
    {
        for (int column = 0; column < GameData::kGridColumns; ++column)
        {
            const size_t at = static_cast<size_t>(row) * lineLength + static_cast<size_t>(column);
            const int character = at < size ? data[at] : EOF;
            const auto expected = static_cast<signed char>(character - '0');
            Require(game.GetLevelTile(column, row) == expected, "a cell does not hold its character's value");
        }
    }
    const int starts[] = {game.GetPlayer1StartX(), game.GetPlayer1StartY(), game.GetPlayer2StartX(),
                          game.GetPlayer2StartY()};
    for (const int position : starts)
        Require(position >= -99 && position <= 999, "a start position out of token range");
}
} // namespace map_fuzzing
