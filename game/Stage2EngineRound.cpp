// A round as a value: its passes fed by the seats' input frames, and
// snapshots of its whole state that can be restored and compared.
#include "game/Stage2Engine.h"

#include "engine/DisplayableObject.h"

namespace
{
// FNV-1a, over every byte.
constexpr uint64_t kDigestBasis = 0xCBF29CE484222325ull;
constexpr uint64_t kDigestPrime = 0x100000001B3ull;
} // namespace

void Stage2Engine::SetSeatSource(int seat, std::unique_ptr<InputSource> source)
{
    m_seatSources[seat - 1] = std::move(source);
}

RoundPass Stage2Engine::NextPass()
{
    RoundPass pass;
    pass.time = GetTime();
    for (int seat = 0; seat < 2; ++seat)
        pass.seats[seat] = m_seatSources[seat]->NextFrame();
    return pass;
}

void Stage2Engine::RunPass(const RoundPass& pass, bool silent)
{
    m_pass = pass;
    m_silent = silent;
    if (m_secondsLeft > 0)
        RunRound();
    else
        EndRound();
    PulseSun();
    for (const auto& source : m_seatSources)
        source->AfterPass(*this);
    m_silent = false;
}

void Stage2Engine::SaveWorld(StateBytes& out) const
{
    out.clear();
    AppendState<RoundState>(out, *this);
    for (int i = 0; const DisplayableObject* object = GetDisplayableObject(i); ++i)
        object->SaveState(out);
}

void Stage2Engine::SaveRound(StateBytes& out) const
{
    SaveWorld(out);
    for (const auto& source : m_seatSources)
        source->SaveState(out);
}

bool Stage2Engine::FitsThisRound(const StateBytes& snapshot, bool withSources) const
{
    // Only a snapshot of this round fits: the same level and fighters, and
    // so the same objects, which a snapshot of the same size confirms.
    StateReader header(snapshot);
    RoundState saved;
    if (!header.Load(saved) || saved.m_level != m_level || saved.m_player1Character != m_player1Character ||
        saved.m_player2Character != m_player2Character)
        return false;
    if (withSources)
        SaveRound(m_scratch);
    else
        SaveWorld(m_scratch);
    return m_scratch.size() == snapshot.size();
}

void Stage2Engine::LoadWorldFrom(StateReader& in)
{
    in.Load<RoundState>(*this);
    for (int i = 0; DisplayableObject* object = GetDisplayableObject(i); ++i)
        object->LoadState(in);
    m_tileMap.SetDaytime(m_daytime);
}

bool Stage2Engine::LoadWorld(const StateBytes& world)
{
    if (!FitsThisRound(world, false))
        return false;
    StateReader in(world);
    LoadWorldFrom(in);
    return true;
}

bool Stage2Engine::LoadRound(const StateBytes& snapshot)
{
    if (!FitsThisRound(snapshot, true))
        return false;
    StateReader in(snapshot);
    LoadWorldFrom(in);
    for (const auto& source : m_seatSources)
        source->LoadState(in);
    return true;
}

bool Stage2Engine::RestoreRound(const StateBytes& snapshot)
{
    if (!LoadRound(snapshot))
        return false;
    RepaintWithSun();
    return true;
}

uint64_t Stage2Engine::Digest(const StateBytes& snapshot)
{
    uint64_t digest = kDigestBasis;
    for (const unsigned char byte : snapshot)
        digest = (digest ^ byte) * kDigestPrime;
    return digest;
}
