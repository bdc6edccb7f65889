#include "tiles/TileManager.h"

#include "engine/BaseEngine.h"

TileManager::TileManager(int tileSize) : m_tileHeight(tileSize), m_tileWidth(tileSize) {}

TileManager::~TileManager() { m_cells.reset(); }

void TileManager::SetMapSize(int width, int height)
{
    m_cells.reset();
    m_mapWidth = width > 0 ? width : 0;
    m_mapHeight = height > 0 ? height : 0;
    m_cells.reset(new int32_t[static_cast<size_t>(m_mapWidth) * m_mapHeight]());
}

void TileManager::DrawTileAt(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY, int screenX,
                             int screenY)
{
    const int value = GetCell(mapX, mapY);
    // C++ remainder takes the sign of the sum, as the grey pattern wants.
    const int level = (value + mapX + mapY) % 16;
    const uint32_t colour = static_cast<uint32_t>(level) * 0x101010u;
    engine->DrawRectangle(screenX, screenY, screenX + m_tileWidth - 1, screenY + m_tileHeight - 1, colour,
                          surface);
}

void TileManager::DrawTile(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY, int screenX,
                           int screenY)
{
    DrawTileAt(engine, surface, mapX, mapY, screenX, screenY);
}

void TileManager::DrawTileInPlace(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY)
{
    DrawTile(engine, surface, mapX, mapY, m_originX + mapX * m_tileWidth, m_originY + mapY * m_tileHeight);
}

void TileManager::DrawTileRange(BaseEngine* engine, SDL_Surface* surface, int firstMapX, int firstMapY,
                                int lastMapX, int lastMapY, int screenX, int screenY)
{
    for (int mapX = firstMapX; mapX <= lastMapX; ++mapX)
        for (int mapY = firstMapY; mapY <= lastMapY; ++mapY)
            DrawTileAt(engine, surface, mapX, mapY, screenX + (mapX - firstMapX) * m_tileWidth,
                       screenY + (mapY - firstMapY) * m_tileHeight);
}
