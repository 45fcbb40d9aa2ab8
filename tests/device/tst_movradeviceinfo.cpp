#include "device/MovraCameraInfo.h"
#include "device/MovraDeviceInfo.h"

#include <QtTest>

#include <algorithm>

class TestMovraDeviceInfo : public QObject
{
    Q_OBJECT

private slots:
    void newRecordHasInitialValues()
    {
        MovraDeviceInfo info;
        QCOMPARE(int(info.driverType()), 255);
        QCOMPARE(int(info.commType()), 0);
        QCOMPARE(int(info.status()), 0);
        QCOMPARE(info.channelCount(), -1);
        QCOMPARE(info.pid(), quint16(0));
        QCOMPARE(info.vid(), quint16(0));
        QCOMPARE(info.releaseNumber(), quint16(0));
        QVERIFY(info.uid().isEmpty());
        QVERIFY(info.motherboardFirmware().isEmpty());
        QVERIFY(info.channelFirmware().isEmpty());
        QVERIFY(info.name().isEmpty());
        QVERIFY(!info.name().isNull());
        QVERIFY(info.serialNumber().isEmpty());
        QVERIFY(!info.serialNumber().isNull());
    }

    void settersStoreValues()
    {
        MovraCameraInfo info;
        info.setCommType(CommType::SlowCamera);
        info.setDriverType(DriverType::NXLTCamera);
        info.setStatus(DeviceStatus::AvailableUSB);
        info.setName(QStringLiteral("cam"));
        info.setChannelCount(1);
        info.setPid(0xF57E);
        info.setGainRange({ 4, 480 });
        info.setAvailableFps({ 30.f, 15.f });
        QCOMPARE(info.commType(), CommType::SlowCamera);
        QCOMPARE(info.driverType(), DriverType::NXLTCamera);
        QCOMPARE(info.status(), DeviceStatus::AvailableUSB);
        QCOMPARE(info.name(), QStringLiteral("cam"));
        QCOMPARE(info.channelCount(), 1);
        QCOMPARE(info.pid(), quint16(0xF57E));
        QCOMPARE(info.gainRange(), std::make_pair(4, 480));
        QCOMPARE(info.availableFps(), (QList<float> { 30.f, 15.f }));
    }

    void equality_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("equal");
        QTest::newRow("nothing") << "" << true;
        QTest::newRow("motherboard firmware") << "motherboardFirmware" << true;
        QTest::newRow("channel firmware") << "channelFirmware" << true;
        QTest::newRow("status") << "status" << false;
        QTest::newRow("comm type") << "commType" << false;
        QTest::newRow("driver type") << "driverType" << false;
        QTest::newRow("name") << "name" << false;
        QTest::newRow("name case") << "nameCase" << false;
        QTest::newRow("serial number") << "serialNumber" << false;
        QTest::newRow("uid") << "uid" << false;
        QTest::newRow("channel count") << "channelCount" << false;
        QTest::newRow("pid") << "pid" << false;
        QTest::newRow("vid") << "vid" << false;
        QTest::newRow("release number") << "releaseNumber" << false;
        QTest::newRow("compatibility") << "compatibility" << false;
    }

    void equality()
    {
        QFETCH(QString, change);
        QFETCH(bool, equal);
        MovraDeviceInfo a;
        MovraDeviceInfo b;
        for (MovraDeviceInfo* info : { &a, &b }) {
            info->setName(QStringLiteral("HLX58"));
            info->setUid(QStringLiteral("04D8-F57E-0103-05"));
            info->setMotherboardFirmware("1.2");
        }
        if (change == "motherboardFirmware")
            b.setMotherboardFirmware("9.9");
        if (change == "channelFirmware")
            b.setChannelFirmware("3.4");
        if (change == "status")
            b.setStatus(DeviceStatus::Available);
        if (change == "commType")
            b.setCommType(CommType::USB);
        if (change == "driverType")
            b.setDriverType(DriverType::HLX58Driver);
        if (change == "name")
            b.setName(QStringLiteral("Other"));
        if (change == "nameCase")
            b.setName(QStringLiteral("hlx58"));
        if (change == "serialNumber")
            b.setSerialNumber(QStringLiteral("X"));
        if (change == "uid")
            b.setUid(QStringLiteral("04D8-F57E-0103-06"));
        if (change == "channelCount")
            b.setChannelCount(2);
        if (change == "pid")
            b.setPid(1);
        if (change == "vid")
            b.setVid(1);
        if (change == "releaseNumber")
            b.setReleaseNumber(1);
        if (change == "compatibility")
            b.setCompatibility(DeviceCompatibility::Full);
        QCOMPARE(a == b, equal);
        QCOMPARE(a != b, !equal);
        QVERIFY(a == a);
        QVERIFY(b == b);
    }

    void dashedHex_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 bytes") << QByteArray() << "";
        QTest::newRow("1 byte") << QByteArray::fromHex("0A") << "0A";
        QTest::newRow("2 bytes") << QByteArray::fromHex("AABB") << "AABB";
        QTest::newRow("3 bytes") << QByteArray::fromHex("AABBCC") << "AABB-CC";
        QTest::newRow("4 bytes") << QByteArray::fromHex("AABBCCDD") << "AABB-CCDD";
        QTest::newRow("7 bytes") << QByteArray::fromHex("AABBCCDDEEFF11") << "AABB-CCDD-EEFF-11";
        QTest::newRow("usb uid") << QByteArray::fromHex("04D8F57E010305") << "04D8-F57E-0103-05";
        QTest::newRow("low values") << QByteArray::fromHex("000102") << "0001-02";
    }

    void dashedHex()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(toDashedHexString(bytes), text);
    }

    void resolutionsSortLargestFirst()
    {
        QList<QSize> sizes { { 640, 480 }, { 1920, 1080 }, { 1920, 1200 }, { 640, 480 } };
        std::sort(sizes.begin(), sizes.end(), &MovraCameraInfo::resolutionOrder);
        QCOMPARE(sizes, (QList<QSize> { { 1920, 1200 }, { 1920, 1080 }, { 640, 480 }, { 640, 480 } }));
        QVERIFY(!MovraCameraInfo::resolutionOrder({ 640, 480 }, { 640, 480 }));
    }

    void nameTables()
    {
        QCOMPARE(DriverTypeNames.size(), 29);
        QCOMPARE(DriverTypeNames.value(DriverType::Undefined), QStringLiteral("Undefined"));
        QCOMPARE(DriverTypeNames.value(DriverType::MicroscopeUSB3DualGen3Driver),
                 QStringLiteral("Microscope (USB3.0) Dual Gen.3 Driver"));
        QCOMPARE(DriverTypeNames.value(DriverType::ZuvoBaseStation), QStringLiteral("Zuvo Base Staition"));
        QCOMPARE(ChannelTypeNames.value(ChannelType::ChannelHDMIIntan), QStringLiteral("Channel HDMI/Intan"));
        QCOMPARE(LedTypeNames.value(LedType::LEDGen2), QStringLiteral("LED (Gen2)"));
        QCOMPARE(WavelengthUnitNames.value(WavelengthUnit::Kelvin), QStringLiteral("K"));
    }

    void debugDumpListsFields()
    {
        MovraDeviceInfo info;
        info.setName(QStringLiteral("HLX58"));
        info.setPid(0xF57E);
        QString text;
        QDebug(&text) << info;
        QVERIFY(text.startsWith(QStringLiteral("------------- Device connected -------------")));
        QVERIFY(text.contains(QStringLiteral("Name =  \"HLX58\"")));
        QVERIFY(text.contains(QStringLiteral("PID =  62846")));
        QVERIFY(text.indexOf(QStringLiteral("Channel count")) > text.indexOf(QStringLiteral("Motherboard firmware")));
    }

    void concurrentAccessIsSafe()
    {
        // The GUI thread writes fields that transport threads read.
        MovraDeviceInfo info;
        std::atomic<bool> done { false };
        QThread* reader = QThread::create([&] {
            while (!done) {
                const QString name = info.name();
                QVERIFY(name.isEmpty() || name.startsWith(QLatin1String("device")));
                (void)info.motherboardFirmware();
            }
        });
        reader->start();
        for (int i = 0; i < 20000; ++i) {
            info.setName(QStringLiteral("device %1").arg(i));
            info.setMotherboardFirmware(QByteArray::number(i));
        }
        done = true;
        reader->wait();
        delete reader;
        QCOMPARE(info.name(), QStringLiteral("device 19999"));
    }
};

QTEST_GUILESS_MAIN(TestMovraDeviceInfo)
#include "tst_movradeviceinfo.moc"
