// Runs the game's real main loop for a number of seconds with a scripted
// round and reports how evenly its logic passes are paced.
// Usage: skirmora_pacing [seconds]   (default 20; video driver from SDL's
// usual SDL_VIDEODRIVER, so it runs under Xvfb or headless)
#include "bench/PacingProbe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    int status = 0;
    {
        PacingProbe probe(seconds);
        status = probe.Initialise("My Demonstration Program : Size 960 x 720", 960, 720,
                                  "Cornerstone Regular.ttf", 24);
        if (status == 0)
            status = probe.MainLoop();
        probe.Deinitialise();
        probe.PrintReport(stderr);
    }
    return status;
}
