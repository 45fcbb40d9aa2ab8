#include "firmware/programmer/ExternalProgrammerCommunicator.h"

#include "firmware/core/ProgressMessages.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

QString ExternalProgrammerCommunicator::programPath(const QString& relativePath)
{
    return QDir::currentPath() + relativePath;
}

ExternalProgrammerCommunicator::ExternalProgrammerCommunicator(QObject* parent)
    : AbstractFirmwareCommunicator(parent)
{
}

ExternalProgrammerCommunicator::~ExternalProgrammerCommunicator()
{
    endStage();
}

bool ExternalProgrammerCommunicator::sendBootloaderCommand(char, QSharedPointer<MovraDeviceInfo>)
{
    return true;
}

void ExternalProgrammerCommunicator::prepareStage(const QString& line, int timeoutMs)
{
    emit sendMessageToProgressDialog(line);
    endStage();
    m_programTimer = new QTimer(this);
    m_programTimer->setSingleShot(true);
    m_programTimer->setTimerType(Qt::PreciseTimer);
    m_programTimer->setInterval(m_timeoutOverrideMs > 0 ? m_timeoutOverrideMs : timeoutMs);
    m_process = QSharedPointer<QProcess>::create();
    // Read, so that a talkative program never stalls on a full pipe.
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process.data(), &QProcess::readyReadStandardOutput, this, &ExternalProgrammerCommunicator::logOutput);
}

void ExternalProgrammerCommunicator::startStageProgram(const QString& program, const QStringList& arguments)
{
    qInfo().noquote() << "Starting" << program << arguments.join(QLatin1Char(' '));
    m_programTimer->start();
    m_process->start(program, arguments, QIODevice::ReadWrite);
}

void ExternalProgrammerCommunicator::logOutput()
{
    if (!m_process)
        return;
    const QByteArray output = m_process->readAllStandardOutput();
    // A flood is cut short in the log; it is read all the same.
    constexpr int LoggedBytes = 200;
    qInfo().noquote() << QFileInfo(m_process->program()).fileName() << ":"
                      << QString::fromLocal8Bit(output.left(LoggedBytes)).trimmed();
}

void ExternalProgrammerCommunicator::endStage()
{
    if (m_programTimer) {
        m_programTimer->stop();
        m_programTimer->deleteLater();
        m_programTimer = nullptr;
    }
    if (!m_process)
        return;
    disconnect(m_process.data(), nullptr, this, nullptr);
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        // Reaped now: the process is gone when its end is reported.
        m_process->waitForFinished(1000);
    }
}

void ExternalProgrammerCommunicator::finishStage(QProcess::ExitStatus exitStatus)
{
    m_updating = 0;
    if (m_process)
        logOutput();
    endStage();
    emit sendMessageToProgressDialog(ProgressMessages::ProgrammingDeviceDone);
    emit sendDeviceResponseToUpdater(nsFirmware::ProgramFlash,
                                     exitStatus == QProcess::NormalExit ? nsFirmware::Success : nsFirmware::Error, 100);
}

void ExternalProgrammerCommunicator::failStage(const QString& why)
{
    m_updating = 0;
    qInfo().noquote() << "Programmer stage failed:" << why;
    endStage();
    emit sendDeviceResponseToUpdater(nsFirmware::ProgramFlash, nsFirmware::Error, 100);
}

void ExternalProgrammerCommunicator::handleStageError(QProcess::ProcessError error)
{
    if (error == QProcess::Crashed)
        return;
    failStage(m_process ? m_process->errorString() : QString::number(int(error)));
}

void ExternalProgrammerCommunicator::handleStageTimeout()
{
    failStage(QStringLiteral("no end within the time-out"));
}
