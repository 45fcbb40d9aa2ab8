// The simulated microscope driver on the Ethernet link, as a process of its
// own in a network namespace of its own: the test moves the far end of a
// veth pair into it and gives it the device address, so every datagram
// really crosses the link.
//
// stdin, one command a line:
//   send <hex>              send a datagram (empty hex: 0 bytes) to the host
//   version <major> <minor> the version it reports
//   silent                  answer nothing more
// stdout: "ready <pid>" once it listens, then "got <hex>" for every
// datagram received.

#include "tests/firmware/microscope/sim/SimEthernetMicroscope.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QSocketNotifier>
#include <QUdpSocket>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <sched.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr quint16 Port = 8200;
const QHostAddress HostAddress(QStringLiteral("192.168.1.149"));

void say(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // Never outlive the test that started it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::unshare(CLONE_NEWNET) != 0) {
        std::fprintf(stderr, "unshare: %s\n", std::strerror(errno));
        return 2;
    }
    QCoreApplication app(argc, argv);
    sim::EthernetMicroscope microscope;
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, Port)) {
        std::fprintf(stderr, "bind: %s\n", qPrintable(socket.errorString()));
        return 3;
    }
    QObject::connect(&socket, &QUdpSocket::readyRead, [&] {
        while (socket.hasPendingDatagrams()) {
            QByteArray datagram(int(qMax<qint64>(socket.pendingDatagramSize(), 0)), '\0');
            QHostAddress from;
            quint16 fromPort = 0;
            socket.readDatagram(datagram.data(), datagram.size(), &from, &fromPort);
            say("got " + datagram.toHex());
            for (const QByteArray& answer : microscope.receive(datagram))
                socket.writeDatagram(answer, from, fromPort);
        }
    });

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (n <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, int(n));
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = pending.left(end).trimmed().split(' ');
            pending.remove(0, end + 1);
            if (words.value(0) == "send")
                socket.writeDatagram(QByteArray::fromHex(words.value(1)), HostAddress, Port);
            else if (words.value(0) == "version" && words.size() == 3)
                microscope.setVersion(quint8(words.at(1).toUInt()), quint8(words.at(2).toUInt()));
            else if (words.value(0) == "silent")
                microscope.setSilent(true);
        }
    });

    say("ready " + QByteArray::number(qint64(::getpid())));
    return app.exec();
}
