#include "tools/MapSource.h"
#include "tools/PictureSet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
template <typename Source>
void ExpectRejected(const std::string& text, const std::string& message)
{
    Source source;
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

const std::string kEmpty(40, '.');
const std::string kFloor(40, '#');
// Player 1 in column 2 (x 48), player 2 in column 37 (x 888).
const std::string kStarts = "..1" + std::string(34, '.') + "2..";
const std::string kLevel = "output t.txt\nkind level\ngrid\n";
} // namespace

TEST(PixelArt, ScalesAndMirrorsArtPixels)
{
    PixelArt art;
    std::string error;
    ASSERT_TRUE(art.Parse("# red, then clear\noutput a.png\nscale 2\npalette\n. transparent\n"
                          "r 0xFFFF0000 red\npixels\nr.\n",
                          error))
        << error;
    const uint32_t r = 0xFFFF0000;
    EXPECT_EQ(art.Render(false), (std::vector<uint32_t>{r, r, 0, 0, r, r, 0, 0}));
    EXPECT_EQ(art.Render(true), (std::vector<uint32_t>{0, 0, r, r, 0, 0, r, r}));
}

TEST(PixelArt, RejectsMalformedSourcesNamingTheLine)
{
    const std::string head = "output a.png\npalette\nk 0xFF000000\n";
    ExpectRejected<PixelArt>("palette\nk 0xFF000000\npixels\nk\n", "no output");
    ExpectRejected<PixelArt>(head + "pixels\nkk\nk\n", "line 6: row is 1 wide");
    ExpectRejected<PixelArt>(head + "pixels\nkx\n", "'x' is not in the palette");
    // The game never blends: a colour without full alpha is a slip.
    ExpectRejected<PixelArt>("output a.png\npalette\nk 0x00FF00\npixels\nk\n", "line 3");
    ExpectRejected<PixelArt>("output ../a.png\n", "line 1");
    ExpectRejected<PixelArt>(head + "pixels\n", "no pixel rows");

    PictureSet pictures;
    std::string error;
    ASSERT_TRUE(pictures.Add("a", head + "pixels\nk\n", error)) << error;
    EXPECT_FALSE(pictures.Add("b", head + "pixels\nk\n", error));
    EXPECT_NE(error.find("also written by a"), std::string::npos) << error;
}

TEST(MapSource, WritesTheGamesMapFormat)
{
    MapSource level;
    std::string error;
    ASSERT_TRUE(level.Parse("# a test\n" + kLevel + Rows(26, kEmpty) + kStarts + "\n" + kFloor +
                                "\n" + Rows(2, kEmpty),
                            error))
        << error;
    // 30 lines of 40 digits, each with one line end; four numbers, each
    // followed by one space, the last too, and no line end after them.
    const std::string zeros(40, '0');
    EXPECT_EQ(level.MapFileText(), Rows(26, zeros) + zeros + "\n" + std::string(40, '1') + "\n" +
                                       Rows(2, zeros) + "48 624 888 624 ");

    MapSource stars;
    ASSERT_TRUE(stars.Parse("output s.txt\nkind background\ngrid\n*+" + kEmpty.substr(2) + "\n" +
                                Rows(29, kEmpty),
                            error))
        << error;
    EXPECT_EQ(stars.MapFileText(), "45" + zeros.substr(2) + "\n" + Rows(29, zeros));
}

TEST(MapSource, RejectsMalformedOrUnplayableMaps)
{
    const std::string jumpUnderPlayer1 = "##^" + kFloor.substr(3);
    ExpectRejected<MapSource>(kLevel + Rows(27, kEmpty) + kStarts + "\n" + Rows(2, kEmpty),
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(kLevel + Rows(27, kEmpty) + kStarts + "\n" + jumpUnderPlayer1 +
                                  "\n" + kEmpty,
                              "player 1 does not stand on a brick");
    ExpectRejected<MapSource>(kLevel + Rows(28, kEmpty) + kFloor + "\n" + kEmpty,
                              "no start for player 1");
    ExpectRejected<MapSource>(kLevel + Rows(2, kStarts), "a second start");
    ExpectRejected<MapSource>(kLevel + Rows(29, kEmpty), "29 rows, not 30");
    ExpectRejected<MapSource>(kLevel + kEmpty + ".\n", "41 symbols");
    ExpectRejected<MapSource>(kLevel + "*" + kEmpty.substr(1) + "\n", "symbol '*'");
    ExpectRejected<MapSource>("output t.txt\nkind background\ngrid\n#" + kEmpty.substr(1),
                              "symbol '#'");
    ExpectRejected<MapSource>("output t.txt\ngrid\n" + Rows(30, kEmpty), "must both be named");
}
