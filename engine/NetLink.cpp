#include "engine/NetLink.h"

#include <cstdlib>
#include <enet/enet.h>

namespace
{
constexpr size_t kChannels = 2;
// Room for the peer and for a few more being turned away at once.
constexpr size_t kPeerSlots = 4;

// The library is started once for the program and stopped at its exit.
bool StartLibrary()
{
    static const bool started = [] {
        if (enet_initialize() != 0)
            return false;
        std::atexit(enet_deinitialize);
        return true;
    }();
    return started;
}
} // namespace

void NetLink::HostDeleter::operator()(ENetHost* host) const { enet_host_destroy(host); }

NetLink::NetLink() = default;

NetLink::~NetLink() { Disconnect(); }

bool NetLink::Listen(uint16_t port, std::vector<unsigned char> refusal)
{
    if (!StartLibrary())
    {
        m_error = "the network library did not start";
        return false;
    }
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    m_host.reset(enet_host_create(&address, kPeerSlots, kChannels, 0, 0));
    if (!m_host)
    {
        m_error = "port " + std::to_string(port) + " is in use or cannot be opened";
        return false;
    }
    ENetAddress bound{};
    m_port = enet_socket_get_address(m_host->socket, &bound) == 0 ? bound.port : port;
    m_refusal = std::move(refusal);
    return true;
}

bool NetLink::Connect(const std::string& host, uint16_t port)
{
    if (!StartLibrary())
    {
        m_error = "the network library did not start";
        return false;
    }
    ENetAddress address{};
    if (enet_address_set_host(&address, host.c_str()) != 0)
    {
        m_error = "no address found for " + host;
        return false;
    }
    address.port = port;
    m_host.reset(enet_host_create(nullptr, 1, kChannels, 0, 0));
    if (!m_host)
    {
        m_error = "no network socket could be opened";
        return false;
    }
    ENetPeer* peer = enet_host_connect(m_host.get(), &address, kChannels, 0);
    if (!peer)
    {
        m_error = "cannot connect to " + host;
        return false;
    }
    enet_peer_timeout(peer, 0, kTimeoutMs, kTimeoutMs);
    m_port = port;
    return true;
}

bool NetLink::Poll(Event& event)
{
    if (!m_host)
        return false;
    ENetEvent happened;
    while (enet_host_service(m_host.get(), &happened, 0) > 0)
    {
        switch (happened.type)
        {
        case ENET_EVENT_TYPE_CONNECT:
            if (m_peer && happened.peer != m_peer)
            {
                // One peer a link: tell a newcomer why, then let it go.
                ENetPacket* packet =
                    enet_packet_create(m_refusal.data(), m_refusal.size(), ENET_PACKET_FLAG_RELIABLE);
                enet_peer_send(happened.peer, kReliable, packet);
                enet_peer_disconnect_later(happened.peer, 0);
                event = Event{Event::Kind::Refused, 0, {}};
                return true;
            }
            m_peer = happened.peer;
            enet_peer_timeout(m_peer, 0, kTimeoutMs, kTimeoutMs);
            event = Event{Event::Kind::Connected, 0, {}};
            return true;
        case ENET_EVENT_TYPE_RECEIVE:
        {
            // Only the peer's bytes count; a newcomer being sent away has
            // nothing to say.
            const bool fromPeer = happened.peer == m_peer;
            if (fromPeer)
            {
                const auto* bytes = static_cast<const unsigned char*>(happened.packet->data);
                event = Event{Event::Kind::Received, happened.channelID,
                              std::vector<unsigned char>(bytes, bytes + happened.packet->dataLength)};
            }
            enet_packet_destroy(happened.packet);
            if (fromPeer)
                return true;
            break;
        }
        case ENET_EVENT_TYPE_DISCONNECT:
            if (happened.peer == m_peer)
            {
                m_peer = nullptr;
                event = Event{Event::Kind::Disconnected, 0, {}};
                return true;
            }
            break;
        case ENET_EVENT_TYPE_NONE:
            break;
        }
    }
    return false;
}

bool NetLink::Send(Channel channel, const std::vector<unsigned char>& data)
{
    if (!m_peer)
        return false;
    const enet_uint32 flags = channel == kReliable ? ENET_PACKET_FLAG_RELIABLE : 0;
    ENetPacket* packet = enet_packet_create(data.data(), data.size(), flags);
    if (!packet || enet_peer_send(m_peer, channel, packet) != 0)
    {
        if (packet)
            enet_packet_destroy(packet);
        return false;
    }
    enet_host_flush(m_host.get());
    return true;
}

uint64_t NetLink::BytesSent() const { return m_host ? m_host->totalSentData : 0; }

uint64_t NetLink::BytesReceived() const { return m_host ? m_host->totalReceivedData : 0; }

uint32_t NetLink::RoundTripMs() const { return m_peer ? m_peer->roundTripTime : 0; }

void NetLink::DisconnectAfterSending()
{
    // The link is free for another peer at once; this one's goodbye goes
    // on by itself.
    if (m_peer)
        enet_peer_disconnect_later(m_peer, 0);
    m_peer = nullptr;
}

void NetLink::Disconnect()
{
    if (m_peer && m_host)
    {
        enet_peer_disconnect_now(m_peer, 0);
        enet_host_flush(m_host.get());
    }
    m_peer = nullptr;
}
