// Feeds arbitrary bytes to the image path the game uses for every picture:
// load, resample to the sizes the game shows, and copy into a surface opaque
// and masked, at places that need clipping on every side.
#include "engine/PixelImage.h"
#include "fuzz/FuzzWorkspace.h"

#include <SDL.h>
#include <SDL_image.h>
#include <cstring>
#include <memory>
#include <string>

namespace
{
constexpr const char* kInputName = "input.png";
constexpr int kSurfaceWidth = 64;
constexpr int kSurfaceHeight = 48;
struct Size
{
    int width, height;
};
// Tile and sprite, portrait, level thumbnail.
const Size kShownSizes[] = {{24, 24}, {150, 150}, {300, 225}};

struct Fixture
{
    std::unique_ptr<FuzzWorkspace> workspace;
    std::string inputPath;
    SDL_Surface* surface = nullptr;
};
Fixture* g_fixture = nullptr;

uint32_t SurfacePixel(const SDL_Surface* surface, int x, int y)
{
    return static_cast<const uint32_t*>(surface->pixels)[y * (surface->pitch / 4) + x];
}

void CheckResized(const PixelImage& resized, const Size& size, bool sourceHasPixels)
{
    FuzzRequire(resized.GetWidth() == size.width && resized.GetHeight() == size.height,
                "a resampled image has the wrong size");
    FuzzRequire(resized.HasPixels(), "a resampled image has no pixels");
    const uint32_t* pixels = resized.GetPixels();
    for (int i = 0; i < size.width * size.height; ++i)
    {
        FuzzRequire((pixels[i] >> 24) == 0, "a resampled pixel kept an alpha byte");
        FuzzRequire(sourceHasPixels || pixels[i] == 0, "an empty source gave a coloured pixel");
    }
}

// Copies the image at a place and checks the copied block pixel for pixel.
void CheckOpaqueCopy(const PixelImage& image, SDL_Surface* surface, int dstX, int dstY)
{
    SDL_FillRect(surface, nullptr, 0xDEADBEEF);
    image.RenderImage(surface, 0, 0, dstX, dstY, image.GetWidth(), image.GetHeight());
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x)
        {
            const int ix = x - dstX;
            const int iy = y - dstY;
            const bool inside = ix >= 0 && iy >= 0 && ix < image.GetWidth() &&
                                iy < image.GetHeight();
            const uint32_t expected = inside ? image.GetPixel(ix, iy) : 0xDEADBEEF;
            FuzzRequire(SurfacePixel(surface, x, y) == expected,
                        inside ? "an opaque copy missed or changed a pixel"
                               : "an opaque copy wrote outside its block");
        }
}

void RenderEverywhere(const PixelImage& image, SDL_Surface* surface)
{
    const int w = image.GetWidth();
    const int h = image.GetHeight();
    const int places[][2] = {{-w / 2, -h / 2}, {3, 2}, {kSurfaceWidth - 5, kSurfaceHeight - 5},
                             {kSurfaceWidth, 0}, {0, kSurfaceHeight}, {-w, -h}};
    for (const auto& place : places)
    {
        CheckOpaqueCopy(image, surface, place[0], place[1]);
        image.RenderImageWithMask(surface, 0, 0, place[0], place[1], w, h);
        image.RenderImageWithMask(surface, w / 3, h / 3, place[0], place[1], w - w / 3,
                                  h - h / 3);
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Load every decoder once up front rather than on first use inside a run.
    IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG | IMG_INIT_TIF | IMG_INIT_WEBP);
    g_fixture = new Fixture;
    g_fixture->workspace = std::make_unique<FuzzWorkspace>(nullptr, false);
    g_fixture->inputPath = g_fixture->workspace->Path() + "/" + kInputName;
    g_fixture->surface = SDL_CreateRGBSurface(0, kSurfaceWidth, kSurfaceHeight, 32, 0x00FF0000,
                                              0x0000FF00, 0x000000FF, 0xFF000000);
    FuzzRequire(g_fixture->surface != nullptr, "cannot make the target surface");
    std::atexit([] {
        SDL_FreeSurface(g_fixture->surface);
        delete g_fixture;
        IMG_Quit();
    });
    return 0;
}

namespace
{
// A PNG chunk whose length runs past the end of the input sends the system's
// PNG decoder into tens of seconds of inflating (SDL2_image 2.6 with libpng
// 1.6): a hang in the library, not in our code, that would stop the fuzzer
// from getting anywhere. Such inputs are skipped.
bool HasOverlongPngChunk(const uint8_t* data, size_t size)
{
    static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return false;
    for (size_t at = sizeof kSignature; at + 8 <= size;)
    {
        const size_t length = static_cast<size_t>(data[at]) << 24 | data[at + 1] << 16 |
                              data[at + 2] << 8 | data[at + 3];
        if (length > size - at - 8)
            return true;
        at += 12 + length;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (HasOverlongPngChunk(data, size))
        return 0;
    g_fixture->workspace->Write(kInputName, data, size);

    PixelImage loaded;
    const bool ok = loaded.LoadImage(g_fixture->inputPath.c_str());
    FuzzRequire(ok == loaded.HasPixels(), "the load result and the pixels disagree");
    // A decoder may deliver a picture of 0 x 0 pixels (SDL2_image does for a
    // bare XCF header): loaded, but with nothing in it.
    FuzzRequire(ok ? loaded.GetWidth() >= 0 && loaded.GetHeight() >= 0
                   : loaded.GetWidth() == 0 && loaded.GetHeight() == 0,
                "the loaded size does not match the result");
    const bool anyPixel = ok && loaded.GetWidth() > 0 && loaded.GetHeight() > 0;

    for (const Size& shown : kShownSizes)
    {
        // Most inputs fail to load; one size shows what an empty source gives,
        // and skipping the large ones keeps the fuzzer fast on that path.
        if (!anyPixel && shown.width != kShownSizes[0].width)
            break;
        PixelImage resized;
        resized.ResizeFrom(loaded, shown.width, shown.height, false);
        CheckResized(resized, shown, anyPixel);
        RenderEverywhere(resized, g_fixture->surface);
    }
    PixelImage sampled;
    sampled.ResizeFrom(loaded, 24, 24, true);
    CheckResized(sampled, {24, 24}, anyPixel);
    // The loaded picture itself, at whatever size the file declared.
    RenderEverywhere(loaded, g_fixture->surface);
    return 0;
}
