#include "device/MovraDeviceInfo.h"

#include <QMutexLocker>

const QMap<DriverType, QString> DriverTypeNames = {
    { DriverType::Undefined, QStringLiteral("Undefined") },
    { DriverType::LEDDriver, QStringLiteral("LED Driver") },
    { DriverType::LaserDriver, QStringLiteral("Laser Driver") },
    { DriverType::KAVORDriver, QStringLiteral("KAVOR Driver") },
    { DriverType::TRZDriver, QStringLiteral("TRZ Driver") },
    { DriverType::QWMDriver, QStringLiteral("QWM Driver") },
    { DriverType::HKTRDriver, QStringLiteral("HKTR Driver") },
    { DriverType::VJXDriver, QStringLiteral("VJX Driver") },
    { DriverType::KZR410, QStringLiteral("KZR410") },
    { DriverType::BehaviorCamera, QStringLiteral("Behavior Camera") },
    { DriverType::NXLTCamera, QStringLiteral("NXLT Camera") },
    { DriverType::MicroscopeDriver, QStringLiteral("Microscope Driver") },
    { DriverType::MicroscopeDualDriver, QStringLiteral("Microscope Dual Driver") },
    { DriverType::MicroscopeUSB3SingleGen3Driver, QStringLiteral("Microscope (USB3.0) Single Gen.3 Driver") },
    { DriverType::MicroscopeUSB3DualGen3Driver, QStringLiteral("Microscope (USB3.0) Dual Gen.3 Driver") },
    { DriverType::AndorCamera, QStringLiteral("Andor Camera") },
    { DriverType::HLX58Driver, QStringLiteral("HLX58 Driver") },
    { DriverType::TV720, QStringLiteral("TV720") },
    { DriverType::WebCam, QStringLiteral("Web Cam") },
    { DriverType::Sarvanti, QStringLiteral("Sarvanti") },
    { DriverType::SarvantiMotor, QStringLiteral("Sarvanti Motor") },
    { DriverType::PowerMeter, QStringLiteral("Power Meter") },
    { DriverType::IMUDriver, QStringLiteral("IMU Driver") },
    { DriverType::ZaberChain, QStringLiteral("Zaber Chain") },
    { DriverType::Quil, QStringLiteral("Quil") },
    { DriverType::ZuvoBaseStation, QStringLiteral("Zuvo Base Staition") },
    { DriverType::WPIPumpDriver, QStringLiteral("WPI Pump Driver") },
    { DriverType::SarvantiGen2Driver, QStringLiteral("Sarvanti Gen2 Driver") },
    { DriverType::SarvantiGen2DiskDriver, QStringLiteral("Sarvanti Gen2 Disk Driver") },
};

const QMap<ChannelType, QString> ChannelTypeNames = {
    { ChannelType::Undefined, QStringLiteral("Undefined") },
    { ChannelType::Channel2A, QStringLiteral("Channel 2A") },
    { ChannelType::Channel1A, QStringLiteral("Channel 1A") },
    { ChannelType::Channel300mA, QStringLiteral("Channel 300mA") },
    { ChannelType::Channel400mA, QStringLiteral("Channel 400mA") },
    { ChannelType::Channel150mA, QStringLiteral("Channel 150mA") },
    { ChannelType::Channel110mA, QStringLiteral("Channel 110mA") },
    { ChannelType::Channel500mA, QStringLiteral("Channel 500mA") },
    { ChannelType::ChannelKAVOR, QStringLiteral("Channel KAVOR") },
    { ChannelType::Channel2ALP, QStringLiteral("Channel 2A (LP)") },
    { ChannelType::Channel1ALP, QStringLiteral("Channel 1A (LP)") },
    { ChannelType::ChannelAntenna, QStringLiteral("Channel Antenna") },
    { ChannelType::ChannelAnalogIn, QStringLiteral("Channel Analog In.") },
    { ChannelType::ChannelDigitalIO, QStringLiteral("Channel Digital I/O") },
    { ChannelType::ChannelAnalogOut, QStringLiteral("Channel Analog Out.") },
    { ChannelType::ChannelHDMIIntan, QStringLiteral("Channel HDMI/Intan") },
};

const QMap<LedType, QString> LedTypeNames = {
    { LedType::Undefined, QStringLiteral("Undefined") },    { LedType::Laser, QStringLiteral("Laser") },
    { LedType::LEDOV, QStringLiteral("LED (OV)") },         { LedType::LED, QStringLiteral("LED") },
    { LedType::SplitCable, QStringLiteral("Split Cable") }, { LedType::LEDWhite, QStringLiteral("LED (White)") },
    { LedType::LEDGen2, QStringLiteral("LED (Gen2)") },
};

const QMap<WavelengthUnit, QString> WavelengthUnitNames = {
    { WavelengthUnit::Nanometre, QStringLiteral("nm") },
    { WavelengthUnit::Kelvin, QStringLiteral("K") },
};

QString toDashedHexString(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size() * 3);
    for (int i = 0; i < bytes.size(); ++i) {
        text += QStringLiteral("%1").arg(quint8(bytes.at(i)), 2, 16, QLatin1Char('0')).toUpper();
        if (i % 2 == 1 && i != bytes.size() - 1)
            text += QLatin1Char('-');
    }
    return text;
}

MovraDeviceInfo::MovraDeviceInfo(QObject* parent)
    : QObject(parent)
{
}

MovraDeviceInfo::~MovraDeviceInfo() = default;

#define MOVRA_LOCKED_GET(Type, getter, member)                                                                         \
    Type MovraDeviceInfo::getter() const                                                                               \
    {                                                                                                                  \
        QMutexLocker locker(&m_lock);                                                                                  \
        return member;                                                                                                 \
    }

#define MOVRA_LOCKED_SET(Type, setter, member)                                                                         \
    void MovraDeviceInfo::setter(Type value)                                                                           \
    {                                                                                                                  \
        QMutexLocker locker(&m_lock);                                                                                  \
        member = value;                                                                                                \
    }

MOVRA_LOCKED_GET(int, channelCount, m_channelCount)
MOVRA_LOCKED_GET(QByteArray, channelFirmware, m_channelFirmware)
MOVRA_LOCKED_GET(QByteArray, motherboardFirmware, m_motherboardFirmware)
MOVRA_LOCKED_GET(CommType, commType, m_commType)
MOVRA_LOCKED_GET(DriverType, driverType, m_driverType)
MOVRA_LOCKED_GET(DeviceStatus, status, m_status)
MOVRA_LOCKED_GET(QString, name, m_name)
MOVRA_LOCKED_GET(QString, serialNumber, m_serialNumber)
MOVRA_LOCKED_GET(QString, uid, m_uid)
MOVRA_LOCKED_GET(quint16, pid, m_pid)
MOVRA_LOCKED_GET(quint16, vid, m_vid)
MOVRA_LOCKED_GET(quint16, releaseNumber, m_releaseNumber)
MOVRA_LOCKED_GET(DeviceCompatibility, compatibility, m_compatibility)

MOVRA_LOCKED_SET(int, setChannelCount, m_channelCount)
MOVRA_LOCKED_SET(const QByteArray&, setChannelFirmware, m_channelFirmware)
MOVRA_LOCKED_SET(const QByteArray&, setMotherboardFirmware, m_motherboardFirmware)
MOVRA_LOCKED_SET(const CommType&, setCommType, m_commType)
MOVRA_LOCKED_SET(const DeviceCompatibility&, setCompatibility, m_compatibility)
MOVRA_LOCKED_SET(const DriverType&, setDriverType, m_driverType)
MOVRA_LOCKED_SET(const DeviceStatus&, setStatus, m_status)
MOVRA_LOCKED_SET(const QString&, setName, m_name)
MOVRA_LOCKED_SET(const QString&, setSerialNumber, m_serialNumber)
MOVRA_LOCKED_SET(const QString&, setUid, m_uid)
MOVRA_LOCKED_SET(const quint16&, setPid, m_pid)
MOVRA_LOCKED_SET(const quint16&, setVid, m_vid)
MOVRA_LOCKED_SET(const quint16&, setReleaseNumber, m_releaseNumber)

#undef MOVRA_LOCKED_GET
#undef MOVRA_LOCKED_SET

bool operator==(const MovraDeviceInfo& a, const MovraDeviceInfo& b)
{
    if (&a == &b)
        return true;
    // Each getter locks its own record, so two records are never locked at once.
    return a.status() == b.status() && a.commType() == b.commType() && a.driverType() == b.driverType()
           && a.name() == b.name() && a.serialNumber() == b.serialNumber() && a.uid() == b.uid()
           && a.channelCount() == b.channelCount() && a.pid() == b.pid() && a.vid() == b.vid()
           && a.releaseNumber() == b.releaseNumber() && a.compatibility() == b.compatibility();
}

QDebug operator<<(QDebug debug, const MovraDeviceInfo& info)
{
    debug << "------------- Device connected -------------"
          << "\nName = " << info.name() << "\nStatus = " << int(info.status())
          << "\nDriver type = " << int(info.driverType()) << "\nComm type = " << int(info.commType())
          << "\nCompatibility = " << int(info.compatibility()) << "\nPID = " << info.pid() << "\nVID = " << info.vid()
          << "\nUID = " << info.uid() << "\nRelease number = " << info.releaseNumber()
          << "\nChannel firmware = " << info.channelFirmware()
          << "\nMotherboard firmware = " << info.motherboardFirmware() << "\nChannel count = " << info.channelCount();
    return debug;
}
