// What each screen holds: the objects of the menus and of a round, the HUD's
// strings, and the painted backgrounds.
#include "tests/game/GameTestSupport.h"

#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"

#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using game_testing::CountInRect;
using game_testing::GameTest;
using testing_support::RgbAt;

namespace
{
constexpr uint32_t kNight = GameData::kNightSky;
constexpr uint32_t kDay = GameData::kDaySky;
constexpr uint32_t kCyan = GameData::kCyan;
constexpr uint32_t kBlack = GameData::kBlack;

// One entry of the object array, as "kind details x,y".
std::string Entry(DisplayableObject* object)
{
    std::ostringstream out;
    if (!object)
        return "end";
    if (const auto* platform = dynamic_cast<MovingPlatform*>(object))
        out << "platform " << platform->GetMinY() << ".." << platform->GetMaxY() << " ";
    else if (const auto* flyer = dynamic_cast<FlyingNPC*>(object))
        out << "flyer after " << flyer->GetTargetPlayer() << " ";
    else if (dynamic_cast<NPC*>(object))
        out << "walker ";
    else if (const auto* player = dynamic_cast<Player*>(object))
        out << "player " << player->GetPlayerNumber() << " ";
    out << object->GetX() << "," << object->GetY();
    return out.str();
}

// True when the rectangle's corners are of the colour and the pixels just
// outside it are not.
bool FramedIn(SDL_Surface* surface, int x1, int y1, int x2, int y2, uint32_t colour)
{
    return RgbAt(surface, x1, y1) == colour && RgbAt(surface, x2, y2) == colour &&
           RgbAt(surface, x1, y2) == colour && RgbAt(surface, x2, y1) == colour &&
           RgbAt(surface, x1 - 1, y1) != colour && RgbAt(surface, x2 + 1, y2) != colour &&
           RgbAt(surface, x1, y1 - 1) != colour && RgbAt(surface, x2, y2 + 1) != colour;
}

// A cell against a tile picture; drawn masked, its transparent pixels show
// the sky.
bool CellShows(SDL_Surface* surface, int column, int row, const PixelImage& picture, bool masked,
               uint32_t sky)
{
    const uint32_t transparent = picture.GetPixel(23, 23);
    bool same = true;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
        {
            const uint32_t p = picture.GetPixel(x, y);
            same &= RgbAt(surface, column * 24 + x, row * 24 + y) ==
                    (masked && p == transparent ? sky : (p & 0xFFFFFF));
        }
    return same;
}
} // namespace

TEST_F(GameTest, FourthLevelHoldsNineEntriesInOrder)
{
    game->ClickIntoRound(3, 5, 2);
    const auto start = [this](int player) {
        return "player " + std::to_string(player) + " " +
               std::to_string(player == 1 ? game->GetPlayer1StartX() : game->GetPlayer2StartX()) +
               "," +
               std::to_string(player == 1 ? game->GetPlayer1StartY() : game->GetPlayer2StartY());
    };
    const std::string expected[] = {
        "platform 100..350 144,350", "platform 350..600 444,350", "platform 100..350 744,350",
        start(1), start(2), "walker 100,600", "flyer after 1 120,48", "flyer after 2 840,48",
        "end"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(expected[i], Entry(game->GetDisplayableObject(i))) << i;
    EXPECT_EQ(game->GetPlayer1(), game->GetDisplayableObject(3));
    EXPECT_EQ(game->GetPlayer2(), game->GetDisplayableObject(4));
}

TEST_F(GameTest, OtherLevelsHoldTheChosenPlayersAtTheFileStartPositions)
{
    // A level file of its own, beside the real sprites.
    const std::string dir = testing_support::MakeTempDir();
    testing_support::MakeDirectories(dir + "/Resources/maps");
    ASSERT_EQ(symlink((testing_support::SourceDir() + "/Resources/sprites").c_str(),
                      (dir + "/Resources/sprites").c_str()),
              0);
    std::string level;
    for (int row = 0; row < 30; ++row)
        level += std::string(40, '0') + "\n";
    testing_support::WriteFile(dir + "/Resources/maps/level2.txt", level + "48 624 888 600 ");
    {
        testing_support::WorkingDirectory inTemp(dir);
        game->ClickIntoRound(1, 4, 0);
    }
    EXPECT_EQ("player 1 48,624", Entry(game->GetDisplayableObject(0)));
    EXPECT_EQ("player 2 888,600", Entry(game->GetDisplayableObject(1)));
    EXPECT_EQ("end", Entry(game->GetDisplayableObject(2)));

    // Each wears the sprites of the character chosen for it, told apart by
    // the backdrop colour.
    const uint32_t quintar = Character(game.get(), 0, 0, 4).GetRightImage().GetPixel(1, 1);
    const uint32_t kesto = Character(game.get(), 0, 0, 0).GetRightImage().GetPixel(1, 1);
    ASSERT_NE(quintar, kesto);
    EXPECT_EQ(quintar, game->GetPlayer1()->GetRightImage().GetPixel(1, 1));
    EXPECT_EQ(kesto, game->GetPlayer2()->GetRightImage().GetPixel(1, 1));
}

TEST_F(GameTest, HudShowsDamageAsPercentagesAndTheClockThenACountdown)
{
    const std::pair<float, const char*> damages[] = {{1.0f, "0%"}, {2.0f, "25%"}, {3.0f, "50%"},
                                                     {5.0f, "100%"}, {1.1f, "3%"}};
    for (const auto& d : damages)
        EXPECT_EQ(Stage2Engine::DamageText(d.first), d.second) << d.first;
    const std::pair<int, const char*> clocks[] = {{120, "2:00"}, {65, "1:05"}, {6, "0:06"}};
    for (const auto& c : clocks)
        EXPECT_EQ(Stage2Engine::ClockText(c.first), c.second) << c.first;

    game->ClickIntoRound(0, 0, 1);
    game->UsePlayers(new game_testing::ScriptedPlayer(game.get(), 1),
                     new game_testing::ScriptedPlayer(game.get(), 2));
    const auto render = [this](int seconds, bool whole) {
        game->m_secondsLeft = seconds;
        game->Redraw(whole);
        game->RenderFrame();
    };
    render(6, true);
    EXPECT_GT(CountInRect(Foreground(), 35, 10, 100, 39, kCyan), 0) << "player 1's damage";
    EXPECT_GT(CountInRect(Foreground(), 880, 10, 959, 39, kCyan), 0) << "player 2's damage";
    EXPECT_GT(CountInRect(Foreground(), 440, 10, 520, 39, kCyan), 0) << "0:06";
    EXPECT_EQ(CountInRect(Foreground(), 475, 350, 959, 719, kCyan), 0);
    // From 5 down the countdown stands mid-screen, each number drawn afresh.
    render(5, false);
    EXPECT_EQ(CountInRect(Foreground(), 440, 10, 520, 39, kCyan), 0);
    EXPECT_GT(CountInRect(Foreground(), 475, 350, 520, 390, kCyan), 0);
    render(4, false);
    const int four = CountInRect(Foreground(), 475, 350, 959, 719, kCyan);
    render(4, true);
    EXPECT_EQ(four, CountInRect(Foreground(), 475, 350, 959, 719, kCyan)) << "no digits piled up";
}

TEST_F(GameTest, MenusShowTheSkyAndSelectionScreensHighlightTheChoice)
{
    EXPECT_TRUE(dynamic_cast<MovingText*>(game->GetDisplayableObject(0)));
    EXPECT_FALSE(game->GetDisplayableObject(1)) << "the start-up array holds the score line alone";
    EXPECT_EQ(testing_support::CountRgb(Background(), kNight), 960 * 720);
    game->ToggleDaytime();
    game->PaintBackground();
    EXPECT_EQ(testing_support::CountRgb(Background(), kDay), 960 * 720);
    game->ToggleDaytime();

    game->Click(0, 0);
    EXPECT_EQ(CountInRect(Background(), 80, 130, 870, 570, kCyan), 0);
    game->Click(550, 550);
    EXPECT_TRUE(FramedIn(Background(), 390, 390, 560, 560, kCyan)) << "portrait 4's border";
    EXPECT_EQ(CountInRect(Background(), 80, 130, 870, 380, kCyan), 0);

    game->Click(700, 630);
    game->Click(100, 150);
    game->Click(700, 630);
    game->Click(530, 370);
    ASSERT_EQ(game->GetState(), SelectLevel);
    for (int i = 0; i < 4; ++i)
    {
        const int x = GameData::kThumbnailHits[i].x1;
        const int y = GameData::kThumbnailHits[i].y1;
        const uint32_t frame = i == 3 ? kCyan : kBlack;
        EXPECT_TRUE(FramedIn(Background(), x - 10, y - 10, x + 310, y + 235, frame)) << i;
    }
}

TEST_F(GameTest, PlayScreenDrawsStarsAtNightUnderTheLevelAndNoneByDay)
{
    game->ClickIntoRound(0, 0, 0);
    for (int row = 0; row < GameData::kGridRows; ++row)
        for (int column = 0; column < GameData::kGridColumns; ++column)
            game->m_levelGrid[row][column] = game->m_backgroundGrid[row][column] = 0;
    game->m_backgroundGrid[5][5] = 4; // a star under a brick
    game->m_levelGrid[5][5] = 1;
    game->m_backgroundGrid[5][10] = 4; // a star on an empty cell
    game->PaintBackground();
    const PixelImage& star = game->GetBackgroundMap().GetTileImage(4);
    const PixelImage& brick = game->GetTileMap().GetTileImage(1);
    EXPECT_TRUE(CellShows(Background(), 5, 5, brick, false, kNight));
    EXPECT_TRUE(CellShows(Background(), 10, 5, star, true, kNight));

    game->ToggleDaytime();
    game->PaintBackground();
    EXPECT_EQ(CountInRect(Background(), 240, 120, 263, 143, kDay), 24 * 24);
    EXPECT_TRUE(CellShows(Background(), 5, 5, brick, false, kDay));
}
