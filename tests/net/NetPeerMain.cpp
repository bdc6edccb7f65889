// One side of an online game, played headless by a script: it hosts or
// joins, walks the shared menus (the host picks player 1 and the level, the
// guest player 2), then holds seeded random keys (or hands its seat to the
// computer) for the given seconds of game time, or for whole rounds, and
// prints what the network tests compare: every confirmed digest, each
// round's outcome, and the session's figures. With --measure it also times
// how many passes after a key press its fighter moves.
// Usage: skirmora_netpeer (--host PORT | --join HOST:PORT) [--seconds S]
//        [--rounds N] [--computer LEVEL] [--measure] [--seed N] [--delay N]
//        [--level L]
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
    int rounds = 0;   // whole rounds, instead of seconds
    int computer = 0; // 1 easy, 2 normal, 3 hard
    bool measure = false;
    unsigned seed = 1;
    int level = 0;
};

// Times, now and then, how many passes after a press of the right key the
// fighter starts to move: every 90 passes it lets go of every key, waits
// for the fighter to stand still, then presses.
class LatencyProbe
{
public:
    void Step(GameDriver& game, int mine, uint32_t pass)
    {
        const Character* fighter = mine == 0 ? game.GetPlayer1() : game.GetPlayer2();
        if (!fighter)
            return;
        const char right = kPlayerKeys[mine][static_cast<int>(PlayerAction::Right)];
        if (m_pressedAt && fighter->GetX() != m_x)
        {
            latencies.push_back(pass - m_pressedAt);
            m_pressedAt = 0;
            game.ReleaseKey(right);
        }
        if (pass % 90 == 0)
        {
            game.ReleaseAllKeys();
            m_pressedAt = 0;
        }
        else if (pass % 90 == 60 && fighter->IsOnGround() && fighter->GetVelocityX() == 0.0f)
        {
            m_x = fighter->GetX();
            m_pressedAt = pass;
            game.PressKey(right);
        }
    }
    std::vector<uint32_t> latencies;

private:
    uint32_t m_pressedAt = 0;
    int m_x = 0;
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
        else if (option == "--rounds" && valued)
            script.rounds = std::atoi(arguments[++i]);
        else if (option == "--computer" && valued)
            script.computer = std::atoi(arguments[++i]);
        else if (option == "--measure")
            script.measure = true;
        else
            rest.push_back(arguments[i]);
    }
    arguments = rest;
    return script;
}

void ReportRound(GameDriver& game)
{
    const Character* one = game.GetPlayer1();
    const Character* two = game.GetPlayer2();
    std::printf("result deaths %d %d", one->GetDeaths(), two->GetDeaths());
    std::printf(" won %d %d", one->HasWon(), two->HasWon());
    std::printf(" scores %d %d\n", game.GetScore(1), game.GetScore(2));
}

void Report(GameDriver& game, bool host, const Stage2Engine::OnlineFigures& figures)
{
    for (const auto& [pass, digest] : figures.compared)
        std::printf("digest %u %016llx\n", pass, static_cast<unsigned long long>(digest));
    std::printf("state %d\n", static_cast<int>(game.GetState()));
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
    if (!line.error.empty() || (line.mode != CommandLine::Mode::Host && line.mode != CommandLine::Mode::Join))
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
    LatencyProbe probe;
    bool playing = false;
    int roundsPlayed = 0;
    Uint32 doneAt = 0;
    const int mine = host ? 0 : 1;
    const int status = game.RunMainLoop([&](int pass) {
        if (!game.IsOnline())
            return false;
        const GameState state = game.GetState();
        if (state == Playing || state == RoundOver)
            figures = game.GetOnlineFigures();
        // The menus: each side acts on its own screens, now and then.
        if (pass % 5 == 0 && game.IsOnlineReady())
        {
            if (state == MainMenu && host)
                game.Click(0, 0);
            else if (state == (host ? SelectPlayer1 : SelectPlayer2))
            {
                while (static_cast<int>(game.GetSeatChoice(mine + 1)) != script.computer)
                    game.PressKey(kSeatKey);
                game.ClickOn(kPortraitHits[host ? 2 : 4]);
                game.ClickOn(kConfirmBox);
            }
            else if (state == SelectLevel && host)
            {
                game.ClickOn(kThumbnailHits[script.level]);
                game.ClickOn(kConfirmBox);
            }
        }
        if (state == Playing)
        {
            playing = true;
            if (script.measure)
                probe.Step(game, mine, figures.passes);
            else if (!script.computer && std::uniform_int_distribution<int>(1, 6)(random) == 1)
            {
                const char key = kPlayerKeys[mine][std::uniform_int_distribution<int>(0, 4)(random)];
                game.IsKeyPressed(key) ? game.ReleaseKey(key) : game.PressKey(key);
            }
        }
        if (state == RoundOver && playing)
        {
            playing = false;
            ++roundsPlayed;
            ReportRound(game);
            if (host && roundsPlayed < script.rounds)
                game.PressKey(kPauseKey); // back to the menu, for both
        }
        // After the last round, a moment for the other side to finish it too.
        if (script.rounds && roundsPlayed == script.rounds && !doneAt)
            doneAt = SDL_GetTicks();
        if (script.rounds)
            return !doneAt || SDL_GetTicks() < doneAt + 2000;
        // Seconds of game time: 15 ms a pass, however fast the machine.
        const uint32_t passes = static_cast<uint32_t>(script.seconds) * 1000 / 15;
        return !playing || figures.passes < passes;
    });
    for (const uint32_t latency : probe.latencies)
        std::printf("latency %u\n", latency);
    Report(game, host, figures);
    return status;
}
