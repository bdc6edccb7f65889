#include "tiles/TileMap.h"

#include "game/GameData.h"

using namespace GameData;

TileMap::TileMap(int tileSize) : TileManager(tileSize)
{
    PixelImage loaded;
    for (int code = 0; code < kImageCount; ++code)
    {
        loaded.LoadImage(kTilePictureFiles[code]);
        m_tileImages[code].ResizeFrom(loaded, m_tileWidth, m_tileHeight, false);
    }
}

TileMap::~TileMap() = default;

void TileMap::DrawTileAt(BaseEngine* /*engine*/, SDL_Surface* surface, int mapX, int mapY, int screenX,
                         int screenY)
{
    switch (GetCell(mapX, mapY))
    {
    case kBrickTile:
    case kJumpBlockTile:
        m_tileImages[GetCell(mapX, mapY)].RenderImage(surface, 0, 0, screenX, screenY, m_tileWidth,
                                                      m_tileHeight);
        break;
    case kThinPlatformTile:
        m_tileImages[kThinPlatformTile].RenderImageWithMask(surface, 0, 0, screenX, screenY, m_tileWidth,
                                                            m_tileHeight);
        break;
    case kLeverTile:
    {
        if (!m_daytime)
            return;
        const PixelImage& lever = *m_daytime ? m_tileImages[kLeverTile] : m_tileImages[kLeverTile + 1];
        lever.RenderImageWithMask(surface, 0, 0, screenX, screenY, m_tileWidth, m_tileHeight);
        break;
    }
    default:
        break;
    }
}
