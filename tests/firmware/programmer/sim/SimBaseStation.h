#pragma once

#include "tests/device/serial/sim/PtyDevice.h"

#include <QByteArray>
#include <QMutex>

namespace sim {

// The wireless base station behind its USB adapter: it sends its version
// message every 400 ms on its own, and writes what it receives into its
// flash (its programmer program talks to it over the same port).
class BaseStation : public PtyDevice
{
public:
    struct Profile
    {
        QString serialNumber = QStringLiteral("ZB17");
        QByteArray message = QByteArray("C\x01\x04\x02\x00", 5);
    };
    static constexpr int MessagePeriodMs = 400;

    BaseStation(QSharedPointer<TestPortList> ports, const Profile& profile);
    ~BaseStation() override;

    QByteArray flash() const;

protected:
    void onBytes(const QByteArray& bytes) override;
    void onTick() override;

private:
    Profile m_profile;
    mutable QMutex m_lock;
    QByteArray m_flash;
    int m_ticks = 0;
};

} // namespace sim
