#include "tests/device/camera/sim/StreamLockedFakeCamera.h"

#include <arv.h>

#include <QFile>
#include <QStringList>

namespace {

// The registers that the camera keeps while it streams. Each is renamed, and
// a node of its old name writes the value through only while acquisition is
// stopped; the features over it stay as they are.
const QStringList HeldRegisters = { "WidthRegister", "HeightRegister", "PixelFormatRegister",
                                    "AcquisitionFramePeriodRegister", "TriggerModeRegister" };

QByteArray heldRegister(const QString& name)
{
    return QStringLiteral("<IntConverter Name=\"%1\">\n"
                          "  <pVariable Name=\"RUNNING\">AcquisitionRunning</pVariable>\n"
                          "  <pVariable Name=\"HELD\">%1Stored</pVariable>\n"
                          "  <FormulaTo>(RUNNING = 1) ? HELD : FROM</FormulaTo>\n"
                          "  <FormulaFrom>TO</FormulaFrom>\n"
                          "  <pValue>%1Stored</pValue>\n"
                          "</IntConverter>\n")
        .arg(name)
        .toLatin1();
}

// The acquisition command register, which the camera keeps at 1 while it
// streams; and the shortest frame period its readout allows, in µs.
const QByteArray StreamNodes = "<IntReg Name=\"AcquisitionRunning\">\n"
                               "  <Address>0x124</Address>\n"
                               "  <Length>4</Length>\n"
                               "  <AccessMode>RO</AccessMode>\n"
                               "  <pPort>Device</pPort>\n"
                               "  <Sign>Unsigned</Sign>\n"
                               "  <Endianess>BigEndian</Endianess>\n"
                               "</IntReg>\n"
                               "<IntSwissKnife Name=\"ReadoutPeriod\">\n"
                               "  <pVariable Name=\"W\">Width</pVariable>\n"
                               "  <pVariable Name=\"H\">Height</pVariable>\n"
                               "  <Formula>(W * H / 10 > 1000) ? W * H / 10 : 1000</Formula>\n"
                               "</IntSwissKnife>\n";

// Aravis's fixed shortest frame period, which the readout's takes the place of.
const QByteArray FixedPeriodMinimum = "<Min>1000</Min>";

bool replaceOnce(QByteArray& text, const QByteArray& from, const QByteArray& to)
{
    if (text.count(from) != 1)
        return false;
    text.replace(from, to);
    return true;
}

} // namespace

StreamLockedFakeCamera::~StreamLockedFakeCamera()
{
    if (!m_path.isEmpty())
        arv_set_fake_camera_genicam_filename(nullptr);
}

QString StreamLockedFakeCamera::install()
{
    if (!m_dir.isValid())
        return QStringLiteral("no temporary folder for the camera description");
    ArvFakeCamera* camera = arv_fake_camera_new_full("1", nullptr);
    size_t size = 0;
    const char* xml = camera ? arv_fake_camera_get_genicam_xml(camera, &size) : nullptr;
    QByteArray description = xml ? QByteArray(xml, qsizetype(size)) : QByteArray();
    if (camera)
        g_object_unref(camera);

    bool known = !description.isEmpty();
    for (const QString& name : HeldRegisters) {
        const QByteArray reg = "<IntReg Name=\"" + name.toLatin1() + "\"";
        known = known && replaceOnce(description, reg, "<IntReg Name=\"" + name.toLatin1() + "Stored\"");
    }
    known = known && replaceOnce(description, FixedPeriodMinimum, "<pMin>ReadoutPeriod</pMin>");
    QByteArray nodes = StreamNodes;
    for (const QString& name : HeldRegisters)
        nodes += heldRegister(name);
    known = known && replaceOnce(description, "</RegisterDescription>", nodes + "</RegisterDescription>");
    if (!known)
        return QStringLiteral("Aravis's simulated camera is not described as this test knows it");

    const QString path = m_dir.filePath(QStringLiteral("stream-locked-fake-camera.xml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(description) != description.size())
        return QStringLiteral("the camera description cannot be written");
    file.close();
    m_path = QFile::encodeName(path);
    arv_set_fake_camera_genicam_filename(m_path.constData());
    return {};
}
