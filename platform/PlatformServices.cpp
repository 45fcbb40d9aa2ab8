#include "platform/PlatformServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sys/sysinfo.h>

namespace nsPlatform {

namespace {

QString baseNameOf(QString path)
{
    // A Windows program run through an emulator may carry "\" separators.
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

} // namespace

QStringList runningProcessNames(bool* ok)
{
    QStringList names;
    QDir proc(QStringLiteral("/proc"));
    if (!proc.exists()) {
        if (ok)
            *ok = false;
        return names;
    }
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isPid = false;
        entry.toUInt(&isPid);
        if (!isPid)
            continue;
        // /proc/PID/comm is cut at 15 characters, so take argv[0] and the
        // executable link, which keep the whole name.
        QFile cmdline(proc.filePath(entry + QStringLiteral("/cmdline")));
        if (cmdline.open(QIODevice::ReadOnly)) {
            const QByteArray raw = cmdline.readAll();
            const QByteArray argv0 = raw.left(raw.indexOf('\0'));
            if (!argv0.isEmpty())
                names << baseNameOf(QString::fromLocal8Bit(argv0));
        }
        const QString target = QFileInfo(proc.filePath(entry + QStringLiteral("/exe"))).symLinkTarget();
        if (!target.isEmpty()) {
            const QString name = baseNameOf(target);
            if (names.isEmpty() || names.constLast() != name)
                names << name;
        }
    }
    if (ok)
        *ok = true;
    return names;
}

bool attachParentConsole()
{
    // Standard output and error already reach the terminal that started us.
    return true;
}

ExecutableVersion executableVersion(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readExecutableVersion(&file);
}

quint64 physicalMemoryBytes()
{
    struct sysinfo info
    { };
    if (sysinfo(&info) != 0)
        return 0;
    return quint64(info.totalram) * quint64(info.mem_unit);
}

void sleepMilliseconds(unsigned long milliseconds)
{
    QThread::msleep(milliseconds);
}

} // namespace nsPlatform
