// The committed pictures and thumbnails against their sources, and what the
// game makes of them.
#include "engine/PixelImage.h"
#include "game/Stage2Engine.h"
#include "tests/TestSupport.h"
#include "tools/LevelPicture.h"
#include "tools/PictureSet.h"
#include "tools/PngFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

struct Picture
{
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture Load(const std::string& path)
{
    Picture picture;
    EXPECT_TRUE(PngFile::Load(path, picture.pixels, picture.width, picture.height)) << path;
    return picture;
}

std::string Resource(const std::string& path)
{
    return testing_support::SourceDir() + "/Resources/" + path;
}

// A picture as the game keeps it: loaded, then resampled to size x size.
void LoadAsGame(PixelImage& image, const std::string& path, int size)
{
    PixelImage loaded;
    ASSERT_TRUE(loaded.LoadImage(path.c_str())) << path;
    image.ResizeFrom(loaded, size, size, false);
}
} // namespace

TEST(PictureTool, RegeneratesEveryCommittedPicturePixelForPixel)
{
    PictureSet pictures;
    std::string error;
    const std::string art = testing_support::SourceDir() + "/tools/art";
    ASSERT_TRUE(pictures.LoadDirectory(art, error)) << error;
    const std::string out = testing_support::MakeTempDir();
    ASSERT_TRUE(pictures.WriteAll(out, error)) << error;

    // Every committed sprite and icon is made by a source...
    const std::vector<std::string> paths = pictures.OutputPaths();
    const std::set<std::string> written(paths.begin(), paths.end());
    for (const char* folder : {"sprites", "icons"})
        for (const auto& entry : fs::recursive_directory_iterator(Resource(folder)))
            EXPECT_TRUE(entry.path().extension() != ".png" ||
                        written.count(fs::relative(entry.path(), Resource("")).string()))
                << entry.path() << " has no source";
    // ...and every picture made is committed, with the very same pixels.
    for (const std::string& path : written)
    {
        const Picture made = Load(out + "/" + path);
        const Picture committed = Load(Resource(path));
        EXPECT_EQ(made.width, committed.width) << path;
        EXPECT_EQ(made.pixels, committed.pixels) << path << " differs from its source";
    }
    fs::remove_all(out);
}

TEST(PictureTool, RegeneratesEveryCommittedThumbnailPixelForPixel)
{
    Stage2Engine game;
    ASSERT_EQ(testing_support::InitialiseHeadless(game), 0);
    LevelPicture picture(game);
    for (int index = 0; index < GameData::kLevelCount; ++index)
    {
        ASSERT_TRUE(picture.PaintLevel(index)) << GameData::kLevelFiles[index];
        const Picture committed =
            Load(testing_support::SourceDir() + "/" + GameData::kThumbnailFiles[index]);
        EXPECT_EQ(committed.width, GameData::kThumbnailWidth);
        EXPECT_EQ(committed.height, GameData::kThumbnailHeight);
        EXPECT_EQ(picture.Thumbnail(committed.width, committed.height), committed.pixels)
            << GameData::kThumbnailFiles[index] << " is not what " << GameData::kLevelFiles[index]
            << " draws";
    }
    // Bad input draws nothing.
    EXPECT_FALSE(picture.Paint("missing.txt"));
    EXPECT_TRUE(LevelPicture::BoxDownscale({0, 0, 0}, 2, 2, 1, 1).empty());
    game.Deinitialise();
}

TEST(PictureTool, TilesKeepTheirTransparencyThroughTheGamesResampling)
{
    for (const char* name : {"background", "brick", "jumpblock", "thinplatform", "leverleft",
                             "leverright", "star", "smallstar"})
    {
        SCOPED_TRACE(name);
        const std::string path = Resource("sprites/environment/") + name + ".png";
        const Picture source = Load(path);
        ASSERT_EQ(source.width, 24);
        ASSERT_EQ(source.height, 24);
        // The game skips pixels equal to the lower-right one: after its
        // resampling those must be exactly the transparent ones.
        PixelImage kept;
        LoadAsGame(kept, path, 24);
        const bool masked = source.At(23, 23) >> 24 == 0;
        int wrong = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                wrong += (source.At(x, y) >> 24 == 0) != (masked && kept.GetPixel(x, y) == 0);
        EXPECT_EQ(wrong, 0);
    }
}

TEST(PictureTool, CharactersAreOpaqueMirroredTokensOnDistinctBackdrops)
{
    std::set<uint32_t> backdrops;
    const char* const names[] = {"kesto", "brindlewick", "marrowen", "ozzle",
                                 "quintar", "vek", "eater", "flyer"};
    for (const char* name : names)
    {
        SCOPED_TRACE(name);
        const std::string base = Resource("sprites/character/") + name;
        const Picture right = Load(base + "right.png");
        const Picture left = Load(base + "left.png");
        ASSERT_TRUE(right.width == 144 && right.height == 144 && left.width == 144 &&
                    left.height == 144);
        for (int y = 0; y < 144; ++y)
            for (int x = 0; x < 144; ++x)
            {
                ASSERT_EQ(right.At(x, y) >> 24, 0xFFu) << "drawn opaque";
                ASSERT_EQ(left.At(143 - x, y), right.At(x, y)) << "left is no mirror";
            }
        backdrops.insert(right.At(6, 6));
    }
    EXPECT_EQ(backdrops.size(), std::size(names)) << "two tokens share a backdrop";
}
