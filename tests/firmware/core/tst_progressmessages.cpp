#include "firmware/core/ProgressMessages.h"
#include "tests/firmware/core/TestCommunicator.h"
#include "tests/support/DeviceRecordBuilder.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>

namespace {

// Stands in for the French translation file.
class FrenchTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (QByteArray(context) != "ProgressDialog")
            return {};
        const QByteArray source(sourceText);
        if (source == "A Movra device has been found. Retrieving his firmware versions")
            return QStringLiteral("Un appareil Movra a été trouvé. Récupération de ses versions");
        if (source == "Resetting to bootloader... [Done]")
            return QStringLiteral("Réinitialisation... [Terminé]");
        if (source == "N/A")
            return QStringLiteral("N/D");
        return {};
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestProgressMessages : public QObject
{
    Q_OBJECT

private slots:
    void holdTheirEnglishText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("programming") << ProgressMessages::ProgrammingDeviceLines
                                     << "Programming the device... [%1 lines out of %2]";
        QTest::newRow("sector") << ProgressMessages::ErasingMcsFileSector
                                << "Erasing the old mcs file... [Sector %1 out of %2]";
        QTest::newRow("retry") << ProgressMessages::RetryingToSendLines
                               << "Warning: No confirmation received, retrying to send lines";
        QTest::newRow("wrong port")
            << ProgressMessages::WrongPortDetected
            << "A Movra device has been found but the wrong port has been detected. Please change "
               "it to a USB3 port on your computer";
        QTest::newRow("not available") << ProgressMessages::NotAvailable << "N/A";
        QTest::newRow("blank version") << ProgressMessages::BlankVersion << "-1.-1";
        QTest::newRow("bootloader") << ProgressMessages::Bootloader << "Bootloader";
        QTest::newRow("details") << ProgressMessages::DetailsShow << "Details >>";
    }

    void holdTheirEnglishText()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
        QVERIFY(ProgressMessages::EmptyByteArray.isEmpty());
    }

    void translatedAtUseWhileCommunicatorLinesStayEnglish()
    {
        FrenchTranslator french;
        QVERIFY(QCoreApplication::installTranslator(&french));
        QCOMPARE(ProgressMessages::DeviceFound,
                 QStringLiteral("A Movra device has been found. Retrieving his firmware versions"));
        QCOMPARE(ProgressMessages::translated(ProgressMessages::DeviceFound),
                 QStringLiteral("Un appareil Movra a été trouvé. Récupération de ses versions"));
        QCOMPARE(ProgressMessages::translated(ProgressMessages::NotAvailable), QStringLiteral("N/D"));
        // A text without a translation is shown as it is.
        QCOMPARE(ProgressMessages::translated(ProgressMessages::CameraFound), ProgressMessages::CameraFound);

        TestCommunicator communicator;
        QSignalSpy lines(&communicator, &AbstractFirmwareCommunicator::sendMessageToProgressDialog);
        communicator.setUpdating(1);
        communicator.onReconnectedToBootloaderReceived(DeviceRecordBuilder().build());
        QCOMPARE(lines.at(0).at(0).toString(), QStringLiteral("Resetting to bootloader... [Done]"));
        // A version the communicator did not read carries the English marker.
        QCOMPARE(nsFirmware::DeviceVersions().channelVersion, QStringLiteral("N/A"));
        QCoreApplication::removeTranslator(&french);
    }
};

QTEST_GUILESS_MAIN(TestProgressMessages)
#include "tst_progressmessages.moc"
