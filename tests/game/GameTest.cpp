// The game's screens: a draw, every screen compared whole with its
// reference, and the mute key. The seeded soak plays the rest (every screen
// change, the clicks' rectangles, the round's objects, wins and losses, the
// clock, day and night, the sun, the cues and the markers) against its
// record, and checks the scores and the round's length on every pass.
#include "objects/Player.h"
#include "tests/TestSupport.h"
#include "tests/driver/GameDriver.h"

#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace GameData;

namespace
{
// A player with any death count that stands still, or plays as usual.
class ScriptedPlayer : public Player
{
public:
    ScriptedPlayer(BaseEngine* engine, int number, int deaths, bool plays = false)
        : Player(engine, 100 * number, 100, number, 0), m_plays(plays)
    {
        m_deaths = deaths;
    }
    void Update(int time) override
    {
        if (m_plays)
            Player::Update(time);
    }

private:
    bool m_plays;
};

class GameTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(game.Started()); }
    // Replaces the round's players with scripted ones.
    std::pair<ScriptedPlayer*, ScriptedPlayer*> ScriptPlayers(int deaths1 = 0, int deaths2 = 0)
    {
        std::pair players(new ScriptedPlayer(&game, 1, deaths1), new ScriptedPlayer(&game, 2, deaths2));
        game.Place({players.first, players.second});
        return players;
    }

    GameDriver game;
};
} // namespace

TEST_F(GameTest, AFighterOutOfTheArenaAsTheClockRunsOutKeepsItsDeathsAndTakesItsPlaceByThem)
{
    struct Ending
    {
        int deaths1;
        int deaths2;
        bool won1;
        bool won2;
    };
    // Player 1 falls out on the round's last pass each time: as the sole
    // winner, as the sole loser, and in a draw, which credits both.
    const Ending endings[] = {{0, 1, true, false}, {2, 1, false, true}, {1, 1, true, true}};
    game.SetScores(2, 5);
    int score1 = 2;
    int score2 = 5;
    for (const Ending& ending : endings)
    {
        ASSERT_TRUE(game.StartRound(0, 1, 0));
        auto* one = new ScriptedPlayer(&game, 1, ending.deaths1, true);
        auto* two = new ScriptedPlayer(&game, 2, ending.deaths2, true);
        game.Place({one, two});
        one->SetPosition(300, 900);
        game.Pass(120000); // the clock reaches 0: one more update, then the end
        game.Pass();
        ASSERT_EQ(game.GetState(), RoundOver);
        game.Pass(1000); // the objects go on after the round
        score1 += ending.won1;
        score2 += ending.won2;
        const int row = static_cast<int>(&ending - endings);
        EXPECT_EQ(one->GetDeaths(), ending.deaths1) << "the out fighter's deaths, ending " << row;
        EXPECT_EQ(two->GetDeaths(), ending.deaths2) << "the other's deaths, ending " << row;
        EXPECT_EQ(one->HasWon(), ending.won1) << "ending " << row;
        EXPECT_EQ(one->HasLost(), ending.won2) << "ending " << row;
        EXPECT_EQ(two->HasWon(), ending.won2) << "ending " << row;
        EXPECT_EQ(two->HasLost(), ending.won1) << "ending " << row;
        EXPECT_EQ(game.GetScore(1), score1) << "player 1's score after ending " << row;
        EXPECT_EQ(game.GetScore(2), score2) << "player 2's score after ending " << row;
        game.PressKey(kPauseKey);
    }
}

TEST_F(GameTest, EveryScreenMatchesItsReference)
{
    const auto show = [this](const char* name) {
        game.Redraw(true);
        game.RenderFrame();
        testing_support::ExpectMatchesReference(game.GetForeground(), name);
    };
    game.Pass(1000); // the score line takes its text on its first update
    show("main-menu");
    game.Click(0, 0);
    game.ClickOn(kPortraitHits[1]);
    show("select-player1");
    game.ClickOn(kConfirmBox);
    game.ClickOn(kPortraitHits[5]);
    show("select-player2");
    game.ClickOn(kConfirmBox);
    game.ClickOn(kThumbnailHits[2]);
    show("select-level");
    game.ClickOn(kBackHit);
    game.ClickOn(kBackHit);
    ASSERT_TRUE(game.StartRound(1, 3, 0));
    show("round-night");
    // Paused with player 2 pinned past the left side (its arrow by night),
    // the volume a step down and muted.
    Character* two = game.GetPlayer2();
    two->SetPosition(-20, 300);
    two->SetVelocity(-20, 0);
    game.Pass();
    game.PressKey('-');
    game.PressKey(kMuteKey);
    game.PressKey(' ');
    show("paused");
    game.PressKey(' ');
    game.PressKey(kMuteKey);
    ScriptPlayers(1, 0).second->SetPosition(300, 100);
    game.Pass(115000); // 5 seconds left: the countdown takes the clock's place
    show("round-countdown");
    game.SetSecondsLeft(0);
    game.Pass();
    show("round-over");
    game.PressKey(' ');
    game.ToggleDaytime();
    ASSERT_TRUE(game.StartRound(0, 5, kBusyLevel));
    Character* one = game.GetPlayer1(); // pinned past the right side: its arrow by day
    one->SetPosition(950, 300);
    one->SetVelocity(20, 0);
    game.Pass();
    // Pausing and resuming draws the sun without moving anything.
    game.PressKey(' ');
    game.PressKey(' ');
    show("round-day");
}

TEST_F(GameTest, TheMKeyMutesAndUnmutesOnAnyScreen)
{
    game.PressKey(kMuteKey);
    EXPECT_TRUE(game.IsMuted()) << "muted on the main menu";
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.PressKey(kMuteKey);
    EXPECT_FALSE(game.IsMuted()) << "unmuted in a round";
}

TEST_F(GameTest, VolumeStepsReachTheMixerAndShowForASecondWhileMutingIsMarkedUntilUndone)
{
    ASSERT_TRUE(game.GetSound().IsOpen());
    // The pause screen is still: only the volume asks for its frames.
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.PressKey(' ');
    game.Pass();
    const auto inCorner = [this](uint32_t colour) {
        return testing_support::CountRgb(game.GetForeground(), colour, kVolumeBox.x1, kVolumeBox.y1,
                                         kVolumeBox.x2, kVolumeBox.y2);
    };
    EXPECT_EQ(inCorner(kCyan), 0);
    game.PressKey('-');
    game.Pass();
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.9f) << "one step down from full";
    const int ninetyLit = inCorner(kCyan);
    for (int step = 0; step < 10; ++step)
        game.PressKey(kKeypadMinusKey);
    game.Pass();
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.0f) << "no lower than silent";
    EXPECT_LT(inCorner(kCyan), ninetyLit) << "fewer bars lit";

    game.PressKey('=');
    game.PressKey(kKeypadPlusKey);
    game.OnPadButtonDown(0, SDL_CONTROLLER_BUTTON_DPAD_UP);
    game.Pass(900);
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.3f) << "three steps up from silent";
    EXPECT_GT(inCorner(kCyan), 0) << "shown after 0.9 s";
    game.Pass(100);
    EXPECT_EQ(inCorner(kCyan), 0) << "gone after a second";

    game.PressKey('m');
    game.Pass(5000);
    EXPECT_GT(inCorner(kMutedMark), 0) << "marked while muted";
    game.PressKey('=');
    EXPECT_TRUE(game.IsMuted()) << "a step leaves the sound muted";
    game.PressKey('m');
    game.Pass(1000);
    EXPECT_EQ(inCorner(kMutedMark), 0);
    EXPECT_FLOAT_EQ(game.GetSound().GetMasterVolume(), 0.4f) << "the step taken while muted";
}

TEST_F(GameTest, AHarderHitSoundsLouderAndLowerOverTheWholeRangeOfKnockbacks)
{
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    const auto hit = [this](float knockback) {
        game.cues.clear();
        game.OnObjectEvent(*game.GetPlayer1(), ObjectEvent::Hit, knockback);
        EXPECT_EQ(game.cues.size(), 1u) << "cues of a hit of " << knockback;
        return std::pair(game.cues.back().second, game.lastCuePitch);
    };
    const auto [softVolume, softPitch] = hit(0.0f);
    EXPECT_FLOAT_EQ(softVolume, 0.5f) << "the lightest hit's volume";
    EXPECT_FLOAT_EQ(softPitch, 1.3f) << "the lightest hit's pitch";
    float volume = softVolume;
    float pitch = softPitch;
    for (int knockback = 1; knockback <= 100; ++knockback)
    {
        const auto [nextVolume, nextPitch] = hit(static_cast<float>(knockback));
        EXPECT_GE(nextVolume, volume) << "the volume at knockback " << knockback;
        EXPECT_LE(nextPitch, pitch) << "the pitch at knockback " << knockback;
        volume = nextVolume;
        pitch = nextPitch;
    }
    EXPECT_FLOAT_EQ(volume, 1.0f) << "the hardest hit's volume";
    EXPECT_FLOAT_EQ(pitch, 0.7f) << "the hardest hit's pitch";
    const auto [middleVolume, middlePitch] = hit(15.0f);
    EXPECT_FLOAT_EQ(middleVolume, 0.75f) << "the volume of a middling hit";
    EXPECT_FLOAT_EQ(middlePitch, 1.0f) << "the pitch of a middling hit";
}

TEST_F(GameTest, TheMenusAndTheRoundHaveTheirOwnMusicQuieterWhilePaused)
{
    const auto expectMusic = [this](GameState state, const char* music, float volume) {
        ASSERT_EQ(game.GetState(), state);
        EXPECT_EQ(game.GetSound().GetMusic(), music) << "the music on screen " << state;
        EXPECT_FLOAT_EQ(game.GetSound().GetMusicVolume(), volume) << "its volume on screen " << state;
    };
    expectMusic(MainMenu, kMenuMusic, kMusicVolume);
    game.Click(0, 0);
    expectMusic(SelectPlayer1, kMenuMusic, kMusicVolume);
    game.ClickOn(kPortraitHits[0]);
    game.ClickOn(kConfirmBox);
    expectMusic(SelectPlayer2, kMenuMusic, kMusicVolume);
    game.ClickOn(kPortraitHits[1]);
    game.ClickOn(kConfirmBox);
    expectMusic(SelectLevel, kMenuMusic, kMusicVolume);
    game.ClickOn(kThumbnailHits[0]);
    game.ClickOn(kConfirmBox);
    expectMusic(Playing, kRoundMusic, kMusicVolume);
    game.PressKey(kPauseKey);
    expectMusic(Paused, kRoundMusic, kPausedMusicVolume);
    game.PressKey(kPauseKey);
    expectMusic(Playing, kRoundMusic, kMusicVolume);
    game.SetSecondsLeft(0);
    game.Pass();
    expectMusic(RoundOver, kRoundMusic, kMusicVolume);
    game.PressKey(kPauseKey);
    expectMusic(MainMenu, kMenuMusic, kMusicVolume);
}

TEST_F(GameTest, EveryCuePlaysAtItsDesignedVolumeTheLiftsQuieterThanTheRest)
{
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    struct Cue
    {
        ObjectEvent event;
        const char* name;
        float volume;
    };
    const Cue eventCues[] = {
        {ObjectEvent::Jump, "jump", 0.8f},        {ObjectEvent::AirJump, "air-jump", 0.8f},
        {ObjectEvent::Dash, "dash", 0.8f},        {ObjectEvent::Thrown, "thrown", 0.8f},
        {ObjectEvent::DropThrough, "drop", 0.8f}, {ObjectEvent::RingOut, "ring-out", 0.8f},
        {ObjectEvent::Respawn, "respawn", 0.8f},  {ObjectEvent::Lever, "lever", 0.8f},
        {ObjectEvent::LiftTurn, "lift", 0.6f},
    };
    for (const Cue& cue : eventCues)
    {
        game.cues.clear();
        game.OnObjectEvent(*game.GetPlayer2(), cue.event, 0.0f);
        ASSERT_EQ(game.cues.size(), 1u) << cue.name;
        EXPECT_EQ(game.cues[0].first, cue.name);
        EXPECT_FLOAT_EQ(game.cues[0].second, cue.volume) << "the volume of " << cue.name;
    }

    // The menus', the pause's, the clock's and the result's cues play at
    // full volume.
    game.PressKey(kPauseKey);
    game.PressKey(kQuitKey);
    game.cues.clear();
    game.Click(0, 0);
    game.ClickOn(kBackHit);
    ASSERT_TRUE(game.StartRound(2, 3, 1));
    game.PressKey(kPauseKey);
    game.PressKey(kPauseKey);
    game.Pass(116000); // into the countdown
    game.ToggleDaytime();
    game.Pass();
    game.SetSecondsLeft(0);
    game.Pass();
    const std::set<std::string> fullVolume = {"highlight", "confirm", "back", "round-start", "pause",
                                              "resume",    "tick",    "day",  "fanfare-draw"};
    std::set<std::string> heard;
    for (const auto& [name, volume] : game.cues)
        if (fullVolume.count(name))
        {
            heard.insert(name);
            EXPECT_FLOAT_EQ(volume, 1.0f) << "the volume of " << name;
        }
    EXPECT_EQ(heard, fullVolume) << "every full-volume cue was heard";
}
