// The game started on spoiled data: it reports what it cannot read, keeps
// running, and a scripted round still plays to its end.
#include "objects/Character.h"
#include "tests/TestSupport.h"
#include "tests/baddata/DataDirectory.h"
#include "tools/soak/SoakRun.h"

#include <gtest/gtest.h>

namespace
{
constexpr signed char kPastEndOfFile = static_cast<signed char>((EOF - '0') & 0xFF);
// Found by fuzzing: a bare XCF header, which the image library decodes to a
// picture of 0 x 0 pixels rather than failing.
const std::string kEmptyPicture("gimp xcf A\x86\x89PN", 14);
const int kPatterns[][3] = {{'d', 'j', 'w'}, {'a', 'l', 'i'}, {'c', 'n', 's'}, {'w', 'k', 'd'}};

// What a session on the data showed.
struct Session
{
    std::string printed; // up to the end of the scripted round
    bool started = false;
    bool portraitBlank = false;
    signed char firstCell = 0;
    signed char lastCell = 0;
    signed char firstStar = 0;
    int startPositions[4] = {};
    int deaths1 = 0;
    bool ended = false;
    int scoreGain = 0;
    bool backOnMenu = false;
    SoakReport soak;
};

bool AllZero(const PixelImage& image)
{
    for (int i = 0; i < image.GetWidth() * image.GetHeight(); ++i)
        if (image.GetPixels()[i] != 0)
            return false;
    return image.HasPixels();
}

void PlayRound(DrivenGame& game, int level, Session& session)
{
    session.portraitBlank = AllZero(game.GetPortrait(0));
    session.firstStar = game.GetBackgroundTile(0, 0);
    session.started = game.StartRound(2, 5, level);
    if (!session.started)
        return;
    session.firstCell = game.GetLevelTile(0, 0);
    session.lastCell = game.GetLevelTile(39, 29);
    session.startPositions[0] = game.GetPlayer1StartX();
    session.startPositions[1] = game.GetPlayer1StartY();
    session.startPositions[2] = game.GetPlayer2StartX();
    session.startPositions[3] = game.GetPlayer2StartY();
    const int scores = game.GetScoreTotal();

    // Six seconds of play, the players' keys held in turn.
    for (int pass = 0; pass < 400; ++pass)
    {
        if (pass % 50 == 0)
        {
            game.ReleaseAllKeys();
            for (int key : kPatterns[(pass / 50) % 4])
                game.PressKey(key);
        }
        game.Pass();
    }
    // Then the clock runs out quickly: a second of game time each pass.
    for (int pass = 0; pass < 200 && game.GetState() == Playing; ++pass)
        game.Pass(1000);
    session.ended = game.GetState() == RoundOver;
    if (session.ended)
        session.deaths1 = game.GetPlayer1()->GetDeaths();
    session.scoreGain = game.GetScoreTotal() - scores;
    game.ReleaseAllKeys();
    game.PressKey(' ');
    game.ReleaseKey(' ');
    game.Pass();
    session.backOnMenu = game.GetState() == MainMenu && game.ObjectCount() == 1;
}

Session PlayIn(const DataDirectory& data, int level)
{
    Session session;
    testing_support::WorkingDirectory inside(data.Path());
    DrivenGame* game = nullptr;
    {
        testing_support::StdoutCapture capture;
        game = new DrivenGame;
        if (testing_support::InitialiseHeadless(*game) == 0)
            PlayRound(*game, level, session);
        session.printed = capture.Finish();
    }
    if (session.started)
    {
        // And every screen once more, in a short soak.
        testing_support::StdoutCapture quiet;
        SoakRun soak(*game, 11);
        soak.Run(1500);
        session.soak = soak.Report();
    }
    game->Deinitialise();
    delete game;
    return session;
}

int Count(const std::string& text, const std::string& line)
{
    int count = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++count;
    return count;
}

void ExpectRoundPlayed(const Session& session)
{
    ASSERT_TRUE(session.started) << session.printed;
    EXPECT_TRUE(session.ended);
    // A win credits one player, a draw both.
    EXPECT_GE(session.scoreGain, 1);
    EXPECT_LE(session.scoreGain, 2);
    EXPECT_TRUE(session.backOnMenu);
    EXPECT_TRUE(session.soak.failures.empty()) << session.soak.Summary();
    EXPECT_GT(session.soak.roundsStarted, 0) << session.soak.Summary();
}
} // namespace

TEST(BadDataTest, EmptyWorkingDirectoryReportsEachFileAndPlaysOnAnEmptyLevel)
{
    const DataDirectory data(false);
    const Session session = PlayIn(data, 0);
    EXPECT_EQ(Count(session.printed, "Font loading failed.\n"), 1) << session.printed;
    // The star field at start-up, the level at the round's start.
    EXPECT_EQ(Count(session.printed, "error opening file\n"), 2) << session.printed;
    EXPECT_TRUE(session.portraitBlank);
    EXPECT_EQ(session.lastCell, 0);
    // Nothing to stand on: player 1 falls out of the arena again and again.
    EXPECT_GT(session.deaths1, 0);
    ExpectRoundPlayed(session);
}

TEST(BadDataTest, GarbagePicturesLoadAsBlankImagesWithoutStoppingTheGame)
{
    const DataDirectory data(true);
    const std::vector<std::string> pictures = data.Find(".png");
    ASSERT_FALSE(pictures.empty());
    for (size_t i = 0; i < pictures.size(); ++i)
    {
        // Plain garbage, a real picture cut off after its header, or a file
        // that decodes to no pixels at all.
        if (i % 3 == 0)
            data.Write(pictures[i], "this is not a picture \x01\x02\x03\xff\xfe");
        else if (i % 3 == 1)
            data.Truncate(pictures[i], 40);
        else
            data.Write(pictures[i], kEmptyPicture);
    }
    const Session session = PlayIn(data, 3);
    EXPECT_EQ(Count(session.printed, "error opening file\n"), 0) << session.printed;
    EXPECT_EQ(Count(session.printed, "Font loading failed.\n"), 0);
    EXPECT_TRUE(session.portraitBlank);
    ExpectRoundPlayed(session);
}

TEST(BadDataTest, TruncatedMapsFillTheRestWithEmptyCellsAndKeepTheStartPositions)
{
    const DataDirectory data(true);
    data.Truncate("Resources/maps/background.txt", 0);
    // Fifteen of thirty lines: the lower half and the start positions are cut.
    data.Truncate("Resources/maps/testmap.txt", 41 * 15);
    const Session session = PlayIn(data, 3);
    EXPECT_EQ(Count(session.printed, "error opening file\n"), 0) << session.printed;
    EXPECT_EQ(session.firstStar, kPastEndOfFile);
    EXPECT_EQ(session.lastCell, kPastEndOfFile);
    EXPECT_GE(session.firstCell, 0);
    EXPECT_LE(session.firstCell, 9);
    // Nothing read them, and nothing played before: still as constructed.
    for (int position : session.startPositions)
        EXPECT_EQ(position, 0);
    ExpectRoundPlayed(session);
}

TEST(BadDataTest, EmptyMapFilesGiveEmptyGrids)
{
    const DataDirectory data(true);
    for (const std::string& map : data.Find(".txt"))
        data.Write(map, "");
    const Session session = PlayIn(data, 2);
    EXPECT_EQ(Count(session.printed, "error opening file\n"), 0) << session.printed;
    EXPECT_EQ(session.firstStar, kPastEndOfFile);
    EXPECT_EQ(session.firstCell, kPastEndOfFile);
    EXPECT_EQ(session.lastCell, kPastEndOfFile);
    EXPECT_GT(session.deaths1, 0);
    ExpectRoundPlayed(session);
}

TEST(BadDataTest, DirectoriesWhereFilesShouldBeAreSurvived)
{
    const DataDirectory data(true);
    for (const char* path : {"Cornerstone Regular.ttf", "Resources/maps/background.txt",
                             "Resources/maps/level2.txt",
                             "Resources/sprites/environment/brick.png",
                             "Resources/sprites/character/kestoright.png"})
        data.ReplaceWithDirectory(path);
    const Session session = PlayIn(data, 1);
    EXPECT_EQ(Count(session.printed, "Font loading failed.\n"), 1) << session.printed;
    // The star field and the chosen level are reported like missing files.
    EXPECT_EQ(Count(session.printed, "error opening file\n"), 2) << session.printed;
    EXPECT_TRUE(session.portraitBlank);
    ExpectRoundPlayed(session);
}

TEST(BadDataTest, PictureOfNoPixelsResizesToBlackAndDrawsNothing)
{
    const DataDirectory data(false);
    data.Write("empty.png", kEmptyPicture);
    PixelImage loaded;
    loaded.LoadImage((data.Path() + "/empty.png").c_str());
    EXPECT_EQ(loaded.GetWidth() * loaded.GetHeight(), 0);

    PixelImage portrait;
    portrait.ResizeFrom(loaded, 150, 150, false);
    ASSERT_TRUE(portrait.HasPixels());
    EXPECT_TRUE(AllZero(portrait));

    // Neither copy may read the missing lower-right pixel or write anything.
    SDL_Surface* surface = SDL_CreateRGBSurface(0, 32, 32, 32, 0x00FF0000, 0x0000FF00,
                                                0x000000FF, 0xFF000000);
    ASSERT_NE(surface, nullptr);
    testing_support::FillSurface(surface, 0x123456);
    loaded.RenderImage(surface, 0, 0, 0, 0, 24, 24);
    loaded.RenderImageWithMask(surface, 0, 0, 0, 0, 24, 24);
    EXPECT_EQ(testing_support::CountRgb(surface, 0x123456), 32 * 32);
    SDL_FreeSurface(surface);
}
