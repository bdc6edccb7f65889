// Pads, as the library's virtual joysticks: plugged in before the start or
// during a round, each drives its own player, walks the menus, pauses the
// round when pulled out, and rumbles on hits.
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

    // A hit rumbles the hit player's pad, harder for a harder knockback.
    game.OnObjectEvent(*one, ObjectEvent::Hit, 5.0f);
    const Uint16 soft = first->rumble;
    game.OnObjectEvent(*one, ObjectEvent::Hit, 30.0f);
    EXPECT_GT(soft, 0) << "a hit rumbles";
    EXPECT_GT(first->rumble, soft) << "a harder knockback rumbles harder";
    EXPECT_EQ(second.rumble, 0) << "only the hit player's pad";

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
