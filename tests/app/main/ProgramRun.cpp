#include "tests/app/main/ProgramRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtTest>

#include <cstdlib>
#include <unistd.h>
#include <vector>

TemporaryAccount::TemporaryAccount()
{
    for (const char* sub : { "home", "config", "data", "cache", "runtime" })
        QDir(m_root.path()).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(m_root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString TemporaryAccount::dataFolder() const
{
    return m_root.filePath(QStringLiteral("data/Movrane Inc./Movra Maintenance Tool"));
}

QString TemporaryAccount::settingsFile() const
{
    return m_root.filePath(QStringLiteral("config/Movrane Inc./Movra Maintenance Tool.conf"));
}

QString TemporaryAccount::lockFile() const
{
    return dataFolder() + QStringLiteral("/5D2E8A71-3C9F-4B06-9E14-A7C3D5F1B28E.lock");
}

QString TemporaryAccount::pathFile() const
{
    return dataFolder() + QStringLiteral("/VEK_Path");
}

QProcessEnvironment TemporaryAccount::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), m_root.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_root.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_root.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_root.filePath(QStringLiteral("runtime")));
    env.remove(QStringLiteral("XDG_DATA_DIRS"));
    env.remove(QStringLiteral("XDG_CONFIG_DIRS"));
    return env;
}

ProgramRun::ProgramRun(const TemporaryAccount& account, const QString& workingDirectory,
                       const QProcessEnvironment& extra)
{
    static int counter = 0;
    m_quitFile = account.root() + QStringLiteral("/quit-%1").arg(++counter);
    QProcessEnvironment env = account.environment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(MOVRA_DRIVER_LIBRARY));
    env.insert(QStringLiteral("MOVRA_DRIVER_QUIT_FILE"), m_quitFile);
    for (const QString& key : extra.keys())
        env.insert(key, extra.value(key));
    m_process.setProcessEnvironment(env);
    m_process.setWorkingDirectory(workingDirectory);
    m_process.start(QStringLiteral(MOVRA_PROGRAM_PATH), QStringList());
}

ProgramRun::~ProgramRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool ProgramRun::started()
{
    return m_process.waitForStarted(10000);
}

void ProgramRun::readReports()
{
    m_pending += m_process.readAllStandardOutput();
    m_errors += QString::fromLocal8Bit(m_process.readAllStandardError());
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        QStringList fields = QString::fromUtf8(m_pending.left(end)).split(QLatin1Char('\t'));
        for (QString& f : fields)
            f.replace(QLatin1String("\\r"), QLatin1String("\r"))
                .replace(QLatin1String("\\n"), QLatin1String("\n"))
                .replace(QLatin1String("\\t"), QLatin1String("\t"))
                .replace(QLatin1String("\\\\"), QLatin1String("\\"));
        m_reports << fields;
        m_pending.remove(0, end + 1);
    }
}

QStringList ProgramRun::waitFor(const QString& kind, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        readReports();
        while (m_consumed < m_reports.size()) {
            const QStringList fields = m_reports.at(m_consumed++);
            if (fields.value(0) == kind)
                return fields;
        }
        if (timer.elapsed() > timeoutMs)
            return {};
        if (m_process.state() == QProcess::NotRunning) {
            readReports();
            if (m_consumed == m_reports.size())
                return {};
            continue;
        }
        m_process.waitForReadyRead(100);
    }
}

void ProgramRun::askToClose()
{
    QFile quit(m_quitFile);
    quit.open(QIODevice::WriteOnly);
}

bool ProgramRun::waitForExit(int timeoutMs)
{
    const bool finished = m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
    readReports();
    return finished;
}

void reexecInOwnPidNamespace(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("MOVRA_IN_PID_NAMESPACE"))
        return;
    qputenv("MOVRA_IN_PID_NAMESPACE", "1");
    if (std::system("unshare -rpf --mount-proc true >/dev/null 2>&1") != 0)
        return;
    std::vector<char*> args;
    static char unshare[] = "unshare", flags[] = "-rpf", mountProc[] = "--mount-proc";
    args.push_back(unshare);
    args.push_back(flags);
    args.push_back(mountProc);
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp(unshare, args.data());
    // Exec failed: run here, outside a namespace.
}
