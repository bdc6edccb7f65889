#pragma once

#include "engine/PixelImage.h"
#include "game/GameData.h"
#include "tiles/TileManager.h"

// The level grid's pictures: bricks, thin platforms, jump blocks and levers.
class TileMap final : public TileManager
{
public:
    static constexpr int kImageCount = GameData::kTilePictureCount;

    explicit TileMap(int tileSize);
    ~TileMap();

    void DrawTileAt(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY, int screenX,
                    int screenY) override;

    const PixelImage& GetTileImage(int code) const { return m_tileImages[code]; }

private:
    PixelImage m_tileImages[kImageCount];
};
