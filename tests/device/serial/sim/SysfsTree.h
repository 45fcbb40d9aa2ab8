#pragma once

#include <QByteArray>
#include <QString>

// A small sysfs tree laid out as the kernel lays out USB serial adapters and
// virtual consoles, for a process that has it mounted over /sys.
//
//   sys/devices/pci0000:00/0000:00:14.0/usb1/<port>            USB device
//       <port>:1.0                                            its interface
//           ttyUSB<n>/tty/ttyUSB<n>      usb-serial port, then its terminal
//           tty/ttyACM<n>                the CDC ACM terminal
//   sys/devices/virtual/tty/tty<n>       a virtual console, without parent
//   sys/class/tty/<name>                 link to each terminal
//   sys/bus/usb-serial/devices/ttyUSB<n> link to each usb-serial port
//   sys/bus/usb/drivers/<driver>/<port>:1.0  link to each bound interface
class SysfsTree
{
public:
    struct Adapter
    {
        QString usbPort;  // "1-2"
        QString terminal; // "ttyUSB0" or "ttyACM0"
        quint16 vendorId = 0;
        quint16 productId = 0;
        QString serialNumber;
    };

    explicit SysfsTree(const QString& root);

    // The empty tree: the class folder and the driver folders, as when the
    // usb-serial and CDC ACM drivers are loaded.
    bool create();
    // A ttyUSB adapter goes through the usb-serial bus; a ttyACM one is held
    // by the CDC ACM driver. Without its id files the USB device is seen
    // before its ids can be read.
    bool plug(const Adapter& adapter, bool withIds = true);
    bool writeIds(const Adapter& adapter);
    bool unplug(const Adapter& adapter);
    // Another adapter under the terminal name of one that went.
    bool replace(const Adapter& gone, const Adapter& replacement);
    bool addVirtualConsole(int number);
    // As when neither driver is loaded.
    bool removeDriverFolders();

private:
    bool write(const QString& path, const QByteArray& text) const;
    bool link(const QString& path, const QString& target) const;
    static int minorOf(const QString& terminal);
    static QString deviceFolder(const Adapter& adapter);
    static QString terminalFolder(const Adapter& adapter);

    QString m_root;
};
