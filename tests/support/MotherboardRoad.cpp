#include "tests/support/MotherboardRoad.h"

#include "tests/support/IntelHex.h"
#include "tests/support/PseudoRandomBytes.h"
#include "tests/support/UsbInstrument.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

namespace mbroad {

QByteArray imageBytes(int size, quint32 seed)
{
    QByteArray bytes = pseudoRandomBytes(size, seed);
    for (int i = 3; i < bytes.size(); i += 4)
        bytes[i] = 0x00;
    return bytes;
}

QString writeHex(const QString& path, const QByteArray& image)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(IntelHex::file({ { 0u, image } }));
    return path;
}

QByteArray reference(const QString& hexPath)
{
    const QString bin = hexPath + QStringLiteral(".bin");
    QProcess objcopy;
    objcopy.start(QStringLiteral("objcopy"), { "-I", "ihex", "-O", "binary", "--gap-fill", "0xff", hexPath, bin });
    if (!objcopy.waitForFinished(10000) || objcopy.exitCode() != 0)
        return {};
    QFile file(bin);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray blank(int size)
{
    QByteArray bytes(size, char(0xFF));
    for (int i = 3; i < size; i += 4)
        bytes[i] = 0x00;
    return bytes;
}

sim::MotherboardProfile profileOf(const QString& kind)
{
    if (kind == "ls2")
        return sim::lightSourceMotherboard(2);
    if (kind == "driverM")
        return sim::lightSourceMotherboard(2, true);
    if (kind == "kavor")
        return sim::kavorDriver();
    if (kind == "manager")
        return sim::memoryManager();
    return sim::lightSourceMotherboard(3);
}

Road::Road(const sim::MotherboardProfile& profile)
    : bus(QSharedPointer<SimUsbBus>::create())
    , board(std::make_unique<UsbMotherboard>(bus, profile, 3, 5))
    , rig(std::make_unique<UpdaterRig>(simulatedUsbTransports(bus).shared()))
{
}

Road::~Road()
{
    rig.reset();
    board.reset();
}

bool Road::waitForVersions()
{
    return rig->waitUntil([this] { return !rig->reports.isEmpty(); }, FoundAndReadMs);
}

bool Road::ended(const Response& success) const
{
    for (const Response& r : rig->responses) {
        if (r.status == nsFirmware::Error || r == success)
            return true;
    }
    return false;
}

QList<Response> Road::errors() const
{
    QList<Response> found;
    for (const Response& r : rig->responses) {
        if (r.status == nsFirmware::Error)
            found.append(r);
    }
    return found;
}

int Road::successes() const
{
    int n = 0;
    for (const Response& r : rig->responses)
        n += r.status == nsFirmware::Success;
    return n;
}

void Road::startMotherboardStepWith(const QString& file, int type, const QString& uid)
{
    QObject::connect(rig->updater.data(), &FirmwareUpdater::sendStartMotherboardUpdate, rig->updater.data(),
                     [this, file, type, uid] {
                         ++motherboardAsked;
                         QTimer::singleShot(0, rig->updater.data(), [this, file, type, uid] {
                             motherboardStart = rig->updater->startUpdate(file, type, uid, true, false);
                         });
                     });
}

} // namespace mbroad
