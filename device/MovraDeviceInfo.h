#pragma once

#include <QByteArray>
#include <QDebug>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSharedPointer>
#include <QSize>
#include <QString>

#include <utility>

enum class CommType : qint32 {
    None = 0,
    USB = 1,
    USB3 = 2,
    Ethernet = 3,
    Camera = 4,
    Serial = 6,
    SlowCamera = 7,
};

enum class DeviceStatus : qint32 {
    Unavailable = 0,
    Available = 1,
    AvailableUSB = 2,
};

enum class DeviceCompatibility : qint32 {
    Unset = 0,
    Limited = 2,
    Full = 3,
};

enum class DriverType : qint32 {
    LEDDriver = 0,
    LaserDriver = 1,
    KAVORDriver = 2,
    TRZDriver = 3,
    QWMDriver = 4,
    HKTRDriver = 5,
    VJXDriver = 6,
    KZR410 = 7,
    BehaviorCamera = 8,
    NXLTCamera = 9,
    MicroscopeDriver = 10,
    MicroscopeDualDriver = 11,
    MicroscopeUSB3SingleGen3Driver = 12,
    MicroscopeUSB3DualGen3Driver = 13,
    AndorCamera = 14,
    HLX58Driver = 15,
    TV720 = 16,
    WebCam = 17,
    Sarvanti = 18,
    SarvantiMotor = 19,
    PowerMeter = 20,
    IMUDriver = 21,
    ZaberChain = 22,
    Quil = 23,
    ZuvoBaseStation = 24,
    WPIPumpDriver = 25,
    SarvantiGen2Driver = 26,
    SarvantiGen2DiskDriver = 27,
    Undefined = 255,
};

enum class ChannelType : qint32 {
    Channel2A = 0,
    Channel1A = 1,
    Channel300mA = 2,
    Channel400mA = 3,
    Channel150mA = 4,
    Channel110mA = 5,
    Channel500mA = 6,
    ChannelKAVOR = 7,
    Channel2ALP = 8,
    Channel1ALP = 9,
    ChannelAntenna = 10,
    ChannelAnalogIn = 11,
    ChannelDigitalIO = 12,
    ChannelAnalogOut = 13,
    ChannelHDMIIntan = 17,
    Undefined = 255,
};

enum class LedType : qint32 {
    Undefined = 0,
    Laser = 1,
    LEDOV = 2,
    LED = 3,
    SplitCable = 4,
    LEDWhite = 5,
    LEDGen2 = 6,
};

enum class WavelengthUnit : qint32 {
    Nanometre = 0,
    Kelvin = 1,
};

extern const QMap<DriverType, QString> DriverTypeNames;
extern const QMap<ChannelType, QString> ChannelTypeNames;
extern const QMap<LedType, QString> LedTypeNames;
extern const QMap<WavelengthUnit, QString> WavelengthUnitNames;

// Two upper-case hex digits per byte, "-" after every second byte but the last.
QString toDashedHexString(const QByteArray& bytes);

// The record of one detected device. Transport threads create and read it
// while the GUI thread sets a few fields, so every field access takes the
// record's lock.
class MovraDeviceInfo : public QObject
{
    Q_OBJECT

public:
    explicit MovraDeviceInfo(QObject* parent = nullptr);
    ~MovraDeviceInfo() override;

    int channelCount() const;
    QByteArray channelFirmware() const;
    QByteArray motherboardFirmware() const;
    CommType commType() const;
    DriverType driverType() const;
    DeviceStatus status() const;
    QString name() const;
    QString serialNumber() const;
    QString uid() const;
    quint16 pid() const;
    quint16 vid() const;
    quint16 releaseNumber() const;

    void setChannelCount(int channelCount);
    void setChannelFirmware(const QByteArray& firmware);
    void setMotherboardFirmware(const QByteArray& firmware);
    void setCommType(const CommType& commType);
    void setCompatibility(const DeviceCompatibility& compatibility);
    void setDriverType(const DriverType& driverType);
    void setStatus(const DeviceStatus& status);
    void setName(const QString& name);
    void setSerialNumber(const QString& serialNumber);
    void setUid(const QString& uid);
    void setPid(const quint16& pid);
    void setVid(const quint16& vid);
    void setReleaseNumber(const quint16& releaseNumber);

    friend bool operator==(const MovraDeviceInfo& a, const MovraDeviceInfo& b);
    friend QDebug operator<<(QDebug debug, const MovraDeviceInfo& info);

protected:
    mutable QMutex m_lock;

private:
    DeviceCompatibility compatibility() const;

    DriverType m_driverType = DriverType::Undefined;
    CommType m_commType = CommType::None;
    DeviceStatus m_status = DeviceStatus::Unavailable;
    DeviceCompatibility m_compatibility = DeviceCompatibility::Unset;
    QString m_uid;
    QByteArray m_motherboardFirmware;
    QByteArray m_channelFirmware;
    QString m_name = QStringLiteral("");
    QString m_serialNumber = QStringLiteral("");
    int m_channelCount = -1;
    quint16 m_pid = 0;
    quint16 m_vid = 0;
    quint16 m_releaseNumber = 0;
};

bool operator==(const MovraDeviceInfo& a, const MovraDeviceInfo& b);
inline bool operator!=(const MovraDeviceInfo& a, const MovraDeviceInfo& b)
{
    return !(a == b);
}
QDebug operator<<(QDebug debug, const MovraDeviceInfo& info);
