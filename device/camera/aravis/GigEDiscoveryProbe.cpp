#include "device/camera/aravis/GigEDiscoveryProbe.h"

#include <QtEndian>

#include <array>
#include <cerrno>
#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int HeaderSize = 8;
constexpr quint16 DiscoveryAck = 0x0003;
constexpr int MacOffset = 10;
constexpr int MacSize = 6;
// Datagrams read from one socket at a look: a bound against a socket that
// keeps failing.
constexpr int MaxReadsPerLook = 64;

// Key 0x42, acknowledgement required, discovery command, no payload, and the
// request id Aravis uses.
constexpr std::array<unsigned char, HeaderSize> DiscoveryRequest { 0x42, 0x01, 0x00, 0x02, 0x00, 0x00, 0xff, 0xff };

} // namespace

GigEDiscoveryProbe::GigEDiscoveryProbe(int answerWaitMs)
    : m_answerWaitMs(answerWaitMs)
{
}

GigEDiscoveryProbe::~GigEDiscoveryProbe()
{
    closeSockets();
}

std::optional<GigEDiscoveryProbe::Answer> GigEDiscoveryProbe::readAnswer(const QByteArray& datagram)
{
    if (datagram.size() < HeaderSize)
        return std::nullopt;
    const auto* bytes = reinterpret_cast<const uchar*>(datagram.constData());
    const quint16 status = qFromBigEndian<quint16>(bytes);
    const quint16 answer = qFromBigEndian<quint16>(bytes + 2);
    const int length = qFromBigEndian<quint16>(bytes + 4);
    if (status != 0 || answer != DiscoveryAck || length < MacOffset + MacSize || datagram.size() < HeaderSize + length)
        return std::nullopt;
    const QByteArray reply = datagram.mid(HeaderSize, length);
    return Answer { reply, reply.mid(MacOffset, MacSize) };
}

GigEDiscoveryProbe::Answers GigEDiscoveryProbe::look()
{
    if (m_interfaceChanges.changedSinceLastLook()) {
        openSockets();
        m_sinceAsked.invalidate();
    }
    Answers answers;
    if (m_sockets.empty())
        return answers;
    if (!m_sinceAsked.isValid())
        ask();
    const qint64 left = m_answerWaitMs - m_sinceAsked.elapsed();
    if (left > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(left));
    for (int socket : m_sockets)
        receive(socket, answers);
    ask();
    return answers;
}

void GigEDiscoveryProbe::ask()
{
    sockaddr_in everyone {};
    everyone.sin_family = AF_INET;
    everyone.sin_port = htons(ControlPort);
    everyone.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    for (int socket : m_sockets)
        ::sendto(socket, DiscoveryRequest.data(), DiscoveryRequest.size(), MSG_NOSIGNAL,
                 reinterpret_cast<const sockaddr*>(&everyone), sizeof(everyone));
    m_sinceAsked.start();
}

void GigEDiscoveryProbe::receive(int socket, Answers& answers)
{
    std::array<char, 1024> buffer {};
    for (int reads = 0; reads < MaxReadsPerLook; ++reads) {
        const ssize_t received = ::recv(socket, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // A reported send error (an unreachable network) is taken and the
        // socket read on.
        if (received < 0)
            continue;
        if (const auto answer = readAnswer(QByteArray(buffer.data(), int(received)))) {
            answers.replies.insert(answer->reply);
            answers.cameras.insert(answer->mac);
        }
    }
}

void GigEDiscoveryProbe::openSockets()
{
    closeSockets();
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0)
        return;
    for (const ifaddrs* entry = interfaces; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !(entry->ifa_flags & IFF_UP))
            continue;
        const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_UDP);
        if (socket < 0)
            continue;
        // Bound to the interface's address, the broadcast leaves by that
        // interface and the cameras answer to it.
        sockaddr_in local = *reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        local.sin_port = 0;
        const int on = 1;
        if (::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof(local)) != 0
            || ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) != 0) {
            ::close(socket);
            continue;
        }
        m_sockets.push_back(socket);
    }
    ::freeifaddrs(interfaces);
}

void GigEDiscoveryProbe::closeSockets()
{
    for (int socket : m_sockets)
        ::close(socket);
    m_sockets.clear();
}
