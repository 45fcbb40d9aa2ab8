#include "tests/device/ethernet/SimulatedLink.h"

#include "tests/device/ethernet/NetworkSandbox.h"

#include <QDeadlineTimer>
#include <QThread>

const QString SimulatedLink::NearEnd = QStringLiteral("mic0");

namespace {

const QString FarEnd = QStringLiteral("mic1");

} // namespace

SimulatedLink::SimulatedLink() = default;

SimulatedLink::~SimulatedLink()
{
    if (m_driver.state() != QProcess::NotRunning) {
        m_driver.kill();
        m_driver.waitForFinished(3000);
    }
    // Deleting one end deletes the pair; the far end went with the driver.
    if (m_linkMade)
        NetworkSandbox::ip({ QStringLiteral("link"), QStringLiteral("del"), NearEnd });
}

bool SimulatedLink::start(QString* error)
{
    if (!NetworkSandbox::ip({ QStringLiteral("link"), QStringLiteral("add"), NearEnd, QStringLiteral("type"),
                              QStringLiteral("veth"), QStringLiteral("peer"), QStringLiteral("name"), FarEnd },
                            error))
        return false;
    m_linkMade = true;
    if (!NetworkSandbox::ip({ QStringLiteral("addr"), QStringLiteral("add"), QStringLiteral("192.168.1.149/24"),
                              QStringLiteral("dev"), NearEnd },
                            error)
        || !NetworkSandbox::ip({ QStringLiteral("link"), QStringLiteral("set"), NearEnd, QStringLiteral("up") }, error))
        return false;

    m_driver.setProcessChannelMode(QProcess::SeparateChannels);
    m_driver.setProgram(QStringLiteral(MOVRA_SIM_ETHERNET_MICROSCOPE));
    m_driver.start();
    if (!m_driver.waitForStarted(5000)) {
        *error = QStringLiteral("the simulated driver did not start: %1").arg(m_driver.errorString());
        return false;
    }
    qint64 pid = 0;
    QDeadlineTimer deadline(10000);
    while (pid == 0 && !deadline.hasExpired() && m_driver.waitForReadyRead(int(deadline.remainingTime()))) {
        m_output.append(m_driver.readAllStandardOutput());
        const int end = m_output.indexOf('\n');
        if (end >= 0 && m_output.startsWith("ready ")) {
            pid = m_output.mid(6, end - 6).toLongLong();
            m_output.remove(0, end + 1);
        }
    }
    if (pid == 0) {
        *error = QStringLiteral("the simulated driver did not get ready: %1")
                     .arg(QString::fromLocal8Bit(m_driver.readAllStandardError()));
        return false;
    }
    if (!NetworkSandbox::ip(
            { QStringLiteral("link"), QStringLiteral("set"), FarEnd, QStringLiteral("netns"), QString::number(pid) },
            error)
        || !NetworkSandbox::ipIn(pid,
                                 { QStringLiteral("addr"), QStringLiteral("add"), QStringLiteral("192.168.1.250/24"),
                                   QStringLiteral("dev"), FarEnd },
                                 error)
        || !NetworkSandbox::ipIn(pid, { QStringLiteral("link"), QStringLiteral("set"), FarEnd, QStringLiteral("up") },
                                 error))
        return false;
    QObject::connect(&m_driver, &QProcess::readyReadStandardOutput, [this] { readOutput(); });
    return true;
}

void SimulatedLink::command(const QByteArray& line)
{
    m_driver.write(line + '\n');
    m_driver.waitForBytesWritten(2000);
}

void SimulatedLink::send(const QByteArray& datagram)
{
    command("send " + datagram.toHex());
}

void SimulatedLink::setVersion(quint8 major, quint8 minor)
{
    command("version " + QByteArray::number(major) + ' ' + QByteArray::number(minor));
}

void SimulatedLink::setSilent()
{
    command("silent");
}

void SimulatedLink::readOutput()
{
    m_output.append(m_driver.readAllStandardOutput());
    int end;
    while ((end = m_output.indexOf('\n')) >= 0) {
        const QByteArray line = m_output.left(end);
        m_output.remove(0, end + 1);
        if (line.startsWith("got"))
            m_received.append(QByteArray::fromHex(line.mid(4)));
    }
}

QList<QByteArray> SimulatedLink::received()
{
    readOutput();
    return m_received;
}
