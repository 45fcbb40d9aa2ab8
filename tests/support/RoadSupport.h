#pragma once

#include "tests/support/IntelHex.h"
#include "tests/support/UpdaterRig.h"
#include "tests/support/UsbInstrument.h"
#include "tests/support/sim/SimInstrument.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

namespace road {

inline const QString FoundText = QStringLiteral("A Movra device has been found. Retrieving his firmware versions");

// First poll, version burst and some room.
constexpr int FoundAndReadMs = 1500 + 3000 + 2500;
// Reset, re-find after 3000 ms, and the whole programming of a small image.
constexpr int UpdateMs = 30000;

sim::InstrumentProfile profileOf(const QString& family);

// A firmware image of two blocks with a hole between them, laid out as the
// family's files lay them out (and, for the PIC32 cores, a configuration
// record that only the bootloader's own flash would take).
QList<IntelHex::Segment> imageOf(const QString& family);

// The family's flash as the image leaves it, built here from the segments
// and the family's blank pattern, independently of the simulated flash.
QByteArray referenceFlash(const QString& family, const QList<IntelHex::Segment>& image);

QString writeFile(const QString& path, const QList<IntelHex::Segment>& image, const QByteArray& lineEnd = "\r\n");

// An instrument on a simulated bus with the whole program over it: the USB
// grabber, communicator, handler and endpoints in the hardware server's
// threads, the firmware updater and its communicators.
struct Road
{
    explicit Road(const QString& family);
    ~Road();

    // The installed versions of the instrument, once read.
    bool waitForVersions();
    // Waits, on the program's reports, until the update ended.
    bool waitUntilFinished(int timeoutMs);
    // The re-send interval of the update communicators made from now on;
    // their re-send count stays the program's.
    void shortenRetries(int intervalMs);
    // Runs action once, in the test's thread, when programming reports half
    // of its progress.
    void atHalfProgrammed(std::function<void()> action);
    // The update ended: success, or an error report.
    bool finished() const;
    bool succeeded() const;

    QString family;
    QSharedPointer<SimUsbBus> bus;
    std::unique_ptr<UsbInstrument> instrument;
    std::unique_ptr<UpdaterRig> rig;
};

} // namespace road
