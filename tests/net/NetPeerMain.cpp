// One side of an online game, played headless by a script: it hosts or
// joins, walks the shared menus (the host picks player 1 and the level, the
// guest player 2), then holds seeded random keys for the given seconds of
// game time and prints what the network tests compare: every confirmed digest,
// the round's outcome, and the session's figures.
// Usage: skirmora_netpeer (--host PORT | --join HOST:PORT) [--seconds S]
//        [--seed N] [--delay N] [--level L] [--whole-round]
#include "game/CommandLine.h"
#include "objects/Character.h"
#include "tests/driver/GameDriver.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace GameData;

namespace
{
struct Script
{
    int seconds = 20;
    unsigned seed = 1;
    int level = 0;
    bool wholeRound = false;
};

// Splits off the peer's own options; the rest are the game's.
Script TakeScriptOptions(std::vector<const char*>& arguments)
{
    Script script;
    std::vector<const char*> rest;
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        const std::string option = arguments[i];
        const bool valued = i + 1 < arguments.size();
        if (option == "--seconds" && valued)
            script.seconds = std::atoi(arguments[++i]);
        else if (option == "--seed" && valued)
            script.seed = static_cast<unsigned>(std::atoi(arguments[++i]));
        else if (option == "--level" && valued)
            script.level = std::atoi(arguments[++i]);
        else if (option == "--whole-round")
            script.wholeRound = true;
        else
            rest.push_back(arguments[i]);
    }
    arguments = rest;
    return script;
}

void Report(GameDriver& game, bool host, const Stage2Engine::OnlineFigures& figures)
{
    for (const auto& [pass, digest] : figures.compared)
        std::printf("digest %u %016llx\n", pass, static_cast<unsigned long long>(digest));
    std::printf("state %d\n", static_cast<int>(game.GetState()));
    if (game.GetPlayer1() && game.GetPlayer2() && game.GetState() != MainMenu)
        std::printf("result deaths %d %d won %d %d scores %d %d\n", game.GetPlayer1()->GetDeaths(),
                    game.GetPlayer2()->GetDeaths(), game.GetPlayer1()->HasWon(), game.GetPlayer2()->HasWon(),
                    game.GetScore(1), game.GetScore(2));
    std::printf(
        "figures %s passes %u rollbacks %ld again %ld deepest %u skipped %ld stalled %ld worst_ms %.3f "
        "sent %llu received %llu malformed %ld\n",
        host ? "host" : "guest", figures.passes, figures.rollbacks, figures.passesRunAgain,
        figures.deepestRollback, figures.skipped, figures.stalled, figures.worstPassMs,
        static_cast<unsigned long long>(figures.bytesSent),
        static_cast<unsigned long long>(figures.bytesReceived), figures.malformed);
}
} // namespace

int main(int argc, char* argv[])
{
    std::vector<const char*> arguments(argv, argv + argc);
    const Script script = TakeScriptOptions(arguments);
    const CommandLine line = CommandLine::Parse(static_cast<int>(arguments.size()), arguments.data());
    if (!line.error.empty() || line.mode == CommandLine::Mode::Play)
    {
        std::fprintf(stderr, "netpeer: %s\n",
                     line.error.empty() ? "--host or --join needed" : line.error.c_str());
        return 2;
    }
    const bool host = line.mode == CommandLine::Mode::Host;
    GameDriver game("");
    game.SetInputDelay(line.inputDelay);
    if (host ? !game.HostOnline(line.port) : !game.JoinOnline(line.host, line.port))
        return 2;

    std::mt19937 random(script.seed);
    // The session's figures as they last stood while it lasted.
    Stage2Engine::OnlineFigures figures;
    Uint32 playingSince = 0;
    const int mine = host ? 0 : 1;
    const int status = game.RunMainLoop([&](int pass) {
        const Uint32 now = SDL_GetTicks();
        if (!game.IsOnline())
            return false;
        if (game.GetState() == Playing || game.GetState() == RoundOver)
            figures = game.GetOnlineFigures();
        // The menus: each side acts on its own screens, now and then.
        if (pass % 5 == 0 && game.IsOnlineReady())
        {
            const GameState state = game.GetState();
            if (state == MainMenu && host)
                game.Click(0, 0);
            else if (state == (host ? SelectPlayer1 : SelectPlayer2))
            {
                game.ClickOn(kPortraitHits[host ? 2 : 4]);
                game.ClickOn(kConfirmBox);
            }
            else if (state == SelectLevel && host)
            {
                game.ClickOn(kThumbnailHits[script.level]);
                game.ClickOn(kConfirmBox);
            }
        }
        if (game.GetState() == Playing)
        {
            if (!playingSince)
                playingSince = now;
            if (std::uniform_int_distribution<int>(1, 6)(random) == 1)
            {
                const char key = kPlayerKeys[mine][std::uniform_int_distribution<int>(0, 4)(random)];
                game.IsKeyPressed(key) ? game.ReleaseKey(key) : game.PressKey(key);
            }
        }
        if (script.wholeRound)
            return game.GetState() != RoundOver && game.GetState() != MainMenu;
        // Seconds of game time: 15 ms a pass, however fast the machine.
        const uint32_t passes = static_cast<uint32_t>(script.seconds) * 1000 / 15;
        return !playingSince || figures.passes < passes;
    });
    Report(game, host, figures);
    return status;
}
