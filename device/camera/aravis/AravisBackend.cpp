#include "device/camera/aravis/AravisBackend.h"

#include "device/camera/aravis/AravisCameraDevice.h"
#include "device/camera/aravis/AravisFeature.h"

#include <arv.h>

#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace {

const char* const FakeInterface = "Fake";
const char* const GigEInterface = "GigEVision";

// The interfaces that can be updated on their own, by id.
struct InterfaceRow
{
    const char* id;
    ArvInterface* (*instance)();
};
const InterfaceRow InterfaceRows[] = {
    { FakeInterface, arv_fake_interface_get_instance },
    { "USB3Vision", arv_uv_interface_get_instance },
    { GigEInterface, arv_gv_interface_get_instance },
};

} // namespace

AravisBackend::AravisBackend()
{
    // Aravis's own choice (its real interfaces, not the simulated camera)
    // unless the environment names the interfaces to use.
    const bool named = qEnvironmentVariableIsSet(InterfacesVariable);
    QStringList wanted = qEnvironmentVariable(InterfacesVariable).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& name : wanted)
        name = name.trimmed();
    for (unsigned i = 0; i < arv_get_n_interfaces(); ++i) {
        const char* id = arv_get_interface_id(i);
        const bool used = named ? wanted.contains(QString::fromUtf8(id)) : qstrcmp(id, FakeInterface) != 0;
        if (named && used)
            arv_enable_interface(id);
        else if (named)
            arv_disable_interface(id);
        if (!used)
            continue;
        const auto row = std::find_if(std::begin(InterfaceRows), std::end(InterfaceRows),
                                      [id](const InterfaceRow& r) { return qstrcmp(r.id, id) == 0; });
        if (row == std::end(InterfaceRows))
            m_otherInterfaces = true;
        else if (qstrcmp(id, GigEInterface) == 0)
            m_gigE = row->instance();
        else
            m_interfaces.push_back(row->instance());
    }
    if (m_gigE && !m_otherInterfaces)
        m_probe = std::make_unique<GigEDiscoveryProbe>();
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
    QMutexLocker looking(&m_lookLock);
    // A wait for answers holds no lock that opening a camera needs.
    const GigEDiscoveryProbe::Answers answers = m_probe ? m_probe->look() : GigEDiscoveryProbe::Answers();
    QMutexLocker locker(&m_lock);
    updateDeviceList(answers);
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

void AravisBackend::updateDeviceList(const GigEDiscoveryProbe::Answers& answers)
{
    if (m_otherInterfaces) {
        arv_update_device_list();
        return;
    }
    for (ArvInterface* iface : m_interfaces)
        arv_interface_update_device_list(iface);
    if (!m_gigE)
        return;
    // Where Aravis's list does not agree with the answers (a camera it keeps
    // or misses), it discovers again at each look until they agree.
    const bool agrees = arv_interface_get_n_devices(m_gigE) == unsigned(answers.cameras.size());
    if (m_sinceDiscovery.isValid() && !m_sinceDiscovery.hasExpired(RediscoverAfterMs) && agrees
        && answers.replies == m_answersAtDiscovery.replies)
        return;
    arv_interface_update_device_list(m_gigE);
    m_answersAtDiscovery = answers;
    m_sinceDiscovery.start();
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
