#include "tests/support/McsFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace {

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

McsFixture::Outcome McsFixture::make(const QString& folder, int size, quint32 seed)
{
    const QString srecCat = QStandardPaths::findExecutable(QStringLiteral("srec_cat"));
    const QString objcopy = QStandardPaths::findExecutable(QStringLiteral("objcopy"));
    if (srecCat.isEmpty() || objcopy.isEmpty())
        return Outcome::ToolsMissing;

    QByteArray image(size, 0);
    QRandomGenerator random(seed);
    for (char& c : image)
        c = char(random.bounded(256));
    const QDir dir(folder);
    const QString bin = dir.filePath(QStringLiteral("image.bin"));
    QFile file(bin);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
        error = QStringLiteral("cannot write ") + bin;
        return Outcome::Failed;
    }
    file.close();

    path = dir.filePath(QStringLiteral("image.mcs"));
    if (!run(srecCat, { bin, "-binary", "-o", path, "-intel", "-output_block_size=16", "-address-length=4" })) {
        error = QStringLiteral("srec_cat failed");
        return Outcome::Failed;
    }
    const QString back = dir.filePath(QStringLiteral("back.bin"));
    if (!run(objcopy, { "-I", "ihex", "-O", "binary", path, back })) {
        error = QStringLiteral("objcopy failed");
        return Outcome::Failed;
    }
    QFile readBack(back);
    if (!readBack.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read ") + back;
        return Outcome::Failed;
    }
    reference = readBack.readAll();
    if (reference != image) {
        error = QStringLiteral("objcopy reads another image than was written");
        return Outcome::Failed;
    }
    return Outcome::Made;
}
