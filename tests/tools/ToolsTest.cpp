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

#include <SDL.h>
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
        for (const auto& entry : fs::recursive_directory_iterator(Source("Resources/") + folder))
            EXPECT_TRUE(written.count(fs::relative(entry.path(), Source("Resources")).string()) ||
                        entry.is_directory())
                << entry.path() << " has no source";
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
        EXPECT_EQ(committed.width * 1000 + committed.height, kThumbnailWidth * 1000 + kThumbnailHeight);
        EXPECT_EQ(picture.Thumbnail(committed.width, committed.height), committed.pixels)
            << kThumbnailFiles[index] << " is not what " << kLevelFiles[index] << " draws";
    }
    EXPECT_FALSE(picture.Paint("missing.txt"));
}

TEST(Tools, CommittedSoundsAreRemadeExactlyAndLoadAsTheGamesAudioReadsThem)
{
    std::vector<SourceDirectory::Source> sources;
    std::string error;
    ASSERT_TRUE(SourceDirectory::Read(Source("tools/sounds"), ".txt", sources, error)) << error;
    std::set<std::string> made;
    for (const auto& source : sources)
    {
        SoundSource sound;
        std::vector<int16_t> samples;
        ASSERT_TRUE(sound.Parse(source.text, error) && Synthesiser::Render(sound, samples, error))
            << source.path << error;
        const std::string path = Source(kSoundFolder) + source.stem + ".wav";
        EXPECT_TRUE(WavFile::Bytes(samples, sound.GetRate()) == testing_support::ReadFile(path)) << path;
        // As the library reads it: 16-bit mono, effects short, tunes a loop.
        SDL_AudioSpec loaded;
        Uint8* buffer = nullptr;
        Uint32 bytes = 0;
        ASSERT_TRUE(SDL_LoadWAV(path.c_str(), &loaded, &buffer, &bytes)) << path << ": " << SDL_GetError();
        SDL_FreeWAV(buffer);
        const double seconds = bytes / 2.0 / loaded.freq;
        EXPECT_TRUE(loaded.format == AUDIO_S16LSB && loaded.channels == 1 &&
                    (sound.IsTune() ? seconds >= 8 : seconds <= 1.5))
            << path << ": " << seconds << " s";
        made.insert(source.stem);
    }
    EXPECT_EQ(made.size(), std::size(kEffectNames) + 2) << "a source for every sound, and no more";
    for (const char* name : kEffectNames)
        EXPECT_TRUE(made.count(name)) << name << " is missing";
    EXPECT_TRUE(made.count(kMenuMusic) && made.count(kRoundMusic));
    for (const auto& entry : fs::directory_iterator(Source(kSoundFolder)))
        EXPECT_TRUE(made.count(entry.path().stem().string())) << entry.path() << " has no source";
}

TEST(Tools, MalformedSourcesAreRefusedNamingTheLine)
{
    const std::string head = "output a.png\npalette\nk 0xFF000000\n";
    ExpectRejected<PixelArt>(head + "pixels\nkk\nk\n", "line 6: row is 1 wide");
    ExpectRejected<PixelArt>(head + "pixels\nkx\n", "'x' is not in the palette");
    ExpectRejected<PixelArt>("output a.png\npalette\nk 0x8000FF00\npixels\nk\n",
                             "line 3"); // the game never blends
    ExpectRejected<PixelArt>("output ../a.png\n", "line 1");
    PictureSet pictures;
    std::string error;
    ASSERT_TRUE(pictures.Add("a", head + "pixels\nk\n", error)) << error;
    EXPECT_FALSE(pictures.Add("b", head + "pixels\nk\n", error));

    const std::string empty(40, '.'), starts = "..1" + std::string(34, '.') + "2..";
    const std::string level = "output t.txt\nkind level\ngrid\n";
    ExpectRejected<MapSource>(level + Rows(27, empty) + starts + "\n##^" + std::string(37, '#') + "\n" +
                                  empty,
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(level + Rows(28, empty) + std::string(40, '#') + "\n" + empty,
                              "no start for player 1");
    ExpectRejected<MapSource>(level + Rows(2, starts), "a second start");
    const std::string floor = starts + "\n" + std::string(40, '#') + "\n";
    ExpectRejected<MapSource>(level + "L" + empty.substr(1) + "\n" + Rows(27, empty) + floor,
                              "lever at column 0, row 0");
    ExpectRejected<MapSource>("output testmap.txt\nkind level\ngrid\n" + Rows(28, empty) + floor,
                              "walker has no floor");
    ExpectRejected<MapSource>(level + Rows(29, empty), "29 rows, not 30");
    ExpectRejected<MapSource>(level + empty + ".\n", "41 symbols");
    ExpectRejected<MapSource>("output t.txt\nkind background\ngrid\n#" + empty.substr(1), "symbol '#'");

    const std::string tune = "kind tune\ntempo 96\nloop 16\nvoice lead\n";
    ExpectRejected<SoundSource>("kind effect\nstep 50\nwave square 0\n", "line 3: wave");
    ExpectRejected<SoundSource>("kind effect\nstep 50 20\n", "line 2: \"20\" is more than step takes");
    ExpectRejected<SoundSource>(tune + "notes C4 4  H4 4\n", "line 5: \"H4\" is no note");
    ExpectRejected<SoundSource>(tune + "notes C4 5\nvoice bass\nnotes C3 16\n",
                                "line 4: the voice's notes last 5");
    // A 12 kHz sine's peaks fall on samples: at 100 % they are exactly full scale.
    for (const auto& [volume, message] :
         {std::pair<std::string, std::string>{"100", "full scale"}, {"0", "silent"}})
    {
        SoundSource sound;
        std::vector<int16_t> samples;
        EXPECT_TRUE(
            sound.Parse("kind effect\nstep 50\nwave sine\npitch 12000\nvolume " + volume + "\n", error) &&
            !Synthesiser::Render(sound, samples, error) && error.find(message) != std::string::npos)
            << error;
    }
}
