#include "device/CommunicatorFactory.h"
#include "device/MovraHardwareServer.h"

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

class MisspeltFactory : public CommunicatorFactory
{
public:
    QSharedPointer<AbstractCommunicator> createUSBCommunicator() override
    {
        return QSharedPointer<MisspeltTransport>::create();
    }
    QSharedPointer<AbstractCommunicator> createEthernetCommunicator() override { return {}; }
    QSharedPointer<AbstractCommunicator> createTISCameraCommunicator() override { return {}; }
    QSharedPointer<AbstractCommunicator> createSerialCommunicator() override { return {}; }
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
        MovraHardwareServer server(QSharedPointer<MisspeltFactory>::create());
        server.startCommunicationThreads();
        server.stopCommunicationThreads();
    }
};

QTEST_GUILESS_MAIN(TestHardwareServerRelays)
#include "tst_hardwareserverrelays.moc"
