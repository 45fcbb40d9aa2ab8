#pragma once

#include "firmware/core/AbstractFirmwareCommunicator.h"

#include <QProcess>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

// What the communicators of the devices that a programmer program outside
// this system reprograms share: running one stage of that program with its
// time-out, and judging its end. A normal end is success whatever the exit
// code: the programs are not this system's and report nothing else that it
// could rely on.
class ExternalProgrammerCommunicator : public AbstractFirmwareCommunicator
{
    Q_OBJECT

public:
    // The programs are looked for here, under the working directory.
    static QString programPath(const QString& relativePath);

    explicit ExternalProgrammerCommunicator(QObject* parent = nullptr);
    ~ExternalProgrammerCommunicator() override;

    bool sendBootloaderCommand(char code, QSharedPointer<MovraDeviceInfo> device) override;
    // Every stage then ends after timeoutMs (0: each stage's own time-out).
    void setStageTimeoutOverride(int timeoutMs) { m_timeoutOverrideMs = timeoutMs; }

protected:
    // Shows the line and makes the stage's timer and process; the caller
    // connects the timer's timeout and the process's finished and
    // errorOccurred to its slots, then starts the program.
    void prepareStage(const QString& line, int timeoutMs);
    void startStageProgram(const QString& program, const QStringList& arguments);
    // The end of a final stage: success unless the program crashed.
    void finishStage(QProcess::ExitStatus exitStatus);
    // The program did not start or failed while running (a crash is left to
    // its end, which follows).
    void handleStageError(QProcess::ProcessError error);
    void handleStageTimeout();
    void failStage(const QString& why);
    // Stops the timer and cuts the process off, so that a later end of it
    // reports nothing more.
    void endStage();

    QSharedPointer<QProcess> m_process;
    QString m_firmwareFilePath;
    QTimer* m_programTimer = nullptr;

private:
    void logOutput();

    int m_timeoutOverrideMs = 0;
};
