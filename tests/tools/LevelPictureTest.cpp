#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"
#include "tools/LevelPicture.h"
#include "tools/PngFile.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace
{
class LevelPictureTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(testing_support::InitialiseHeadless(m_game), 0); }
    void TearDown() override { m_game.Deinitialise(); }

    uint32_t At(int x, int y) const { return m_picture.Pixels()[y * 960 + x]; }

    Stage2Engine m_game;
    LevelPicture m_picture{m_game};
};
} // namespace

TEST_F(LevelPictureTest, RegeneratesEveryCommittedThumbnailPixelForPixel)
{
    for (int index = 0; index < static_cast<int>(std::size(LevelPicture::kLevels)); ++index)
    {
        const LevelPicture::Level& level = LevelPicture::kLevels[index];
        ASSERT_TRUE(m_picture.PaintLevel(index)) << level.mapFile;
        std::vector<uint32_t> committed;
        int width = 0;
        int height = 0;
        ASSERT_TRUE(PngFile::Load(testing_support::SourceDir() + "/Resources/maps/" +
                                      level.thumbnail,
                                  committed, width, height))
            << level.thumbnail;
        EXPECT_EQ(width, LevelPicture::kThumbnailWidth);
        EXPECT_EQ(height, LevelPicture::kThumbnailHeight);
        EXPECT_EQ(m_picture.Thumbnail(width, height), committed)
            << level.thumbnail << " is not what " << level.mapFile << " draws";
    }
}

TEST_F(LevelPictureTest, PaintsTheNightSkyThenStarsThenTiles)
{
    const std::string dir = testing_support::MakeTempDir();
    const std::string empty(40, '0');
    std::string stars = "44" + empty.substr(2) + "\n";
    std::string level = "01" + empty.substr(2) + "\n";
    for (int row = 1; row < 30; ++row)
    {
        stars += empty + "\n";
        level += empty + "\n";
    }
    testing_support::WriteFile(dir + "/stars.txt", stars);
    testing_support::WriteFile(dir + "/level.txt", level + "0 0 24 0 ");
    ASSERT_TRUE(m_picture.Paint(dir + "/level.txt", dir + "/stars.txt"));

    const PixelImage& star = m_game.GetBackgroundMap().GetTileImage(4);
    const PixelImage& brick = m_game.GetTileMap().GetTileImage(1);
    EXPECT_EQ(At(10, 10), star.GetPixel(10, 10) | 0xFF000000) << "a star on an empty cell";
    EXPECT_EQ(At(0, 0), Stage2Engine::kNightSky | 0xFF000000) << "sky around the star";
    EXPECT_EQ(At(34, 10), brick.GetPixel(10, 10) | 0xFF000000) << "a brick hides its star";
    EXPECT_EQ(At(500, 500), Stage2Engine::kNightSky | 0xFF000000);

    EXPECT_FALSE(m_picture.Paint(dir + "/missing.txt", dir + "/stars.txt"));
}

TEST(BoxDownscale, AveragesTheAreaUnderEachPixel)
{
    // Whole pixels: pairs average.
    EXPECT_EQ(LevelPicture::BoxDownscale({0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFF204060}, 4, 1,
                                         2, 1),
              (std::vector<uint32_t>{0xFF808080, 0xFF102030}));
    // A fractional scale weighs the shared middle pixel by its covered half:
    // (0 + 90 / 2) / 1.5 = 30 and (90 / 2 + 180) / 1.5 = 150.
    EXPECT_EQ(LevelPicture::BoxDownscale({0x000000, 0x5A5A5A, 0xB4B4B4}, 3, 1, 2, 1),
              (std::vector<uint32_t>{0xFF1E1E1E, 0xFF969696}));
    // An even colour stays even at the thumbnail's 3.2 scale.
    const std::vector<uint32_t> sky(960 * 720, 0x002E44);
    const std::vector<uint32_t> small = LevelPicture::BoxDownscale(sky, 960, 720, 300, 225);
    ASSERT_EQ(small.size(), 300u * 225);
    for (const uint32_t pixel : small)
        ASSERT_EQ(pixel, 0xFF002E44);
    // Sizes that do not fit the pixels give nothing.
    EXPECT_TRUE(LevelPicture::BoxDownscale({0, 0, 0}, 2, 2, 1, 1).empty());
    EXPECT_TRUE(LevelPicture::BoxDownscale({0}, 1, 1, 0, 1).empty());
}
