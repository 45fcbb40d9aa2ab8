#include "device/camera/TISCameraGrabber.h"

#include "device/MovraCameraInfo.h"

#include <QSet>

namespace {

// Models of the imaging camera kind; any other is a behaviour camera.
const QStringList& nxltModels()
{
    static const QStringList models = { QStringLiteral("DMK 33UX249"), QStringLiteral("DMM 37UX287-ML"),
                                        QStringLiteral("USB39 UX174 M"), QStringLiteral("DMK 33UX174") };
    return models;
}

} // namespace

TISCameraGrabber::TISCameraGrabber(QObject* parent)
    : AbstractGrabber(parent)
    , m_listener(QSharedPointer<TISCameraListener>::create())
{
    addListener(m_listener.data(), DShowLib::GrabberListener::DeviceListChangedEvent);
    connect(m_listener.data(), &TISCameraListener::sendDeviceListChanged, this,
            &TISCameraGrabber::refreshAvailableDevices);
}

TISCameraGrabber::~TISCameraGrabber()
{
    // Before the listener goes: once removed, the library calls it no more.
    removeListener(m_listener.data());
}

QByteArray TISCameraGrabber::discoveryKey(quint64 serial)
{
    return QString::number(serial, 16).toLocal8Bit();
}

QByteArray TISCameraGrabber::cameraText(quint64 serial)
{
    QString text = QString::number(serial, 16);
    if (text.size() < 8)
        text.prepend(QLatin1Char('0'));
    return text.toUtf8();
}

QByteArray TISCameraGrabber::driverVersion(const DShowLib::VideoCaptureDeviceItem& item)
{
    int major = 0, minor = 0, patch = 0, build = 0;
    item.getDriverVersion(major, minor, patch, build);
    return QStringLiteral("%1.%2.%3.%4").arg(major).arg(minor).arg(patch).arg(build).toLocal8Bit();
}

QSharedPointer<MovraDeviceInfo> TISCameraGrabber::createDeviceInfo(const DShowLib::VideoCaptureDeviceItem& item)
{
    auto record = QSharedPointer<MovraCameraInfo>::create();
    const QString model = item.getFriendlyName_();
    bool nxlt = false;
    for (const QString& name : nxltModels())
        nxlt = nxlt || model.contains(name, Qt::CaseSensitive);
    record->setDriverType(nxlt ? DriverType::NXLTCamera : DriverType::BehaviorCamera);

    quint64 serial = 0;
    if (!item.getSerialNumber(serial))
        return record;
    const QByteArray text = cameraText(serial);
    const QByteArray version = driverVersion(item);
    record->setName(model);
    record->setSerialNumber(QString::fromUtf8(text));
    record->setUid(QString::fromUtf8(text));
    record->setChannelCount(1);
    record->setCompatibility(DeviceCompatibility::Full);
    record->setCommType(CommType::Camera);
    record->setMotherboardFirmware(version);
    record->setChannelFirmware(version);
    return record;
}

void TISCameraGrabber::refreshAvailableDevices()
{
    QSet<QByteArray> seen;
    for (const DShowLib::VideoCaptureDeviceItem& item : getAvailableVideoCaptureDevices_()) {
        quint64 serial = 0;
        if (!item.getSerialNumber(serial))
            continue;
        const QByteArray key = discoveryKey(serial);
        seen.insert(key);
        if (m_knownCameras.key(key))
            continue;
        const QSharedPointer<MovraDeviceInfo> record = createDeviceInfo(item);
        m_knownCameras.insert(record, key);
        emit sendDeviceInserted(record);
    }

    if (seen.size() < m_knownCameras.size()) {
        const QList<QByteArray> keys = m_knownCameras.values();
        for (const QByteArray& key : keys) {
            if (seen.contains(key))
                continue;
            const QSharedPointer<MovraDeviceInfo> record = m_knownCameras.key(key);
            if (!record)
                continue;
            m_knownCameras.remove(record);
            emit sendDeviceRemoved(record);
        }
    }

    stop();
}
