#pragma once

#include "device/AbstractCommunicator.h"
#include "device/AbstractGrabber.h"
#include "device/CommunicatorFactory.h"
#include "tests/firmware/bootloader/sim/SimInstrument.h"
#include "tests/support/EventLog.h"

#include <QList>
#include <QMutex>
#include <QPointer>
#include <QSharedPointer>

// A transport for the firmware updater's tests: its "bus" is a list of
// records the test fills; a record may have a simulated instrument behind
// it, which answers the commands sent to it. Every open and command is
// logged as "<tag>:open:<uid>" and "<tag>:cmd:<uid>:<hex>".
struct ScriptedBus
{
    struct Entry
    {
        QSharedPointer<MovraDeviceInfo> record;
        QSharedPointer<sim::Instrument> instrument;
    };

    QMutex lock;
    QList<Entry> entries;
    EventLog* log = nullptr;

    void plug(const QSharedPointer<MovraDeviceInfo>& record, const QSharedPointer<sim::Instrument>& instrument = {});
    void unplug(const QSharedPointer<MovraDeviceInfo>& record);
    QSharedPointer<sim::Instrument> instrumentOf(const QSharedPointer<MovraDeviceInfo>& record);
};

class ScriptedGrabber : public AbstractGrabber
{
    Q_OBJECT

public:
    explicit ScriptedGrabber(QSharedPointer<ScriptedBus> bus);

public slots:
    void refreshAvailableDevices() override;

private:
    QSharedPointer<ScriptedBus> m_bus;
    QList<QSharedPointer<MovraDeviceInfo>> m_known;
};

class ScriptedTransport : public AbstractCommunicator
{
    Q_OBJECT

public:
    ScriptedTransport(const QString& tag, QSharedPointer<ScriptedBus> bus);

signals:
    void sendCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data);

public slots:
    void onCommunicationThreadStarted() override;
    void onCommunicationThreadStopped() override;
    void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo) override;
    void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device) override;
    void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd) override;
    // Announces a record again, as a transport that reports it twice would.
    void announceAgain(QSharedPointer<MovraDeviceInfo> deviceInfo);

private:
    void log(const QString& what);

    QString m_tag;
    QSharedPointer<ScriptedBus> m_bus;
};

// USB and camera transports over scripted buses; no Ethernet or serial.
class ScriptedTransports : public CommunicatorFactory
{
public:
    explicit ScriptedTransports(EventLog* log);

    QSharedPointer<AbstractCommunicator> createUSBCommunicator() override;
    QSharedPointer<AbstractCommunicator> createTISCameraCommunicator() override;

    QSharedPointer<ScriptedBus> usbBus = QSharedPointer<ScriptedBus>::create();
    QSharedPointer<ScriptedBus> cameraBus = QSharedPointer<ScriptedBus>::create();
    QPointer<ScriptedTransport> usb;
    QPointer<ScriptedTransport> camera;
};

// A USB record as the USB grabber fills it.
QSharedPointer<MovraDeviceInfo> makeUsbRecord(const sim::UsbIdentity& identity, quint8 address,
                                              CommType commType = CommType::USB, quint8 bus = 1, quint8 port = 3);
