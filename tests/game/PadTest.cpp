// Pads, as the library's virtual joysticks: plugged in before the start or
// during a round, each drives its own player, walks the menus, pauses the
// round when pulled out, and rumbles on hits.
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/driver/GameDriver.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>

using namespace GameData;

namespace
{
// A pad a test plugs in and presses; the game sees a real game controller.
class VirtualPad
{
public:
    VirtualPad()
    {
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "virtual pad";
        desc.userdata = this;
        desc.Rumble = [](void* pad, Uint16 low, Uint16) {
            static_cast<VirtualPad*>(pad)->rumble = low;
            return 0;
        };
        m_joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    }
    ~VirtualPad() { Unplug(); }
    void Unplug()
    {
        for (int index = 0; m_joystick && index < SDL_NumJoysticks(); ++index)
        {
            if (SDL_JoystickGetDeviceInstanceID(index) != SDL_JoystickInstanceID(m_joystick))
                continue;
            SDL_JoystickClose(m_joystick);
            SDL_JoystickDetachVirtual(index);
            m_joystick = nullptr;
        }
    }
    void Press(int button, bool down = true) { SDL_JoystickSetVirtualButton(m_joystick, button, down); }
    void ReleaseButtons()
    {
        for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button)
            Press(button, false);
    }
    void Lean(int axis, int value)
    {
        SDL_JoystickSetVirtualAxis(m_joystick, axis, static_cast<Sint16>(value));
    }

    Uint16 rumble = 0;

private:
    SDL_Joystick* m_joystick = nullptr;
};
} // namespace

TEST(Pads, APadPluggedInBeforeTheStartWalksTheMenusAndRunsItsPlayerThroughTheMainLoop)
{
    VirtualPad pad;
    GameDriver game;
    int startX = 0;
    int secondX = 0;
    Uint32 leanedAt = 0;
    const auto lean = [&pad](int value) { pad.Lean(SDL_CONTROLLER_AXIS_LEFTX, value); };
    // An input every 50 passes; buttons are let go 25 passes later.
    const std::function<void()> inputs[] = {
        [&] { pad.Press(SDL_CONTROLLER_BUTTON_START); },
        [&] { lean(30000); },
        [&] { lean(32000); },
        [&] { lean(0); },
        [&] { lean(30000); },
        [&] { lean(0); }, // one move a lean
        [&] { pad.Press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); },
        [&] { pad.Press(SDL_CONTROLLER_BUTTON_A); },
        [&] { game.ClickOn(kPortraitHits[2]); },
        [&] { pad.Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT); },
        [&] { game.ClickOn(kConfirmBox); }, // player 1's pad does not choose for player 2
        [&] { pad.Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT); },
        [&] { pad.Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT); },
        [&] { pad.Press(SDL_CONTROLLER_BUTTON_A); },
    };
    const int inputCount = static_cast<int>(std::size(inputs));
    const int status = game.RunMainLoop([&](int pass) {
        if (pass % 50 == 0 && pass / 50 < inputCount)
            inputs[pass / 50]();
        if (pass % 50 == 25)
            pad.ReleaseButtons();
        if (pass == 700 && game.GetState() == Playing)
        {
            startX = game.GetPlayer1()->GetX();
            secondX = game.GetPlayer2()->GetX();
            pad.Lean(SDL_CONTROLLER_AXIS_LEFTX, 32767);
            leanedAt = SDL_GetTicks();
        }
        if (pass < 700)
            return true;
        // Until the stick has run player 1 a tile's width, or 10 s on a busy machine.
        return leanedAt && game.GetPlayer1()->GetX() <= startX + 24 && SDL_GetTicks() < leanedAt + 10000;
    });
    EXPECT_EQ(status, 0);
    ASSERT_EQ(game.GetState(), Playing);
    // Portrait 4 by the stick's lean right then the d-pad down, portrait 2
    // by the mouse for player 2, the first level by the d-pad.
    EXPECT_EQ(game.GetPlayer1Character(), 4);
    EXPECT_EQ(game.GetPlayer2Character(), 2);
    EXPECT_EQ(game.GetLevel(), 1);
    EXPECT_GT(game.GetPlayer1()->GetX(), startX + 24) << "the stick ran player 1";
    EXPECT_EQ(game.GetPlayer2()->GetX(), secondX) << "player 2 is not moved by player 1's pad";
}

TEST(Pads, TwoPadsDriveTheirOwnPlayersAndAPadPulledOutPausesAndFreesItsSeat)
{
    GameDriver game;
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.Pass();
    auto first = std::make_unique<VirtualPad>();
    VirtualPad second, third;
    game.PumpEvents(); // the first pad plugged in sits as player 1, the second as player 2
    const Character* one = game.GetPlayer1();
    const Character* two = game.GetPlayer2();
    const int x1 = one->GetX();
    const int x2 = two->GetX();
    const int y2 = two->GetY();
    second.Lean(SDL_CONTROLLER_AXIS_LEFTX, -20000); // past the dead zone: run left
    second.Press(SDL_CONTROLLER_BUTTON_A);
    game.PumpEvents();
    for (int pass = 0; pass < 10; ++pass)
        game.Pass();
    EXPECT_LT(two->GetX(), x2) << "player 2 ran left";
    EXPECT_LT(two->GetY(), y2) << "player 2 jumped";
    EXPECT_EQ(one->GetX(), x1) << "player 1 is not moved by player 2's pad";
    first->Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    first->Press(SDL_CONTROLLER_BUTTON_X);
    second.Press(SDL_CONTROLLER_BUTTON_Y);
    game.PumpEvents();
    EXPECT_TRUE(game.NextPass().seats[1].lever) << "Y pulls player 2's lever";
    game.Pass();
    EXPECT_GT(one->GetVelocityX(), 9.0f) << "X dashes";

    // A hit reaches the hit player's pad (how hard, how long and whose:
    // below).
    game.OnObjectEvent(*one, ObjectEvent::Hit, 5.0f);
    EXPECT_GT(first->rumble, 0) << "a hit rumbles";

    first.reset();
    game.PumpEvents();
    EXPECT_EQ(game.GetState(), Paused) << "a pad pulled out pauses the round";
    third.Press(SDL_CONTROLLER_BUTTON_START); // the third pad takes the freed seat
    game.PumpEvents();
    EXPECT_EQ(game.GetState(), Playing);
    for (const int button : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_BACK})
    {
        third.Press(SDL_CONTROLLER_BUTTON_START, false);
        game.PumpEvents();
        third.Press(button);
        game.PumpEvents();
    }
    EXPECT_EQ(game.GetState(), MainMenu) << "Back while paused quits";
}

TEST(Pads, AStickInsideTheDeadZoneHoldsNothingAndStepsNoMenuInAnyDirection)
{
    VirtualPad pad;
    GameDriver game;
    game.PumpEvents();
    struct Lean
    {
        int axis;
        int sign;
        int heldPast; // the action held just past the dead zone, or -1
        int menuFrom; // the portrait highlighted before the lean
        int menuPast; // the one highlighted just past the menus' rest
    };
    const int none = -1;
    const Lean leans[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -1, static_cast<int>(PlayerAction::Left), 4, 3},
        {SDL_CONTROLLER_AXIS_LEFTX, +1, static_cast<int>(PlayerAction::Right), 4, 5},
        {SDL_CONTROLLER_AXIS_LEFTY, +1, static_cast<int>(PlayerAction::Fall), 1, 4},
        {SDL_CONTROLLER_AXIS_LEFTY, -1, none, 4, 1},
    };
    const auto leanTo = [&](const Lean& lean, int value) {
        pad.Lean(lean.axis, lean.sign * value);
        game.PumpEvents();
    };
    // The menus take a lean as a press only well past the dead zone.
    const int menuRest = 2 * PadControls::kDeadZone;
    game.Click(0, 0);
    for (const Lean& lean : leans)
    {
        game.ClickOn(kPortraitHits[lean.menuFrom]);
        leanTo(lean, menuRest);
        EXPECT_EQ(game.GetHighlight(), lean.menuFrom)
            << "a lean to " << lean.sign * menuRest << " on axis " << lean.axis;
        leanTo(lean, menuRest + 1);
        EXPECT_EQ(game.GetHighlight(), lean.menuPast) << "a lean past it on axis " << lean.axis;
        leanTo(lean, 0);
    }

    game.ClickOn(kConfirmBox);
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    for (const Lean& lean : leans)
    {
        leanTo(lean, PadControls::kDeadZone);
        EXPECT_EQ(game.NextPass().seats[0].held, 0) << "a lean to the dead zone's edge on axis " << lean.axis;
        leanTo(lean, PadControls::kDeadZone + 1);
        const InputFrame past = game.NextPass().seats[0];
        if (lean.heldPast == none)
            EXPECT_EQ(past.held, 0) << "the stick's up holds nothing";
        else
            EXPECT_TRUE(past.Holds(static_cast<PlayerAction>(lean.heldPast)))
                << "past it on axis " << lean.axis;
        leanTo(lean, 0);
    }

    // Paused, the stick's up and down step the volume only well past it too.
    game.PressKey(kPauseKey);
    for (const Lean& lean : leans)
    {
        leanTo(lean, menuRest);
        leanTo(lean, 0);
    }
    EXPECT_EQ(game.GetVolumeLevel(), kVolumeSteps) << "the volume after leans inside the menus' rest";
}

TEST(Pads, EveryMoveOfTheHighlightLandsOnAPictureOfItsScreen)
{
    GameDriver game;
    game.OnPadAdded(0); // player 1's
    game.OnPadAdded(1); // player 2's
    struct Screen
    {
        GameState state;
        int pad;
        const ScreenRect* pictures;
        int count;
        int columns; // as laid out on the screen
    };
    const Screen screens[] = {
        {SelectPlayer1, 0, kPortraitHits, kCharacterCount, 3},
        {SelectPlayer2, 1, kPortraitHits, kCharacterCount, 3},
        {SelectLevel, 1, kThumbnailHits, kLevelCount, 2},
    };
    struct Move
    {
        int button;
        int across;
        int down;
    };
    const Move moves[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, -1, 0},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1, 0},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 0, -1},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 0, 1},
    };
    game.Click(0, 0);
    for (const Screen& screen : screens)
    {
        ASSERT_EQ(game.GetState(), screen.state);
        const int rows = screen.count / screen.columns;
        for (int from = 0; from < screen.count; ++from)
            for (const Move& move : moves)
            {
                game.ClickOn(screen.pictures[from]);
                game.OnPadButtonDown(screen.pad, move.button);
                const int column = from % screen.columns + move.across;
                const int row = from / screen.columns + move.down;
                const bool inside = column >= 0 && column < screen.columns && row >= 0 && row < rows;
                const int expected = inside ? row * screen.columns + column : from;
                EXPECT_EQ(game.GetHighlight(), expected)
                    << "screen " << screen.state << ", from " << from << ", button " << move.button;
            }
        game.ClickOn(kConfirmBox);
    }
}

TEST(Pads, PluggingOrPullingAPadOnEachScreenPausesARunningRoundAndNothingElse)
{
    GameDriver game;
    const auto plugAndPull = [&game](GameState afterPull) {
        const GameState before = game.GetState();
        const int highlight = game.GetHighlight();
        game.OnPadAdded(7);
        EXPECT_EQ(game.GetState(), before) << "the screen after a pad is plugged in";
        game.OnPadRemoved(7);
        EXPECT_EQ(game.GetState(), afterPull) << "the screen after a pad is pulled out on screen " << before;
        EXPECT_EQ(game.GetHighlight(), highlight) << "the highlight on screen " << before;
    };
    plugAndPull(MainMenu);
    game.Click(0, 0);
    game.ClickOn(kPortraitHits[1]);
    plugAndPull(SelectPlayer1);
    game.ClickOn(kConfirmBox);
    game.ClickOn(kPortraitHits[2]);
    plugAndPull(SelectPlayer2);
    game.ClickOn(kConfirmBox);
    game.ClickOn(kThumbnailHits[3]);
    plugAndPull(SelectLevel);
    game.ClickOn(kConfirmBox);
    plugAndPull(Paused);
    plugAndPull(Paused);
    game.PressKey(kPauseKey);
    game.SetSecondsLeft(0);
    game.Pass();
    plugAndPull(RoundOver);
}

TEST(Pads, AHitShakesTheHitPlayersPadBrieflyByItsKnockbackAndARingOutLongAndFull)
{
    GameDriver game;
    game.OnPadAdded(7); // player 1's
    game.OnPadAdded(4); // player 2's
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    const NPC walker(&game, 400, 600, kWalkerKind);
    struct Shake
    {
        const GravityObject* object;
        ObjectEvent event;
        float knockback;
        int pad; // -1: none shaken
        float strength;
        int milliseconds;
    };
    const Shake shakes[] = {
        {game.GetPlayer1(), ObjectEvent::Hit, 0.0f, 7, 0.2f, 150},
        {game.GetPlayer1(), ObjectEvent::Hit, 16.0f, 7, 0.6f, 150},
        {game.GetPlayer2(), ObjectEvent::Hit, 32.0f, 4, 1.0f, 150},
        {game.GetPlayer2(), ObjectEvent::RingOut, 0.0f, 4, 1.0f, 500},
        {game.GetPlayer1(), ObjectEvent::RingOut, 0.0f, 7, 1.0f, 500},
        {game.GetPlayer1(), ObjectEvent::Respawn, 0.0f, -1, 0.0f, 0},
        {game.GetPlayer2(), ObjectEvent::Jump, 0.0f, -1, 0.0f, 0},
        {&walker, ObjectEvent::Hit, 16.0f, -1, 0.0f, 0},
        {&walker, ObjectEvent::RingOut, 0.0f, -1, 0.0f, 0},
    };
    for (const Shake& shake : shakes)
    {
        game.rumbles.clear();
        game.OnObjectEvent(*shake.object, shake.event, shake.knockback);
        const int event = static_cast<int>(shake.event);
        if (shake.pad < 0)
        {
            EXPECT_TRUE(game.rumbles.empty()) << "event " << event << " shakes no pad";
            continue;
        }
        ASSERT_EQ(game.rumbles.size(), 1u) << "event " << event;
        EXPECT_EQ(game.rumbles[0].pad, shake.pad) << "the pad shaken by event " << event;
        EXPECT_FLOAT_EQ(game.rumbles[0].strength, shake.strength) << "knockback " << shake.knockback;
        EXPECT_EQ(game.rumbles[0].milliseconds, shake.milliseconds) << "the length for event " << event;
    }
}
