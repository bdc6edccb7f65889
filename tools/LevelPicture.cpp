#include "tools/LevelPicture.h"

#include "engine/PixelImage.h"
#include "game/Stage2Engine.h"

#include <SDL.h>
#include <algorithm>
#include <iterator>

namespace
{
constexpr int kTile = 24;

// What the game places on the fourth level when a round starts there.
struct Lift
{
    int x, startY, minY, maxY;
};
constexpr Lift kLifts[] = {{144, 350, 100, 350}, {444, 350, 350, 600}, {744, 350, 100, 350}};
constexpr int kWalkerX = 100, kWalkerY = 600, kPatrolLeft = 48, kPatrolRight = 890;
struct Flyer
{
    int x, y;
    const char* sprite;
};
// Each flyer drawn facing into the arena.
constexpr Flyer kFlyers[] = {{120, 48, "Resources/sprites/character/flyerright.png"},
                             {840, 48, "Resources/sprites/character/flyerleft.png"}};
constexpr uint32_t kObjectMark = 0xFFE040;

// Loads a picture at tile size, as the game does for its objects.
void LoadTileSized(PixelImage& image, const char* file)
{
    PixelImage loaded;
    loaded.LoadImage(file);
    image.ResizeFrom(loaded, kTile, kTile, false);
}

using Grid = signed char[Stage2Engine::kGridRows][Stage2Engine::kGridColumns];

// Copies a byte grid into a tile map and draws all of it at the origin,
// as the play screen does.
void DrawGrid(Stage2Engine& game, TileManager& map, const Grid& grid)
{
    map.SetMapSize(Stage2Engine::kGridColumns, Stage2Engine::kGridRows);
    for (int row = 0; row < Stage2Engine::kGridRows; ++row)
        for (int column = 0; column < Stage2Engine::kGridColumns; ++column)
            map.SetCell(column, row, grid[row][column]);
    map.SetOrigin(0, 0);
    map.DrawTileRange(&game, game.GetBackground(), 0, 0, Stage2Engine::kGridColumns - 1,
                      Stage2Engine::kGridRows - 1, 0, 0);
}

// For each target cell along one axis: the source cells it covers and how
// much of each, in source pixels.
struct Span
{
    int first = 0;
    std::vector<double> weights;
};

std::vector<Span> Spans(int sourceSize, int targetSize)
{
    std::vector<Span> spans(targetSize);
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int t = 0; t < targetSize; ++t)
    {
        const double from = t * scale;
        const double to = (t + 1) * scale;
        spans[t].first = static_cast<int>(from);
        for (int s = spans[t].first; s < sourceSize && s < to; ++s)
            spans[t].weights.push_back(std::min<double>(to, s + 1) - std::max<double>(from, s));
    }
    return spans;
}
} // namespace

bool LevelPicture::Paint(const std::string& mapFile, const std::string& starFieldFile)
{
    Grid stars = {};
    Grid level = {};
    if (!m_game.ReadMapFile(starFieldFile.c_str(), stars, false) ||
        !m_game.ReadMapFile(mapFile.c_str(), level, true))
        return false;

    m_game.FillBackground(Stage2Engine::kNightSky);
    DrawGrid(m_game, m_game.GetBackgroundMap(), stars);
    DrawGrid(m_game, m_game.GetTileMap(), level);
    return true;
}

bool LevelPicture::PaintLevel(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kLevels)) ||
        !Paint(kLevels[index].mapFile))
        return false;
    if (index == kFourthLevel)
        DrawFourthLevelObjects();
    return true;
}

void LevelPicture::DrawFourthLevelObjects()
{
    PixelImage image;
    LoadTileSized(image, "Resources/sprites/environment/thinplatform.png");
    for (const Lift& lift : kLifts)
        for (int segment = 0; segment < 3; ++segment)
            DrawImage(image, lift.x + segment * kTile, lift.startY, true);
    LoadTileSized(image, "Resources/sprites/character/eaterright.png");
    DrawImage(image, kWalkerX, kWalkerY, false);
    for (const Flyer& flyer : kFlyers)
    {
        LoadTileSized(image, flyer.sprite);
        DrawImage(image, flyer.x, flyer.y, false);
    }
}

void LevelPicture::MarkFourthLevelObjects()
{
    for (const Lift& lift : kLifts)
        MarkBox(lift.x, lift.minY, 3 * kTile, lift.maxY - lift.minY + kTile, kObjectMark);
    MarkBox(kPatrolLeft, kWalkerY + kTile / 2 - 1, kPatrolRight - kPatrolLeft + kTile, 2,
            kObjectMark);
}

void LevelPicture::DrawImage(const PixelImage& image, int x, int y, bool masked)
{
    SDL_Surface* surface = m_game.GetBackground();
    if (masked)
        image.RenderImageWithMask(surface, 0, 0, x, y, image.GetWidth(), image.GetHeight());
    else
        image.RenderImage(surface, 0, 0, x, y, image.GetWidth(), image.GetHeight());
}

void LevelPicture::MarkBox(int x, int y, int width, int height, uint32_t colour)
{
    SDL_Surface* surface = m_game.GetBackground();
    const int right = x + width - 1;
    const int bottom = y + height - 1;
    m_game.DrawRectangle(x, y, right, y, colour, surface);
    m_game.DrawRectangle(x, bottom, right, bottom, colour, surface);
    m_game.DrawRectangle(x, y, x, bottom, colour, surface);
    m_game.DrawRectangle(right, y, right, bottom, colour, surface);
}

std::vector<uint32_t> LevelPicture::Pixels() const
{
    SDL_Surface* surface = m_game.GetBackground();
    std::vector<uint32_t> pixels;
    if (!surface)
        return pixels;
    pixels.reserve(static_cast<size_t>(surface->w) * surface->h);
    for (int y = 0; y < surface->h; ++y)
    {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const unsigned char*>(surface->pixels) + y * surface->pitch);
        // The game's surfaces carry no alpha; a picture file should be opaque.
        for (int x = 0; x < surface->w; ++x)
            pixels.push_back(row[x] | 0xFF000000u);
    }
    return pixels;
}

std::vector<uint32_t> LevelPicture::Thumbnail(int width, int height) const
{
    SDL_Surface* surface = m_game.GetBackground();
    if (!surface)
        return {};
    return BoxDownscale(Pixels(), surface->w, surface->h, width, height);
}

std::vector<uint32_t> LevelPicture::BoxDownscale(const std::vector<uint32_t>& source,
                                                 int sourceWidth, int sourceHeight, int width,
                                                 int height)
{
    if (width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1 ||
        source.size() != static_cast<size_t>(sourceWidth) * sourceHeight)
        return {};
    const std::vector<Span> columns = Spans(sourceWidth, width);
    const std::vector<Span> rows = Spans(sourceHeight, height);
    const double area = (static_cast<double>(sourceWidth) / width) *
                        (static_cast<double>(sourceHeight) / height);

    std::vector<uint32_t> target(static_cast<size_t>(width) * height);
    for (int ty = 0; ty < height; ++ty)
        for (int tx = 0; tx < width; ++tx)
        {
            double sums[3] = {0.0, 0.0, 0.0};
            for (size_t j = 0; j < rows[ty].weights.size(); ++j)
                for (size_t i = 0; i < columns[tx].weights.size(); ++i)
                {
                    const double weight = rows[ty].weights[j] * columns[tx].weights[i];
                    const uint32_t pixel =
                        source[static_cast<size_t>(rows[ty].first + j) * sourceWidth +
                               columns[tx].first + i];
                    for (int channel = 0; channel < 3; ++channel)
                        sums[channel] += weight * ((pixel >> (16 - 8 * channel)) & 0xFF);
                }
            uint32_t result = 0xFF000000u;
            for (int channel = 0; channel < 3; ++channel)
            {
                const double mean = sums[channel] / area + 0.5;
                result |= static_cast<uint32_t>(std::min(mean, 255.0)) << (16 - 8 * channel);
            }
            target[static_cast<size_t>(ty) * width + tx] = result;
        }
    return target;
}
