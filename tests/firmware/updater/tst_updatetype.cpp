#include "firmware/updater/FirmwareUpdater.h"

#include <QtTest>

class TestUpdateType : public QObject
{
    Q_OBJECT

private slots:
    void adjust_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("motherboardPhase");
        QTest::addColumn<int>("adjusted");

        QTest::newRow("GQZ3 stays, motherboard phase or not") << 12 << "Movra-Channel.mcs" << true << 12;
        QTest::newRow("GQZ3 KAVOR stays") << 13 << "x.hex" << false << 13;
        QTest::newRow("TV720 stays") << 18 << "x.img" << true << 18;
        QTest::newRow("Sarvanti motor file") << 21 << "Sarvanti_Motor_V1.hex" << false << 0;
        QTest::newRow("Sarvanti disk file") << 21 << "Sarvanti_Disk_V1.hex" << true << 0;
        QTest::newRow("Sarvanti other file") << 21 << "Sarvanti_V1.hex" << false << 19;
        QTest::newRow("Sarvanti Gen2 disk") << 25 << "Gen2_Disk.hex" << false << 0;
        QTest::newRow("Sarvanti Gen2 motor is not disk") << 25 << "Gen2_Motor.hex" << false << 1;
        QTest::newRow("motherboard with channel file") << 17 << "Movra-Channel_V2.hex" << false << 15;
        QTest::newRow("motherboard with LS_Default") << 17 << "Movra-LS_Default_Firmware_V3.hex" << false << 15;
        QTest::newRow("motherboard with LS_Embedded") << 17 << "LS_Embedded.hex" << false << 15;
        QTest::newRow("motherboard with Dual_Color") << 17 << "Dual_Color.hex" << false << 15;
        QTest::newRow("motherboard with KAVOR") << 17 << "Movra-KAVOR_Only_Firmware_V1.hex" << false << 16;
        QTest::newRow("memory manager") << 7 << "Manager.hex" << false << 15;
        QTest::newRow("motherboard with QWM") << 17 << "QWM_V1.hex" << false << 5;
        QTest::newRow("motherboard with TRZ") << 17 << "TRZ_V1.hex" << false << 5;
        QTest::newRow("motherboard plain") << 17 << "Console_V1.hex" << false << 17;
        QTest::newRow("channels with microscope file") << 5 << "Microscope_V1.mcs" << false << 10;
        QTest::newRow("channels with microscope file, motherboard phase") << 5 << "Microscope_V1.mcs" << true << 17;
        QTest::newRow("channels plain") << 5 << "Console_Channel.mcs" << false << 5;
        QTest::newRow("case matters") << 17 << "movra-ls_default.hex" << false << 17;
        QTest::newRow("rotary joint") << 0 << "HLX58.hex" << false << 0;
        QTest::newRow("rotary joint, motherboard phase") << 0 << "HLX58.hex" << true << 17;
        QTest::newRow("camera, motherboard phase") << 4 << "x" << true << 17;
        QTest::newRow("light source, motherboard phase") << 15 << "Movra-LS_Default_Firmware_V3.hex" << true << 17;
        QTest::newRow("bootloader") << 3 << "Any.hex" << false << 3;
    }
    void adjust()
    {
        QFETCH(int, type);
        QFETCH(QString, file);
        QFETCH(bool, motherboardPhase);
        QFETCH(int, adjusted);
        QCOMPARE(FirmwareUpdater::adjustUpdateType(type, file, motherboardPhase), adjusted);
    }
};

QTEST_GUILESS_MAIN(TestUpdateType)
#include "tst_updatetype.moc"
