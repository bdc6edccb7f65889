#include "tests/game/GameTestSupport.h"

using game_testing::CountInRect;
using game_testing::GameTest;
using testing_support::RgbAt;

namespace
{
constexpr uint32_t kNight = Stage2Engine::kNightSky;
constexpr uint32_t kDay = Stage2Engine::kDaySky;
constexpr uint32_t kCyan = Stage2Engine::kCyan;
constexpr uint32_t kBlack = Stage2Engine::kBlack;
constexpr int kTile = 24;

// True when the rectangle's outer ring of pixels is all one colour and the
// ring just outside it is not.
bool FramedIn(SDL_Surface* surface, int x1, int y1, int x2, int y2, uint32_t colour)
{
    const int corners[][2] = {{x1, y1}, {x2, y1}, {x1, y2}, {x2, y2}};
    for (const auto& c : corners)
        if (RgbAt(surface, c[0], c[1]) != colour)
            return false;
    const int outside[][2] = {{x1 - 1, y1}, {x2 + 1, y2}, {x1, y1 - 1}, {x2, y2 + 1}};
    for (const auto& c : outside)
        if (RgbAt(surface, c[0], c[1]) == colour)
            return false;
    return true;
}

// The cell's pixels against a tile picture drawn over a sky: pixels of the
// picture's transparent colour show the sky when masked.
bool CellShows(SDL_Surface* surface, int column, int row, const PixelImage& picture, bool masked,
               uint32_t sky)
{
    const uint32_t transparent = picture.GetPixel(kTile - 1, kTile - 1);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
        {
            const uint32_t p = picture.GetPixel(x, y);
            const uint32_t expected = masked && p == transparent ? sky : (p & 0xFFFFFF);
            if (RgbAt(surface, column * kTile + x, row * kTile + y) != expected)
                return false;
        }
    return true;
}
} // namespace

TEST_F(GameTest, SkyFollowsTheDayOnTheMenus)
{
    EXPECT_EQ(testing_support::CountRgb(Background(), kNight), 960 * 720);
    game->ToggleDaytime();
    game->PaintBackground();
    EXPECT_EQ(testing_support::CountRgb(Background(), kDay), 960 * 720);
}

TEST_F(GameTest, CharacterScreenHighlightsOnlyTheChosenPortrait)
{
    game->Click(0, 0);
    EXPECT_EQ(CountInRect(Background(), 80, 130, 870, 570, kCyan), 0);
    // The buttons: Back's box and arrow head, and Confirm's box.
    EXPECT_TRUE(FramedIn(Background(), 50, 30, 130, 60, kCyan));
    EXPECT_EQ(RgbAt(Background(), 45, 45), kCyan);
    EXPECT_EQ(RgbAt(Background(), 41, 36), kNight);
    EXPECT_TRUE(FramedIn(Background(), 700, 630, 850, 680, kCyan));

    game->Click(550, 550);
    EXPECT_TRUE(FramedIn(Background(), 390, 390, 560, 560, kCyan));
    EXPECT_EQ(RgbAt(Background(), 399, 399), kCyan);
    EXPECT_EQ(RgbAt(Background(), 550, 550), kCyan);
    EXPECT_EQ(CountInRect(Background(), 80, 130, 870, 380, kCyan), 0);
    for (int i = 0; i < Stage2Engine::kCharacterCount; ++i)
    {
        const PixelImage& portrait = game->GetPortrait(i);
        const int x = Stage2Engine::kPortraitCorners[i][0];
        const int y = Stage2Engine::kPortraitCorners[i][1];
        EXPECT_EQ(RgbAt(Background(), x, y), portrait.GetPixel(0, 0)) << i;
        EXPECT_EQ(RgbAt(Background(), x + 149, y + 149), portrait.GetPixel(149, 149)) << i;
    }
}

TEST_F(GameTest, LevelScreenFramesThumbnailsInBlackAndTheChosenInCyan)
{
    game->ClickIntoRound(0, 0, 0);
    game->OnKeyDown(0x20);
    game->OnKeyDown(0x71);
    game->Click(0, 0);
    game->Click(100, 150);
    game->Click(700, 630);
    game->Click(100, 150);
    game->Click(700, 630);
    ASSERT_EQ(game->m_state, SelectLevel);

    const int frames[][4] = {{120, 90, 440, 335}, {520, 90, 840, 335}, {120, 360, 440, 605},
                             {520, 360, 840, 605}};
    for (const auto& f : frames)
        EXPECT_TRUE(FramedIn(Background(), f[0], f[1], f[2], f[3], kBlack));
    game->Click(530, 370);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(FramedIn(Background(), frames[i][0], frames[i][1], frames[i][2], frames[i][3],
                             i == 3 ? kCyan : kBlack))
            << i;
    const PixelImage& thumbnail = game->GetThumbnail(3);
    EXPECT_EQ(RgbAt(Background(), 530, 370), thumbnail.GetPixel(0, 0));
    EXPECT_EQ(RgbAt(Background(), 829, 594), thumbnail.GetPixel(299, 224));
    EXPECT_TRUE(FramedIn(Background(), 50, 30, 130, 60, kCyan));
    EXPECT_TRUE(FramedIn(Background(), 700, 630, 850, 680, kCyan));
}

TEST_F(GameTest, PlayScreenDrawsStarsAtNightUnderTheLevelAndNoneByDay)
{
    game->ClickIntoRound(0, 0, 0);
    for (auto& row : game->m_levelGrid)
        for (signed char& cell : row)
            cell = 0;
    for (auto& row : game->m_backgroundGrid)
        for (signed char& cell : row)
            cell = 0;
    game->m_backgroundGrid[5][5] = 4;  // a star under a brick
    game->m_levelGrid[5][5] = 1;
    game->m_backgroundGrid[5][10] = 4; // a star on an empty cell
    game->m_levelGrid[7][3] = 4;       // a lever
    game->PaintBackground();

    const PixelImage& star = game->GetBackgroundMap().GetTileImage(4);
    const PixelImage& brick = game->GetTileMap().GetTileImage(1);
    ASSERT_TRUE(star.HasPixels() && brick.HasPixels());
    EXPECT_TRUE(CellShows(Background(), 5, 5, brick, false, kNight));
    EXPECT_TRUE(CellShows(Background(), 10, 5, star, true, kNight));
    EXPECT_GT(CountInRect(Background(), 240, 120, 263, 143, kNight), 0);
    EXPECT_LT(CountInRect(Background(), 240, 120, 263, 143, kNight), kTile * kTile);
    EXPECT_TRUE(CellShows(Background(), 3, 7, game->GetTileMap().GetTileImage(5), true, kNight));

    game->ToggleDaytime();
    game->PaintBackground();
    EXPECT_EQ(CountInRect(Background(), 240, 120, 263, 143, kDay), kTile * kTile);
    EXPECT_TRUE(CellShows(Background(), 5, 5, brick, false, kDay));
    EXPECT_TRUE(CellShows(Background(), 3, 7, game->GetTileMap().GetTileImage(4), true, kDay));
}
