#pragma once

#include "objects/Arena.h"

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

// The messages of an online session, and their bytes on the wire: a type
// byte, then fixed little-endian fields. Decoding checks every length and
// range before anything is used, so bytes from the network that are not a
// well-formed message come out as nothing.
namespace NetMessage
{
// The versions a peer must share: the game's, and the simulation's (which
// changes whenever a rule or a number of the game does).
struct Hello
{
    uint32_t gameVersion = 0;
    uint32_t simulationVersion = 0;
};
// The host takes the guest: it is player 2.
struct Welcome
{
};
enum class RefusalReason : uint8_t
{
    OtherVersion = 1,
    GameFull = 2,
};
struct Refuse
{
    RefusalReason reason = RefusalReason::OtherVersion;
    uint32_t gameVersion = 0;
    uint32_t simulationVersion = 0;
};
// What a player did on a menu screen, for the other machine to do too.
enum class MenuStep : uint8_t
{
    Play = 1,     // the main menu's click: to the first character screen
    Choose = 2,   // a fighter confirmed for a seat
    Back = 3,     // Back on a selection screen
    SeatKind = 4, // a seat handed to a person or a computer
    Continue = 5, // the result screen left for the main menu
};
struct Menu
{
    MenuStep step = MenuStep::Play;
    uint8_t seat = 1;  // 1 or 2
    uint8_t value = 0; // the fighter, or the seat's kind
};
// The host starts the round on the level it chose, from this snapshot.
struct RoundStart
{
    uint8_t level = 0;
    std::vector<unsigned char> snapshot;
};
// A run of the sender's frames, from firstPass on, and how many of the
// receiver's frames the sender holds (so the receiver stops repeating
// them), and the pass the sender is about to run.
struct Inputs
{
    uint32_t firstPass = 0;
    std::vector<InputFrame> frames;
    uint32_t framesReceived = 0;
    uint32_t currentPass = 0;
};
// The digest of the round before a pass, once both seats' frames of every
// earlier pass are known.
struct Digest
{
    uint32_t pass = 0;
    uint64_t digest = 0;
};
struct Pause
{
    bool paused = false;
};
// q while paused: the session ends for both.
struct Quit
{
};
// Nothing but a sign of life, while nothing else is said.
struct Ping
{
};
// The round state before a pass whose digests differed, for the report.
struct State
{
    uint32_t pass = 0;
    std::vector<unsigned char> snapshot;
};

using Message =
    std::variant<Hello, Welcome, Refuse, Menu, RoundStart, Inputs, Digest, Pause, Quit, State, Ping>;

// Limits a message must keep to.
constexpr size_t kMostFrames = 64;
constexpr size_t kLargestSnapshot = 64 * 1024;
constexpr uint32_t kLastPass = 1u << 24;

std::vector<unsigned char> Encode(const Message& message);
std::optional<Message> Decode(const unsigned char* data, size_t size);
inline std::optional<Message> Decode(const std::vector<unsigned char>& bytes)
{
    return Decode(bytes.data(), bytes.size());
}
} // namespace NetMessage
