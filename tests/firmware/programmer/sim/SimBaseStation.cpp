#include "tests/firmware/programmer/sim/SimBaseStation.h"

#include <QMutexLocker>

namespace sim {

namespace {
SerialPortDescription adapterOf(const QString& serialNumber)
{
    SerialPortDescription adapter;
    adapter.hasVendorId = adapter.hasProductId = true;
    adapter.vendorId = 0x1915;
    adapter.productId = 0xB007;
    adapter.serialNumber = serialNumber;
    return adapter;
}
} // namespace

BaseStation::BaseStation(QSharedPointer<TestPortList> ports, const Profile& profile)
    : PtyDevice(ports, adapterOf(profile.serialNumber))
    , m_profile(profile)
{
}

BaseStation::~BaseStation()
{
    stop();
}

QByteArray BaseStation::flash() const
{
    QMutexLocker locker(&m_lock);
    return m_flash;
}

void BaseStation::onBytes(const QByteArray& bytes)
{
    QMutexLocker locker(&m_lock);
    m_flash.append(bytes);
}

void BaseStation::onTick()
{
    // Ticks come about every 10 ms.
    if (++m_ticks % (MessagePeriodMs / 10) == 0)
        send(m_profile.message);
}

} // namespace sim
