#include "tests/e2e/kernel-usb/KernelGadget.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>

KernelGadget::KernelGadget(const QString& kind, const QString& name, const QString& udc, const QStringList& options)
    : m_kind(kind)
    , m_name(name)
    , m_udc(udc)
    , m_options(options)
    , m_statePath(QDir::temp().filePath(name + QStringLiteral(".state")))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

KernelGadget::~KernelGadget()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(2000);
}

QString KernelGadget::program()
{
    return qEnvironmentVariable("MOVRA_GADGET");
}

bool KernelGadget::start()
{
    if (program().isEmpty()) {
        m_error = QStringLiteral("MOVRA_GADGET does not name the gadget program");
        return false;
    }
    m_process.start(program(), QStringList { m_kind, m_name, m_udc, m_statePath } + m_options);
    if (!m_process.waitForStarted(5000)) {
        m_error = m_process.errorString();
        return false;
    }
    QByteArray said;
    while (!said.contains("ready\n")) {
        if (!m_process.waitForReadyRead(20000)) {
            m_error = QStringLiteral("the gadget program never said it was ready: ") + m_process.errorString();
            return false;
        }
        said += m_process.readAllStandardOutput();
    }
    return true;
}

bool KernelGadget::pull()
{
    QFile udc(QStringLiteral("/sys/kernel/config/usb_gadget/%1/UDC").arg(m_name));
    return udc.open(QIODevice::WriteOnly) && udc.write("\n") == 1 && udc.flush();
}

QMap<QString, qint64> KernelGadget::state()
{
    QFile::remove(m_statePath);
    QMap<QString, qint64> values;
    if (m_process.state() != QProcess::Running || ::kill(pid_t(m_process.processId()), SIGUSR1) != 0)
        return values;
    if (!QTest::qWaitFor([this] { return QFile::exists(m_statePath); }, 10000))
        return values;
    QFile file(m_statePath);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0)
            values.insert(QString::fromLatin1(line.left(equals)), line.mid(equals + 1).toLongLong());
    }
    return values;
}

QByteArray KernelGadget::flash() const
{
    QFile file(m_statePath + QStringLiteral(".flash"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
