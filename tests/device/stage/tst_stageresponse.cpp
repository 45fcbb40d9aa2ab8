#include "device/stage/MotionLibException.h"
#include "device/stage/Response.h"
#include "device/stage/UnitConverter.h"

#include <QtTest>

using zaber::motion::MotionLibException;
using zaber::motion::UnitConverter;
using zaber::motion::Units;
using zaber::motion::ascii::Response;

class TestStageResponse : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("device");
        QTest::addColumn<int>("axis");
        QTest::addColumn<QByteArray>("flag");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("warning");
        QTest::addColumn<QByteArray>("data");

        QTest::newRow("plain") << QByteArray("@01 0 OK IDLE -- 50979\r\n") << true << 1 << 0 << QByteArray("OK")
                               << QByteArray("IDLE") << QByteArray("--") << QByteArray("50979");
        QTest::newRow("refused") << QByteArray("@02 1 RJ IDLE -- BADDATA") << true << 2 << 1 << QByteArray("RJ")
                                 << QByteArray("IDLE") << QByteArray("--") << QByteArray("BADDATA");
        QTest::newRow("several values") << QByteArray("@01 0 OK BUSY WR 10 -20") << true << 1 << 0 << QByteArray("OK")
                                        << QByteArray("BUSY") << QByteArray("WR") << QByteArray("10 -20");
        QTest::newRow("message id") << QByteArray("@01 2 07 OK IDLE FS 0") << true << 1 << 2 << QByteArray("OK")
                                    << QByteArray("IDLE") << QByteArray("FS") << QByteArray("0");
        QTest::newRow("checksum") << QByteArray("@03 0 OK IDLE -- 0:8D") << true << 3 << 0 << QByteArray("OK")
                                  << QByteArray("IDLE") << QByteArray("--") << QByteArray("0");
        QTest::newRow("info line") << QByteArray("#01 0 some text") << false << 0 << 0 << QByteArray() << QByteArray()
                                   << QByteArray() << QByteArray();
        QTest::newRow("alert") << QByteArray("!01 1 IDLE --") << false << 0 << 0 << QByteArray() << QByteArray()
                               << QByteArray() << QByteArray();
        QTest::newRow("short") << QByteArray("@01 0 OK") << false << 0 << 0 << QByteArray() << QByteArray()
                               << QByteArray() << QByteArray();
        QTest::newRow("bad flag") << QByteArray("@01 0 XX IDLE -- 0") << false << 0 << 0 << QByteArray() << QByteArray()
                                  << QByteArray() << QByteArray();
        QTest::newRow("bad address") << QByteArray("@x1 0 OK IDLE -- 0") << false << 0 << 0 << QByteArray()
                                     << QByteArray() << QByteArray() << QByteArray();
    }

    void parse()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, valid);
        const std::optional<Response> reply = Response::parse(line);
        QCOMPARE(reply.has_value(), valid);
        if (!valid)
            return;
        QTEST(reply->deviceAddress(), "device");
        QTEST(reply->axisNumber(), "axis");
        QTEST(reply->replyFlag(), "flag");
        QTEST(reply->status(), "status");
        QTEST(reply->warningFlag(), "warning");
        QTEST(reply->data(), "data");
    }

    void check_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("fails");

        QTest::newRow("accepted") << QByteArray("@01 1 OK IDLE -- 0") << false;
        QTest::newRow("warning is no failure") << QByteArray("@01 1 OK IDLE WR 0") << false;
        QTest::newRow("notice is no failure") << QByteArray("@01 1 OK IDLE NI 0") << false;
        QTest::newRow("refused") << QByteArray("@01 1 RJ IDLE -- BADCOMMAND") << true;
        QTest::newRow("stalled") << QByteArray("@01 1 OK IDLE FS 0") << true;
        QTest::newRow("driver disabled") << QByteArray("@01 1 OK IDLE FD 0") << true;
    }

    void check()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, fails);
        bool raised = false;
        try {
            Response::parse(line)->check("move abs 10");
        } catch (const MotionLibException& error) {
            raised = true;
            QVERIFY(error.message().contains("move abs 10"));
        }
        QCOMPARE(raised, fails);
    }

    // Millimetres come from the table for the XY and Z stages only.
    void conversion_data()
    {
        QTest::addColumn<int>("deviceId");
        QTest::addColumn<int>("units");
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("native");
        QTest::addColumn<bool>("fails");

        QTest::newRow("XY mm") << 50979 << 3 << 1.5 << qint64(9600) << false;
        QTest::newRow("XY mm rounds") << 50979 << 3 << 0.00007 << qint64(0) << false;
        QTest::newRow("Z mm") << 50054 << 3 << 10.0 << qint64(160000) << false;
        QTest::newRow("Z negative") << 50054 << 3 << -0.5 << qint64(-8000) << false;
        QTest::newRow("native") << 51000 << 0 << 1234.4 << qint64(1234) << false;
        QTest::newRow("joystick mm") << 51000 << 3 << 1.0 << qint64(0) << true;
        QTest::newRow("unknown device mm") << 12345 << 3 << 1.0 << qint64(0) << true;
        QTest::newRow("unknown unit") << 50979 << 1 << 1.0 << qint64(0) << true;
        QTest::newRow("not a number") << 50979 << 3 << qQNaN() << qint64(0) << true;
    }

    void readBack()
    {
        QCOMPARE(UnitConverter(UnitConverter::stepsPerMillimetre(50979)).fromNative(9600, Units::LengthMillimetres),
                 1.5);
        QCOMPARE(UnitConverter(UnitConverter::stepsPerMillimetre(50054)).fromNative(-8000, Units::LengthMillimetres),
                 -0.5);
        QCOMPARE(UnitConverter().fromNative(77, Units::Native), 77.0);
    }

    void conversion()
    {
        QFETCH(int, deviceId);
        QFETCH(int, units);
        QFETCH(double, value);
        QFETCH(bool, fails);
        const UnitConverter converter(UnitConverter::stepsPerMillimetre(deviceId));
        try {
            const qint64 native = converter.toNative(value, Units(units));
            QVERIFY(!fails);
            QTEST(native, "native");
        } catch (const MotionLibException&) {
            QVERIFY(fails);
        }
    }
};

QTEST_GUILESS_MAIN(TestStageResponse)
#include "tst_stageresponse.moc"
