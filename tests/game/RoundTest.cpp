// A round as a value: its snapshots hold the values and nothing else, and a
// restored round runs on as the original did. (The soak checks the same
// over every pass of its rounds, with a shadow game and rollbacks.)
#include "objects/FlyingNPC.h"
#include "objects/MovingPlatform.h"
#include "objects/MovingText.h"
#include "objects/NPC.h"
#include "objects/Player.h"
#include "tests/driver/GameDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

using namespace GameData;

namespace
{
// Room for any object of the game, and for the game itself.
constexpr size_t kRoom = sizeof(GameDriver) + 4096;

// Makes a thing in memory first filled with the given byte and returns its
// snapshot bytes.
template <typename Thing> StateBytes SavedIn(unsigned char fill, const std::function<Thing*(void*)>& make,
                                             const std::function<void(const Thing&, StateBytes&)>& save)
{
    std::vector<std::max_align_t> memory(kRoom / sizeof(std::max_align_t) + 1);
    std::memset(memory.data(), fill, memory.size() * sizeof(std::max_align_t));
    Thing* thing = make(memory.data());
    StateBytes bytes;
    save(*thing, bytes);
    thing->~Thing();
    return bytes;
}
} // namespace

TEST(Round, ASnapshotHoldsTheValuesAloneNotTheMemoryBeneathThem)
{
    GameDriver game("");
    const std::function<void(const DisplayableObject&, StateBytes&)> saveObject =
        [](const DisplayableObject& object, StateBytes& bytes) { object.SaveState(bytes); };
    const std::function<DisplayableObject*(void*)> makers[] = {
        [&](void* at) { return new (at) Player(&game, 100, 200, 2, 3); },
        [&](void* at) { return new (at) NPC(&game, 100, 600, kWalkerKind); },
        [&](void* at) { return new (at) FlyingNPC(&game, 120, 48, 1, kFlyerKind); },
        [&](void* at) { return new (at) MovingPlatform(&game, 144, 350, 100, 350); },
        [&](void* at) { return new (at) MovingText(&game); },
    };
    for (size_t i = 0; i < std::size(makers); ++i)
    {
        const StateBytes onZeros = SavedIn<DisplayableObject>(0x00, makers[i], saveObject);
        const StateBytes onOnes = SavedIn<DisplayableObject>(0xFF, makers[i], saveObject);
        EXPECT_EQ(onZeros, onOnes) << "object " << i << " saves bytes it never set";
    }
    const std::function<GameDriver*(void*)> makeGame = [](void* at) { return new (at) GameDriver(""); };
    const std::function<void(const GameDriver&, StateBytes&)> saveGame =
        [](const GameDriver& driver, StateBytes& bytes) { driver.SaveRound(bytes); };
    EXPECT_EQ(SavedIn<GameDriver>(0x00, makeGame, saveGame), SavedIn<GameDriver>(0xFF, makeGame, saveGame))
        << "the game's round state saves bytes it never set";
}
