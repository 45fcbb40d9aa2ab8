#include "device/camera/aravis/AravisBackend.h"

#include "device/camera/aravis/AravisCameraDevice.h"
#include "device/camera/aravis/AravisFeature.h"

#include <arv.h>

#include <QMutexLocker>
#include <QRegularExpression>

AravisBackend::AravisBackend()
{
    // Aravis's own choice (its real interfaces, not the simulated camera)
    // unless the environment names the interfaces to use.
    if (!qEnvironmentVariableIsSet(InterfacesVariable))
        return;
    const QStringList wanted = qEnvironmentVariable(InterfacesVariable).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (unsigned i = 0; i < arv_get_n_interfaces(); ++i) {
        const char* id = arv_get_interface_id(i);
        if (wanted.contains(QString::fromUtf8(id).trimmed()))
            arv_enable_interface(id);
        else
            arv_disable_interface(id);
    }
}

std::array<int, 4> AravisBackend::versionNumbers(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("\\d+"));
    std::array<int, 4> parts {};
    auto it = number.globalMatch(text);
    for (std::size_t i = 0; i < parts.size() && it.hasNext(); ++i)
        parts[i] = it.next().captured().toInt();
    return parts;
}

QList<DShowLib::CameraEntry> AravisBackend::cameras()
{
    QMutexLocker locker(&m_lock);
    arv_update_device_list();
    QList<DShowLib::CameraEntry> entries;
    const unsigned count = arv_get_n_devices();
    for (unsigned i = 0; i < count; ++i) {
        DShowLib::CameraEntry entry;
        entry.id = QString::fromUtf8(arv_get_device_id(i));
        entry.model = QString::fromUtf8(arv_get_device_model(i));
        entry.serial = QString::fromUtf8(arv_get_device_serial_nbr(i));
        entries.append(entry);
    }
    for (DShowLib::CameraEntry& entry : entries)
        entry.driverVersion = driverVersion(entry.id);
    return entries;
}

std::array<int, 4> AravisBackend::driverVersion(const QString& id)
{
    // The version is in the camera's features, so the camera is opened once,
    // when first seen. One that cannot be opened then keeps zeros.
    auto known = m_driverVersions.constFind(id);
    if (known != m_driverVersions.constEnd())
        return *known;
    std::array<int, 4> version {};
    GError* error = nullptr;
    ArvCamera* camera = arv_camera_new(id.toUtf8().constData(), &error);
    if (AravisFeature::succeeded(error) && camera) {
        const char* text = arv_device_get_string_feature_value(arv_camera_get_device(camera), "DeviceVersion", &error);
        if (AravisFeature::succeeded(error) && text)
            version = versionNumbers(QString::fromUtf8(text));
    }
    if (camera)
        g_object_unref(camera);
    m_driverVersions.insert(id, version);
    return version;
}

QSharedPointer<DShowLib::CameraDevice> AravisBackend::open(const QString& id)
{
    QMutexLocker locker(&m_lock);
    GError* error = nullptr;
    ArvCamera* camera = arv_camera_new(id.toUtf8().constData(), &error);
    if (!AravisFeature::succeeded(error) || !camera) {
        if (camera)
            g_object_unref(camera);
        return {};
    }
    return QSharedPointer<AravisCameraDevice>::create(camera);
}

QSharedPointer<DShowLib::CameraBackend> DShowLib::createProductionBackend()
{
    return QSharedPointer<AravisBackend>::create();
}
