#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

// A flat byte record of what objects and games hold, for snapshots of a
// round: saved by appending each class's state struct whole, restored by
// reading them back in the same order.
//
// A state struct is a plain aggregate with no constructors and no default
// member initialisers: the owning class clears it (every byte, padding
// included, to zero) and then sets its starting values in its constructor.
// Plain structs keep their tail padding to themselves, so copying one whole
// never touches a field of the class around it, and cleared padding makes
// the bytes, and so the digests, depend on the values alone. (Initialising
// it as a base, State(), zeroes its fields but may leave its tail padding.)
using StateBytes = std::vector<unsigned char>;

template <typename State> void ClearState(State& state)
{
    static_assert(std::is_trivially_copyable_v<State> && std::is_standard_layout_v<State>,
                  "a state struct is plain data");
    std::memset(&state, 0, sizeof(State));
}

template <typename State> void AppendState(StateBytes& out, const State& state)
{
    static_assert(std::is_trivially_copyable_v<State> && std::is_standard_layout_v<State> &&
                      std::is_trivially_default_constructible_v<State>,
                  "a state struct is plain data");
    const size_t at = out.size();
    out.resize(at + sizeof(State));
    std::memcpy(out.data() + at, &state, sizeof(State));
}

// Reads state structs back in the order they were saved; false once the
// record runs short, leaving the rest as it was.
class StateReader
{
public:
    StateReader(const unsigned char* data, size_t size) : m_at(data), m_end(data + size) {}
    explicit StateReader(const StateBytes& bytes) : StateReader(bytes.data(), bytes.size()) {}

    template <typename State> bool Load(State& state)
    {
        static_assert(std::is_trivially_copyable_v<State>, "a state struct is plain data");
        if (static_cast<size_t>(m_end - m_at) < sizeof(State))
            return false;
        std::memcpy(&state, m_at, sizeof(State));
        m_at += sizeof(State);
        return true;
    }
    bool AtEnd() const { return m_at == m_end; }

private:
    const unsigned char* m_at;
    const unsigned char* m_end;
};
