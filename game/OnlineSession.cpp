#include "game/OnlineSession.h"

#include "game/GameData.h"

#include <algorithm>

using namespace NetMessage;

namespace
{
std::string VersionText(uint32_t game, uint32_t simulation)
{
    return "Skirmora " + std::to_string(game / 100) + "." + std::to_string(game % 100) + " (simulation " +
           std::to_string(simulation) + ")";
}

const std::string& OurVersion()
{
    static const std::string text = VersionText(GameData::kGameVersion, GameData::kSimulationVersion);
    return text;
}
} // namespace

std::unique_ptr<OnlineSession> OnlineSession::Host(uint16_t port, std::string& error)
{
    std::unique_ptr<OnlineSession> session(new OnlineSession(Role::Host));
    const Refuse full{RefusalReason::GameFull, GameData::kGameVersion, GameData::kSimulationVersion};
    if (!session->m_link.Listen(port, Encode(full)))
    {
        error = session->m_link.Error();
        return nullptr;
    }
    return session;
}

std::unique_ptr<OnlineSession> OnlineSession::Join(const std::string& host, uint16_t port, std::string& error)
{
    std::unique_ptr<OnlineSession> session(new OnlineSession(Role::Guest));
    if (!session->m_link.Connect(host, port))
    {
        error = session->m_link.Error();
        return nullptr;
    }
    return session;
}

void OnlineSession::Send(const Message& message)
{
    m_link.Send(NetLink::kReliable, Encode(message));
    m_lastSent = m_now;
}

void OnlineSession::Leave()
{
    m_link.Disconnect();
    m_ready = false;
}

std::vector<OnlineSession::Notice> OnlineSession::Service(uint32_t nowMs)
{
    m_now = nowMs;
    std::vector<Notice> notices;
    NetLink::Event event;
    while (m_link.Poll(event))
    {
        if (event.kind == NetLink::Event::Kind::Received || event.kind == NetLink::Event::Kind::Connected)
            m_lastHeard = nowMs;
        switch (event.kind)
        {
        case NetLink::Event::Kind::Connected:
            // The guest introduces itself; the host waits to be told.
            if (m_role == Role::Guest)
                Send(Hello{GameData::kGameVersion, GameData::kSimulationVersion});
            break;
        case NetLink::Event::Kind::Refused:
            notices.push_back(
                {Notice::Kind::Intruder, "another player tried to join: this game is full", {}});
            break;
        case NetLink::Event::Kind::Disconnected:
            if (m_ready || m_role == Role::Guest)
                notices.push_back({Notice::Kind::Lost, "connection lost", {}});
            m_ready = false;
            break;
        case NetLink::Event::Kind::Received:
        {
            std::optional<Message> message = Decode(event.data);
            if (!message)
            {
                ++m_malformed;
                break;
            }
            if (Handshake(*message, notices))
                break;
            if (!m_ready)
            {
                // Nothing counts before the handshake.
                ++m_malformed;
                break;
            }
            if (const auto* inputs = std::get_if<Inputs>(&*message))
                Absorb(*inputs);
            else if (!std::holds_alternative<Ping>(*message))
                notices.push_back({Notice::Kind::Message, "", std::move(*message)});
            break;
        }
        }
    }
    if (m_ready && nowMs - m_lastHeard > kSilenceMs)
    {
        m_link.Disconnect();
        m_ready = false;
        notices.push_back({Notice::Kind::Lost, "connection lost", {}});
    }
    else if (m_ready && nowMs - m_lastSent >= kHeartbeatMs)
        Send(Ping{});
    return notices;
}

// True when the message was the handshake's.
bool OnlineSession::Handshake(const Message& message, std::vector<Notice>& notices)
{
    if (const auto* hello = std::get_if<Hello>(&message))
    {
        if (m_role != Role::Host || m_ready)
            return true;
        if (hello->gameVersion != GameData::kGameVersion ||
            hello->simulationVersion != GameData::kSimulationVersion)
        {
            Send(Refuse{RefusalReason::OtherVersion, GameData::kGameVersion, GameData::kSimulationVersion});
            m_link.DisconnectAfterSending();
            notices.push_back({Notice::Kind::Intruder,
                               "a player with " + VersionText(hello->gameVersion, hello->simulationVersion) +
                                   " tried to join; this is " + OurVersion(),
                               {}});
            return true;
        }
        Send(Welcome{});
        m_ready = true;
        notices.push_back({Notice::Kind::PeerJoined, "a player joined", {}});
        return true;
    }
    if (std::holds_alternative<Welcome>(message))
    {
        if (m_role == Role::Guest && !m_ready)
        {
            m_ready = true;
            notices.push_back({Notice::Kind::PeerJoined, "joined the host", {}});
        }
        return true;
    }
    if (const auto* refuse = std::get_if<Refuse>(&message))
    {
        if (m_role != Role::Guest || m_ready)
            return true;
        const std::string why = refuse->reason == RefusalReason::GameFull
                                    ? "the host already has a player"
                                    : "the host runs " +
                                          VersionText(refuse->gameVersion, refuse->simulationVersion) +
                                          "; this is " + OurVersion();
        notices.push_back({Notice::Kind::Refused, "cannot join: " + why, {}});
        m_link.Disconnect();
        return true;
    }
    return false;
}

void OnlineSession::BeginRound()
{
    m_localFrames.clear();
    m_remoteFrames.clear();
    m_remoteHasOfMine = 0;
    m_remotePass = 0;
    m_arrived = false;
}

void OnlineSession::SetLocalFrame(uint32_t pass, InputFrame frame)
{
    if (pass >= m_localFrames.size())
        m_localFrames.resize(pass + 1);
    m_localFrames[pass] = frame;
}

InputFrame OnlineSession::RemoteFrame(uint32_t pass) const
{
    if (pass < m_remoteFrames.size())
        return m_remoteFrames[pass];
    // Predicted: held as the last known frame, but a lever pull is a single
    // event and is not repeated.
    InputFrame predicted = m_remoteFrames.empty() ? InputFrame{} : m_remoteFrames.back();
    predicted.lever = false;
    return predicted;
}

bool OnlineSession::TakeFirstArrived(uint32_t& pass)
{
    if (!m_arrived)
        return false;
    pass = m_firstArrived;
    m_arrived = false;
    return true;
}

// Frames come repeated until acknowledged, and late or out of order: only
// those that extend what is known count.
void OnlineSession::Absorb(const Inputs& inputs)
{
    m_remoteHasOfMine = std::max(m_remoteHasOfMine, std::min(inputs.framesReceived, LocalFramesKnown()));
    if (inputs.currentPass > m_remotePass)
    {
        m_remotePass = inputs.currentPass;
        m_remotePassHeard = m_now;
    }
    const uint32_t known = RemoteFramesKnown();
    if (inputs.firstPass > known)
        return; // a gap: wait for the frames before these
    const uint32_t end = inputs.firstPass + static_cast<uint32_t>(inputs.frames.size());
    if (end <= known)
        return;
    if (!m_arrived)
    {
        m_arrived = true;
        m_firstArrived = known;
    }
    for (uint32_t pass = known; pass < end; ++pass)
        m_remoteFrames.push_back(inputs.frames[pass - inputs.firstPass]);
}

void OnlineSession::SendInputs(uint32_t currentPass)
{
    Inputs inputs;
    inputs.firstPass = m_remoteHasOfMine;
    const uint32_t last = std::min<uint32_t>(LocalFramesKnown(), m_remoteHasOfMine + kMostFrames);
    for (uint32_t pass = m_remoteHasOfMine; pass < last; ++pass)
        inputs.frames.push_back(m_localFrames[pass]);
    inputs.framesReceived = RemoteFramesKnown();
    inputs.currentPass = currentPass;
    if (inputs.frames.empty())
    {
        // Still say where we are and what we hold.
        inputs.firstPass = std::max<uint32_t>(m_remoteHasOfMine, 1) - 1;
        if (LocalFramesKnown() == 0)
            return;
        inputs.frames.push_back(m_localFrames[inputs.firstPass]);
    }
    m_link.Send(NetLink::kSequenced, Encode(inputs));
    m_lastSent = m_now;
}
