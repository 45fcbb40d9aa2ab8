#include "device/ethernet/EthernetCommunicator.h"
#include "tests/device/ethernet/NetworkSandbox.h"
#include "tests/device/ethernet/SimulatedLink.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// The simulated driver as the Ethernet grabber lists it.
const DeviceRecordBuilder Driver = DeviceRecordBuilder::ethernet(QStringLiteral("192.168.1.149"))
                                       .status(DeviceStatus::Available)
                                       .name(QStringLiteral("Microscope Driver"));

} // namespace

// The Ethernet communicator's socket against the simulated driver at the
// far end of a veth pair in the test's own network namespace.
class TestEthernetCommunicator : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatedLink> m_link;

private slots:
    void initTestCase()
    {
        qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
        if (!NetworkSandbox::isReady())
            QSKIP(qPrintable(NetworkSandbox::whyNot()));
    }

    void init()
    {
        m_link = std::make_unique<SimulatedLink>();
        QString error;
        QVERIFY2(m_link->start(&error), qPrintable(error));
    }

    void cleanup() { m_link.reset(); }

    void commandWithoutSocketSendsNothing()
    {
        EthernetCommunicator communicator;
        const auto device = Driver.build();
        communicator.onSendCommandToDeviceReceived(device, QByteArray("lost"));
        QVERIFY(!communicator.socket());

        communicator.onDeviceInserted(device);
        const QByteArray marker("after the insertion");
        communicator.onSendCommandToDeviceReceived(device, marker);
        QTRY_COMPARE(m_link->received().size(), 1);
        QTest::qWait(200);
        QCOMPARE(m_link->received(), QList<QByteArray> { marker });
    }

    void datagramsHandedOnWhole_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::newRow("0 bytes") << QByteArray();
        QTest::newRow("3 bytes") << QByteArray("\x02\x03\x00", 3);
        QTest::newRow("16 bytes") << QByteArray::fromHex("0205a3a4a5a6a7a8a9aaabacadae00ff");
    }

    void datagramsHandedOnWhole()
    {
        QFETCH(QByteArray, datagram);
        EthernetCommunicator communicator;
        QSignalSpy datagrams(&communicator, &EthernetCommunicator::sendDatagramReceivedFromDevice);
        QSignalSpy commands(&communicator, &EthernetCommunicator::sendCommandReceivedFromDevice);
        communicator.onDeviceInserted(Driver.build());
        m_link->send(datagram);
        QTRY_COMPARE(datagrams.size(), 1);
        QCOMPARE(datagrams.first().at(0).toByteArray(), datagram);
        QCOMPARE(datagrams.first().at(1).toULongLong(), qulonglong(datagram.size()));
        QCOMPARE(commands.size(), 0);
    }

    void secondInsertionReplacesTheSocket()
    {
        EthernetCommunicator communicator;
        QSignalSpy datagrams(&communicator, &EthernetCommunicator::sendDatagramReceivedFromDevice);
        communicator.onDeviceInserted(Driver.build());
        QPointer<QUdpSocket> first = communicator.socket();
        QVERIFY(first);
        communicator.onDeviceInserted(Driver.build());
        QVERIFY(first.isNull());
        QVERIFY(communicator.socket());
        QCOMPARE(communicator.socket()->state(), QAbstractSocket::BoundState);
        QCOMPARE(communicator.socket()->localAddress(), QHostAddress(QStringLiteral("192.168.1.149")));
        QCOMPARE(communicator.socket()->localPort(), quint16(8200));
        m_link->send("still heard");
        QTRY_COMPARE(datagrams.size(), 1);
    }

    void openCloseAndRemoval()
    {
        EthernetCommunicator communicator;
        QSignalSpy inserted(&communicator, &AbstractCommunicator::sendDeviceInserted);
        QSignalSpy removed(&communicator, &AbstractCommunicator::sendDeviceRemoved);
        QSignalSpy changes(&communicator, &AbstractCommunicator::sendConnectionChanged);
        const auto known = Driver.build();
        const auto stranger = Driver.build(); // equal, but another record
        communicator.onDeviceInserted(known);
        QCOMPARE(inserted.size(), 1);

        communicator.onOpenDeviceReceived(stranger);
        communicator.onCloseDeviceReceived(stranger);
        QCOMPARE(changes.size(), 0);
        communicator.onOpenDeviceReceived(known);
        communicator.onCloseDeviceReceived(known);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(0).at(1).toBool(), true);
        QCOMPARE(changes.at(1).at(1).toBool(), false);
        // Nothing on the network changed.
        QVERIFY(communicator.socket());

        // Removing a record it does not hold still closes the socket.
        communicator.onDeviceRemoved(stranger);
        QCOMPARE(removed.size(), 0);
        QVERIFY(!communicator.socket());
        communicator.onDeviceRemoved(known);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.first().first().value<QSharedPointer<MovraDeviceInfo>>(), known);
    }
};

MOVRA_NETWORK_SANDBOX_MAIN(TestEthernetCommunicator, QCoreApplication)
#include "tst_ethernetcommunicator.moc"
