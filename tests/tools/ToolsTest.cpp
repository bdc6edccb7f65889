// The data tools and the data they made: committed pictures, thumbnails, map
// files and sounds must be what the tools make from their sources, the levels
// must be playable, and malformed sources are refused.
#include "engine/PixelImage.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"
#include "tools/LevelPicture.h"
#include "tools/MapSource.h"
#include "tools/PictureSet.h"
#include "tools/PngFile.h"
#include "tools/SoundSource.h"
#include "tools/SourceDirectory.h"
#include "tools/Synthesiser.h"
#include "tools/WavFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace GameData;

namespace
{
struct Picture
{
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

Picture Load(const std::string& path)
{
    Picture picture;
    EXPECT_TRUE(PngFile::Load(path, picture.pixels, picture.width, picture.height)) << path;
    return picture;
}

std::string Source(const std::string& path) { return testing_support::SourceDir() + "/" + path; }

template <typename Parsed> void ExpectRejected(const std::string& text, const std::string& message)
{
    Parsed source;
    std::string error;
    EXPECT_FALSE(source.Parse(text, error)) << text;
    EXPECT_NE(error.find(message), std::string::npos) << "got: " << error;
}

std::string Rows(int count, const std::string& row)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += row + "\n";
    return text;
}
} // namespace

TEST(Tools, CommittedPicturesThumbnailsAndMapsAreRemadeExactly)
{
    PictureSet pictures;
    std::string error;
    ASSERT_TRUE(pictures.LoadDirectory(Source("tools/art"), error)) << error;
    const std::string out = testing_support::MakeTempDir();
    ASSERT_TRUE(pictures.WriteAll(out, error)) << error;
    // Every committed sprite and icon is made by a source, with the same pixels.
    const std::vector<std::string> paths = pictures.OutputPaths();
    const std::set<std::string> written(paths.begin(), paths.end());
    for (const char* folder : {"sprites", "icons"})
    {
        for (const auto& entry : fs::recursive_directory_iterator(Source("Resources/") + folder))
        {
            if (entry.is_directory())
                continue;
            const std::string path = fs::relative(entry.path(), Source("Resources")).string();
            EXPECT_EQ(written.count(path), 1u) << path << " has no source";
        }
    }
    for (const std::string& path : written)
        EXPECT_EQ(Load(out + "/" + path).pixels, Load(Source("Resources/") + path).pixels) << path;
    fs::remove_all(out);

    std::vector<SourceDirectory::Source> sources;
    ASSERT_TRUE(SourceDirectory::Read(Source("tools/maps"), ".map", sources, error)) << error;
    for (const auto& source : sources)
    {
        MapSource map;
        ASSERT_TRUE(map.Parse(source.text, error)) << source.path << ": " << error;
        EXPECT_EQ(map.MapFileText(), testing_support::ReadFile(Source("Resources/maps/") + map.GetOutput()))
            << map.GetOutput() << " differs from " << source.path;
    }
    EXPECT_EQ(sources.size(), 5u);

    GameDriver game;
    LevelPicture picture(game);
    for (int index = 0; index < kLevelCount; ++index)
    {
        ASSERT_TRUE(picture.PaintLevel(index)) << kLevelFiles[index];
        const Picture committed = Load(Source(kThumbnailFiles[index]));
        EXPECT_EQ(committed.width, kThumbnailWidth) << kThumbnailFiles[index];
        EXPECT_EQ(committed.height, kThumbnailHeight) << kThumbnailFiles[index];
        EXPECT_EQ(picture.Thumbnail(committed.width, committed.height), committed.pixels)
            << kThumbnailFiles[index] << " is not what " << kLevelFiles[index] << " draws";
    }
    EXPECT_FALSE(picture.Paint("missing.txt"));
}

// (The engine's sound test plays a committed file through the library.)
TEST(Tools, CommittedSoundsAreRemadeExactly)
{
    std::vector<SourceDirectory::Source> sources;
    std::string error;
    ASSERT_TRUE(SourceDirectory::Read(Source("tools/sounds"), ".txt", sources, error)) << error;
    std::set<std::string> made;
    for (const auto& source : sources)
    {
        SoundSource sound;
        std::vector<int16_t> samples;
        ASSERT_TRUE(sound.Parse(source.text, error)) << source.path << ": " << error;
        ASSERT_TRUE(Synthesiser::Render(sound, samples, error)) << source.path << ": " << error;
        const std::string path = Source(kSoundFolder) + source.stem + ".wav";
        EXPECT_TRUE(WavFile::Bytes(samples, sound.GetRate()) == testing_support::ReadFile(path))
            << path << " is not what " << source.path << " makes";
        made.insert(source.stem);
    }
    EXPECT_EQ(made.size(), std::size(kEffectNames) + 2) << "a source for every sound, and no more";
    for (const char* name : kEffectNames)
        EXPECT_EQ(made.count(name), 1u) << name << " is missing";
    EXPECT_EQ(made.count(kMenuMusic), 1u) << kMenuMusic << " is missing";
    EXPECT_EQ(made.count(kRoundMusic), 1u) << kRoundMusic << " is missing";
    for (const auto& entry : fs::directory_iterator(Source(kSoundFolder)))
        EXPECT_EQ(made.count(entry.path().stem().string()), 1u) << entry.path() << " has no source";
}

// Each refusal the tools' users most need: a start or a lever with no floor,
// no room for the fourth level's objects, a sound source's leftovers and
// misfits, and a sound that would clip or stay silent.
TEST(Tools, MalformedSourcesAreRefusedNamingTheLine)
{
    const std::string empty(40, '.');
    const std::string starts = "..1" + std::string(34, '.') + "2..";
    const std::string floor = starts + "\n" + std::string(40, '#') + "\n";
    const std::string level = "output t.txt\nkind level\ngrid\n";
    ExpectRejected<MapSource>(level + Rows(27, empty) + starts + "\n##^" + std::string(37, '#') + "\n" +
                                  empty,
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(level + "L" + empty.substr(1) + "\n" + Rows(27, empty) + floor,
                              "lever at column 0, row 0");
    ExpectRejected<MapSource>("output testmap.txt\nkind level\ngrid\n" + Rows(28, empty) + floor,
                              "walker has no floor");

    const std::string tune = "kind tune\ntempo 96\nloop 16\nvoice lead\n";
    ExpectRejected<SoundSource>("kind effect\nstep 50 20\n", "line 2: \"20\" is more than step takes");
    ExpectRejected<SoundSource>(tune + "notes C4 5\nvoice bass\nnotes C3 16\n",
                                "line 4: the voice's notes last 5");
    // A 12 kHz sine's peaks fall on samples: at 100 % they are exactly full scale.
    for (const auto& [volume, message] :
         {std::pair<std::string, std::string>{"100", "full scale"}, {"0", "silent"}})
    {
        SoundSource sound;
        std::vector<int16_t> samples;
        std::string error;
        const std::string text = "kind effect\nstep 50\nwave sine\npitch 12000\nvolume " + volume + "\n";
        ASSERT_TRUE(sound.Parse(text, error)) << error;
        EXPECT_FALSE(Synthesiser::Render(sound, samples, error)) << "made at volume " << volume;
        EXPECT_NE(error.find(message), std::string::npos) << "got: " << error;
    }
}
