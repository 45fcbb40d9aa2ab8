#include "tests/device/serial/sim/SysfsTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString HostController = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb1");
// The kernel's fixed majors of the two kinds of terminal.
constexpr int UsbSerialMajor = 188;
constexpr int AcmMajor = 166;

bool isUsbSerial(const QString& terminal)
{
    return terminal.startsWith(QLatin1String("ttyUSB"));
}

QString driverOf(const QString& terminal)
{
    return isUsbSerial(terminal) ? QStringLiteral("ftdi_sio") : QStringLiteral("cdc_acm");
}

QString hex4(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

SysfsTree::SysfsTree(const QString& root)
    : m_root(root)
{
}

bool SysfsTree::write(const QString& path, const QByteArray& text) const
{
    const QString full = m_root + QLatin1Char('/') + path;
    if (!QDir().mkpath(QFileInfo(full).path()))
        return false;
    QFile file(full);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// A relative link, as sysfs makes them, from path to target (both under sys/).
bool SysfsTree::link(const QString& path, const QString& target) const
{
    const QString full = m_root + QStringLiteral("/sys/") + path;
    const QString folder = QFileInfo(full).path();
    if (!QDir().mkpath(folder))
        return false;
    QFile::remove(full);
    return QFile::link(QDir(folder).relativeFilePath(m_root + QStringLiteral("/sys/") + target), full);
}

int SysfsTree::minorOf(const QString& terminal)
{
    return terminal.mid(6).toInt();
}

QString SysfsTree::deviceFolder(const Adapter& adapter)
{
    return HostController + QLatin1Char('/') + adapter.usbPort;
}

QString SysfsTree::terminalFolder(const Adapter& adapter)
{
    const QString interface = deviceFolder(adapter) + QLatin1Char('/') + adapter.usbPort + QStringLiteral(":1.0");
    if (isUsbSerial(adapter.terminal))
        return interface + QLatin1Char('/') + adapter.terminal + QStringLiteral("/tty/") + adapter.terminal;
    return interface + QStringLiteral("/tty/") + adapter.terminal;
}

bool SysfsTree::create()
{
    const QDir root(m_root);
    for (const char* folder :
         { "sys/class/tty", "sys/devices/virtual/tty", "sys/bus/usb/drivers/usb", "sys/bus/usb/drivers/ftdi_sio",
           "sys/bus/usb-serial/devices", "sys/bus/usb-serial/drivers/ftdi_sio" }) {
        if (!root.mkpath(QString::fromLatin1(folder)))
            return false;
    }
    // A driver folder holds its control files besides the bound interfaces.
    for (const char* file : { "bind", "unbind", "new_id", "remove_id", "uevent" }) {
        if (!write(QStringLiteral("sys/bus/usb/drivers/cdc_acm/") + QLatin1String(file), QByteArray()))
            return false;
    }
    return true;
}

bool SysfsTree::plug(const Adapter& adapter, bool withIds)
{
    const QString device = deviceFolder(adapter);
    const QString interface = device + QLatin1Char('/') + adapter.usbPort + QStringLiteral(":1.0");
    const QString driver = driverOf(adapter.terminal);
    const QString ids = QStringLiteral("%1/%2/100").arg(adapter.vendorId, 0, 16).arg(adapter.productId, 0, 16);
    const int usbMinor = adapter.usbPort.mid(2).toInt();
    bool ok = write(QStringLiteral("sys/") + device + QStringLiteral("/uevent"),
                    QStringLiteral("MAJOR=189\nMINOR=%1\nDEVNAME=bus/usb/001/%2\nDEVTYPE=usb_device\n"
                                   "DRIVER=usb\nPRODUCT=%3\nTYPE=0/0/0\nBUSNUM=001\nDEVNUM=%2\n")
                        .arg(usbMinor)
                        .arg(usbMinor + 1, 3, 10, QLatin1Char('0'))
                        .arg(ids)
                        .toLatin1());
    ok = ok && link(device + QStringLiteral("/subsystem"), QStringLiteral("bus/usb"));
    ok = ok && link(device + QStringLiteral("/driver"), QStringLiteral("bus/usb/drivers/usb"));

    ok = ok
         && write(
             QStringLiteral("sys/") + interface + QStringLiteral("/uevent"),
             QStringLiteral("DEVTYPE=usb_interface\nDRIVER=%1\nPRODUCT=%2\nTYPE=0/0/0\n").arg(driver, ids).toLatin1());
    ok = ok && link(interface + QStringLiteral("/subsystem"), QStringLiteral("bus/usb"));
    ok = ok && link(interface + QStringLiteral("/driver"), QStringLiteral("bus/usb/drivers/") + driver);
    ok = ok
         && link(QStringLiteral("bus/usb/drivers/") + driver + QLatin1Char('/') + adapter.usbPort
                     + QStringLiteral(":1.0"),
                 interface);

    const QString terminal = terminalFolder(adapter);
    const int major = isUsbSerial(adapter.terminal) ? UsbSerialMajor : AcmMajor;
    if (isUsbSerial(adapter.terminal)) {
        // The usb-serial port device between the interface and its terminal.
        const QString port = interface + QLatin1Char('/') + adapter.terminal;
        ok = ok && write(QStringLiteral("sys/") + port + QStringLiteral("/uevent"), "DRIVER=ftdi_sio\n");
        ok = ok && link(port + QStringLiteral("/subsystem"), QStringLiteral("bus/usb-serial"));
        ok = ok && link(port + QStringLiteral("/driver"), QStringLiteral("bus/usb-serial/drivers/ftdi_sio"));
        ok = ok && link(QStringLiteral("bus/usb-serial/devices/") + adapter.terminal, port);
        ok = ok && link(terminal + QStringLiteral("/device"), port);
    } else {
        ok = ok && link(terminal + QStringLiteral("/device"), interface);
    }
    ok = ok
         && write(QStringLiteral("sys/") + terminal + QStringLiteral("/uevent"),
                  QStringLiteral("MAJOR=%1\nMINOR=%2\nDEVNAME=%3\n")
                      .arg(major)
                      .arg(minorOf(adapter.terminal))
                      .arg(adapter.terminal)
                      .toLatin1());
    ok = ok
         && write(QStringLiteral("sys/") + terminal + QStringLiteral("/dev"),
                  QStringLiteral("%1:%2\n").arg(major).arg(minorOf(adapter.terminal)).toLatin1());
    ok = ok && link(terminal + QStringLiteral("/subsystem"), QStringLiteral("class/tty"));
    ok = ok && link(QStringLiteral("class/tty/") + adapter.terminal, terminal);
    return ok && (!withIds || writeIds(adapter));
}

bool SysfsTree::writeIds(const Adapter& adapter)
{
    const QString device = QStringLiteral("sys/") + deviceFolder(adapter) + QLatin1Char('/');
    return write(device + QStringLiteral("idVendor"), hex4(adapter.vendorId).toLatin1() + '\n')
           && write(device + QStringLiteral("idProduct"), hex4(adapter.productId).toLatin1() + '\n')
           && write(device + QStringLiteral("serial"), adapter.serialNumber.toLatin1() + '\n');
}

bool SysfsTree::unplug(const Adapter& adapter)
{
    const QString sys = m_root + QStringLiteral("/sys/");
    QFile::remove(sys + QStringLiteral("class/tty/") + adapter.terminal);
    QFile::remove(sys + QStringLiteral("bus/usb-serial/devices/") + adapter.terminal);
    QFile::remove(sys + QStringLiteral("bus/usb/drivers/") + driverOf(adapter.terminal) + QLatin1Char('/')
                  + adapter.usbPort + QStringLiteral(":1.0"));
    return QDir(sys + deviceFolder(adapter)).removeRecursively();
}

bool SysfsTree::replace(const Adapter& gone, const Adapter& replacement)
{
    // The replacement's folders are made while the old ones still exist, as
    // the kernel never hands a new device the old one's inode at once.
    QFile::remove(m_root + QStringLiteral("/sys/bus/usb/drivers/") + driverOf(gone.terminal) + QLatin1Char('/')
                  + gone.usbPort + QStringLiteral(":1.0"));
    return plug(replacement) && QDir(m_root + QStringLiteral("/sys/") + deviceFolder(gone)).removeRecursively();
}

bool SysfsTree::addVirtualConsole(int number)
{
    const QString name = QStringLiteral("tty%1").arg(number);
    const QString folder = QStringLiteral("devices/virtual/tty/") + name;
    return write(QStringLiteral("sys/") + folder + QStringLiteral("/uevent"),
                 QStringLiteral("MAJOR=4\nMINOR=%1\nDEVNAME=%2\n").arg(number).arg(name).toLatin1())
           && write(QStringLiteral("sys/") + folder + QStringLiteral("/dev"),
                    QStringLiteral("4:%1\n").arg(number).toLatin1())
           && link(folder + QStringLiteral("/subsystem"), QStringLiteral("class/tty"))
           && link(QStringLiteral("class/tty/") + name, folder);
}

bool SysfsTree::removeDriverFolders()
{
    return QDir(m_root + QStringLiteral("/sys/bus/usb-serial")).removeRecursively()
           && QDir(m_root + QStringLiteral("/sys/bus/usb/drivers/cdc_acm")).removeRecursively();
}
