// The production port lister against the kernel's layout of USB serial
// adapters and a virtual console: a child process of this test mounts a
// small sysfs tree over /sys in a mount namespace of its own and answers
// each look with what the lister and QSerialPortInfo list there. The tree
// changes between looks as adapters come and go. (udev takes only a real
// sysfs, so there QSerialPortInfo reads the tree's files itself.)
#include "device/serial/SerialPortLister.h"
#include "tests/device/serial/sim/SysfsTree.h"
#include "tests/support/SignalWait.h"

#include <QProcess>
#include <QSerialPortInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using Adapter = SysfsTree::Adapter;

const Adapter Ftdi { QStringLiteral("1-2"), QStringLiteral("ttyUSB0"), 0x0403, 0x6001, QStringLiteral("A6008isP") };
const Adapter Imu { QStringLiteral("1-3"), QStringLiteral("ttyACM0"), 0x1915, 0x520F, QStringLiteral("D5A1C2E3F4B6") };
const Adapter SecondFtdi { QStringLiteral("1-4"), QStringLiteral("ttyUSB1"), 0x0403, 0x6001,
                           QStringLiteral("FT9ZX1Q2") };
// Another adapter in the first one's place, under its terminal name.
const Adapter SwappedFtdi { QStringLiteral("1-5"), QStringLiteral("ttyUSB0"), 0x0403, 0x6001,
                            QStringLiteral("B7710kQZ") };

QString line(const QString& name, bool hasVid, quint16 vid, bool hasPid, quint16 pid, const QString& serial)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(name, hasVid ? QString::number(vid, 16) : QStringLiteral("-"),
             hasPid ? QString::number(pid, 16) : QStringLiteral("-"), serial.isEmpty() ? QStringLiteral("-") : serial);
}

QString line(const Adapter& adapter, bool identified = true)
{
    return identified ? line(adapter.terminal, true, adapter.vendorId, true, adapter.productId, adapter.serialNumber)
                      : line(adapter.terminal, false, 0, false, 0, QString());
}

QStringList sorted(QStringList lines)
{
    lines.sort();
    return lines;
}

QStringList listerLines(const SerialPortLister& lister)
{
    QStringList lines;
    for (const SerialPortDescription& port : lister.availablePorts())
        lines << line(port.portName, port.hasVendorId, port.vendorId, port.hasProductId, port.productId,
                      port.serialNumber);
    return lines;
}

// QSerialPortInfo's ports with the USB serial names, in its order.
QStringList qtLines(QStringList* everyName = nullptr)
{
    QStringList lines;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (everyName)
            *everyName << info.portName();
        if (info.portName().startsWith(QLatin1String("ttyUSB")) || info.portName().startsWith(QLatin1String("ttyACM")))
            lines << line(info.portName(), info.hasVendorIdentifier(), info.vendorIdentifier(),
                          info.hasProductIdentifier(), info.productIdentifier(), info.serialNumber());
    }
    return lines;
}

bool writeProcFile(const char* path, const std::string& text)
{
    FILE* file = std::fopen(path, "w");
    if (!file)
        return false;
    const bool written = std::fputs(text.c_str(), file) >= 0;
    return std::fclose(file) == 0 && written;
}

// The child: the tree over /sys, then one answer per line read.
int probe(const char* tree)
{
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    bool entered = unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0;
    if (entered) {
        writeProcFile("/proc/self/setgroups", "deny");
        entered = writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1")
                  && writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    } else {
        // No user namespaces here: a mount namespace alone needs root.
        entered = unshare(CLONE_NEWNS) == 0;
    }
    if (!entered) {
        std::cout << "skip no mount namespace of its own: " << std::strerror(errno) << std::endl;
        return 0;
    }
    const std::string sys = std::string(tree) + "/sys";
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount(sys.c_str(), "/sys", nullptr, MS_BIND | MS_REC, nullptr) != 0) {
        std::cout << "skip the tree cannot be mounted over /sys: " << std::strerror(errno) << std::endl;
        return 0;
    }
    std::cout << "ready" << std::endl;
    // One lister for the whole run, as the grabber keeps it.
    SerialPortLister lister;
    std::string request;
    while (std::getline(std::cin, request)) {
        QStringList everyName;
        const QStringList qt = qtLines(&everyName);
        for (const QString& port : listerLines(lister))
            std::cout << "lister " << port.toStdString() << '\n';
        for (const QString& port : qt)
            std::cout << "qt " << port.toStdString() << '\n';
        std::cout << "names " << everyName.join(QLatin1Char(' ')).toStdString() << '\n';
        std::cout << "done" << std::endl;
    }
    return 0;
}

} // namespace

class TestSerialPortLister : public QObject
{
    Q_OBJECT

    struct Look
    {
        QStringList lister;
        QStringList qt;
        QStringList names;
    };

    QTemporaryDir m_folder;
    QScopedPointer<SysfsTree> m_tree;
    QScopedPointer<QProcess> m_probe;
    QByteArray m_output;

    bool startProbe(QString* whyNot)
    {
        m_probe.reset(new QProcess);
        m_output.clear();
        connect(m_probe.data(), &QProcess::readyReadStandardOutput, this,
                [this] { m_output += m_probe->readAllStandardOutput(); });
        m_probe->start(QCoreApplication::applicationFilePath(), { QStringLiteral("--probe"), m_folder.path() });
        SignalWait started([this] { return m_output.contains('\n') || m_probe->state() == QProcess::NotRunning; });
        started.on(m_probe.data(), &QProcess::readyReadStandardOutput).on(m_probe.data(), &QProcess::finished);
        if (!started.wait(30000) || !m_output.startsWith("ready\n")) {
            *whyNot = QString::fromLocal8Bit(m_output.trimmed());
            return false;
        }
        m_output.clear();
        return true;
    }

    bool look(Look* result)
    {
        m_output.clear();
        m_probe->write("look\n");
        SignalWait answered([this] { return m_output.endsWith("done\n") || m_probe->state() == QProcess::NotRunning; });
        answered.on(m_probe.data(), &QProcess::readyReadStandardOutput).on(m_probe.data(), &QProcess::finished);
        if (!answered.wait(30000) || !m_output.endsWith("done\n"))
            return false;
        *result = {};
        for (const QByteArray& raw : m_output.split('\n')) {
            const QString text = QString::fromLatin1(raw);
            if (text.startsWith(QLatin1String("lister ")))
                result->lister << text.mid(7);
            else if (text.startsWith(QLatin1String("qt ")))
                result->qt << text.mid(3);
            else if (text.startsWith(QLatin1String("names ")))
                result->names = text.mid(6).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        }
        return true;
    }

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        QDir(m_folder.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_folder.path()));
        m_tree.reset(new SysfsTree(m_folder.path()));
        QVERIFY(m_tree->create());
        QVERIFY(m_tree->addVirtualConsole(1));
        QVERIFY(m_tree->plug(Ftdi));
        QVERIFY(m_tree->plug(Imu));
        QString whyNot;
        if (!startProbe(&whyNot)) {
            if (whyNot.startsWith(QLatin1String("skip ")))
                QSKIP(qPrintable(whyNot.mid(5)));
            QFAIL(qPrintable(QStringLiteral("the probe did not start: ") + whyNot));
        }
    }

    void cleanup()
    {
        if (m_probe) {
            m_probe->closeWriteChannel();
            m_probe->waitForFinished(10000);
            m_probe.reset();
        }
    }

    // What changes between a first and a second look, and what the second
    // lists. The first look always lists the FTDI adapter and the module.
    void changes_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("second");

        QTest::newRow("nothing") << QString() << QStringList { line(Ftdi), line(Imu) };
        QTest::newRow("second adapter plugged")
            << QStringLiteral("plug") << QStringList { line(Ftdi), line(Imu), line(SecondFtdi) };
        QTest::newRow("adapter unplugged") << QStringLiteral("unplug") << QStringList { line(Imu) };
        QTest::newRow("adapter swapped under the same name")
            << QStringLiteral("swap") << QStringList { line(Imu), line(SwappedFtdi) };
        QTest::newRow("adapter whose ids cannot be read yet")
            << QStringLiteral("plug without ids") << QStringList { line(Ftdi), line(Imu), line(SecondFtdi, false) };
        QTest::newRow("every adapter and driver gone") << QStringLiteral("drivers gone") << QStringList();
    }

    void changes()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, second);

        Look first;
        QVERIFY(look(&first));
        QCOMPARE(sorted(first.lister), (QStringList { line(Imu), line(Ftdi) }));
        // In QSerialPortInfo's order, which decides which of two adapters
        // with the same uid is reported.
        QCOMPARE(first.lister, first.qt);
        // The console is a terminal, but not a serial port.
        QVERIFY(!first.names.contains(QStringLiteral("tty1")));

        if (change == QLatin1String("plug")) {
            QVERIFY(m_tree->plug(SecondFtdi));
        } else if (change == QLatin1String("unplug")) {
            QVERIFY(m_tree->unplug(Ftdi));
        } else if (change == QLatin1String("swap")) {
            QVERIFY(m_tree->replace(Ftdi, SwappedFtdi));
        } else if (change == QLatin1String("plug without ids")) {
            QVERIFY(m_tree->plug(SecondFtdi, false));
        } else if (change == QLatin1String("drivers gone")) {
            QVERIFY(m_tree->unplug(Ftdi));
            QVERIFY(m_tree->unplug(Imu));
            QVERIFY(m_tree->removeDriverFolders());
        }
        Look then;
        QVERIFY(look(&then));
        QCOMPARE(sorted(then.lister), sorted(second));
        QCOMPARE(then.lister, then.qt);
    }

    // A terminal whose adapter's ids could not be read is asked for again:
    // the ids show at the first look after they can be read.
    void idsOnceTheyCanBeRead()
    {
        QVERIFY(m_tree->plug(SecondFtdi, false));
        Look before;
        QVERIFY(look(&before));
        QCOMPARE(sorted(before.lister), sorted({ line(Ftdi), line(Imu), line(SecondFtdi, false) }));
        QVERIFY(m_tree->writeIds(SecondFtdi));
        Look after;
        QVERIFY(look(&after));
        QCOMPARE(sorted(after.lister), sorted({ line(Ftdi), line(Imu), line(SecondFtdi) }));
        QCOMPARE(after.lister, after.qt);
    }

    // On this machine's own tree (without the probe's mounts), the lister
    // lists what QSerialPortInfo lists for USB serial terminals.
    void sameAsQSerialPortInfoHere()
    {
        cleanup();
        SerialPortLister lister;
        QCOMPARE(listerLines(lister), qtLines());
        // A second look, from what the first kept, lists the same.
        QCOMPARE(listerLines(lister), qtLines());
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--probe") == 0)
        return probe(argv[2]);
    QCoreApplication app(argc, argv);
    TestSerialPortLister test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_serialportlister.moc"
