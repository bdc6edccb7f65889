#pragma once

#include "engine/PixelImage.h"
#include "game/GameData.h"
#include "tiles/TileManager.h"

#include <optional>

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
    // The lever's picture follows the day; until it is told, a map (outside a
    // game) draws no levers.
    void SetDaytime(bool daytime) { m_daytime = daytime; }

private:
    PixelImage m_tileImages[kImageCount];
    std::optional<bool> m_daytime;
};
