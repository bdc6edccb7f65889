#include "tools/LevelPicture.h"

#include "engine/PixelImage.h"
#include "game/Stage2Engine.h"

#include <SDL.h>
#include <algorithm>
#include <iterator>

namespace
{
constexpr int kTile = GameData::kTileSize;

constexpr int kPatrolLeft = 48, kPatrolRight = 890;
constexpr uint32_t kObjectMark = 0xFFE040;

// Loads a picture at tile size, as the game does for its objects.
void LoadTileSized(PixelImage& image, const char* file)
{
    PixelImage loaded;
    loaded.LoadImage(file);
    image.ResizeFrom(loaded, kTile, kTile, false);
}

using Grid = Stage2Engine::Grid;

// Copies a byte grid into a tile map and draws all of it at the origin,
// as the play screen does.
void DrawGrid(Stage2Engine& game, TileManager& map, const Grid& grid)
{
    map.SetMapSize(GameData::kGridColumns, GameData::kGridRows);
    for (int row = 0; row < GameData::kGridRows; ++row)
        for (int column = 0; column < GameData::kGridColumns; ++column)
            map.SetCell(column, row, grid[row][column]);
    map.SetOrigin(0, 0);
    map.DrawTileRange(&game, game.GetBackground(), 0, 0, GameData::kGridColumns - 1, GameData::kGridRows - 1,
                      0, 0);
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

using namespace GameData;

bool LevelPicture::Paint(const std::string& mapFile, const std::string& starFieldFile)
{
    Grid stars = {};
    Grid level = {};
    if (!m_game.ReadMapFile(starFieldFile.c_str(), stars, false) ||
        !m_game.ReadMapFile(mapFile.c_str(), level, true))
        return false;

    m_game.FillBackground(kNightSky);
    DrawGrid(m_game, m_game.GetBackgroundMap(), stars);
    DrawGrid(m_game, m_game.GetTileMap(), level);
    return true;
}

bool LevelPicture::PaintLevel(int index)
{
    if (index < 0 || index >= kLevelCount || !Paint(kLevelFiles[index]))
        return false;
    if (index == kBusyLevel)
        DrawFourthLevelObjects();
    return true;
}

void LevelPicture::DrawFourthLevelObjects()
{
    PixelImage image;
    LoadTileSized(image, kPlatformSegmentFile);
    for (const LiftPlacement& lift : kLifts)
        for (int segment = 0; segment < 3; ++segment)
            DrawImage(image, lift.x + segment * kTile, lift.y, true);
    LoadTileSized(image, kSpriteFiles[kWalkerKind].right);
    DrawImage(image, kWalker.x, kWalker.y, false);
    // Each flyer drawn facing into the arena.
    for (const FlyerPlacement& flyer : kFlyers)
    {
        const SpriteFiles& sprites = kSpriteFiles[kFlyerKind];
        LoadTileSized(image, flyer.x < kWindowWidth / 2 ? sprites.right : sprites.left);
        DrawImage(image, flyer.x, flyer.y, false);
    }
}

void LevelPicture::MarkFourthLevelObjects()
{
    for (const LiftPlacement& lift : kLifts)
        MarkBox(lift.x, lift.minY, 3 * kTile, lift.maxY - lift.minY + kTile, kObjectMark);
    MarkBox(kPatrolLeft, kWalker.y + kTile / 2 - 1, kPatrolRight - kPatrolLeft + kTile, 2, kObjectMark);
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

std::vector<uint32_t> LevelPicture::BoxDownscale(const std::vector<uint32_t>& source, int sourceWidth,
                                                 int sourceHeight, int width, int height)
{
    if (width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1 ||
        source.size() != static_cast<size_t>(sourceWidth) * sourceHeight)
        return {};
    const std::vector<Span> columns = Spans(sourceWidth, width);
    const std::vector<Span> rows = Spans(sourceHeight, height);
    const double area =
        (static_cast<double>(sourceWidth) / width) * (static_cast<double>(sourceHeight) / height);

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
                        source[static_cast<size_t>(rows[ty].first + j) * sourceWidth + columns[tx].first + i];
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
