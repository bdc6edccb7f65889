#include "tests/TestSupport.h"

#include "engine/BaseEngine.h"
#include "engine/SdlHandles.h"

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
    return engine.Initialise("test", width, height, font, 24); // the dummy driver, chosen by main
}

namespace
{
// The RGB of one pixel of a 32-bit surface (0xEF0000 outside it).
uint32_t RgbAt(SDL_Surface* surface, int x, int y)
{
    if (x < 0 || y < 0 || x >= surface->w || y >= surface->h)
        return 0xEF0000;
    return static_cast<const uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x] & 0xFFFFFF;
}
} // namespace

void FillSurface(SDL_Surface* surface, uint32_t value)
{
    for (int y = 0; y < surface->h; ++y)
        std::fill_n(static_cast<uint32_t*>(surface->pixels) + y * surface->pitch / 4, surface->w, value);
}

int CountRgb(SDL_Surface* surface, uint32_t colour, int x1, int y1, int x2, int y2)
{
    int count = 0;
    for (int y = std::max(y1, 0); y <= std::min(y2, surface->h - 1); ++y)
        for (int x = std::max(x1, 0); x <= std::min(x2, surface->w - 1); ++x)
            count += RgbAt(surface, x, y) == colour;
    return count;
}

void ExpectMatchesReference(SDL_Surface* surface, const std::string& name)
{
    const std::string path = SourceDir() + "/tests/reference/" + name + ".png";
    const std::string actual = SourceDir() + "/tests/reference/actual-" + name + ".png";
    const auto save = [&](const std::string& to) {
        return WritePng(to, surface->w, surface->h,
                        [&](int x, int y) { return 0xFF000000 | RgbAt(surface, x, y); });
    };
    if (const char* update = std::getenv("SKIRMORA_UPDATE_REFERENCES"); update && std::string(update) == "1")
    {
        EXPECT_TRUE(save(path)) << name << " could not be saved";
        return;
    }
    const SurfaceHandle loaded(IMG_Load(path.c_str()));
    SurfaceHandle reference;
    if (loaded)
        reference.reset(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    std::string difference;
    if (!reference || reference->w != surface->w || reference->h != surface->h)
    {
        difference = "no reference of the screen's size";
    }
    else
    {
        int differing = 0;
        for (int y = 0; y < surface->h; ++y)
            for (int x = 0; x < surface->w; ++x)
                differing += RgbAt(surface, x, y) != RgbAt(reference.get(), x, y);
        if (differing)
            difference = std::to_string(differing) + " pixels differ";
    }
    if (difference.empty())
        return;
    const std::string saved = save(actual) ? "is saved as " + actual : "could not be saved";
    ADD_FAILURE() << name << ": " << difference << "; the screen " << saved;
}

std::string MakeTempDir()
{
    char pattern[] = "/tmp/skirmora-test-XXXXXX";
    return mkdtemp(pattern);
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

bool WritePng(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    const SurfaceHandle surface(
        SDL_CreateRGBSurface(0, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x] = pixel(x, y);
    return IMG_SavePNG(surface.get(), path.c_str()) == 0;
}

WorkingDirectory::WorkingDirectory(const std::string& path) : m_previous(std::filesystem::current_path())
{
    std::filesystem::current_path(path);
}

WorkingDirectory::~WorkingDirectory() { std::filesystem::current_path(m_previous); }

StdoutCapture::StdoutCapture() : m_file(std::tmpfile()), m_savedFd(dup(STDOUT_FILENO))
{
    std::fflush(stdout);
    dup2(fileno(m_file), STDOUT_FILENO);
}

std::string StdoutCapture::Finish()
{
    if (!m_file)
        return m_text;
    std::fflush(stdout);
    dup2(m_savedFd, STDOUT_FILENO);
    close(m_savedFd);
    std::rewind(m_file);
    for (int c; (c = std::fgetc(m_file)) != EOF;)
        m_text += static_cast<char>(c);
    std::fclose(m_file);
    m_file = nullptr;
    return m_text;
}
} // namespace testing_support

int main(int argc, char** argv)
{
    // Every test runs headless and silent, and hears virtual pads although
    // its window never has the focus.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
