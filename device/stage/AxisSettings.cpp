#include "device/stage/AxisSettings.h"

#include "device/stage/MotionLibException.h"

#include <QSet>

#include <cmath>

namespace zaber {
namespace motion {
namespace ascii {

namespace {

const QSet<QByteArray> LengthSettings = { "pos", "limit.min", "limit.max" };

} // namespace

AxisSettings::AxisSettings(QWeakPointer<AsciiSerialLink> link, int deviceAddress, int axisNumber,
                           UnitConverter converter)
    : m_link(link)
    , m_deviceAddress(deviceAddress)
    , m_axisNumber(axisNumber)
    , m_converter(converter)
{
}

bool AxisSettings::isLengthSetting(const QByteArray& setting) const
{
    return LengthSettings.contains(setting);
}

double AxisSettings::get(const std::string& setting, Units unit) const
{
    const QByteArray name = QByteArray::fromStdString(setting);
    if (unit != Units::Native && !isLengthSetting(name))
        throw MotionLibException(QStringLiteral("setting %1 has no length unit").arg(QString::fromLatin1(name)));
    const QByteArray command = "get " + name;
    const Response reply = AsciiSerialLink::lock(m_link)->request(m_deviceAddress, m_axisNumber, command);
    reply.check(command);
    bool ok = false;
    const double value = reply.data().toDouble(&ok);
    if (!ok) {
        throw MotionLibException(
            QStringLiteral("unexpected reply to \"%1\": %2").arg(QString::fromLatin1(command), reply.data()));
    }
    return isLengthSetting(name) ? m_converter.fromNative(value, unit) : value;
}

void AxisSettings::set(const std::string& setting, double value, Units unit) const
{
    const QByteArray name = QByteArray::fromStdString(setting);
    QByteArray text;
    if (isLengthSetting(name)) {
        text = QByteArray::number(m_converter.toNative(value, unit));
    } else if (unit != Units::Native) {
        throw MotionLibException(QStringLiteral("setting %1 has no length unit").arg(QString::fromLatin1(name)));
    } else if (!std::isfinite(value)) {
        throw MotionLibException(QStringLiteral("value %1 is out of range").arg(value));
    } else {
        text = QByteArray::number(value, 'g', 15);
    }
    const QByteArray command = "set " + name + ' ' + text;
    AsciiSerialLink::lock(m_link)->request(m_deviceAddress, m_axisNumber, command).check(command);
}

} // namespace ascii
} // namespace motion
} // namespace zaber
