#include "tools/PngFile.h"

#include "engine/SdlHandles.h"

#include <SDL.h>
#include <SDL_image.h>
#include <cstring>
#include <filesystem>

bool PngFile::Save(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height)
{
    if (width < 1 || height < 1 || pixels.size() != static_cast<size_t>(width) * height)
        return false;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    if (!parent.empty())
        std::filesystem::create_directories(parent, ignored);

    SurfaceHandle surface(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
    if (!surface)
        return false;
    for (int y = 0; y < height; ++y)
        std::memcpy(static_cast<unsigned char*>(surface->pixels) + y * surface->pitch,
                    pixels.data() + static_cast<size_t>(y) * width, sizeof(uint32_t) * width);
    return IMG_SavePNG(surface.get(), path.c_str()) == 0;
}

bool PngFile::Load(const std::string& path, std::vector<uint32_t>& pixels, int& width, int& height)
{
    SurfaceHandle loaded(IMG_Load(path.c_str()));
    if (!loaded)
        return false;
    SurfaceHandle converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!converted)
        return false;
    width = converted->w;
    height = converted->h;
    pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(pixels.data() + static_cast<size_t>(y) * width,
                    static_cast<const unsigned char*>(converted->pixels) + y * converted->pitch,
                    sizeof(uint32_t) * width);
    return true;
}
