#include "app/updater/VEKUpdaterWidget.h"
#include "icons/IconFont.h"
#include "tests/device/ethernet/NetworkSandbox.h"
#include "tests/device/ethernet/SimulatedLink.h"
#include "tests/support/UpdaterRig.h"
#include "tests/support/UsbInstrument.h"
#include "tests/support/WidgetFixtures.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// A microscope driver on the Ethernet link, in the test's own network
// namespace, under the whole program: the Ethernet grabber finds the link,
// the version request crosses it to the simulated driver, its answer comes
// back as a datagram, and the Devices tab shows the driver under the type
// its answer gives it.
class TestMicroscopeEthernetRoad : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;

private slots:
    void initTestCase()
    {
        if (!NetworkSandbox::isReady())
            QSKIP(qPrintable(NetworkSandbox::whyNot()));
        QVERIFY(m_work.isValid());
        qputenv("HOME", m_work.filePath(QStringLiteral("home")).toLocal8Bit());
        qputenv("MOVRA_INSTALL_ROOT", m_work.filePath(QStringLiteral("install")).toLocal8Bit());
        QVERIFY(QDir::setCurrent(m_work.path()));
        QVERIFY(QDir().mkpath(QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0)));
        auto iconFont = QSharedPointer<IconFont>::create();
        iconFont->loadStyleFonts();
        QWidgetWithAccessToIconFont::setIconFontInstance(iconFont);
    }

    void cleanupTestCase() { QWidgetWithAccessToIconFont::setIconFontInstance({}); }

    void foundAndShown_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("version");
        QTest::newRow("single model") << 1 << 5 << int(nsUpdater::GQZ) << "1.5";
        QTest::newRow("dual model") << 2 << 3 << int(nsUpdater::GQZ2) << "2.3";
    }

    void foundAndShown()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, type);
        QFETCH(QString, version);

        SimulatedLink link;
        QString error;
        QVERIFY2(link.start(&error), qPrintable(error));
        link.setVersion(quint8(major), quint8(minor));

        VEKUpdaterWidget widget(simulatedUsbTransports(QSharedPointer<SimUsbBus>::create()).shared());
        Form form(&widget);
        QTreeWidgetItem* row = form.typeRow(type);
        QVERIFY(row);
        // First poll, the version burst and the link's neighbour discovery.
        QVERIFY(QTest::qWaitFor([&] { return row->childCount() == 1; }, 12000));
        form.tree->setCurrentItem(row->child(0));
        QTRY_VERIFY_WITH_TIMEOUT(form.motherboard->toPlainText().contains(version), 10000);

        // The driver saw the request for its version register, whole; it says
        // so on its output, which may reach the test after its answer.
        QVERIFY(QTest::qWaitFor([&] { return !link.received().isEmpty(); }, 5000));
        const QList<QByteArray> received = link.received();
        QCOMPARE(received.first().left(7), QByteArray::fromHex("23081000000000"));
        // The other type's row stays empty.
        QTreeWidgetItem* other = form.typeRow(type == nsUpdater::GQZ ? nsUpdater::GQZ2 : nsUpdater::GQZ);
        QVERIFY(other);
        QCOMPARE(other->childCount(), 0);
    }

    // The two-colour driver found over the link cannot be reprogrammed
    // there: its board answers no bootloader command, so an update would
    // erase a sector it could not write again. The start is refused before
    // anything goes to it, in both phases.
    void updateOverTheLinkRefused()
    {
        SimulatedLink link;
        QString error;
        QVERIFY2(link.start(&error), qPrintable(error));
        link.setVersion(2, 3);

        UpdaterRig rig(simulatedUsbTransports(QSharedPointer<SimUsbBus>::create()).shared());
        // First poll, the version burst and the link's neighbour discovery.
        QVERIFY(rig.waitUntil([&] { return !rig.reports.isEmpty(); }, 12000));
        const nsUpdater::DeviceCommunicationInfo found = rig.reports.first().seen;
        QCOMPARE(found.deviceType, int(nsUpdater::GQZ2));

        const QString path = m_work.filePath(QStringLiteral("Movra-Microscope2_Firmware_V3.1.mcs"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(":020000040000FA\r\n:10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n");
        file.close();
        QSignalSpy sent(rig.updater.data(), &FirmwareUpdater::sendCommandToDevice);
        for (bool motherboardPhase : { false, true })
            QCOMPARE(rig.updater->startUpdate(path, found.deviceType, found.uid, motherboardPhase, false),
                     FirmwareUpdater::StartResult::WrongLink);
        QCOMPARE(sent.size(), 0);
        QVERIFY(rig.updater->updateCommunicators.isEmpty());
        QVERIFY(rig.responses.isEmpty());
        // Still listed as it was.
        QVERIFY(rig.connected.isEmpty());
        QCOMPARE(rig.updater->getAvailableDevices(nsUpdater::GQZ2).size(), 1);
    }

    // A link whose driver never answers: the device is listed by discovery,
    // but no version is made up for it.
    void silentDriver()
    {
        SimulatedLink link;
        QString error;
        QVERIFY2(link.start(&error), qPrintable(error));
        link.setSilent();

        VEKUpdaterWidget widget(simulatedUsbTransports(QSharedPointer<SimUsbBus>::create()).shared());
        Form form(&widget);
        QVERIFY(QTest::qWaitFor([&] { return !link.received().isEmpty(); }, 8000));
        QTest::qWait(4000);
        QTreeWidgetItem* single = form.typeRow(nsUpdater::GQZ);
        QTreeWidgetItem* dual = form.typeRow(nsUpdater::GQZ2);
        QVERIFY(single && dual);
        QCOMPARE(dual->childCount(), 0);
        if (single->childCount() == 1) {
            form.tree->setCurrentItem(single->child(0));
            QVERIFY(!form.motherboard->toPlainText().contains(QRegularExpression(QStringLiteral("\\d\\.\\d"))));
        }
    }
};

MOVRA_NETWORK_SANDBOX_MAIN(TestMicroscopeEthernetRoad, QApplication)
#include "tst_microscopeethernetroad.moc"
