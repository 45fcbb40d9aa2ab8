#pragma once

#include "tests/support/UpdaterRig.h"
#include "tests/support/UsbMotherboard.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace mbroad {

using Response = UpdaterRig::Response;

// First poll, version burst and some room.
constexpr int FoundAndReadMs = 1500 + 3000 + 2500;
// Channels (two blocking seconds), reset, re-find after 3000 ms and the
// motherboard's programming.
constexpr int UpdateMs = 40000;

inline const Response MotherboardDone { 4, 2, 100 };

// A word-addressed image: every fourth byte is the phantom 0x00.
QByteArray imageBytes(int size, quint32 seed);
QString writeHex(const QString& path, const QByteArray& image);
// The flash a HEX file leaves, from objcopy rather than from our own code.
QByteArray reference(const QString& hexPath);
// Erased word-addressed flash.
QByteArray blank(int size);

// "ls3", "ls2" (light-source motherboards of firmware 3.x and 2.x),
// "driverM" (2.x with "DriverM"), "kavor", "manager".
sim::MotherboardProfile profileOf(const QString& kind);

// A motherboard or pulse generator on a simulated bus with the whole program
// over it, as the bootloader-family roads have it.
struct Road
{
    explicit Road(const sim::MotherboardProfile& profile);
    ~Road();

    bool waitForVersions();
    // An error, or the success that ends the whole update.
    bool ended(const Response& success) const;
    QList<Response> errors() const;
    int successes() const;
    // The widget's part of a two-step update: the motherboard step is
    // started when the channels ask for it.
    void startMotherboardStepWith(const QString& file, int type, const QString& uid);

    QSharedPointer<SimUsbBus> bus;
    std::unique_ptr<UsbMotherboard> board;
    std::unique_ptr<UpdaterRig> rig;
    int motherboardAsked = 0;
    // -1 until the motherboard step was started.
    FirmwareUpdater::StartResult motherboardStart = FirmwareUpdater::StartResult(-1);
};

} // namespace mbroad
