#include "tiles/BackgroundMap.h"

namespace
{
constexpr int kStar = 4;
constexpr int kSmallStar = 5;
} // namespace

BackgroundMap::BackgroundMap(int tileSize) : TileManager(tileSize)
{
    PixelImage loaded;
    loaded.LoadImage("Resources/sprites/environment/star.png");
    m_tileImages[kStar].ResizeFrom(loaded, m_tileWidth, m_tileHeight, false);
    loaded.LoadImage("Resources/sprites/environment/smallstar.png");
    m_tileImages[kSmallStar].ResizeFrom(loaded, m_tileWidth, m_tileHeight, false);
}

BackgroundMap::~BackgroundMap() = default;

void BackgroundMap::DrawTileAt(BaseEngine* /*engine*/, SDL_Surface* surface, int mapX, int mapY,
                               int screenX, int screenY)
{
    const int code = GetCell(mapX, mapY);
    if (code == kStar || code == kSmallStar)
        m_tileImages[code].RenderImageWithMask(surface, 0, 0, screenX, screenY, m_tileWidth,
                                               m_tileHeight);
}
