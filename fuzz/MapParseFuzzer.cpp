// Feeds arbitrary bytes to the map reader alone, as the fourth level's file:
// the grid and the start positions' tail are read and checked, and no round
// is played, so a long run reaches millions of inputs. MapFileFuzzer plays a
// round on what it reads.
#include "fuzz/MapFileChecks.h"

namespace
{
GameDriver* g_game = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_game = map_fuzzing::StartInScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    map_fuzzing::LoadAsLevel(*g_game, data, size);
    map_fuzzing::CheckWhatWasRead(*g_game, data, size);
    return 0;
}
