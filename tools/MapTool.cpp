// Turns the readable map sources of a directory into the game's map files.
// Usage: map_tool <map source directory> <output directory>
#include "tools/MapSource.h"
#include "tools/SourceDirectory.h"

#include <cstdio>
#include <fstream>

int main(int argc, char* argv[])
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s <map source directory> <output directory>\n", argv[0]);
        return 2;
    }
    std::vector<SourceDirectory::Source> sources;
    std::string error;
    if (!SourceDirectory::Read(argv[1], ".map", sources, error))
    {
        std::fprintf(stderr, "map_tool: %s\n", error.c_str());
        return 1;
    }
    for (const auto& source : sources)
    {
        MapSource map;
        if (!map.Parse(source.text, error))
        {
            std::fprintf(stderr, "map_tool: %s: %s\n", source.path.c_str(), error.c_str());
            return 1;
        }
        const std::string target = std::string(argv[2]) + "/" + map.GetOutput();
        std::ofstream out(target, std::ios::binary);
        out << map.MapFileText();
        out.close();
        if (!out)
        {
            std::fprintf(stderr, "map_tool: cannot write %s\n", target.c_str());
            return 1;
        }
    }
    std::printf("map_tool: %zu maps written to %s\n", sources.size(), argv[2]);
    return 0;
}
