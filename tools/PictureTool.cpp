// Turns the ASCII pixel-art sources of a directory into PNG files.
// Usage: picture_tool <art directory> <output root>
#include "tools/PictureSet.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: %s <art directory> <output root>\n", argv[0]);
        return 2;
    }
    PictureSet pictures;
    std::string error;
    if (!pictures.LoadDirectory(argv[1], error) || !pictures.WriteAll(argv[2], error))
    {
        std::fprintf(stderr, "picture_tool: %s\n", error.c_str());
        return 1;
    }
    std::printf("picture_tool: %zu pictures written under %s\n", pictures.OutputPaths().size(), argv[2]);
    return 0;
}
