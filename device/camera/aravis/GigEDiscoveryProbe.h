#pragma once

#include "platform/InterfaceChangeWatch.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QSet>

#include <optional>
#include <vector>

// Asks the GigE Vision cameras on every IPv4 interface to answer, as GigE
// Vision discovery does, and gathers their answers. A socket per interface
// stays open between looks, the interfaces are read again only after the
// kernel reported a change, and the answers to one look's request are read
// at the next look: a look at rest costs a read and a send per interface
// and no wait, where a discovery through Aravis lists the interfaces, opens
// and closes a socket for each and waits a second for answers every time.
class GigEDiscoveryProbe
{
public:
    static constexpr quint16 ControlPort = 3956;
    // As long as Aravis waits for answers.
    static constexpr int AnswerWaitMs = 1000;

    // One camera's answer: the reply's payload, which holds the camera's
    // addresses and names, and its MAC address, which tells cameras apart.
    struct Answer
    {
        QByteArray reply;
        QByteArray mac;
    };

    struct Answers
    {
        QSet<QByteArray> replies;
        QSet<QByteArray> cameras;
    };

    explicit GigEDiscoveryProbe(int answerWaitMs = AnswerWaitMs);
    ~GigEDiscoveryProbe();

    GigEDiscoveryProbe(const GigEDiscoveryProbe&) = delete;
    GigEDiscoveryProbe& operator=(const GigEDiscoveryProbe&) = delete;

    // The answers to the request that the last look sent, once they had
    // AnswerWaitMs to come (the look waits for what is left of that time);
    // then asks again. The first look, and the first after the interfaces
    // changed, asks and waits.
    Answers look();

    // The answer in a datagram, if it is a discovery acknowledgement.
    static std::optional<Answer> readAnswer(const QByteArray& datagram);

private:
    void openSockets();
    void closeSockets();
    void ask();
    void receive(int socket, Answers& answers);

    InterfaceChangeWatch m_interfaceChanges;
    std::vector<int> m_sockets;
    int m_answerWaitMs;
    // Since the request whose answers wait in the sockets; invalid when none.
    QElapsedTimer m_sinceAsked;
};
