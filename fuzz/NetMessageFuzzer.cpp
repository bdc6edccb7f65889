// Fuzzes the decoder of the online session's messages: whatever bytes come
// from the network, decoding either refuses them or gives a message that
// encodes back to exactly those bytes, and never reads out of bounds.
#include "fuzz/Require.h"
#include "game/NetMessage.h"

#include <cstdint>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::optional<NetMessage::Message> message = NetMessage::Decode(data, size);
    if (!message)
        return 0;
    const std::vector<unsigned char> again = NetMessage::Encode(*message);
    fuzzing::Require(again == std::vector<unsigned char>(data, data + size),
                     "a message encodes back as read");
    return 0;
}
