#include "firmware/core/ProgressMessages.h"
#include "firmware/fpga/Microscope2ColorCommunicator.h"
#include "firmware/fx3/CypressFX3Communicator.h"
#include "firmware/microscope/MicroscopeUSB3ChannelCommunicator.h"
#include "firmware/microscope/MicroscopeUSB3Communicator.h"
#include "tests/support/DeviceRecordBuilder.h"
#include "tests/support/IntelHex.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int ReplyTimeoutMs = 100;

template <class Communicator>
std::unique_ptr<AbstractFirmwareCommunicator> withShortTimeout()
{
    auto c = std::make_unique<Communicator>();
    c->setReplyTimeout(ReplyTimeoutMs);
    return c;
}

std::unique_ptr<AbstractFirmwareCommunicator> make(const QString& kind)
{
    if (kind == "two-colour")
        return withShortTimeout<Microscope2ColorCommunicator>();
    if (kind == "usb3")
        return withShortTimeout<MicroscopeUSB3Communicator>();
    if (kind == "usb3 channel")
        return withShortTimeout<MicroscopeUSB3ChannelCommunicator>();
    return withShortTimeout<CypressFX3Communicator>();
}

QSharedPointer<MovraDeviceInfo> deviceFor(const QString& kind)
{
    // Release 2: its replies come without the bootloader's prefix byte.
    if (kind == "two-colour")
        return DeviceRecordBuilder::usb(0x04D8, 0xF676)
            .release(2)
            .name(QStringLiteral("Bootloader"))
            .channelFirmware("Microscope2")
            .uid(QStringLiteral("04d8-f676-0203-04"))
            .build();
    if (kind == "fx3")
        return DeviceRecordBuilder::usb3(0x04B4, 0x00F2)
            .release(9)
            .name(QStringLiteral("TV720"))
            .uid(QStringLiteral("04b4-00f2-0203-04"))
            .build();
    return DeviceRecordBuilder::usb3(0x04B4, 0x00F1)
        .release(8)
        .name(QStringLiteral("Microscope USB3"))
        .uid(QStringLiteral("04b4-00f1-0203-04"))
        .build();
}

// A communicator without re-send, a device it updates and what it reports.
struct Subject
{
    explicit Subject(const QString& kind)
        : communicator(make(kind))
        , device(deviceFor(kind))
        , hexFile(kind == "usb3 channel")
        , reports(communicator.get(), &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater)
        , lines(communicator.get(), &AbstractFirmwareCommunicator::sendMessageToProgressDialog)
    {
    }

    std::unique_ptr<AbstractFirmwareCommunicator> communicator;
    QSharedPointer<MovraDeviceInfo> device;
    bool hexFile;
    QSignalSpy reports;
    QSignalSpy lines;
};

int errorCount(const QSignalSpy& reports)
{
    int n = 0;
    for (const QList<QVariant>& r : reports)
        n += r.at(1).value<nsFirmware::MessageStatus>() == nsFirmware::Error;
    return n;
}

int lineCount(const QSignalSpy& lines, const QString& line)
{
    int n = 0;
    for (const QList<QVariant>& l : lines)
        n += l.at(0).toString() == line;
    return n;
}

} // namespace

// The updates without a re-send end as an error of the step whose reply did
// not come, once; an error of their own ends the wait for a reply.
class TestReplyDeadline : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_mcs;
    QString m_hex;

    QString write(const QString& name)
    {
        QByteArray data;
        for (int i = 0; i < 40 * 16; ++i)
            data.append(char(i * 7));
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(IntelHex::file({ { 0u, data } }));
        return path;
    }

    bool start(Subject& s)
    {
        nsFirmware::DeviceVersions versions; // all "N/A": the channel is not asked to enter its bootloader
        return s.communicator->updateFirmware(s.hexFile ? m_hex : m_mcs, s.device, versions);
    }

private slots:
    void initTestCase()
    {
        qRegisterMetaType<nsFirmware::MessageStatus>("nsFirmware::MessageStatus");
        QVERIFY(m_dir.isValid());
        m_mcs = write(QStringLiteral("image.mcs"));
        m_hex = write(QStringLiteral("image.hex"));
        QVERIFY(!m_mcs.isEmpty() && !m_hex.isEmpty());
    }

    void replyMissing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("step");
        QTest::newRow("two-colour microscope, erase") << "two-colour" << 2;
        QTest::newRow("USB 3 microscope, erase") << "usb3" << 2;
        QTest::newRow("USB 3 channel, erase") << "usb3 channel" << 24;
        QTest::newRow("FX3 bridge, erase") << "fx3" << 2;
    }

    void replyMissing()
    {
        QFETCH(QString, kind);
        QFETCH(int, step);
        Subject s(kind);
        QSignalSpy& reports = s.reports;
        QVERIFY(start(s));
        QCOMPARE(errorCount(reports), 0);
        QVERIFY(reports.wait(5000));
        QCOMPARE(s.lines.last().at(0).toString(), ProgressMessages::NoConfirmationReceived);
        QCOMPARE(reports.size(), 1);
        QCOMPARE(int(reports.last().at(0).value<char>()), step);
        QCOMPARE(reports.last().at(1).value<nsFirmware::MessageStatus>(), nsFirmware::Error);
        QCOMPARE(reports.last().at(2).toInt(), -1);
        QCOMPARE(s.communicator->isUpdating(), 0);
        // Once only.
        QVERIFY(!reports.wait(3 * ReplyTimeoutMs));
        QCOMPARE(lineCount(s.lines, ProgressMessages::NoConfirmationReceived), 1);
    }

    void errorEndsTheWait_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("failedErase");
        QTest::newRow("two-colour microscope") << "two-colour" << QByteArray::fromHex("0201");
        QTest::newRow("USB 3 microscope") << "usb3" << QByteArray::fromHex("0201");
        QTest::newRow("USB 3 channel") << "usb3 channel" << QByteArray::fromHex("180001");
        QTest::newRow("FX3 bridge") << "fx3" << QByteArray::fromHex("0201");
    }

    void errorEndsTheWait()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, failedErase);
        Subject s(kind);
        QSignalSpy& reports = s.reports;
        QVERIFY(start(s));
        // Each failed erase is tried again, but only so often.
        for (int i = 0; i < 10 && errorCount(reports) == 0; ++i)
            s.communicator->onCommandReceivedFromDevice(s.device, failedErase);
        QCOMPARE(errorCount(reports), 1);
        QCOMPARE(s.communicator->isUpdating(), 0);
        const auto count = reports.size();
        QVERIFY(!reports.wait(3 * ReplyTimeoutMs));
        QCOMPARE(reports.size(), count);
        QCOMPARE(lineCount(s.lines, ProgressMessages::NoConfirmationReceived), 0);
    }
};

QTEST_GUILESS_MAIN(TestReplyDeadline)
#include "tst_replydeadline.moc"
