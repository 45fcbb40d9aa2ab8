#include "tests/firmware/programmer/sim/SimInertialModule.h"

#include <QMutexLocker>

namespace sim {

namespace {
const QByteArray ResetBytes("\x42\x50\x6E", 3);
const QByteArray VersionBytes("\x43\x25\x98", 3);
constexpr int ResetMs = 300;
} // namespace

InertialModule::InertialModule(QSharedPointer<TestPortList> ports, const Profile& profile)
    : PtyDevice(ports, adapterOf(profile))
    , m_profile(profile)
    , m_inBootloader(profile.inBootloader)
{
}

InertialModule::~InertialModule()
{
    stop();
}

SerialPortDescription InertialModule::adapterOf(const Profile& profile)
{
    SerialPortDescription adapter;
    adapter.hasVendorId = adapter.hasProductId = true;
    adapter.vendorId = 0x1915;
    adapter.productId = profile.inBootloader ? BootloaderProductId : ApplicationProductId;
    adapter.serialNumber = profile.serialNumber;
    return adapter;
}

QByteArray InertialModule::flash() const
{
    QMutexLocker locker(&m_lock);
    return m_flash;
}

int InertialModule::resets() const
{
    QMutexLocker locker(&m_lock);
    return m_resets;
}

int InertialModule::versionRequests() const
{
    QMutexLocker locker(&m_lock);
    return m_versionRequests;
}

bool InertialModule::inBootloader() const
{
    QMutexLocker locker(&m_lock);
    return m_inBootloader;
}

void InertialModule::onBytes(const QByteArray& bytes)
{
    QMutexLocker locker(&m_lock);
    if (m_inBootloader) {
        m_flash.append(bytes);
        return;
    }
    // Three-byte commands; an unknown byte is dropped from the front.
    m_command.append(bytes);
    while (m_command.size() >= 3) {
        const QByteArray command = m_command.left(3);
        if (command == VersionBytes) {
            m_command.remove(0, 3);
            ++m_versionRequests;
            const QByteArray reply = QStringLiteral("{\"Command\":%1,\"Maj_Firm\":%2,\"Min_Firm\":%3,"
                                                    "\"Maj_Boot\":%4,\"Min_Boot\":%5}\r\n")
                                         .arg(0x0143)
                                         .arg(m_profile.firmwareMajor)
                                         .arg(m_profile.firmwareMinor)
                                         .arg(m_profile.bootMajor)
                                         .arg(m_profile.bootMinor)
                                         .toLatin1();
            if (m_profile.splitsReply) {
                send(reply.left(reply.size() / 2));
                send(reply.mid(reply.size() / 2), 100);
            } else {
                send(reply);
            }
        } else if (command == ResetBytes) {
            m_command.clear();
            ++m_resets;
            m_inBootloader = true;
            reenumerate(BootloaderProductId, m_profile.comesBack ? ResetMs : -1);
            return;
        } else {
            m_command.remove(0, 1);
        }
    }
}

} // namespace sim
