#include "tests/support/ProgrammerScripts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <signal.h>

namespace ProgrammerScripts {

namespace {

QString base(const QString& folder, const QString& program)
{
    return folder + program;
}

QByteArray bodyOf(Behaviour behaviour)
{
    const QByteArray copy = "last=\"\"; for a in \"$@\"; do last=\"$a\"; done\n"
                            "cat \"$1\" > \"$last\"\n";
    switch (behaviour) {
    case Behaviour::CopiesFileToPort: return copy + "exit 0\n";
    case Behaviour::ExitsWithOne: return copy + "exit 1\n";
    case Behaviour::Crashes: return "kill -SEGV $$\n";
    case Behaviour::Sleeps: return "exec sleep 120\n";
    case Behaviour::Floods: return "head -c 4000000 /dev/zero | tr '\\0' 'x'\n" + copy + "exit 0\n";
    case Behaviour::Succeeds: return "exit 0\n";
    }
    return {};
}

} // namespace

bool install(const QString& workingFolder, const QString& programRelativePath, Behaviour behaviour)
{
    const QString path = base(workingFolder, programRelativePath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile::remove(path + ".args");
    QFile::remove(path + ".pid");
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    script.write("#!/bin/sh\n");
    script.write("echo $$ > \"$0.pid\"\n");
    script.write("{ echo '--'; for a in \"$@\"; do echo \"$a\"; done; } >> \"$0.args\"\n");
    script.write(bodyOf(behaviour));
    script.close();
    return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QList<QStringList> runs(const QString& workingFolder, const QString& programRelativePath)
{
    QFile log(base(workingFolder, programRelativePath) + ".args");
    QList<QStringList> all;
    if (!log.open(QIODevice::ReadOnly))
        return all;
    const QStringList lines = QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line == QLatin1String("--"))
            all.append(QStringList());
        else if (!all.isEmpty() && !line.isEmpty())
            all.last().append(line);
    }
    return all;
}

qint64 lastPid(const QString& workingFolder, const QString& programRelativePath)
{
    QFile file(base(workingFolder, programRelativePath) + ".pid");
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().trimmed().toLongLong();
}

bool isProcessAlive(qint64 pid)
{
    // A process that is gone but not yet reaped still answers kill(0); its
    // /proc status then says Z.
    if (pid <= 0 || kill(pid_t(pid), 0) != 0)
        return false;
    QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = status.readAll();
    const int close = stat.lastIndexOf(')');
    return close < 0 || stat.mid(close + 2, 1) != "Z";
}

} // namespace ProgrammerScripts
