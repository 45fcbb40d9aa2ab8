#include "device/MovraHardwareServer.h"
#include "tests/support/TestTransports.h"

#include <QtTest>

namespace {

// A transport whose reply signal carries text where the server relays bytes.
class MisspeltTransport : public AbstractCommunicator
{
    Q_OBJECT

signals:
    void sendCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QString cmd);

public slots:
    void onCommunicationThreadStarted() override { }
    void onCommunicationThreadStopped() override { }
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo>) override { }
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo>) override { }
    void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo>) override { }
    void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo>) override { }
    void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo>, QByteArray) override { }
};

} // namespace

class TestHardwareServerRelays : public QObject
{
    Q_OBJECT

private slots:
    // A relay whose signature the transport has under another form is not
    // dropped silently; the relays the transport lacks by name are.
    void relayUnderAnotherSignatureIsReported()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot relay.*MisspeltTransport.*"
                                                                             "sendCommandReceivedFromDevice")));
        QTest::failOnWarning(QRegularExpression(QStringLiteral("USB3|sendDataReceivedFromDevice")));
        MovraHardwareServer server(
            TestTransports()
                .make(TestTransports::Usb, [] { return QSharedPointer<MisspeltTransport>::create(); })
                .only({ TestTransports::Usb })
                .shared());
        server.startCommunicationThreads();
        server.stopCommunicationThreads();
    }
};

QTEST_GUILESS_MAIN(TestHardwareServerRelays)
#include "tst_hardwareserverrelays.moc"
