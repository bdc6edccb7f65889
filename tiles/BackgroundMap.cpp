#include "tiles/BackgroundMap.h"

#include "game/GameData.h"

using namespace GameData;

BackgroundMap::BackgroundMap(int tileSize) : TileManager(tileSize)
{
    PixelImage loaded;
    loaded.LoadImage(kStarFile);
    m_tileImages[kStarTile].ResizeFrom(loaded, m_tileWidth, m_tileHeight, false);
    loaded.LoadImage(kSmallStarFile);
    m_tileImages[kSmallStarTile].ResizeFrom(loaded, m_tileWidth, m_tileHeight, false);
}

BackgroundMap::~BackgroundMap() = default;

void BackgroundMap::DrawTileAt(BaseEngine* /*engine*/, SDL_Surface* surface, int mapX, int mapY, int screenX,
                               int screenY)
{
    const int code = GetCell(mapX, mapY);
    if (code == kStarTile || code == kSmallStarTile)
        m_tileImages[code].RenderImageWithMask(surface, 0, 0, screenX, screenY, m_tileWidth, m_tileHeight);
}
