#include "game/CommandLine.h"

#include "game/OnlineSession.h"

#include <cstdlib>
#include <cstring>

namespace
{
// A whole decimal number from low to high, or -1.
long Number(const std::string& text, long low, long high)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high ? value : -1;
}
} // namespace

const char* CommandLine::Usage()
{
    return "usage: skirmora [--host [PORT] | --join HOST[:PORT]] [--delay N] | --replay FILE";
}

CommandLine CommandLine::Parse(int argc, const char* const argv[])
{
    CommandLine line;
    line.port = OnlineSession::kDefaultPort;
    bool delayGiven = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        const bool hasNext = i + 1 < argc && argv[i + 1][0] != '-';
        if (argument == "--host" && line.mode == Mode::Play)
        {
            line.mode = Mode::Host;
            if (hasNext)
            {
                const long port = Number(argv[++i], 1, 65535);
                if (port < 0)
                    line.error = "the port must be a number from 1 to 65535";
                line.port = static_cast<uint16_t>(port < 0 ? 0 : port);
            }
        }
        else if (argument == "--join" && line.mode == Mode::Play && hasNext)
        {
            line.mode = Mode::Join;
            const std::string address = argv[++i];
            const size_t colon = address.rfind(':');
            line.host = address.substr(0, colon);
            if (colon != std::string::npos)
            {
                const long port = Number(address.substr(colon + 1), 1, 65535);
                if (port < 0)
                    line.error = "the port must be a number from 1 to 65535";
                line.port = static_cast<uint16_t>(port < 0 ? 0 : port);
            }
            if (line.host.empty())
                line.error = "--join needs a host";
        }
        else if (argument == "--replay" && line.mode == Mode::Play && i + 1 < argc)
        {
            // Any name at all, even one that starts with a dash.
            line.mode = Mode::Replay;
            line.replayFile = argv[++i];
            if (line.replayFile.empty())
                line.error = "--replay needs a FILE";
        }
        else if (argument == "--delay" && hasNext && !delayGiven)
        {
            delayGiven = true;
            const long delay = Number(argv[++i], 0, 8);
            if (delay < 0)
                line.error = "the input delay must be a number of passes from 0 to 8";
            line.inputDelay = static_cast<int>(delay < 0 ? 2 : delay);
        }
        else
            line.error = "unknown or repeated option '" + argument + "'";
        if (!line.error.empty())
            return line;
    }
    if (delayGiven && line.mode != Mode::Host && line.mode != Mode::Join)
        line.error = "--delay is for online games, with --host or --join";
    return line;
}
