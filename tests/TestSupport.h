#pragma once

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class BaseEngine;

namespace testing_support
{
// Starts an engine headless (SDL's dummy video driver); Initialise's result.
int InitialiseHeadless(BaseEngine& engine, int width = 960, int height = 720,
                       const char* font = "Cornerstone Regular.ttf");

void FillSurface(SDL_Surface* surface, uint32_t value);
// Pixels whose RGB is the colour, within the corners (both included).
int CountRgb(SDL_Surface* surface, uint32_t colour, int x1 = 0, int y1 = 0, int x2 = 1 << 20,
             int y2 = 1 << 20);
// Compares the RGB of a surface with tests/reference/<name>.png, saving the
// surface beside it as actual-<name>.png when they differ; with
// SKIRMORA_UPDATE_REFERENCES=1 (scripts/update-references) rewrites it.
void ExpectMatchesReference(SDL_Surface* surface, const std::string& name);

std::string MakeTempDir();
std::string SourceDir();
void WriteFile(const std::string& path, const std::string& contents);
std::string ReadFile(const std::string& path);
// Writes a 32-bit PNG whose pixel (x, y) is pixel(x, y) as 0xAARRGGBB.
bool WritePng(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel);

// Makes the working directory the given one for the guard's lifetime.
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
    ~StdoutCapture() { Finish(); }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;
    // Stops capturing (once) and returns the captured text.
    std::string Finish();

private:
    std::FILE* m_file;
    int m_savedFd;
    std::string m_text;
};
} // namespace testing_support
