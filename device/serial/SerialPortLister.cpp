#include "device/serial/SerialPortLister.h"

#include <QMutexLocker>
#include <QSerialPortInfo>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

// The names the kernel gives USB serial adapters: usb-serial drivers
// (ttyUSB) and the CDC modem class (ttyACM).
bool isUsbSerialName(const char* name)
{
    return std::strncmp(name, "ttyUSB", 6) == 0 || std::strncmp(name, "ttyACM", 6) == 0;
}

#ifdef Q_OS_LINUX
// Where the kernel shows terminals: every one in the class folder, the USB
// serial ones also under their driver.
const char TtyClassFolder[] = "/sys/class/tty";
const char UsbSerialPortFolder[] = "/sys/bus/usb-serial/devices";
const char AcmDriverFolder[] = "/sys/bus/usb/drivers/cdc_acm";

// Calls visit with each entry name of the folder; false when it cannot be
// read.
template <typename Visit>
bool forEachEntry(const QByteArray& path, Visit visit)
{
    DIR* folder = ::opendir(path.constData());
    if (!folder)
        return false;
    while (const dirent* entry = ::readdir(folder))
        visit(entry->d_name);
    ::closedir(folder);
    return true;
}
#endif

} // namespace

#ifdef Q_OS_LINUX
// Whether every terminal has its port, with both ids.
bool SerialPortLister::describesAll(const QList<SerialPortDescription>& ports, const QList<Terminal>& terminals)
{
    return std::all_of(terminals.cbegin(), terminals.cend(), [&ports](const Terminal& terminal) {
        return std::any_of(ports.cbegin(), ports.cend(), [&terminal](const SerialPortDescription& port) {
            return port.portName.toLatin1() == terminal.name && port.hasVendorId && port.hasProductId;
        });
    });
}
#endif

SerialPortLister::~SerialPortLister() = default;

QList<SerialPortDescription> SerialPortLister::availablePorts() const
{
#ifdef Q_OS_LINUX
    QMutexLocker locker(&m_lock);
    bool readable = false;
    const QList<Terminal> terminals = usbSerialTerminals(&readable);
    if (!readable)
        return describedPorts(true);
    // udev describes a new terminal a moment after the kernel made it: until
    // QSerialPortInfo shows it with its ids, it is asked again at every look.
    if (m_hasLooked && terminals == m_terminals && describesAll(m_ports, m_terminals))
        return m_ports;
    m_ports = terminals.isEmpty() ? QList<SerialPortDescription>() : describedPorts(true);
    m_terminals = terminals;
    m_hasLooked = true;
    return m_ports;
#else
    return describedPorts(false);
#endif
}

QList<SerialPortLister::Terminal> SerialPortLister::usbSerialTerminals(bool* readable)
{
    QList<Terminal> terminals;
    *readable = false;
#ifdef Q_OS_LINUX
    const auto addTerminal = [&terminals](const char* name) {
        // The class entry links to the terminal's own device folder; a port
        // whose terminal is not made yet is not there.
        struct stat device
        { };
        if (::stat((QByteArray(TtyClassFolder) + '/' + name).constData(), &device) == 0)
            terminals.append({ QByteArray(name), quint64(device.st_ino) });
    };
    // Each folder exists only while its driver is loaded.
    const bool usbSerialBus = forEachEntry(UsbSerialPortFolder, [&](const char* name) {
        if (std::strncmp(name, "ttyUSB", 6) == 0)
            addTerminal(name);
    });
    const bool acmDriver = forEachEntry(AcmDriverFolder, [&](const char* name) {
        // The interfaces it holds ("1-3:1.0"); the rest are the driver's files.
        if (!std::strchr(name, ':'))
            return;
        forEachEntry(QByteArray(AcmDriverFolder) + '/' + name + "/tty", [&](const char* terminal) {
            if (std::strncmp(terminal, "ttyACM", 6) == 0)
                addTerminal(terminal);
        });
    });
    std::sort(terminals.begin(), terminals.end(), [](const Terminal& a, const Terminal& b) { return a.name < b.name; });
    struct stat folder
    { };
    *readable = usbSerialBus || acmDriver || ::stat(TtyClassFolder, &folder) == 0;
#endif
    return terminals;
}

QList<SerialPortDescription> SerialPortLister::describedPorts(bool usbSerialOnly)
{
    QList<SerialPortDescription> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        if (usbSerialOnly && !isUsbSerialName(info.portName().toLocal8Bit().constData()))
            continue;
        SerialPortDescription port;
        port.portName = info.portName();
        port.hasVendorId = info.hasVendorIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.hasProductId = info.hasProductIdentifier();
        port.productId = info.productIdentifier();
        port.serialNumber = info.serialNumber();
        ports.append(port);
    }
    return ports;
}
