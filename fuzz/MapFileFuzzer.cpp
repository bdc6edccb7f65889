// Feeds arbitrary bytes to the map reader as the fourth level's file, checks
// what it read, then plays a round on that grid with keys and clicks taken
// from the input, so collision and tile drawing meet every odd tile code and
// start position a file can hold.
#include "fuzz/MapFileChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GameDriver& game = map_fuzzing::Game();
    map_fuzzing::LoadAsLevel(game, data, size);
    map_fuzzing::CheckWhatWasRead(game, data, size);

    const uint8_t first = size > 0 ? data[0] : 0;
    const uint8_t last = size > 1 ? data[size - 1] : 0;
    const bool started = game.StartRound(first % 6, last % 6, GameData::kBusyLevel);
    fuzzing::Require(started, "no round started");
    unsigned keys = first * 131u + last;
    for (int pass = 0; pass < 24; ++pass)
    {
        keys = keys * 1103515245u + 12345u;
        for (int i = 0; i < 2 * GameData::kPlayerKeyCount; ++i)
        {
            const char key =
                GameData::kPlayerKeys[i / GameData::kPlayerKeyCount][i % GameData::kPlayerKeyCount];
            const bool held = (keys >> (i + 8) & 1) != 0;
            if (held)
                game.PressKey(key);
            else
                game.ReleaseKey(key);
        }
        if (pass == 12)
        {
            game.Click(0, 0, 1);
            game.Click(0, 0, 3);
        }
        game.Pass();
    }
    game.ReleaseAllKeys();
    game.PressKey(' ');
    game.PressKey('q');
    return 0;
}
