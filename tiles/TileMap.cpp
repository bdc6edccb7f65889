#include "tiles/TileMap.h"

#include "game/Stage2Engine.h"

namespace
{
const char* const kTileFiles[TileMap::kImageCount] = {
    "Resources/sprites/environment/background.png",
    "Resources/sprites/environment/brick.png",
    "Resources/sprites/environment/thinplatform.png",
    "Resources/sprites/environment/jumpblock.png",
    "Resources/sprites/environment/leverleft.png",
    "Resources/sprites/environment/leverright.png",
};
} // namespace

TileMap::TileMap(int tileSize) : TileManager(tileSize)
{
    PixelImage loaded;
    for (int code = 0; code < kImageCount; ++code)
    {
        loaded.LoadImage(kTileFiles[code]);
        m_tileImages[code].ResizeFrom(loaded, m_tileWidth, m_tileHeight, false);
    }
}

TileMap::~TileMap() = default;

void TileMap::DrawTileAt(BaseEngine* engine, SDL_Surface* surface, int mapX, int mapY,
                         int screenX, int screenY)
{
    switch (GetCell(mapX, mapY))
    {
    case 1: // brick
    case 3: // jump block
        m_tileImages[GetCell(mapX, mapY)].RenderImage(surface, 0, 0, screenX, screenY,
                                                      m_tileWidth, m_tileHeight);
        break;
    case 2: // thin platform
        m_tileImages[2].RenderImageWithMask(surface, 0, 0, screenX, screenY, m_tileWidth,
                                            m_tileHeight);
        break;
    case 4: // lever: its picture follows the day flag
    {
        const auto* game = dynamic_cast<const Stage2Engine*>(engine);
        if (!game)
            return;
        const PixelImage& lever = game->IsDaytime() ? m_tileImages[4] : m_tileImages[5];
        lever.RenderImageWithMask(surface, 0, 0, screenX, screenY, m_tileWidth, m_tileHeight);
        break;
    }
    default:
        break;
    }
}
