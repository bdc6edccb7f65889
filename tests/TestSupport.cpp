#include "tests/TestSupport.h"

#include "engine/BaseEngine.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace testing_support
{
int InitialiseHeadless(BaseEngine& engine, int width, int height, const char* font)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    return engine.Initialise("test", width, height, font, 24);
}

uint32_t PixelAt(SDL_Surface* surface, int x, int y)
{
    if (!surface || x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return 0xDEADBEEF;
    return static_cast<const uint32_t*>(surface->pixels)[y * (surface->pitch / 4) + x];
}

uint32_t RgbAt(SDL_Surface* surface, int x, int y) { return PixelAt(surface, x, y) & 0xFFFFFF; }

void FillSurface(SDL_Surface* surface, uint32_t value)
{
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            static_cast<uint32_t*>(surface->pixels)[y * (surface->pitch / 4) + x] = value;
}

SurfacePtr MakeSurface(int width, int height, uint32_t fill)
{
    SurfacePtr surface(SDL_CreateRGBSurface(0, width, height, 32, 0x00FF0000, 0x0000FF00,
                                            0x000000FF, 0xFF000000),
                       SDL_FreeSurface);
    if (surface)
        FillSurface(surface.get(), fill);
    return surface;
}

int CountRgb(SDL_Surface* surface, uint32_t colour, int x1, int y1, int x2, int y2)
{
    int count = 0;
    for (int y = std::max(y1, 0); y <= std::min(y2, surface->h - 1); ++y)
        for (int x = std::max(x1, 0); x <= std::min(x2, surface->w - 1); ++x)
            count += RgbAt(surface, x, y) == (colour & 0xFFFFFF);
    return count;
}

Points PixelsWithValue(SDL_Surface* surface, uint32_t value)
{
    return PixelsWhere(surface->w, surface->h,
                       [&](int x, int y) { return PixelAt(surface, x, y) == value; });
}

Points PixelsWhere(int width, int height, const std::function<bool(int, int)>& covered)
{
    Points found;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (covered(x, y))
                found.emplace_back(x, y);
    return found;
}

namespace
{
std::string ReferencePath(const std::string& name)
{
    return SourceDir() + "/tests/reference/" + name + ".png";
}

bool SaveOpaque(SDL_Surface* surface, const std::string& path)
{
    return WritePng(path, surface->w, surface->h,
                    [&](int x, int y) { return 0xFF000000 | RgbAt(surface, x, y); });
}
} // namespace

void ExpectMatchesReference(SDL_Surface* surface, const std::string& name)
{
    const char* update = std::getenv("SKIRMORA_UPDATE_REFERENCES");
    if (update && std::string(update) == "1")
    {
        ASSERT_TRUE(SaveOpaque(surface, ReferencePath(name))) << name;
        return;
    }
    SDL_Surface* loaded = IMG_Load(ReferencePath(name).c_str());
    SDL_Surface* reference =
        loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
    SDL_FreeSurface(loaded);
    int differing = 0, firstX = -1, firstY = -1;
    const bool sameSize = reference && reference->w == surface->w && reference->h == surface->h;
    for (int y = 0; sameSize && y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            if (RgbAt(surface, x, y) != RgbAt(reference, x, y) && differing++ == 0)
                std::tie(firstX, firstY) = std::pair(x, y);
    SDL_FreeSurface(reference);
    if (!sameSize || differing)
    {
        SaveOpaque(surface, ReferencePath("actual-" + name));
        ADD_FAILURE() << name << ": " << (sameSize ? std::to_string(differing) : "all")
                      << " pixels differ, first at (" << firstX << ", " << firstY
                      << "); the screen is saved as " << ReferencePath("actual-" + name);
    }
}

std::string MakeTempDir()
{
    char pattern[] = "/tmp/skirmora-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "/tmp";
}

std::string SourceDir() { return SKIRMORA_SOURCE_DIR; }

void WriteFile(const std::string& path, const std::string& contents)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string ReadFile(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

bool WritePng(const std::string& path, int width, int height,
              const std::function<uint32_t(int, int)>& pixel)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const SurfacePtr surface = MakeSurface(width, height, 0);
    for (int y = 0; surface && y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<uint32_t*>(surface->pixels)[y * (surface->pitch / 4) + x] = pixel(x, y);
    return surface && IMG_SavePNG(surface.get(), path.c_str()) == 0;
}

WorkingDirectory::WorkingDirectory(const std::string& path)
    : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(path);
}

WorkingDirectory::~WorkingDirectory() { std::filesystem::current_path(m_previous); }

StdoutCapture::StdoutCapture()
{
    std::fflush(stdout);
    char pattern[] = "/tmp/skirmora-stdout-XXXXXX";
    const int fd = mkstemp(pattern);
    m_path = pattern;
    m_savedFd = dup(STDOUT_FILENO);
    dup2(fd, STDOUT_FILENO);
    close(fd);
}

std::string StdoutCapture::Finish()
{
    if (m_finished)
        return m_text;
    m_finished = true;
    std::fflush(stdout);
    dup2(m_savedFd, STDOUT_FILENO);
    close(m_savedFd);
    m_text = ReadFile(m_path);
    std::remove(m_path.c_str());
    return m_text;
}
} // namespace testing_support
