#include "engine/PixelImage.h"
#include "tests/TestSupport.h"
#include "tools/PictureSet.h"
#include "tools/PngFile.h"

#include <gtest/gtest.h>

#include <filesystem>
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

// A tile as the game keeps it: loaded, then resampled to 24 x 24.
void LoadAsGame(PixelImage& image, const std::string& path, int size)
{
    PixelImage loaded;
    ASSERT_TRUE(loaded.LoadImage(path.c_str())) << path;
    image.ResizeFrom(loaded, size, size, false);
}

const char* const kCharacters[] = {"kesto", "brindlewick", "marrowen", "ozzle",
                                   "quintar", "vek", "eater", "flyer"};
} // namespace

TEST(PictureTool, RegeneratesEveryCommittedPicturePixelForPixel)
{
    PictureSet pictures;
    std::string error;
    ASSERT_TRUE(pictures.LoadDirectory(testing_support::SourceDir() + "/tools/art", error))
        << error;
    const std::string out = testing_support::MakeTempDir();
    ASSERT_TRUE(pictures.WriteAll(out, error)) << error;

    // Every committed sprite and icon is made by a source...
    const std::vector<std::string> paths = pictures.OutputPaths();
    const std::set<std::string> written(paths.begin(), paths.end());
    for (const char* folder : {"sprites", "icons"})
    {
        for (const auto& entry : fs::recursive_directory_iterator(Resource(folder)))
        {
            if (entry.path().extension() == ".png")
            {
                EXPECT_TRUE(written.count(fs::relative(entry.path(), Resource("")).string()))
                    << entry.path() << " has no source";
            }
        }
    }

    // ...and every picture made is committed, with the very same pixels.
    for (const std::string& path : written)
    {
        const Picture made = Load(out + "/" + path);
        const Picture committed = Load(Resource(path));
        ASSERT_EQ(made.width, committed.width) << path;
        ASSERT_EQ(made.height, committed.height) << path;
        EXPECT_EQ(made.pixels, committed.pixels) << path << " differs from its source";
    }
    fs::remove_all(out);
}

TEST(PictureTool, TilesKeepTheirTransparencyThroughTheGamesResampling)
{
    const struct
    {
        const char* name;
        bool opaque;
    } tiles[] = {{"background", true}, {"brick", true},       {"jumpblock", true},
                 {"thinplatform", false}, {"leverleft", false}, {"leverright", false},
                 {"star", false},         {"smallstar", false}};
    for (const auto& tile : tiles)
    {
        const std::string path = Resource("sprites/environment/") + tile.name + ".png";
        const Picture source = Load(path);
        ASSERT_EQ(source.width, 24);
        ASSERT_EQ(source.height, 24);
        // The game skips pixels equal to the lower-right one: after its
        // resampling those must be exactly the transparent ones.
        PixelImage kept;
        LoadAsGame(kept, path, 24);
        EXPECT_EQ(kept.GetPixel(23, 23) == 0, !tile.opaque) << tile.name;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
            {
                const bool transparent = source.At(x, y) >> 24 == 0;
                EXPECT_EQ(transparent, !tile.opaque && kept.GetPixel(x, y) == 0)
                    << tile.name << " pixel " << x << "," << y;
            }
    }
}

TEST(PictureTool, CharactersAreOpaqueMirroredTokensThatStaySharpAtGameSizes)
{
    std::set<uint32_t> backdrops;
    for (const char* name : kCharacters)
    {
        const std::string base = Resource("sprites/character/") + name;
        const Picture right = Load(base + "right.png");
        const Picture left = Load(base + "left.png");
        ASSERT_EQ(right.width, 144) << name;
        ASSERT_EQ(right.height, 144) << name;
        ASSERT_EQ(left.width, 144) << name;
        ASSERT_EQ(left.height, 144) << name;
        for (int y = 0; y < 144; ++y)
            for (int x = 0; x < 144; ++x)
            {
                ASSERT_EQ(right.At(x, y) >> 24, 0xFFu) << name << " is drawn opaque";
                ASSERT_EQ(left.At(143 - x, y), right.At(x, y)) << name << " left is no mirror";
            }

        PixelImage small;
        LoadAsGame(small, base + "right.png", 24);
        // Each 6 x 6 block's colour survives the game's downscale exactly...
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                ASSERT_EQ(small.GetPixel(x, y), right.At(x * 6, y * 6) & 0xFFFFFF) << name;
        // ...and the token's border is dark, to stand out on the day sky.
        for (int i = 0; i < 24; ++i)
            for (const uint32_t edge : {small.GetPixel(i, 0), small.GetPixel(0, i),
                                        small.GetPixel(i, 23), small.GetPixel(23, i)})
                EXPECT_LT(((edge >> 16) & 0xFF) + ((edge >> 8) & 0xFF) + (edge & 0xFF), 120u)
                    << name;
        backdrops.insert(right.At(6, 6));
    }
    EXPECT_EQ(backdrops.size(), std::size(kCharacters)) << "two tokens share a backdrop";
}
