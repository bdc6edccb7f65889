#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct _ENetHost ENetHost;
typedef struct _ENetPeer ENetPeer;

// A link between two programs over UDP, through ENet: one listens for one
// peer, the other connects to it. Messages are byte strings sent on one of
// two channels: reliable and in order, or unreliable but sequenced (a late
// one is dropped rather than delivered out of order). It knows nothing of
// what the bytes mean.
class NetLink
{
public:
    enum Channel : uint8_t
    {
        kReliable = 0,
        kSequenced = 1,
    };

    struct Event
    {
        enum class Kind
        {
            Connected,    // the peer is there
            Received,     // bytes from the peer
            Disconnected, // the peer left, or was silent too long
            Refused,      // a further peer tried to connect and was sent away
        };
        Kind kind = Kind::Received;
        uint8_t channel = 0;
        std::vector<unsigned char> data;
    };

    // The milliseconds of silence after which the peer counts as gone.
    static constexpr uint32_t kTimeoutMs = 5000;

    NetLink();
    ~NetLink();
    NetLink(const NetLink&) = delete;
    NetLink& operator=(const NetLink&) = delete;

    // Waits for a peer on the port (0: any free one), on every address of
    // this machine; a further peer that connects is sent the refusal and
    // let go. False (and why in Error) when the port cannot be taken.
    bool Listen(uint16_t port, std::vector<unsigned char> refusal);
    // Starts connecting to host:port; Connected follows when it answers.
    bool Connect(const std::string& host, uint16_t port);

    // Takes the next event, if any, without waiting.
    bool Poll(Event& event);
    bool Send(Channel channel, const std::vector<unsigned char>& data);
    // Says goodbye at once, so the peer learns of it without a timeout.
    void Disconnect();
    // Says goodbye once the messages already sent have arrived; the link is
    // free for another peer at once.
    void DisconnectAfterSending();

    bool IsConnected() const { return m_peer != nullptr; }
    const std::string& Error() const { return m_error; }
    uint16_t Port() const { return m_port; }
    // The link's latest measure of a message's way there and back.
    uint32_t RoundTripMs() const;
    // Bytes sent and received over UDP, the protocol's own included.
    uint64_t BytesSent() const;
    uint64_t BytesReceived() const;

private:
    struct HostDeleter
    {
        void operator()(ENetHost* host) const;
    };

    std::unique_ptr<ENetHost, HostDeleter> m_host;
    ENetPeer* m_peer = nullptr; // owned by the host
    std::vector<unsigned char> m_refusal;
    std::string m_error;
    uint16_t m_port = 0;
};
