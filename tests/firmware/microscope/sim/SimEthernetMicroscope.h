#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace sim {

// The microscope driver's network face: it takes register frames, checks
// them with its own CRC, and answers the read of register 0 with its
// version datagram. Anything it does not understand gets no answer.
class EthernetMicroscope
{
public:
    static constexpr int VersionDatagramSize = 16;

    // A single-model driver reports major version 1.
    void setVersion(quint8 major, quint8 minor);
    void setSilent(bool silent) { m_silent = silent; }

    // The datagrams to send back for one received datagram.
    QList<QByteArray> receive(const QByteArray& datagram);

    int framesRejected() const { return m_rejected; }

private:
    QByteArray versionDatagram() const;

    quint8 m_major = 1;
    quint8 m_minor = 5;
    bool m_silent = false;
    int m_rejected = 0;
};

} // namespace sim
