#include "game/NetMessage.h"

#include "game/GameData.h"

namespace NetMessage
{
namespace
{
enum class Type : uint8_t
{
    Hello = 1,
    Welcome,
    Refuse,
    Menu,
    RoundStart,
    Inputs,
    Digest,
    Pause,
    Quit,
    State,
    Ping,
};

class Writer
{
public:
    explicit Writer(Type type) { Byte(static_cast<uint8_t>(type)); }
    void Byte(uint8_t value) { m_bytes.push_back(value); }
    void Word(uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            Byte(static_cast<uint8_t>(value >> shift));
    }
    void Long(uint64_t value)
    {
        Word(static_cast<uint32_t>(value));
        Word(static_cast<uint32_t>(value >> 32));
    }
    void Bytes(const std::vector<unsigned char>& bytes)
    {
        Word(static_cast<uint32_t>(bytes.size()));
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    std::vector<unsigned char> Take() { return std::move(m_bytes); }

private:
    std::vector<unsigned char> m_bytes;
};

// Reads fields while they are there; once short, every read fails.
class Reader
{
public:
    Reader(const unsigned char* data, size_t size) : m_at(data), m_end(data + size) {}
    bool Byte(uint8_t& value)
    {
        if (m_at == m_end)
            return false;
        value = *m_at++;
        return true;
    }
    bool Word(uint32_t& value)
    {
        value = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            uint8_t byte = 0;
            if (!Byte(byte))
                return false;
            value |= static_cast<uint32_t>(byte) << shift;
        }
        return true;
    }
    bool Long(uint64_t& value)
    {
        uint32_t low = 0;
        uint32_t high = 0;
        if (!Word(low) || !Word(high))
            return false;
        value = static_cast<uint64_t>(high) << 32 | low;
        return true;
    }
    bool Bytes(std::vector<unsigned char>& bytes, size_t most)
    {
        uint32_t size = 0;
        if (!Word(size) || size > most || size > static_cast<size_t>(m_end - m_at))
            return false;
        bytes.assign(m_at, m_at + size);
        m_at += size;
        return true;
    }
    bool AtEnd() const { return m_at == m_end; }

private:
    const unsigned char* m_at;
    const unsigned char* m_end;
};

// A frame on the wire: the held actions in the low bits, the lever above.
constexpr uint8_t kLeverBit = 1u << kPlayerActionCount;

struct Encoder
{
    std::vector<unsigned char> operator()(const Hello& hello) const
    {
        Writer out(Type::Hello);
        out.Word(hello.gameVersion);
        out.Word(hello.simulationVersion);
        return out.Take();
    }
    std::vector<unsigned char> operator()(const Welcome&) const { return Writer(Type::Welcome).Take(); }
    std::vector<unsigned char> operator()(const Refuse& refuse) const
    {
        Writer out(Type::Refuse);
        out.Byte(static_cast<uint8_t>(refuse.reason));
        out.Word(refuse.gameVersion);
        out.Word(refuse.simulationVersion);
        return out.Take();
    }
    std::vector<unsigned char> operator()(const Menu& menu) const
    {
        Writer out(Type::Menu);
        out.Byte(static_cast<uint8_t>(menu.step));
        out.Byte(menu.seat);
        out.Byte(menu.value);
        return out.Take();
    }
    std::vector<unsigned char> operator()(const RoundStart& start) const
    {
        Writer out(Type::RoundStart);
        out.Byte(start.level);
        out.Bytes(start.snapshot);
        return out.Take();
    }
    std::vector<unsigned char> operator()(const Inputs& inputs) const
    {
        Writer out(Type::Inputs);
        out.Word(inputs.firstPass);
        out.Byte(static_cast<uint8_t>(inputs.frames.size()));
        for (const InputFrame& frame : inputs.frames)
            out.Byte(static_cast<uint8_t>(frame.held | (frame.lever ? kLeverBit : 0)));
        out.Word(inputs.framesReceived);
        out.Word(inputs.currentPass);
        return out.Take();
    }
    std::vector<unsigned char> operator()(const Digest& digest) const
    {
        Writer out(Type::Digest);
        out.Word(digest.pass);
        out.Long(digest.digest);
        return out.Take();
    }
    std::vector<unsigned char> operator()(const Pause& pause) const
    {
        Writer out(Type::Pause);
        out.Byte(pause.paused ? 1 : 0);
        return out.Take();
    }
    std::vector<unsigned char> operator()(const Quit&) const { return Writer(Type::Quit).Take(); }
    std::vector<unsigned char> operator()(const Ping&) const { return Writer(Type::Ping).Take(); }
    std::vector<unsigned char> operator()(const State& state) const
    {
        Writer out(Type::State);
        out.Word(state.pass);
        out.Bytes(state.snapshot);
        return out.Take();
    }
};

std::optional<Message> DecodeMenu(Reader& in)
{
    Menu menu;
    uint8_t step = 0;
    if (!in.Byte(step) || !in.Byte(menu.seat) || !in.Byte(menu.value))
        return std::nullopt;
    if (step < static_cast<uint8_t>(MenuStep::Play) || step > static_cast<uint8_t>(MenuStep::Continue))
        return std::nullopt;
    menu.step = static_cast<MenuStep>(step);
    if (menu.seat != 1 && menu.seat != 2)
        return std::nullopt;
    // A fighter is one of the portraits; a seat's kind one of person and
    // the three computers.
    const int most = menu.step == MenuStep::Choose ? GameData::kCharacterCount - 1 : 3;
    if (menu.value > most)
        return std::nullopt;
    return menu;
}

std::optional<Message> DecodeInputs(Reader& in)
{
    Inputs inputs;
    uint8_t count = 0;
    if (!in.Word(inputs.firstPass) || !in.Byte(count) || count == 0 || count > kMostFrames)
        return std::nullopt;
    for (int i = 0; i < count; ++i)
    {
        uint8_t bits = 0;
        if (!in.Byte(bits) || bits >= kLeverBit * 2)
            return std::nullopt;
        InputFrame frame;
        frame.held = static_cast<uint8_t>(bits & (kLeverBit - 1));
        frame.lever = (bits & kLeverBit) != 0;
        inputs.frames.push_back(frame);
    }
    if (!in.Word(inputs.framesReceived) || !in.Word(inputs.currentPass))
        return std::nullopt;
    if (inputs.firstPass + count > kLastPass || inputs.framesReceived > kLastPass ||
        inputs.currentPass > kLastPass)
        return std::nullopt;
    return inputs;
}

std::optional<Message> DecodeBody(Type type, Reader& in)
{
    switch (type)
    {
    case Type::Hello:
    {
        Hello hello;
        if (!in.Word(hello.gameVersion) || !in.Word(hello.simulationVersion))
            return std::nullopt;
        return hello;
    }
    case Type::Welcome:
        return Welcome{};
    case Type::Refuse:
    {
        Refuse refuse;
        uint8_t reason = 0;
        if (!in.Byte(reason) || !in.Word(refuse.gameVersion) || !in.Word(refuse.simulationVersion))
            return std::nullopt;
        if (reason != static_cast<uint8_t>(RefusalReason::OtherVersion) &&
            reason != static_cast<uint8_t>(RefusalReason::GameFull))
            return std::nullopt;
        refuse.reason = static_cast<RefusalReason>(reason);
        return refuse;
    }
    case Type::Menu:
        return DecodeMenu(in);
    case Type::RoundStart:
    {
        RoundStart start;
        if (!in.Byte(start.level) || start.level >= GameData::kLevelCount ||
            !in.Bytes(start.snapshot, kLargestSnapshot))
            return std::nullopt;
        return start;
    }
    case Type::Inputs:
        return DecodeInputs(in);
    case Type::Digest:
    {
        Digest digest;
        if (!in.Word(digest.pass) || !in.Long(digest.digest) || digest.pass > kLastPass)
            return std::nullopt;
        return digest;
    }
    case Type::Pause:
    {
        uint8_t paused = 0;
        if (!in.Byte(paused) || paused > 1)
            return std::nullopt;
        return Pause{paused == 1};
    }
    case Type::Quit:
        return Quit{};
    case Type::Ping:
        return Ping{};
    case Type::State:
    {
        State state;
        if (!in.Word(state.pass) || state.pass > kLastPass || !in.Bytes(state.snapshot, kLargestSnapshot))
            return std::nullopt;
        return state;
    }
    }
    return std::nullopt;
}
} // namespace

std::vector<unsigned char> Encode(const Message& message) { return std::visit(Encoder{}, message); }

std::optional<Message> Decode(const unsigned char* data, size_t size)
{
    Reader in(data, size);
    uint8_t type = 0;
    if (!in.Byte(type) || type < static_cast<uint8_t>(Type::Hello) || type > static_cast<uint8_t>(Type::Ping))
        return std::nullopt;
    std::optional<Message> message = DecodeBody(static_cast<Type>(type), in);
    // Bytes left over make the whole message suspect.
    if (!message || !in.AtEnd())
        return std::nullopt;
    return message;
}
} // namespace NetMessage
