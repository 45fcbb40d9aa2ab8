#include "firmware/microscope/MicroscopeEthernetCommunicator.h"

#include "firmware/core/ProgressMessages.h"
#include "firmware/core/RegisterFrame.h"

const QString MicroscopeEthernetCommunicator::DualName = QStringLiteral("MicroscopeDual");

namespace {

// The single model answers with major version 1.
constexpr char SingleModelMajor = 1;
constexpr int VersionReplyLength = 2;

} // namespace

MicroscopeEthernetCommunicator::MicroscopeEthernetCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

bool MicroscopeEthernetCommunicator::updateFirmware(QString, QSharedPointer<MovraDeviceInfo>,
                                                    nsFirmware::DeviceVersions)
{
    return true;
}

bool MicroscopeEthernetCommunicator::sendBootloaderCommand(char, QSharedPointer<MovraDeviceInfo>)
{
    return false;
}

void MicroscopeEthernetCommunicator::onReconnectedToBootloaderReceived(QSharedPointer<MovraDeviceInfo>)
{
}

QByteArray MicroscopeEthernetCommunicator::askForDeviceVersion(uint address)
{
    QByteArray body;
    body.append(RegisterFrame::Start);
    body.append(RegisterFrame::ReadCode);
    body.append(char(0x10));
    body.append(char(address >> 24));
    body.append(char(address >> 16));
    body.append(char(address >> 8));
    body.append(char(address));
    return RegisterFrame::finish(body, m_crc8Table.get());
}

QByteArray MicroscopeEthernetCommunicator::askForChannelVersion()
{
    return QByteArray("\x49\x00\x00", 3);
}

void MicroscopeEthernetCommunicator::askForInstalledVersion(QSharedPointer<MovraDeviceInfo> device)
{
    if (!device)
        return;
    m_askedDevice = device;
    emit sendCommandToDevice(device, askForDeviceVersion(0));
}

void MicroscopeEthernetCommunicator::onCommandReceivedFromDevice(QSharedPointer<MovraDeviceInfo> deviceInfo,
                                                                 QByteArray data)
{
    // Every reply of every device comes here: only the asked Ethernet
    // device's version reply counts.
    if (!deviceInfo || deviceInfo != m_askedDevice || deviceInfo->commType() != CommType::Ethernet
        || data.size() < VersionReplyLength)
        return;
    if (data.at(0) != SingleModelMajor) {
        deviceInfo->setName(DualName);
        deviceInfo->setDriverType(DriverType::MicroscopeDualDriver);
    }
    const DeviceIdentifier type = getDeviceIdentifier(deviceInfo);
    const QString version = versionText(data.at(0), data.at(1));
    // A record with a motherboard text gets no further version datagrams.
    deviceInfo->setMotherboardFirmware(data);
    emit sendInstalledVersionToUpdater(type, { version, version, version }, deviceInfo->uid());
}
