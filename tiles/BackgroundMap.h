#pragma once

#include "engine/PixelImage.h"
#include "tiles/TileManager.h"

// The night sky's star field: code 4 a star, code 5 a small star.
class BackgroundMap final : public TileManager
{
public:
    static constexpr int kImageCount = 6;

    explicit BackgroundMap(int tileSize);
    ~BackgroundMap();

    void DrawTileAt(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY, int screenX,
                    int screenY) override;

    const PixelImage& GetTileImage(int code) const { return m_tileImages[code]; }

private:
    PixelImage m_tileImages[kImageCount];
};
