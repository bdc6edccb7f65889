#pragma once

#include "engine/NetLink.h"
#include "game/NetMessage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One end of an online session between two machines: the link, the
// handshake (the same game and simulation versions, one guest), the
// messages of the menus and the round, and each round's input frames as
// they come and go. The host is player 1, the guest player 2. It knows the
// game only as messages: the game decides what they mean.
class OnlineSession
{
public:
    static constexpr uint16_t kDefaultPort = 27380;
    enum class Role
    {
        Host,
        Guest,
    };
    // What arrived that the game must answer.
    struct Notice
    {
        enum class Kind
        {
            PeerJoined, // the handshake is done: play can start
            Refused,    // another version, or the game is full (text says which)
            Lost,       // the peer left or fell silent
            Message,    // a message of the menus or the round
            Intruder,   // a third machine was sent away, or another version
        };
        Kind kind = Kind::Message;
        std::string text;
        NetMessage::Message message;
    };

    // Listens for a guest, or connects to a host; null, with the reason,
    // when the port or the address cannot be used.
    static std::unique_ptr<OnlineSession> Host(uint16_t port, std::string& error);
    static std::unique_ptr<OnlineSession> Join(const std::string& host, uint16_t port, std::string& error);

    Role GetRole() const { return m_role; }
    int LocalSeat() const { return m_role == Role::Host ? 1 : 2; }
    int RemoteSeat() const { return 3 - LocalSeat(); }
    bool IsReady() const { return m_ready; }
    uint16_t Port() const { return m_link.Port(); }

    // Takes everything that arrived, at the given time in milliseconds.
    // Input frames go into the round's frames here; the rest comes back as
    // notices, in order. A peer silent for 5 s is lost.
    std::vector<Notice> Service(uint32_t nowMs);
    // A peer silent this long counts as gone; when nothing else is said,
    // a sign of life goes out this often.
    static constexpr uint32_t kSilenceMs = 5000;
    static constexpr uint32_t kHeartbeatMs = 250;
    void Send(const NetMessage::Message& message);
    // When this machine last heard from the peer.
    uint32_t LastHeardMs() const { return m_lastHeard; }
    // Ends the session at once; the peer learns of it.
    void Leave();

    // A round's frames, by pass from the round's start.
    void BeginRound();
    void SetLocalFrame(uint32_t pass, InputFrame frame);
    uint32_t LocalFramesKnown() const { return static_cast<uint32_t>(m_localFrames.size()); }
    uint32_t RemoteFramesKnown() const { return static_cast<uint32_t>(m_remoteFrames.size()); }
    // The other seat's frame of a pass, or while it is not known yet its
    // last known frame, which is the prediction.
    InputFrame RemoteFrame(uint32_t pass) const;
    InputFrame LocalFrame(uint32_t pass) const { return m_localFrames[pass]; }
    // The first pass whose frame arrived since the last call, if any.
    bool TakeFirstArrived(uint32_t& pass);
    // The pass the other machine was about to run when it last sent.
    uint32_t RemotePass() const { return m_remotePass; }
    uint32_t RemotePassHeardMs() const { return m_remotePassHeard; }
    uint32_t RoundTripMs() const { return m_link.RoundTripMs(); }
    // Sends the frames the other machine has not acknowledged yet.
    void SendInputs(uint32_t currentPass);

    uint64_t BytesSent() const { return m_link.BytesSent(); }
    uint64_t BytesReceived() const { return m_link.BytesReceived(); }
    long MalformedDropped() const { return m_malformed; }

private:
    explicit OnlineSession(Role role) : m_role(role) {}
    void Absorb(const NetMessage::Inputs& inputs);
    bool Handshake(const NetMessage::Message& message, std::vector<Notice>& notices);

    Role m_role;
    NetLink m_link;
    bool m_ready = false;
    long m_malformed = 0;
    std::vector<InputFrame> m_localFrames;
    std::vector<InputFrame> m_remoteFrames;
    uint32_t m_remoteHasOfMine = 0; // frames of ours the other side holds
    uint32_t m_remotePass = 0;
    uint32_t m_remotePassHeard = 0; // when it was told
    uint32_t m_lastHeard = 0;
    uint32_t m_lastSent = 0;
    uint32_t m_now = 0;
    bool m_arrived = false;
    uint32_t m_firstArrived = 0;
};
