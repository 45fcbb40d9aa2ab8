#include "tests/support/RoadSupport.h"

#include "tests/support/PseudoRandomBytes.h"

#include <QFile>
#include <QtTest>

namespace road {

namespace {
constexpr quint32 Pic32ProgramFlash = 0x1D000000;
}

sim::InstrumentProfile profileOf(const QString& family)
{
    if (family == QLatin1String("HLX58"))
        return sim::hlx58Profile();
    if (family == QLatin1String("NXLTV2"))
        return sim::nxltv2Profile();
    return sim::pic32BootloaderProfile();
}

QList<IntelHex::Segment> imageOf(const QString& family)
{
    if (family == QLatin1String("HLX58")) {
        // Word-addressed: every fourth file byte is the phantom 0x00.
        QList<IntelHex::Segment> image = { { 0x0000, pseudoRandomBytes(1024, 11) },
                                           { 0x1000, pseudoRandomBytes(512, 12) } };
        for (IntelHex::Segment& segment : image) {
            for (int i = 3; i < segment.data.size(); i += 4)
                segment.data[i] = 0x00;
        }
        return image;
    }
    return { { Pic32ProgramFlash, pseudoRandomBytes(1024, 21) },
             { Pic32ProgramFlash + 0x800, pseudoRandomBytes(512, 22) },
             { 0x1FC02FF0, QByteArray::fromHex("ffffff7fffffff7bffffffffffffffff") } };
}

QByteArray referenceFlash(const QString& family, const QList<IntelHex::Segment>& image)
{
    const sim::InstrumentProfile profile = profileOf(family);
    const bool words = family == QLatin1String("HLX58");
    QByteArray flash(int(profile.flashSize), char(0xFF));
    if (words) {
        for (int i = 3; i < flash.size(); i += 4)
            flash[i] = 0x00;
    }
    for (const IntelHex::Segment& segment : image) {
        qint64 offset = segment.address;
        if (!words)
            offset -= Pic32ProgramFlash;
        if (offset < 0 || offset + segment.data.size() > flash.size())
            continue;
        flash.replace(int(offset), segment.data.size(), segment.data);
    }
    return flash;
}

QString writeFile(const QString& path, const QList<IntelHex::Segment>& image, const QByteArray& lineEnd)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(IntelHex::file(image, 16, lineEnd));
    return path;
}

Road::Road(const QString& familyName)
    : family(familyName)
    , bus(QSharedPointer<SimUsbBus>::create())
    , instrument(std::make_unique<UsbInstrument>(bus, profileOf(familyName), 2, 5))
    , rig(std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared()))
{
}

Road::~Road()
{
    // The program goes first, with its threads; then the instrument; the
    // bus outlives both.
    rig.reset();
    instrument.reset();
}

bool Road::waitForVersions()
{
    return rig->waitUntil([this] { return !rig->reports.isEmpty(); }, FoundAndReadMs);
}

bool Road::waitUntilFinished(int timeoutMs)
{
    return rig->waitUntil([this] { return finished(); }, timeoutMs);
}

void Road::shortenRetries(int intervalMs)
{
    rig->updater->retryIntervalMs = intervalMs;
}

void Road::atHalfProgrammed(std::function<void()> action)
{
    auto done = QSharedPointer<bool>::create(false);
    QObject::connect(rig->updater.data(), &FirmwareUpdater::sendDeviceResponseToView, rig->updater.data(),
                     [done, action](char msg, nsFirmware::MessageStatus, int progress) {
                         if (!*done && msg == 3 && progress >= 50) {
                             *done = true;
                             action();
                         }
                     });
}

bool Road::finished() const
{
    for (const UpdaterRig::Response& r : rig->responses) {
        if (r.status != 0)
            return true;
    }
    return false;
}

bool Road::succeeded() const
{
    return !rig->responses.isEmpty() && rig->responses.last().status == 2;
}

} // namespace road
