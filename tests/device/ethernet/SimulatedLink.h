#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>

// The microscope link inside the network sandbox: a veth pair whose near end
// carries the host address, and whose far end, with the device address,
// lies in the network namespace of the simulated microscope driver, a child
// process. Datagrams therefore really cross the link.
class SimulatedLink
{
public:
    static const QString NearEnd;

    SimulatedLink();
    ~SimulatedLink();

    // False, with the reason, when the link could not be made.
    bool start(QString* error);

    // What the driver is told to do.
    void send(const QByteArray& datagram);
    void setVersion(quint8 major, quint8 minor);
    void setSilent();

    // Every datagram the driver received so far.
    QList<QByteArray> received();

private:
    void command(const QByteArray& line);
    void readOutput();

    QProcess m_driver;
    QByteArray m_output;
    QList<QByteArray> m_received;
    bool m_linkMade = false;
};
