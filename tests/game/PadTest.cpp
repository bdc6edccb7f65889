// Pads, as the library's virtual joysticks: plugged in before the start or
// during a round, each drives its own player, walks the menus, pauses the
// round when pulled out, and rumbles on hits.
#include "objects/Player.h"
#include "tests/driver/GameDriver.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
        desc.naxes = SDL_CONTROLLER_AXIS_MAX, desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "virtual pad";
        desc.userdata = this;
        desc.Rumble = [](void* pad, Uint16 low, Uint16) {
            return static_cast<VirtualPad*>(pad)->rumble = low, 0;
        };
        m_joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    }
    ~VirtualPad() { Unplug(); }
    void Unplug()
    {
        for (int index = 0; m_joystick && index < SDL_NumJoysticks(); ++index)
            if (SDL_JoystickGetDeviceInstanceID(index) == SDL_JoystickInstanceID(m_joystick))
                SDL_JoystickClose(m_joystick), SDL_JoystickDetachVirtual(index), m_joystick = nullptr;
    }
    void Press(int button, bool down = true) { SDL_JoystickSetVirtualButton(m_joystick, button, down); }
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
    int startX = 0, secondX = 0;
    Uint32 leanedAt = 0;
    // Every 50 passes an input, a button let go 25 passes later: a button
    // ('b'), the stick leant ('x') or a click on a portrait or the confirm box.
    const std::pair<char, int> steps[] = {{'b', SDL_CONTROLLER_BUTTON_START},
                                          {'x', 30000},
                                          {'x', 32000},
                                          {'x', 0},
                                          {'x', 30000},
                                          {'x', 0}, // one move a lean
                                          {'b', SDL_CONTROLLER_BUTTON_DPAD_DOWN},
                                          {'b', SDL_CONTROLLER_BUTTON_A},
                                          {'c', 2},
                                          {'b', SDL_CONTROLLER_BUTTON_DPAD_LEFT},
                                          {'c', -1}, // player 1's pad does not choose for player 2
                                          {'b', SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
                                          {'b', SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
                                          {'b', SDL_CONTROLLER_BUTTON_A}};
    const int status = game.RunMainLoop([&](int pass) {
        const auto [kind, value] = steps[std::min(pass / 50, static_cast<int>(std::size(steps)) - 1)];
        if (pass % 50 == 0 && pass / 50 < static_cast<int>(std::size(steps)))
            kind == 'b'   ? pad.Press(value)
            : kind == 'x' ? pad.Lean(SDL_CONTROLLER_AXIS_LEFTX, value)
                          : game.ClickOn(value < 0 ? kConfirmBox : kPortraitHits[value]);
        if (pass % 50 == 25 && kind == 'b')
            pad.Press(value, false);
        if (pass == 700 && game.GetState() == Playing)
        {
            startX = game.GetPlayer1()->GetX(), secondX = game.GetPlayer2()->GetX();
            pad.Lean(SDL_CONTROLLER_AXIS_LEFTX, 32767);
            leanedAt = SDL_GetTicks();
        }
        return pass < 700 || (leanedAt && SDL_GetTicks() < leanedAt + 600);
    });
    EXPECT_EQ(status, 0);
    ASSERT_EQ(game.GetState(), Playing);
    // Portrait 4 by the stick's lean right then the d-pad down, portrait 2
    // by the mouse for player 2, the first level by the d-pad.
    EXPECT_EQ((std::array<int, 3>{game.GetPlayer1Character(), game.GetPlayer2Character(), game.GetLevel()}),
              (std::array<int, 3>{4, 2, 1}));
    EXPECT_GT(game.GetPlayer1()->GetX(), startX + 24) << "the stick ran player 1";
    EXPECT_EQ(game.GetPlayer2()->GetX(), secondX);
}

TEST(Pads, TwoPadsDriveTheirOwnPlayersAndAPadPulledOutPausesAndFreesItsSeat)
{
    GameDriver game;
    ASSERT_TRUE(game.StartRound(0, 1, 0));
    game.Pass();
    auto first = std::make_unique<VirtualPad>();
    VirtualPad second, third;
    game.PumpEvents(); // the first pad plugged in sits as player 1, the second as player 2
    const Character *one = game.GetPlayer1(), *two = game.GetPlayer2();
    const int x1 = one->GetX(), x2 = two->GetX(), y2 = two->GetY();
    second.Lean(SDL_CONTROLLER_AXIS_LEFTX, -20000),
        second.Press(SDL_CONTROLLER_BUTTON_A); // past the dead zone: run left
    game.PumpEvents();
    for (int pass = 0; pass < 10; ++pass)
        game.Pass();
    EXPECT_TRUE(two->GetX() < x2 && two->GetY() < y2)
        << "run and jump: " << two->GetX() << "," << two->GetY();
    EXPECT_EQ(one->GetX(), x1) << "player 1 is not moved by player 2's pad";
    first->Press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), first->Press(SDL_CONTROLLER_BUTTON_X),
        second.Press(SDL_CONTROLLER_BUTTON_Y);
    game.PumpEvents();
    EXPECT_TRUE(game.NextPass().seats[1].lever) << "Y pulls player 2's lever";
    game.Pass();
    EXPECT_GT(one->GetVelocityX(), 9.0f) << "X dashes";

    // A hit rumbles the hit player's pad, harder for a harder knockback.
    game.OnObjectEvent(*one, ObjectEvent::Hit, 5.0f);
    const Uint16 soft = first->rumble;
    game.OnObjectEvent(*one, ObjectEvent::Hit, 30.0f);
    EXPECT_TRUE(first->rumble > soft && soft > 0 && second.rumble == 0) << soft << " " << first->rumble;

    first.reset(), game.PumpEvents();
    EXPECT_EQ(game.GetState(), Paused) << "a pad pulled out pauses the round";
    third.Press(SDL_CONTROLLER_BUTTON_START); // the third pad takes the freed seat
    game.PumpEvents();
    EXPECT_EQ(game.GetState(), Playing);
    for (const int button : {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_BACK})
    {
        third.Press(SDL_CONTROLLER_BUTTON_START, false), game.PumpEvents();
        third.Press(button), game.PumpEvents();
    }
    EXPECT_EQ(game.GetState(), MainMenu) << "Back while paused quits";
}
