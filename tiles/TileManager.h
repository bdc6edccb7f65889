#pragma once

#include <cstdint>
#include <memory>

class BaseEngine;
struct SDL_Surface;

// A rectangle of integer cells drawn as equal-sized tiles. It knows nothing
// of what the values mean; derived grids give them their pictures.
// Grids are held by value by their owner and never deleted through a base
// pointer, so the destructor is not virtual: it is protected instead, and
// only final classes derive from it.
class TileManager
{
public:
    explicit TileManager(int tileSize);
    TileManager(const TileManager&) = delete;
    TileManager& operator=(const TileManager&) = delete;

    virtual void DrawTileAt(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY, int screenX,
                            int screenY);
    virtual void DrawTile(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY, int screenX,
                          int screenY);
    virtual void DrawTileInPlace(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY);

    // Frees any old cells and allocates width x height cells, all 0.
    void SetMapSize(int width, int height);
    // Draws cells (firstMapX, firstMapY) to (lastMapX, lastMapY) inclusive,
    // column by column, with the first cell at (screenX, screenY).
    void DrawTileRange(BaseEngine* engine, SDL_Surface* surface, int firstMapX, int firstMapY, int lastMapX,
                       int lastMapY, int screenX, int screenY);

    // Cells are row-major; callers keep positions inside the grid.
    int32_t GetCell(int mapX, int mapY) const { return m_cells[mapY * m_mapWidth + mapX]; }
    void SetCell(int mapX, int mapY, int32_t value) { m_cells[mapY * m_mapWidth + mapX] = value; }
    void SetOrigin(int x, int y)
    {
        m_originX = x;
        m_originY = y;
    }

protected:
    ~TileManager();

    std::unique_ptr<int32_t[]> m_cells;
    int32_t m_mapWidth = 0;
    int32_t m_mapHeight = 0;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
    int32_t m_tileHeight;
    int32_t m_tileWidth;
};
