#include "firmware/updater/FirmwareUpdater.h"

#include "device/usb/UsbIds.h"
#include "firmware/core/ProgressMessages.h"
#include "firmware/core/UpdateNotices.h"
#include "firmware/updater/DeviceTypeHandling.h"
#include "firmware/updater/FirmwareFamilyRegistry.h"
#include "firmware/updater/UpdateTypeRules.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

using nsUpdater::DeviceIdentifier;

namespace {

constexpr int UsbUidComparedFrom = 4; // the hyphen after the vendor id and the product id's first digit
constexpr int UsbUidComparedLength = 2;

using ProgressMessages::translated;

// Stored as the fixed English text, whatever the language: the widget and
// the catalogue model compare versions against it, and translate it only
// where they show it.
QString notAvailable()
{
    return ProgressMessages::NotAvailable;
}

bool nameContainsAny(const QString& name, const QStringList& words)
{
    for (const QString& word : words) {
        if (name.contains(word))
            return true;
    }
    return false;
}

// A USB 3 instrument that came up on a plain USB connection.
bool isOnWrongPort(const DeviceTypeHandling& handling, const QSharedPointer<MovraDeviceInfo>& device)
{
    if (device->commType() != CommType::USB || !nsUsbIds::isCypressVendor(device->vid()))
        return false;
    for (quint16 productId : handling.wrongPortProductIds) {
        if (productId != 0 && device->pid() == productId)
            return true;
    }
    return false;
}

} // namespace

FirmwareUpdater::FirmwareUpdater(QObject* parent)
    : FirmwareUpdater(QSharedPointer<CommunicatorFactory>(), parent)
{
}

FirmwareUpdater::FirmwareUpdater(QSharedPointer<CommunicatorFactory> transports, QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<QSharedPointer<nsUpdater::DeviceCommunicationInfo>>(
        "QSharedPointer<nsUpdater::DeviceCommunicationInfo>");

    m_versionTimer = QSharedPointer<QTimer>::create();
    m_versionTimer->setSingleShot(true);
    // A coarse timer may end a 10 s burst half a second early.
    m_versionTimer->setTimerType(Qt::PreciseTimer);
    connect(m_versionTimer.data(), &QTimer::timeout, this, &FirmwareUpdater::setVersions, Qt::UniqueConnection);

    m_hardwareServer = QSharedPointer<MovraHardwareServer>::create(transports);
    connectHardwareServer();
    m_hardwareServer->startCommunicationThreads();
}

FirmwareUpdater::~FirmwareUpdater()
{
    if (m_hardwareServer)
        m_hardwareServer->stopCommunicationThreads();
    // Destroyed from the window, never from inside one of the communicators'
    // own calls, so they go now: a deferred delete posted once the event loop
    // has ended would never run, and a downloaded firmware file would stay.
    qDeleteAll(m_versionQueryCommunicators);
    m_versionQueryCommunicators.clear();
    m_versionTimer.reset();
    if (m_updateCommunicator) {
        AbstractFirmwareCommunicator* last = m_updateCommunicator.data();
        disconnect(last, nullptr, this, nullptr);
        m_updateCommunicator.reset(); // posts its deferred delete
        delete last;                  // and this takes that posted delete back
    }
    m_communicationInfos.clear();
    m_availableDevices.clear();
    m_hardwareServer.reset();
}

void FirmwareUpdater::connectHardwareServer()
{
    MovraHardwareServer* server = m_hardwareServer.data();
    connect(server, &MovraHardwareServer::deviceInserted, this, &FirmwareUpdater::onDeviceInserted);
    connect(server, &MovraHardwareServer::deviceRemoved, this, &FirmwareUpdater::onDeviceRemoved);
    connect(server, &MovraHardwareServer::cameraRemoved, this, &FirmwareUpdater::onCameraRemoved);
    connect(server, &MovraHardwareServer::commandReceivedFromDevice, this,
            &FirmwareUpdater::sendCommandReceivedToCommunicator);
    connect(
        server, &MovraHardwareServer::commandUSB3ReceivedFromDevice, this,
        [this](QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray data, int) {
            emit sendCommandReceivedToCommunicator(deviceInfo, data);
        },
        Qt::QueuedConnection);
    connect(server, &MovraHardwareServer::deviceConnectionChanged, this, &FirmwareUpdater::onDeviceConnectionChanged);
    connect(server, &MovraHardwareServer::sendMicVersionReceived, this, &FirmwareUpdater::onMicVersionReceived);
    connect(this, &FirmwareUpdater::sendCommandToDevice, server, &MovraHardwareServer::commandReceivedFromUpdater);
    connect(this, &FirmwareUpdater::sendCtrlCmdToDevice, server, &MovraHardwareServer::sendCtrlCmdToDeviceFromUpdater);
    connect(this, &FirmwareUpdater::sendSerialCommandToDevice, server,
            &MovraHardwareServer::sendSerialCommandToDeviceFromUpdater);
    connect(this, &FirmwareUpdater::openUSBDevice, server, &MovraHardwareServer::openUSBDeviceReceivedFromUpdater);
    connect(this, &FirmwareUpdater::openEthernetDevice, server,
            &MovraHardwareServer::openEthernetDeviceReceivedFromUpdater);
    connect(this, &FirmwareUpdater::openCameraDevice, server,
            &MovraHardwareServer::openCameraDeviceReceivedFromUpdater);
    connect(this, &FirmwareUpdater::openSerialDevice, server,
            &MovraHardwareServer::openSerialDeviceReceivedFromUpdater);
    connect(this, &FirmwareUpdater::closeSerialDevice, server,
            &MovraHardwareServer::closeSerialDeviceReceivedFromUpdater);
}

QList<QSharedPointer<MovraDeviceInfo>> FirmwareUpdater::getAvailableDevices(DeviceIdentifier type) const
{
    const bool withMotherboards = DeviceTypeHandling::of(type).listsMotherboards;
    QList<QSharedPointer<MovraDeviceInfo>> devices;
    for (const auto& device : m_availableDevices) {
        const DeviceIdentifier found = AbstractFirmwareCommunicator::getDeviceIdentifier(device);
        if (found == type || (withMotherboards && found == DeviceIdentifier::Motherboard))
            devices.append(device);
    }
    return devices;
}

void FirmwareUpdater::stopUpdate()
{
    if (!m_updateCommunicator)
        return;
    disconnect(m_updateCommunicator.data(), nullptr, this, nullptr);
    disconnect(this, nullptr, m_updateCommunicator.data(), nullptr);
    m_updateCommunicator->stopUpdate();
    m_updateCommunicator.reset();
}

void FirmwareUpdater::setReadyToReceiveDevice()
{
    if (m_updateCommunicator)
        m_updateCommunicator->setUpdating(0);
}

void FirmwareUpdater::onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (!deviceInfo || m_availableDevices.contains(deviceInfo))
        return;
    m_availableDevices.append(deviceInfo);

    // During an update new devices are only listed: the reset device is
    // found again among them.
    if (m_updateCommunicator && m_updateCommunicator->isUpdating())
        return;

    const int type = AbstractFirmwareCommunicator::getDeviceIdentifier(deviceInfo);
    const DeviceTypeHandling& handling = DeviceTypeHandling::of(type);
    if (handling.camera) {
        emit openCameraDevice(deviceInfo);
        emit sendMessageToStatusBar(translated(ProgressMessages::CameraFound), CameraFoundMessageMs);
        emit sendDeviceConnectedToView(DeviceIdentifier(type), deviceInfo->name(), deviceInfo->uid(), true);
        return;
    }
    const int waitMs = handling.versionWaitMs > 0 ? handling.versionWaitMs : VersionWaitMs;
    if (isOnWrongPort(handling, deviceInfo)) {
        if (m_notices)
            m_notices->wrongPortDetected();
        return;
    }
    if (handling.itemStatus && handling.itemShownOnArrival)
        emit(this->*handling.itemStatus)(false);
    if (handling.uidFromSerialOnEthernet && deviceInfo->commType() == CommType::Ethernet)
        deviceInfo->setUid(deviceInfo->serialNumber());

    AbstractFirmwareCommunicator* communicator = createVersionQueryCommunicator(type, deviceInfo);
    if (!communicator)
        return;

    auto info = QSharedPointer<nsUpdater::DeviceCommunicationInfo>::create();
    info->deviceType = type;
    info->motherboardVersion = notAvailable();
    info->channelVersion = notAvailable();
    info->bootloaderVersion = notAvailable();
    info->name = handling.recordName ? QString::fromLatin1(handling.recordName) : deviceInfo->name();
    info->uid = deviceInfo->uid();
    m_communicationInfos.append(info);

    wireVersionQueryCommunicator(communicator, deviceInfo);
    m_versionQueryCommunicators.append(communicator);

    if (deviceInfo->commType() == CommType::Ethernet)
        emit openEthernetDevice(deviceInfo);
    else if (deviceInfo->commType() == CommType::Serial)
        emit openSerialDevice(deviceInfo);
    else if (handling.openedOverUsb)
        emit openUSBDevice(deviceInfo);

    communicator->askForInstalledVersion(deviceInfo);

    emit sendMessageToStatusBar(translated(ProgressMessages::DeviceFound), waitMs);
    m_versionTimer->start(waitMs);
}

AbstractFirmwareCommunicator*
FirmwareUpdater::createVersionQueryCommunicator(int deviceType, const QSharedPointer<MovraDeviceInfo>& device)
{
    return device ? FirmwareFamilyRegistry::createVersionQueryCommunicator(deviceType, *device) : nullptr;
}

AbstractFirmwareCommunicator* FirmwareUpdater::createUpdateCommunicator(int deviceType,
                                                                        const QSharedPointer<MovraDeviceInfo>& device,
                                                                        bool motherboardPhase)
{
    return device ? FirmwareFamilyRegistry::createUpdateCommunicator(deviceType, *device, motherboardPhase) : nullptr;
}

void FirmwareUpdater::wireVersionQueryCommunicator(AbstractFirmwareCommunicator* c,
                                                   const QSharedPointer<MovraDeviceInfo>& asked)
{
    // Every reply reaches every communicator of the burst, and some families
    // read replies of any device: such a reading, in another family's
    // layout, must not land in the sender's record. Only what answers the
    // device this communicator asked is taken.
    connect(c, &AbstractFirmwareCommunicator::sendInstalledVersionToUpdater, this,
            [this, asked](DeviceIdentifier deviceID, nsFirmware::DeviceVersions versions, QString uid) {
                if (uid == asked->uid())
                    onSendInstalledVersionReceived(deviceID, versions, uid);
            });
    connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, this, &FirmwareUpdater::sendCommandToDevice);
    connect(c, &AbstractFirmwareCommunicator::sendCtrlCmdToDevice, this, &FirmwareUpdater::sendCtrlCmdToDevice);
    connect(c, &AbstractFirmwareCommunicator::sendSerialCommandToDevice, this,
            &FirmwareUpdater::sendSerialCommandToDevice);
    connect(c, &AbstractFirmwareCommunicator::sendCloseSerialToDevice, this, &FirmwareUpdater::closeSerialDevice);
    connect(this, &FirmwareUpdater::sendCommandReceivedToCommunicator, c,
            &AbstractFirmwareCommunicator::onCommandReceivedFromDevice);
}

void FirmwareUpdater::unwireVersionQueryCommunicator(AbstractFirmwareCommunicator* c)
{
    disconnect(c, nullptr, this, nullptr);
    disconnect(this, nullptr, c, nullptr);
}

void FirmwareUpdater::onSendInstalledVersionReceived(DeviceIdentifier deviceID,
                                                     nsFirmware::DeviceVersions deviceVersions, QString uid)
{
    if (m_waitingForChannels) {
        m_waitingForChannels = false;
        return;
    }
    const QString missing = notAvailable();
    for (const auto& info : qAsConst(m_communicationInfos)) {
        if (info->uid != uid)
            continue;
        info->deviceType = deviceID;
        if (deviceVersions.motherboardVersion != missing)
            info->motherboardVersion = deviceVersions.motherboardVersion;
        if (deviceVersions.channelVersion != missing)
            info->channelVersion = deviceVersions.channelVersion;
        if (deviceVersions.bootloaderVersion != missing)
            info->bootloaderVersion = deviceVersions.bootloaderVersion;
    }
}

void FirmwareUpdater::setVersions()
{
    const QList<AbstractFirmwareCommunicator*> done = m_versionQueryCommunicators;
    m_versionQueryCommunicators.clear();
    for (AbstractFirmwareCommunicator* c : done) {
        unwireVersionQueryCommunicator(c);
        // Nothing refers to it any more; this may run inside one of its
        // own calls (a nested event loop), so it goes later.
        c->deleteLater();
    }
    const auto infos = m_communicationInfos;
    for (const auto& info : infos)
        emit sendInstalledVersionToView(info);
}

void FirmwareUpdater::onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (!deviceInfo || !m_availableDevices.contains(deviceInfo))
        return;
    if (deviceInfo->name().contains(ProgressMessages::Bootloader))
        emit sendBootloaderItemStatusToView(true);
    const DeviceTypeHandling& handling =
        DeviceTypeHandling::of(AbstractFirmwareCommunicator::getDeviceIdentifier(deviceInfo));
    if (handling.itemStatus)
        emit(this->*handling.itemStatus)(true);

    const QString uid = deviceInfo->uid();
    for (int i = m_availableDevices.size() - 1; i >= 0; --i) {
        if (m_availableDevices.at(i)->uid() == uid)
            m_availableDevices.removeAt(i);
    }
    for (int i = m_listedBeforeUpdate.size() - 1; i >= 0; --i) {
        if (m_listedBeforeUpdate.at(i)->uid() == uid)
            m_listedBeforeUpdate.removeAt(i);
    }
    for (int i = 0; i < m_communicationInfos.size();) {
        const auto info = m_communicationInfos.at(i);
        if (info->uid != uid) {
            ++i;
            continue;
        }
        emit sendDeviceConnectedToView(DeviceIdentifier(info->deviceType), info->name, info->uid, false);
        m_communicationInfos.removeAt(i);
    }
    emit sendMessageToStatusBar(translated(ProgressMessages::DeviceRemoved), DeviceRemovedMessageMs);
}

void FirmwareUpdater::onCameraRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo)
{
    if (deviceInfo && m_availableDevices.removeAll(deviceInfo) > 0) {
        emit sendDeviceConnectedToView(AbstractFirmwareCommunicator::getDeviceIdentifier(deviceInfo),
                                       deviceInfo->name(), deviceInfo->uid(), false);
    }
    emit sendMessageToStatusBar(translated(ProgressMessages::DeviceRemoved), DeviceRemovedMessageMs);
}

void FirmwareUpdater::onDeviceConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isOpened)
{
    Q_UNUSED(deviceInfo)
    Q_UNUSED(isOpened)
}

void FirmwareUpdater::clearAvailableDevices()
{
    // Only the device under update resets and comes back as a new device.
    // The transports never report a device that stays plugged again, so
    // dropping any other one would leave it without its row until re-plugged.
    if (m_updatedDevice && m_availableDevices.contains(m_updatedDevice))
        onDeviceRemoved(m_updatedDevice);
}

void FirmwareUpdater::onMicVersionReceived(QByteArray version)
{
    const auto devices = m_availableDevices;
    for (const auto& device : devices) {
        if (device->commType() == CommType::Ethernet && device->motherboardFirmware().isEmpty())
            emit sendCommandReceivedToCommunicator(device, version);
    }
}

int FirmwareUpdater::adjustUpdateType(int type, const QString& filePath, bool motherboardPhase)
{
    return UpdateTypeRules::adjustedType(type, filePath, motherboardPhase);
}

FirmwareUpdater::StartResult FirmwareUpdater::startUpdate(const QString& filePath, int deviceType, const QString& uid,
                                                          bool motherboardPhase, bool serverMode)
{
    QSharedPointer<MovraDeviceInfo> device;
    for (const auto& candidate : qAsConst(m_availableDevices)) {
        if (candidate->uid() == uid)
            device = candidate; // later entries win
    }

    static const QStringList channelFiles = {
        QStringLiteral("Movra-LS_Default_Firmware_V"), QStringLiteral("Movra-LS_Embedded_Firmware_V"),
        QStringLiteral("Movra-KAVOR_Only_Firmware_V"), QStringLiteral("Movra-KAVOR_1Ch_Firmware_V"),
        QStringLiteral("Movra-Manager_CH_Firmware_V"), QStringLiteral("DriverHybridChannel"),
    };
    if (deviceType == DeviceIdentifier::Bootloader && nameContainsAny(filePath, channelFiles))
        return StartResult::FileNotAllowed;
    if (!device)
        return StartResult::NoSuchDevice;
    // The board behind the Ethernet link answers no bootloader command: an
    // update there would erase what it then cannot write.
    if (device->commType() == CommType::Ethernet)
        return StartResult::WrongLink;

    // The versions handed over are the device's record; a device that got
    // no record was never queried and is not one the widget can update.
    QSharedPointer<nsUpdater::DeviceCommunicationInfo> record;
    for (const auto& info : qAsConst(m_communicationInfos)) {
        if (info->uid == device->uid()) {
            record = info;
            break;
        }
    }
    if (!record)
        return StartResult::NoSuchDevice;

    const int type = adjustUpdateType(deviceType, filePath, motherboardPhase);
    AbstractFirmwareCommunicator* communicator = createUpdateCommunicator(type, device, motherboardPhase);
    if (!communicator)
        return StartResult::NoSuchDevice;

    // The previous communicator may be the one whose signal led here (a
    // follow-up update), so it is cut off now and deleted later.
    if (m_updateCommunicator) {
        disconnect(m_updateCommunicator.data(), nullptr, this, nullptr);
        disconnect(this, nullptr, m_updateCommunicator.data(), nullptr);
    }
    m_updateCommunicator = QSharedPointer<AbstractFirmwareCommunicator>(communicator, &QObject::deleteLater);
    wireUpdateCommunicator(communicator);
    communicator->setServerUpdate(serverMode);
    communicator->setReconnectRoute(
        DeviceTypeHandling::of(AbstractFirmwareCommunicator::getDeviceIdentifier(device)).reconnectRoute);

    m_updatedDevice = device;
    m_listedBeforeUpdate.clear();
    for (const auto& listed : qAsConst(m_availableDevices)) {
        if (listed->uid() != device->uid())
            m_listedBeforeUpdate.append(listed);
    }

    m_fileRefusal.clear();
    const nsFirmware::DeviceVersions versions { record->motherboardVersion, record->channelVersion,
                                                record->bootloaderVersion };
    if (!communicator->updateFirmware(filePath, device, versions)) {
        m_fileRefusal = communicator->fileRefusal();
        // A download is the program's own: refused, it is of no more use.
        if (serverMode)
            QFile::remove(filePath);
        return StartResult::FileRefused;
    }
    return StartResult::Started;
}

bool FirmwareUpdater::mayBeFoundAgain(const QSharedPointer<MovraDeviceInfo>& device) const
{
    // An instrument that was there before the update never reset: taking it
    // would give the firmware to the wrong instrument.
    return !m_listedBeforeUpdate.contains(device);
}

void FirmwareUpdater::wireUpdateCommunicator(AbstractFirmwareCommunicator* c)
{
    connect(c, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, this,
            &FirmwareUpdater::sendDeviceResponseToView);
    connect(c, &AbstractFirmwareCommunicator::sendMessageToProgressDialog, this,
            &FirmwareUpdater::sendMessageToProgressDialog);
    connect(c, &AbstractFirmwareCommunicator::sendCloseProgressDialog, this, &FirmwareUpdater::sendCloseProgressDialog);
    connect(c, &AbstractFirmwareCommunicator::sendFileProgressToProgressDialog, this,
            &FirmwareUpdater::sendFileProgressToProgressDialog);
    connect(c, &AbstractFirmwareCommunicator::sendReconnectToBootloader, this,
            &FirmwareUpdater::onReconnectToBootloaderReceived);
    connect(c, &AbstractFirmwareCommunicator::sendReconnectToSerialBootloader, this,
            &FirmwareUpdater::onReconnectToSerialBootloaderReceived);
    connect(c, &AbstractFirmwareCommunicator::sendReconnectToUSB3Communicator, this,
            &FirmwareUpdater::onReconnectToUSB3CommunicatorReceived);
    connect(c, &AbstractFirmwareCommunicator::sendCommandToDevice, this, &FirmwareUpdater::sendCommandToDevice);
    connect(c, &AbstractFirmwareCommunicator::sendCtrlCmdToDevice, this, &FirmwareUpdater::sendCtrlCmdToDevice);
    connect(c, &AbstractFirmwareCommunicator::sendSerialCommandToDevice, this,
            &FirmwareUpdater::sendSerialCommandToDevice);
    connect(c, &AbstractFirmwareCommunicator::sendCloseSerialToDevice, this, &FirmwareUpdater::closeSerialDevice);
    connect(c, &AbstractFirmwareCommunicator::sendClearAvailableDevices, this, &FirmwareUpdater::clearAvailableDevices);
    connect(c, &AbstractFirmwareCommunicator::sendStartMotherboardUpdate, this,
            &FirmwareUpdater::sendStartMotherboardUpdate);
    connect(this, &FirmwareUpdater::sendCommandReceivedToCommunicator, c,
            &AbstractFirmwareCommunicator::onCommandReceivedFromDevice);
    connect(this, &FirmwareUpdater::sendReconnectedToBootloader, c,
            &AbstractFirmwareCommunicator::onReconnectedToBootloaderReceived);
    c->setUpdateNotices(m_notices);
}

void FirmwareUpdater::onReconnectToBootloaderReceived(QString uid)
{
    emit sendDeviceResponseToView(nsFirmware::ReconnectToBootloader, nsFirmware::InProgress, 10);
    QSharedPointer<MovraDeviceInfo> found;
    // Too short a uid (or a device without one) has no characters to compare.
    if (uid.size() >= UsbUidComparedFrom + UsbUidComparedLength) {
        const QStringView wanted = QStringView(uid).mid(UsbUidComparedFrom, UsbUidComparedLength);
        for (const auto& device : qAsConst(m_availableDevices)) {
            const QString candidate = device->uid();
            if (mayBeFoundAgain(device) && candidate.size() >= UsbUidComparedFrom + UsbUidComparedLength
                && QStringView(candidate).mid(UsbUidComparedFrom, UsbUidComparedLength) == wanted) {
                found = device;
                break;
            }
        }
    }
    if (!found) {
        emit sendDeviceResponseToView(nsFirmware::ReconnectToBootloader, nsFirmware::Error, -1);
        return;
    }
    emit openUSBDevice(found);
    emit sendReconnectedToBootloader(found);
}

void FirmwareUpdater::onReconnectToSerialBootloaderReceived(QString serialNumber)
{
    for (const auto& device : qAsConst(m_availableDevices)) {
        if (mayBeFoundAgain(device) && device->commType() == CommType::Serial && device->serialNumber() == serialNumber
            && (device->pid() == nsUsbIds::IMUBootloaderProductId
                || device->pid() == nsUsbIds::ZuvoBasestationProductId)) {
            emit sendReconnectedToBootloader(device);
            return;
        }
    }
    emit sendDeviceResponseToView(nsFirmware::ReconnectToBootloader, nsFirmware::Error, -1);
}

void FirmwareUpdater::onReconnectToUSB3CommunicatorReceived()
{
    for (const auto& device : qAsConst(m_availableDevices)) {
        if (mayBeFoundAgain(device)
            && AbstractFirmwareCommunicator::getDeviceIdentifier(device) == DeviceIdentifier::USB3Driver) {
            emit sendReconnectedToBootloader(device);
            return;
        }
    }
    emit sendDeviceResponseToView(nsFirmware::ReconnectToBootloader, nsFirmware::Error, -1);
}
