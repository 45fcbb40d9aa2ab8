// Serves one simulated instrument as a real USB device through the kernel's
// gadget framework (configfs and FunctionFS on the dummy controller):
//
//   kernelusb_gadget rotary-joint <name> <udc> <state-file> [halt-in-at=<n>]
//       the simulated rotary joint's protocol core; its reset and jump take
//       the gadget off the bus and back under its other face; with
//       halt-in-at, its bulk IN endpoint halts once, before the reply to
//       the n-th programming packet, until the host clears the halt
//   kernelusb_gadget usb3 <name> <udc> <state-file>
//       a SuperSpeed device: each command packet (0x10 or 0x20 first) on
//       its OUT endpoint is answered on 0x81 with its bytes inverted; command 0x20 n also sends
//       n data packets on 0x86 and a short one of 16 bytes; vendor request 0x51 keeps its OUT data and
//       gives it back reversed
//
// Prints "ready" once bound. SIGUSR1 writes the instrument's state to the
// state file (and its flash to <state-file>.flash); SIGTERM leaves the bus.

#include "tests/e2e/kernel-usb/FunctionFsGadget.h"
#include "tests/support/sim/SimInstrument.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <deque>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr int ShortTail = 16;

std::atomic<int> halts { 0 };

// Writes queued packets to an IN endpoint, one write each, in order.
class InQueue
{
public:
    explicit InQueue(int file)
        : m_file(file)
        , m_thread([this] { run(); })
    {
    }
    ~InQueue() { m_thread.detach(); }

    void push(const QByteArray& packet)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_packets.push_back(packet);
        m_wake.notify_one();
    }
    // Halts the endpoint once the packets before have left: the controller
    // halts an IN endpoint only when nothing waits on it.
    void halt() { push(QByteArray()); }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_packets.clear();
    }

private:
    void run()
    {
        for (;;) {
            QByteArray packet;
            {
                std::unique_lock<std::mutex> lock(m_lock);
                m_wake.wait(lock, [this] { return !m_packets.empty(); });
                packet = m_packets.front();
                m_packets.pop_front();
            }
            if (packet.isNull()) {
                // Reading an IN endpoint's file sets its halt and fails so.
                char byte = 0;
                bool halted = false;
                for (int tries = 0; tries < 1000; ++tries) {
                    const bool failed = ::read(m_file, &byte, 1) < 0;
                    halted = failed && errno == EBADMSG;
                    if (!failed || (errno != EAGAIN && errno != EINTR))
                        break;
                    usleep(1000);
                }
                if (halted)
                    ++halts;
                continue;
            }
            // A gadget that left the bus drops what it was sending.
            while (::write(m_file, packet.constData(), size_t(packet.size())) < 0 && errno == EINTR) { }
        }
    }

    int m_file;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<QByteArray> m_packets;
    std::thread m_thread;
};

QByteArray readPacket(int file, int size)
{
    QByteArray packet(size, char(0));
    for (;;) {
        const ssize_t got = ::read(file, packet.data(), size_t(size));
        if (got >= 0) {
            packet.resize(int(got));
            return packet;
        }
        // Off the bus: the read fails once, then waits for the next bind.
        if (errno != EINTR)
            usleep(1000);
    }
}

FunctionFsGadget::Identity identityOf(const sim::UsbIdentity& identity)
{
    return { identity.vendorId, identity.productId, identity.release, identity.product, identity.serial };
}

std::atomic<int> enumerations { 0 };
std::atomic<int> commands { 0 };
std::atomic<int> dataPackets { 0 };
sim::Instrument* instrument = nullptr;

void writeState(const QString& path)
{
    QByteArray text;
    const auto put = [&text](const char* key, qint64 value) {
        text += QByteArray(key) + '=' + QByteArray::number(value) + '\n';
    };
    put("enumerations", enumerations);
    put("commands", commands);
    put("dataPackets", dataPackets);
    put("halts", halts);
    if (instrument) {
        put("application", instrument->mode() == sim::Instrument::Mode::Application);
        put("productId", instrument->identity().productId);
        put("erases", instrument->eraseCount());
        put("programmingPackets", instrument->programmingPackets());
        put("badFrames", instrument->badFrames());
        put("rejectedRecords", instrument->rejectedRecords());
        put("jumped", instrument->jumped());
        put("crcRequested", instrument->hasCrcRequest());
        const sim::Instrument::CrcRequest crc = instrument->lastCrcRequest();
        put("crcStart", crc.start);
        put("crcLength", crc.length);
        put("crcOffset", crc.offset);
        QSaveFile flash(path + ".flash");
        if (flash.open(QIODevice::WriteOnly)) {
            flash.write(instrument->flashBytes());
            flash.commit();
        }
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text);
        file.commit();
    }
}

// Signals are taken by this thread alone, outside any lock of the others.
void handleSignals(FunctionFsGadget* gadget, const QString& statePath)
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            continue;
        if (signal == SIGUSR1) {
            writeState(statePath);
            continue;
        }
        gadget->unbind();
        fflush(stdout);
        _exit(0);
    }
}

int serveRotaryJoint(const QString& name, const QString& udc, const QString& statePath, int haltInAt)
{
    sim::Instrument core(sim::hlx58Profile());
    instrument = &core;
    FunctionFsGadget gadget(name, udc, FunctionFsGadget::Speed::Full, { { true, 0 }, { false, 0 } });
    if (!gadget.start(identityOf(core.identity()), {})) {
        fprintf(stderr, "gadget %s: %s\n", qPrintable(name), qPrintable(gadget.error()));
        return 1;
    }
    ++enumerations;
    std::thread signalThread(handleSignals, &gadget, statePath);
    signalThread.detach();
    InQueue replies(gadget.endpointFile(0));
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        const QByteArray packet = readPacket(gadget.endpointFile(1), gadget.packetSize());
        if (packet.isEmpty())
            continue;
        ++commands;
        const int programmed = core.programmingPackets();
        const sim::Instrument::Output out = core.receive(packet);
        if (haltInAt > 0 && programmed < haltInAt && core.programmingPackets() >= haltInAt)
            replies.halt();
        for (const QByteArray& reply : out.replies)
            replies.push(reply);
        if (out.busAction == sim::Instrument::BusAction::None)
            continue;
        replies.clear();
        if (out.busAction == sim::Instrument::BusAction::Vanish) {
            gadget.unbind();
            continue;
        }
        if (!gadget.reenumerate(identityOf(core.identity()))) {
            fprintf(stderr, "gadget %s: %s\n", qPrintable(name), qPrintable(gadget.error()));
            return 1;
        }
        ++enumerations;
    }
}

int serveUsb3(const QString& name, const QString& udc, const QString& statePath)
{
    FunctionFsGadget gadget(name, udc, FunctionFsGadget::Speed::Super, { { true, 0 }, { false, 0 }, { true, 3 } });
    std::mutex kept;
    QByteArray keptData;
    const auto control = [&](uint8_t requestType, uint8_t request, uint16_t, uint16_t, QByteArray* data) {
        if (request != 0x51)
            return false;
        std::lock_guard<std::mutex> lock(kept);
        if (requestType & 0x80) {
            *data = keptData;
            std::reverse(data->begin(), data->end());
        } else {
            keptData = *data;
        }
        return true;
    };
    const FunctionFsGadget::Identity identity { 0x04B4, 0x00F1, 0x0001, QStringLiteral("GQZ3 USB3 Driver"),
                                                QStringLiteral("GQZ3-0001") };
    if (!gadget.start(identity, control)) {
        fprintf(stderr, "gadget %s: %s\n", qPrintable(name), qPrintable(gadget.error()));
        return 1;
    }
    ++enumerations;
    std::thread signalThread(handleSignals, &gadget, statePath);
    signalThread.detach();
    InQueue replies(gadget.endpointFile(0));
    InQueue data(gadget.endpointFile(2));
    printf("ready\n");
    fflush(stdout);
    for (;;) {
        const QByteArray packet = readPacket(gadget.endpointFile(1), gadget.packetSize());
        if (packet.isEmpty())
            continue;
        // Only commands are answered: the program's filler packet (0xEF)
        // at open is not one.
        const quint8 code = quint8(packet.at(0));
        if (code != 0x10 && code != 0x20)
            continue;
        ++commands;
        QByteArray inverted = packet;
        for (char& c : inverted)
            c = char(~c);
        replies.push(inverted);
        if (code == 0x20 && packet.size() > 1) {
            // n whole packets and a short one that ends the host's transfer.
            const int packets = quint8(packet.at(1));
            QByteArray block(packets * gadget.packetSize() + ShortTail, char(0));
            for (int i = 0; i < block.size(); ++i)
                block[i] = char((i / gadget.packetSize() * 7 + i) & 0xFF);
            data.push(block);
            dataPackets += packets + 1;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        fprintf(stderr, "usage: %s rotary-joint|usb3 <name> <udc> <state-file> [halt-in-at=<n>]\n", argv[0]);
        return 2;
    }
    // Every thread started from here on leaves these signals to sigwait.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    const QString kind = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QString udc = QString::fromLocal8Bit(argv[3]);
    const QString state = QString::fromLocal8Bit(argv[4]);
    int haltInAt = 0;
    if (argc == 6) {
        const QString option = QString::fromLocal8Bit(argv[5]);
        const QString prefix = QStringLiteral("halt-in-at=");
        bool ok = false;
        haltInAt = option.startsWith(prefix) ? option.mid(prefix.size()).toInt(&ok) : 0;
        if (!ok || haltInAt <= 0) {
            fprintf(stderr, "unknown option %s\n", argv[5]);
            return 2;
        }
    }
    if (kind == QLatin1String("rotary-joint"))
        return serveRotaryJoint(name, udc, state, haltInAt);
    if (kind == QLatin1String("usb3"))
        return serveUsb3(name, udc, state);
    fprintf(stderr, "unknown instrument %s\n", argv[1]);
    return 2;
}
