// Feeds arbitrary bytes to the map reader alone, as the fourth level's file:
// the grid and the start positions' tail are read and checked, and no round
// is played, so a long run reaches millions of inputs. MapFileFuzzer plays a
// round on what it reads.
#include "fuzz/MapFileChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GameDriver& game = map_fuzzing::Game();
    map_fuzzing::LoadAsLevel(game, data, size);
    map_fuzzing::CheckWhatWasRead(game, data, size);
    return 0;
}
