#pragma once

#include "tests/device/serial/sim/PtyDevice.h"

#include <QByteArray>
#include <QMutex>

namespace sim {

// The inertial sensor module behind its USB adapter. In its application it
// answers the version request with one JSON object and, told to reset,
// leaves the bus and comes back in its bootloader under the bootloader's
// product id, on another port. In its bootloader it writes what it
// receives into its flash.
class InertialModule : public PtyDevice
{
public:
    struct Profile
    {
        QString serialNumber = QStringLiteral("IMU0042");
        int firmwareMajor = 1;
        int firmwareMinor = 7;
        int bootMajor = 2;
        int bootMinor = 3;
        bool inBootloader = false;
        bool comesBack = true;
        // The reply leaves in two parts.
        bool splitsReply = false;
    };

    static constexpr quint16 ApplicationProductId = 0x520F;
    static constexpr quint16 BootloaderProductId = 0x521F;

    InertialModule(QSharedPointer<TestPortList> ports, const Profile& profile);
    ~InertialModule() override;

    QByteArray flash() const;
    int resets() const;
    int versionRequests() const;
    bool inBootloader() const;

protected:
    void onBytes(const QByteArray& bytes) override;

private:
    static SerialPortDescription adapterOf(const Profile& profile);

    Profile m_profile;
    mutable QMutex m_lock;
    QByteArray m_command;
    QByteArray m_flash;
    bool m_inBootloader;
    int m_resets = 0;
    int m_versionRequests = 0;
};

} // namespace sim
