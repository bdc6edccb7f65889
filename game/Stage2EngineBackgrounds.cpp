// The still picture of each screen, painted into the background surface:
// the sky on every screen, the stars and level on the play screen, and the
// pictures, highlight and buttons on the selection screens.
#include "game/Stage2Engine.h"

using namespace GameData;

void Stage2Engine::PaintBackground()
{
    FillBackground(m_daytime ? kDaySky : kNightSky);
    switch (m_state)
    {
    case Playing:
    case Paused:
    case RoundOver:
        PaintPlayScreen();
        break;
    case SelectPlayer1:
    case SelectPlayer2:
        PaintCharacterSelect();
        break;
    case SelectLevel:
        PaintLevelSelect();
        break;
    default:
        // The main menu is the sky alone under its strings.
        break;
    }
}

void Stage2Engine::DrawBackgroundTriangle(int x1, int y1, int x2, int y2, int x3, int y3, uint32_t colour)
{
    DrawTriangle(static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
                 static_cast<double>(y2), static_cast<double>(x3), static_cast<double>(y3), colour,
                 GetBackground());
}

void Stage2Engine::PaintCharacterSelect()
{
    if (m_highlight >= 0 && m_highlight < kCharacterCount)
    {
        const int x = kPortraitHits[m_highlight].x1;
        const int y = kPortraitHits[m_highlight].y1;
        DrawRectangle(x - kBorderBefore, y - kBorderBefore, x + kPortraitSize + kBorderAfter - 1,
                      y + kPortraitSize + kBorderAfter - 1, kCyan, GetBackground());
    }
    for (int i = 0; i < kCharacterCount; ++i)
    {
        const PixelImage& portrait = m_characterPortraits[i];
        const ScreenRect& place = kPortraitHits[i];
        const int width = portrait.GetWidth();
        const int height = portrait.GetHeight();
        portrait.RenderImage(GetBackground(), 0, 0, place.x1, place.y1, width, height);
    }
    PaintButtons();
}

void Stage2Engine::PaintLevelSelect()
{
    auto frame = [this](int index, uint32_t colour) {
        const int x = kThumbnailHits[index].x1;
        const int y = kThumbnailHits[index].y1;
        DrawRectangle(x - kBorderBefore, y - kBorderBefore, x + kThumbnailWidth + kBorderAfter - 1,
                      y + kThumbnailHeight + kBorderAfter - 1, colour, GetBackground());
    };
    for (int i = 0; i < kLevelCount; ++i)
        frame(i, kBlack);
    if (m_highlight >= 0 && m_highlight < kLevelCount)
        frame(m_highlight, kCyan);
    for (int i = 0; i < kLevelCount; ++i)
    {
        const PixelImage& thumbnail = m_levelThumbnails[i];
        const ScreenRect& place = kThumbnailHits[i];
        const int width = thumbnail.GetWidth();
        const int height = thumbnail.GetHeight();
        thumbnail.RenderImage(GetBackground(), 0, 0, place.x1, place.y1, width, height);
    }
    PaintButtons();
}

void Stage2Engine::PaintButtons()
{
    DrawRectangle(kBackBox.x1, kBackBox.y1, kBackBox.x2, kBackBox.y2, kCyan, GetBackground());
    // The arrow head points left from the box's left edge.
    DrawBackgroundTriangle(50, 30, 40, 45, 50, 60, kCyan);
    DrawRectangle(kConfirmBox.x1, kConfirmBox.y1, kConfirmBox.x2, kConfirmBox.y2, kCyan, GetBackground());
}

// Stars first, so a level tile in the same cell covers its star; by day
// there are no stars at all.
void Stage2Engine::PaintPlayScreen()
{
    if (!m_daytime)
        PaintGrid(m_backgroundMap, m_backgroundGrid);
    PaintGrid(m_tileMap, m_levelGrid);
}

// The maps are rebuilt from the byte grids on every paint, so a paint always
// shows the grid that was read last.
void Stage2Engine::PaintGrid(TileManager& map, const Grid& grid)
{
    map.SetMapSize(kGridColumns, kGridRows);
    for (int row = 0; row < kGridRows; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            map.SetCell(column, row, grid[row][column]);
    map.SetOrigin(0, 0);
    map.DrawTileRange(this, GetBackground(), 0, 0, kGridColumns - 1, kGridRows - 1, 0, 0);
}
