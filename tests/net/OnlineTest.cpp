// Online play within one process, on the loopback address: the messages'
// bytes, and a host's answers to a wrong version, a second guest and
// malformed bytes, with a link of the test's own playing the other side.
#include "engine/NetLink.h"
#include "game/NetMessage.h"
#include "game/OnlineSession.h"
#include "tests/driver/GameDriver.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>

using namespace NetMessage;

namespace
{
// Serves both ends until the condition holds, for at most two seconds.
bool Until(const std::function<bool()>& done, GameDriver& game, NetLink* link = nullptr,
           std::vector<Message>* heard = nullptr)
{
    for (int step = 0; step < 2000; ++step)
    {
        game.Pass(1);
        NetLink::Event event;
        while (link && link->Poll(event))
            if (event.kind == NetLink::Event::Kind::Received && heard)
                if (std::optional<Message> message = Decode(event.data))
                    heard->push_back(*message);
        if (done())
            return true;
        SDL_Delay(1);
    }
    return false;
}

bool Heard(const std::vector<Message>& heard, RefusalReason reason)
{
    for (const Message& message : heard)
        if (const auto* refuse = std::get_if<Refuse>(&message); refuse && refuse->reason == reason)
            return true;
    return false;
}
} // namespace

TEST(Online, EveryMessageComesBackAsSentAndMalformedBytesAsNothing)
{
    InputFrame held;
    held.Hold(PlayerAction::Left);
    held.lever = true;
    const Message messages[] = {
        Hello{GameData::kGameVersion, GameData::kSimulationVersion},
        Welcome{},
        Refuse{RefusalReason::GameFull, 7, 8},
        Menu{MenuStep::Choose, 2, 5},
        RoundStart{3, {1, 2, 3}},
        Inputs{40, {held, InputFrame{}}, 12, 44},
        NetMessage::Digest{64, 0x0123456789ABCDEFull},
        Pause{true},
        Quit{},
        State{128, {9, 9}},
        Ping{},
    };
    for (const Message& message : messages)
    {
        const std::vector<unsigned char> bytes = Encode(message);
        const std::optional<Message> decoded = Decode(bytes);
        ASSERT_TRUE(decoded.has_value()) << "message type " << message.index();
        EXPECT_EQ(Encode(*decoded), bytes) << "message type " << message.index();
    }
    const std::vector<unsigned char> inputs = Encode(Inputs{0, {held}, 0, 0});
    struct Spoiled
    {
        const char* what;
        std::vector<unsigned char> bytes;
    };
    const Spoiled spoiled[] = {
        {"nothing", {}},
        {"an unknown type", {99}},
        {"a message cut short", std::vector<unsigned char>(inputs.begin(), inputs.end() - 1)},
        {"a byte left over",
         [&] {
             std::vector<unsigned char> longer = inputs;
             longer.push_back(0);
             return longer;
         }()},
        {"no frames", {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"a frame with bits past the lever", {6, 0, 0, 0, 0, 1, 0x40, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"a third seat", Encode(Menu{MenuStep::Play, 3, 0})},
        {"a seventh fighter", Encode(Menu{MenuStep::Choose, 1, 6})},
        {"a fifth level", Encode(RoundStart{4, {}})},
        {"a snapshot longer than the message", {5, 0, 0xFF, 0, 0, 0}},
    };
    for (const Spoiled& bytes : spoiled)
        EXPECT_FALSE(Decode(bytes.bytes).has_value()) << bytes.what;
}

TEST(Online, AHostRefusesAnotherVersionAndASecondGuestAndDropsMalformedBytes)
{
    GameDriver host("");
    ASSERT_TRUE(host.HostOnline(0));
    const uint16_t port = host.GetOnlinePort();

    NetLink stranger;
    std::vector<Message> heard;
    ASSERT_TRUE(stranger.Connect("127.0.0.1", port));
    ASSERT_TRUE(Until([&] { return stranger.IsConnected(); }, host, &stranger));
    stranger.Send(NetLink::kReliable,
                  Encode(Hello{GameData::kGameVersion, GameData::kSimulationVersion + 1}));
    ASSERT_TRUE(Until([&] { return Heard(heard, RefusalReason::OtherVersion); }, host, &stranger, &heard));
    EXPECT_FALSE(host.IsOnlineReady()) << "still waiting for a player";

    NetLink guest;
    ASSERT_TRUE(guest.Connect("127.0.0.1", port));
    ASSERT_TRUE(Until([&] { return guest.IsConnected(); }, host, &guest));
    guest.Send(NetLink::kReliable, Encode(Hello{GameData::kGameVersion, GameData::kSimulationVersion}));
    ASSERT_TRUE(Until([&] { return host.IsOnlineReady(); }, host, &guest));

    NetLink third;
    std::vector<Message> thirdHeard;
    ASSERT_TRUE(third.Connect("127.0.0.1", port));
    EXPECT_TRUE(Until([&] { return Heard(thirdHeard, RefusalReason::GameFull); }, host, &third, &thirdHeard))
        << "a second guest is sent away";

    guest.Send(NetLink::kReliable, {0xEE, 1, 2});
    guest.Send(NetLink::kSequenced, Encode(Menu{MenuStep::Play, 7, 0}));
    ASSERT_TRUE(Until([&] { return host.GetOnlineFigures().malformed == 2; }, host, &guest))
        << host.GetOnlineFigures().malformed;
    guest.Send(NetLink::kReliable, Encode(Menu{MenuStep::Play, 2, 0}));
    EXPECT_TRUE(Until([&] { return host.GetState() == SelectPlayer1; }, host, &guest))
        << "the guest's click to play, after its malformed bytes were dropped";
}

TEST(Online, AGuestRefusedForItsVersionSaysSoAndPlaysOn)
{
    NetLink fakeHost;
    ASSERT_TRUE(fakeHost.Listen(0, {}));
    GameDriver guest("");
    ASSERT_TRUE(guest.JoinOnline("127.0.0.1", fakeHost.Port()));
    std::vector<Message> heard;
    ASSERT_TRUE(Until([&] { return !heard.empty(); }, guest, &fakeHost, &heard));
    ASSERT_TRUE(std::holds_alternative<Hello>(heard.front()));
    fakeHost.Send(NetLink::kReliable, Encode(Refuse{RefusalReason::OtherVersion, 200, 9}));
    ASSERT_TRUE(Until([&] { return !guest.IsOnline(); }, guest, &fakeHost));
    EXPECT_EQ(guest.GetNotice(),
              "cannot join: the host runs Skirmora 2.0 (simulation 9); this is Skirmora 1.0 "
              "(simulation 1)");
    EXPECT_EQ(guest.GetState(), MainMenu);
}

TEST(Online, TwoGamesShareTheMenusAPauseAndTheWayOut)
{
    GameDriver host("");
    ASSERT_TRUE(host.HostOnline(0));
    GameDriver guest("");
    ASSERT_TRUE(guest.JoinOnline("127.0.0.1", host.GetOnlinePort()));
    const auto both = [&](const std::function<bool()>& done) {
        for (int step = 0; step < 2000; ++step)
        {
            host.Pass(15);
            guest.Pass(15);
            if (done())
                return true;
            SDL_Delay(1);
        }
        return false;
    };
    ASSERT_TRUE(both([&] { return host.IsOnlineReady() && guest.IsOnlineReady(); }));

    guest.Click(0, 0);
    ASSERT_TRUE(both([&] { return host.GetState() == SelectPlayer1; })) << "either may start";
    EXPECT_EQ(guest.GetState(), SelectPlayer1);
    guest.ClickOn(GameData::kPortraitHits[1]);
    EXPECT_EQ(guest.GetHighlight(), -1) << "player 1's fighter is the host's to choose";
    host.ClickOn(GameData::kPortraitHits[3]);
    host.ClickOn(GameData::kConfirmBox);
    ASSERT_TRUE(both([&] { return guest.GetState() == SelectPlayer2; }));
    guest.ClickOn(GameData::kPortraitHits[5]);
    guest.ClickOn(GameData::kConfirmBox);
    ASSERT_TRUE(both([&] { return host.GetState() == SelectLevel; }));
    host.ClickOn(GameData::kThumbnailHits[2]);
    host.ClickOn(GameData::kConfirmBox);
    ASSERT_TRUE(both([&] { return guest.GetState() == Playing; }));
    EXPECT_EQ(guest.GetPlayer1Character(), 3);
    EXPECT_EQ(host.GetPlayer2Character(), 5);
    EXPECT_EQ(guest.GetLevel(), 2);

    ASSERT_TRUE(both([&] { return host.GetOnlineFigures().passes > 100; }));
    guest.PressKey(GameData::kPauseKey);
    ASSERT_TRUE(both([&] { return host.GetState() == Paused; })) << "either's Space pauses both";
    const uint32_t pausedAt = host.GetOnlineFigures().passes;
    both([] { return false; });
    EXPECT_EQ(host.GetOnlineFigures().passes, pausedAt) << "no passes while paused";
    host.PressKey(GameData::kQuitKey);
    ASSERT_TRUE(both([&] { return !guest.IsOnline(); })) << "q while paused ends the session for both";
    EXPECT_EQ(guest.GetState(), MainMenu);
    EXPECT_EQ(host.GetState(), MainMenu);
    EXPECT_FALSE(host.IsOnline());
}
