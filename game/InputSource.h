#pragma once

#include "engine/ObjectState.h"
#include "objects/Arena.h"

class BaseEngine;
class GamePads;
class PadControls;
class Stage2Engine;

// What fills a seat's input frame, one frame for each pass of a round:
// the player's own keys and pad, and in time a computer, a replay or a
// player across the network. The game asks each seat's source once a pass
// and the round reads nothing else.
class InputSource
{
public:
    virtual ~InputSource() = default;
    // The seat's frame for the pass about to run.
    virtual InputFrame NextFrame() = 0;
    // The round as a pass left it, silent or not, first run or run again:
    // a source that decides by itself observes and decides here, so that
    // what it keeps follows the round through restores and passes run
    // again, and NextFrame only hands over what it decided.
    virtual void AfterPass(const Stage2Engine& /*game*/) {}
    // A lever pull asked for by this seat's click or pad, to go into the
    // next frame; sources that play by themselves ignore it.
    virtual void PullLever() {}
    // What a source keeps between passes that decides its next frames, for
    // the round's snapshots; most keep nothing. It changes only in AfterPass.
    virtual void SaveState(StateBytes& /*out*/) const {}
    virtual bool LoadState(StateReader& /*in*/) { return true; }
};

// A person at this machine: the seat's keys, its pad, and its mouse button
// (or the pad's lever button) for the lever.
class LocalInput final : public InputSource
{
public:
    // With eitherSeat (a person alone at this machine, playing online),
    // both players' keys and every pad steer this seat.
    LocalInput(const BaseEngine& keys, const GamePads& pads, const PadControls& padControls, int seat,
               bool eitherSeat = false)
        : m_keys(keys), m_pads(pads), m_padControls(padControls), m_seat(seat), m_eitherSeat(eitherSeat)
    {
    }

    InputFrame NextFrame() override;
    void PullLever() override { m_leverAsked = true; }

private:
    const BaseEngine& m_keys;
    const GamePads& m_pads;
    const PadControls& m_padControls;
    int m_seat;
    bool m_eitherSeat;
    // Clicks between two passes count once, in the next pass.
    bool m_leverAsked = false;
};
