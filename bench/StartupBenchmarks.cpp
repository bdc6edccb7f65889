// Start-up: building the game object, which loads and resamples every tile
// and menu picture, and Initialise up to the first frame on the screen, each
// beside the bare library work that it cannot avoid.
#include "engine/SdlHandles.h"
#include "game/Stage2Engine.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace
{
// Every picture the game object loads while it is built: the tile and star
// pictures, the six fighters' right-facing sprites (their portraits; the
// enemies have none) and the level thumbnails.
std::vector<std::string> ConstructionPictures()
{
    namespace fs = std::filesystem;
    std::vector<std::string> pictures;
    for (const char* folder :
         {"Resources/sprites/environment", "Resources/sprites/character", "Resources/maps"})
    {
        std::error_code missing;
        for (const auto& entry : fs::directory_iterator(folder, missing))
        {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() != ".png")
                continue;
            const bool sprite = std::string(folder).find("character") != std::string::npos;
            if (sprite && (name.find("right.png") == std::string::npos || name.rfind("eater", 0) == 0 ||
                           name.rfind("flyer", 0) == 0))
                continue;
            pictures.push_back(entry.path().string());
        }
    }
    return pictures;
}
constexpr const char* kFont = "Cornerstone Regular.ttf";

void BM_GameConstruction(benchmark::State& state)
{
    for (auto _ : state)
    {
        Stage2Engine game;
        benchmark::DoNotOptimize(game.GetPortrait(0).GetPixels());
    }
}
BENCHMARK(BM_GameConstruction)->Unit(benchmark::kMillisecond);

// The decoding alone: no conversion, no resampling.
void BM_GameConstruction_Floor(benchmark::State& state)
{
    const std::vector<std::string> pictures = ConstructionPictures();
    state.counters["pictures"] = static_cast<double>(pictures.size());
    for (auto _ : state)
        for (const std::string& file : pictures)
        {
            const SurfaceHandle picture(IMG_Load(file.c_str()));
            if (!picture)
            {
                state.SkipWithError("a picture is missing");
                return;
            }
        }
}
BENCHMARK(BM_GameConstruction_Floor)->Unit(benchmark::kMillisecond);

// Each start is cold: the libraries are shut down between iterations.
void ShutDownLibraries()
{
    TTF_Quit();
    SDL_Quit();
}

void BM_InitialiseToFirstFrame(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    for (auto _ : state)
    {
        state.PauseTiming();
        auto game = std::make_unique<Stage2Engine>();
        state.ResumeTiming();
        game->Initialise("bench", 960, 720, kFont, 24);
        game->RenderFrame();
        state.PauseTiming();
        game->Deinitialise();
        game.reset();
        ShutDownLibraries();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InitialiseToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(40);

// The libraries (video, pads and audio, as the engine starts them), the
// window and its texture, the font, two surfaces and one frame handed to
// the window: what any start must do.
void BM_InitialiseToFirstFrame_Floor(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    for (auto _ : state)
    {
        SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER | SDL_INIT_AUDIO);
        TTF_Init();
        FontHandle font(TTF_OpenFont(kFont, 24));
        WindowHandle window(SDL_CreateWindow("bench", 10, 40, 960, 720, 0));
        RendererHandle renderer(SDL_CreateRenderer(window.get(), -1, 0));
        TextureHandle texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_ARGB8888,
                                                SDL_TEXTUREACCESS_STREAMING, 960, 720));
        SurfaceHandle surfaces[2];
        for (SurfaceHandle& surface : surfaces)
            surface.reset(
                SDL_CreateRGBSurface(0, 960, 720, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000));
        SDL_UpdateTexture(texture.get(), nullptr, surfaces[0]->pixels, surfaces[0]->pitch);
        SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
        SDL_RenderPresent(renderer.get());
        state.PauseTiming();
        // Released in reverse order of making, before the libraries stop.
        surfaces[1].reset();
        surfaces[0].reset();
        texture.reset();
        renderer.reset();
        window.reset();
        font.reset();
        ShutDownLibraries();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InitialiseToFirstFrame_Floor)->Unit(benchmark::kMillisecond)->Iterations(40);
} // namespace
