#include "tests/support/UpdaterRig.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

UpdaterRig::UpdaterRig(bool silentTV720)
{
    machine = QSharedPointer<FakeMachine>::create(FakeMachine::Usb | FakeMachine::Camera, &log);
    factory = machine;
    watch(silentTV720);
}

UpdaterRig::UpdaterRig(QSharedPointer<CommunicatorFactory> transportsOfTheTest)
{
    factory = transportsOfTheTest;
    watch(false);
}

void UpdaterRig::watch(bool silentTV720)
{
    clock.start();
    updater = QSharedPointer<ObservedUpdater>::create(factory);
    updater->silentTV720 = silentTV720;
    ObservedUpdater* u = updater.data();

    QObject::connect(u, &FirmwareUpdater::sendMessageToStatusBar, u, [this](QString text, int timeout) {
        statuses.append({ text, timeout, clock.elapsed() });
    });
    QObject::connect(u, &FirmwareUpdater::sendInstalledVersionToView, u,
                     [this](QSharedPointer<nsUpdater::DeviceCommunicationInfo> info) {
                         reports.append({ info, *info, clock.elapsed() });
                     });
    QObject::connect(u, &FirmwareUpdater::sendDeviceConnectedToView, u,
                     [this](nsUpdater::DeviceIdentifier type, QString name, QString uid, bool isConnected) {
                         connected.append({ int(type), name, uid, isConnected });
                     });
    QObject::connect(u, &FirmwareUpdater::sendDeviceResponseToView, u,
                     [this](char msg, nsFirmware::MessageStatus status, int progress) {
                         responses.append({ int(quint8(msg)), int(status), progress, clock.elapsed() });
                     });
    QObject::connect(u, &FirmwareUpdater::openUSBDevice, u,
                     [this](QSharedPointer<MovraDeviceInfo> device) { opened.append(device->uid()); });
    QObject::connect(u, &FirmwareUpdater::sendReconnectedToBootloader, u,
                     [this](QSharedPointer<MovraDeviceInfo> device) { reconnected.append(device->uid()); });
    QObject::connect(u, &FirmwareUpdater::sendMessageToProgressDialog, u,
                     [this](QString line) { progressLines.append(line); });
}

UpdaterRig::~UpdaterRig()
{
    updater.reset();
    // Communicators released with a deferred delete go before the rig does.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool UpdaterRig::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Connected after watch()'s own: the report is written down first.
    const auto ask = [&] {
        if (done())
            loop.quit();
    };
    ObservedUpdater* u = updater.data();
    QObject::connect(u, &FirmwareUpdater::sendMessageToStatusBar, &loop, ask);
    QObject::connect(u, &FirmwareUpdater::sendInstalledVersionToView, &loop, ask);
    QObject::connect(u, &FirmwareUpdater::sendDeviceConnectedToView, &loop, ask);
    QObject::connect(u, &FirmwareUpdater::sendDeviceResponseToView, &loop, ask);
    QObject::connect(u, &FirmwareUpdater::openUSBDevice, &loop, ask);
    QObject::connect(u, &FirmwareUpdater::sendReconnectedToBootloader, &loop, ask);
    QObject::connect(u, &FirmwareUpdater::sendMessageToProgressDialog, &loop, ask);
    deadline.start(timeoutMs);
    loop.exec();
    return done();
}

QList<UpdaterRig::Report> UpdaterRig::reportsOf(const QString& uid) const
{
    QList<Report> found;
    for (const Report& report : reports) {
        if (report.seen.uid == uid)
            found.append(report);
    }
    return found;
}

QList<UpdaterRig::Status> UpdaterRig::statusesWith(const QString& text) const
{
    QList<Status> found;
    for (const Status& status : statuses) {
        if (status.text == text)
            found.append(status);
    }
    return found;
}

char* toString(const UpdaterRig::Response& response)
{
    return qstrdup(QStringLiteral("(%1, %2, %3)")
                       .arg(response.msg)
                       .arg(response.status)
                       .arg(response.progress)
                       .toLatin1()
                       .constData());
}

FakeDevice usbDevice(const sim::UsbIdentity& identity, quint8 address, CommType commType)
{
    return FakeDevice::onUsb(identity.vendorId, identity.productId, identity.release, identity.product, identity.serial,
                             address, commType);
}

FakeDevice usbDevice(const QSharedPointer<sim::Instrument>& instrument, quint8 address)
{
    return usbDevice(instrument->identity(), address).answeredBy([instrument](const QByteArray& command) {
        return instrument->receive(command).replies;
    });
}
