#include "tests/TestSupport.h"

#include "engine/BaseEngine.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
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

int CountRgb(SDL_Surface* surface, uint32_t colour)
{
    int count = 0;
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
            if (RgbAt(surface, x, y) == (colour & 0xFFFFFF))
                ++count;
    return count;
}

std::vector<std::pair<int, int>> PixelsWithValue(SDL_Surface* surface, uint32_t value)
{
    return PixelsWhere(surface->w, surface->h,
                       [&](int x, int y) { return PixelAt(surface, x, y) == value; });
}

std::vector<std::pair<int, int>> PixelsWhere(int width, int height,
                                             const std::function<bool(int, int)>& covered)
{
    std::vector<std::pair<int, int>> found;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (covered(x, y))
                found.emplace_back(x, y);
    return found;
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
    std::ofstream out(path, std::ios::binary);
    out << contents;
}

void MakeDirectories(const std::string& path)
{
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1))
    {
        mkdir(path.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos)
            break;
    }
}

bool WritePng(const std::string& path, int width, int height,
              const std::function<uint32_t(int, int)>& pixel)
{
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        MakeDirectories(path.substr(0, slash));
    const SurfacePtr surface = MakeSurface(width, height, 0);
    if (!surface)
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<uint32_t*>(surface->pixels)[y * (surface->pitch / 4) + x] = pixel(x, y);
    return IMG_SavePNG(surface.get(), path.c_str()) == 0;
}

WorkingDirectory::WorkingDirectory(const std::string& path)
{
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer))
        m_previous = buffer;
    if (chdir(path.c_str()) != 0)
        std::perror("chdir");
}

WorkingDirectory::~WorkingDirectory()
{
    if (!m_previous.empty() && chdir(m_previous.c_str()) != 0)
        std::perror("chdir");
}

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

StdoutCapture::~StdoutCapture() { Finish(); }

std::string StdoutCapture::Finish()
{
    if (m_finished)
        return m_text;
    m_finished = true;
    std::fflush(stdout);
    dup2(m_savedFd, STDOUT_FILENO);
    close(m_savedFd);
    std::ifstream in(m_path);
    std::stringstream text;
    text << in.rdbuf();
    m_text = text.str();
    std::remove(m_path.c_str());
    return m_text;
}
} // namespace testing_support
