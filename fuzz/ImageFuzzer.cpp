// Feeds arbitrary bytes to the image path every picture of the game takes:
// load, resample to the sizes the game shows, and copy into a surface opaque
// and masked at places that need clipping on every side.
#include "engine/PixelImage.h"
#include "fuzz/Require.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{
std::string* g_input = nullptr;
SDL_Surface* g_surface = nullptr;
} // namespace

using fuzzing::Require;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/skirmora-fuzz-XXXXXX";
    g_input = new std::string(std::string(mkdtemp(pattern)) + "/input.png");
    g_surface = SDL_CreateRGBSurface(0, 64, 48, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(g_input->c_str(), "wb");
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    PixelImage loaded;
    const bool ok = loaded.LoadImage(g_input->c_str());
    Require(ok == loaded.HasPixels(), "the load result and the pixels disagree");
    // A decoder may deliver a picture of 0 x 0 pixels: loaded, with nothing in it.
    Require(ok || loaded.GetWidth() == 0, "a failed load kept a width");
    Require(ok || loaded.GetHeight() == 0, "a failed load kept a height");
    const bool anyPixel = ok && loaded.GetWidth() > 0 && loaded.GetHeight() > 0;
    // Tile and sprite, portrait, thumbnail; the large ones only for real pictures.
    const int sizes[][2] = {{24, 24}, {150, 150}, {300, 225}};
    for (const auto& [width, height] : sizes)
    {
        PixelImage resized;
        resized.ResizeFrom(loaded, width, height, width > 24);
        Require(resized.GetWidth() == width && resized.GetHeight() == height, "resampled to the wrong size");
        for (int i = 0; i < width * height; ++i)
        {
            Require(resized.GetPixels()[i] >> 24 == 0, "a resampled pixel kept an alpha byte");
            Require(anyPixel || resized.GetPixels()[i] == 0, "a resampled pixel came from nothing");
        }
        for (const auto& [x, y] :
             {std::pair(-7, -5), std::pair(50, 40), std::pair(-width + 1, 10), std::pair(20, -height + 1)})
        {
            resized.RenderImage(g_surface, 0, 0, x, y, width, height);
            resized.RenderImageWithMask(g_surface, 3, 2, x, y, width + 9, height + 9);
        }
        if (!anyPixel)
            break;
    }
    loaded.RenderImageWithMask(g_surface, 0, 0, -3, -3, loaded.GetWidth(), loaded.GetHeight());
    return 0;
}
