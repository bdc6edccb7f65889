#pragma once

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class BaseEngine;

namespace testing_support
{
// Starts an engine headless (SDL's dummy video driver) at the game's size
// and font. Returns Initialise's result.
int InitialiseHeadless(BaseEngine& engine, int width = 960, int height = 720,
                       const char* font = "Cornerstone Regular.ttf");

// Reads one pixel (0xAARRGGBB) of a 32-bit surface; 0xDEADBEEF outside.
uint32_t PixelAt(SDL_Surface* surface, int x, int y);
// The same with the alpha byte dropped, for comparing 0xRRGGBB colours.
uint32_t RgbAt(SDL_Surface* surface, int x, int y);
// Fills a whole surface with one value.
void FillSurface(SDL_Surface* surface, uint32_t value);
// A 32-bit surface laid out like the engine's, filled with one value and
// freed with its owner; null if it cannot be made.
using SurfacePtr = std::unique_ptr<SDL_Surface, void (*)(SDL_Surface*)>;
SurfacePtr MakeSurface(int width, int height, uint32_t fill);
// Counts the pixels of a surface whose RGB equals colour.
int CountRgb(SDL_Surface* surface, uint32_t colour);

// The (x, y) positions of every pixel whose full 32-bit value is value, in
// row order; tests compare them with the pixels a shape should cover.
std::vector<std::pair<int, int>> PixelsWithValue(SDL_Surface* surface, uint32_t value);
// The positions in a width x height area for which covered(x, y) holds, in
// the same order: what a shape should cover, to compare with the above.
std::vector<std::pair<int, int>> PixelsWhere(int width, int height,
                                             const std::function<bool(int, int)>& covered);

// A fresh, empty directory made for one test, and the path of the repo.
std::string MakeTempDir();
std::string SourceDir();
void WriteFile(const std::string& path, const std::string& contents);
// Creates a directory and its missing parents.
void MakeDirectories(const std::string& path);
// Writes a 32-bit PNG with an alpha channel whose pixel (x, y) is
// pixel(x, y) as 0xAARRGGBB, making the parent directories. False on failure.
bool WritePng(const std::string& path, int width, int height,
              const std::function<uint32_t(int, int)>& pixel);

// Makes the working directory the given one for the lifetime of the guard.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const std::string& path);
    ~WorkingDirectory();
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::string m_previous;
};

// Captures what is printed on standard output while alive.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;
    // Stops capturing (once) and returns the captured text.
    std::string Finish();

private:
    int m_savedFd = -1;
    std::string m_path;
    bool m_finished = false;
    std::string m_text;
};
} // namespace testing_support
