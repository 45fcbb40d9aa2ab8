#include "tests/device/ethernet/NetworkSandbox.h"

#include <QProcess>

#include <cerrno>
#include <cstring>

#include <sched.h>

namespace NetworkSandbox {

namespace {

bool g_ready = false;
QString g_whyNot = QStringLiteral("the network sandbox was not entered");

bool run(const QString& program, const QStringList& arguments, QString* error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(5000)) {
        if (error)
            *error = QStringLiteral("%1 did not start").arg(program);
        return false;
    }
    process.waitForFinished(10000);
    const bool ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!ok && error) {
        *error =
            QStringLiteral("%1 %2: %3")
                .arg(program, arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(process.readAll()).trimmed());
    }
    return ok;
}

} // namespace

void enter()
{
    if (::unshare(CLONE_NEWNET) != 0) {
        g_whyNot = QStringLiteral("no network namespace of its own (unshare: %1); it needs CAP_SYS_ADMIN")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    g_ready = true;
}

bool isReady()
{
    // Checked once the application runs: the links are made with "ip".
    static bool checked = false;
    if (g_ready && !checked) {
        checked = true;
        QString error;
        if (!ip({ QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up") },
                &error)) {
            g_ready = false;
            g_whyNot = QStringLiteral("the \"ip\" command (iproute2) does not work in the sandbox: %1").arg(error);
        }
    }
    return g_ready;
}

QString whyNot()
{
    return g_whyNot;
}

bool ip(const QStringList& arguments, QString* error)
{
    return run(QStringLiteral("ip"), arguments, error);
}

bool ipIn(qint64 pid, const QStringList& arguments, QString* error)
{
    QStringList all = { QStringLiteral("-t"), QString::number(pid), QStringLiteral("-n"), QStringLiteral("ip") };
    all += arguments;
    return run(QStringLiteral("nsenter"), all, error);
}

} // namespace NetworkSandbox
