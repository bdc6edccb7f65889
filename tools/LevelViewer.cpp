// Draws every level as the play screen shows it at night and writes the
// level-select thumbnails; optionally also full-size pictures with the start
// boxes and, on the fourth level, the travel of its moving objects marked.
// Run from the repository root.
// Usage: level_viewer <thumbnail directory> [<full-size directory>]
#include "game/Stage2Engine.h"
#include "tools/LevelPicture.h"
#include "tools/PngFile.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

using namespace GameData;

namespace
{
constexpr uint32_t kPlayer1Mark = 0xFF5050;
constexpr uint32_t kPlayer2Mark = 0x50A0FF;
constexpr int kTile = kTileSize;

bool DrawLevel(Stage2Engine& game, LevelPicture& picture, int index, const char* thumbnailDir,
               const char* fullSizeDir)
{
    // The thumbnail keeps its name, in the directory given.
    const std::string name = std::strrchr(kThumbnailFiles[index], '/') + 1;
    if (!picture.PaintLevel(index) || !PngFile::Save(std::string(thumbnailDir) + "/" + name,
                                                     picture.Thumbnail(kThumbnailWidth, kThumbnailHeight),
                                                     kThumbnailWidth, kThumbnailHeight))
        return false;
    if (!fullSizeDir)
        return true;

    picture.MarkBox(game.GetPlayer1StartX(), game.GetPlayer1StartY(), kTile, kTile, kPlayer1Mark);
    picture.MarkBox(game.GetPlayer2StartX(), game.GetPlayer2StartY(), kTile, kTile, kPlayer2Mark);
    if (index == kBusyLevel)
        picture.MarkFourthLevelObjects();
    return PngFile::Save(std::string(fullSizeDir) + "/" + name, picture.Pixels(), game.GetWindowWidth(),
                         game.GetWindowHeight());
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2 || argc > 3)
    {
        std::fprintf(stderr, "usage: %s <thumbnail directory> [<full-size directory>]\n", argv[0]);
        return 2;
    }
    // The viewer opens no window that anyone sees.
    SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);

    Stage2Engine game;
    if (game.Initialise("Skirmora level viewer", kWindowWidth, kWindowHeight, "", kFontPointSize) != 0)
        return 1;
    LevelPicture picture(game);

    int failures = 0;
    for (int index = 0; index < kLevelCount; ++index)
        if (!DrawLevel(game, picture, index, argv[1], argc == 3 ? argv[2] : nullptr))
        {
            std::fprintf(stderr, "level_viewer: cannot draw %s\n", kLevelFiles[index]);
            ++failures;
        }
    game.Deinitialise();
    return failures == 0 ? 0 : 1;
}
