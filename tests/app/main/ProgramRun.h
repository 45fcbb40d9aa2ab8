#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A user account in a temporary folder: home, XDG folders and the paths
// where the program keeps its data and settings.
class TemporaryAccount
{
public:
    TemporaryAccount();
    bool isValid() const { return m_root.isValid(); }
    QString root() const { return m_root.path(); }
    QString dataFolder() const;
    QString settingsFile() const;
    QString lockFile() const;
    QString pathFile() const;
    QProcessEnvironment environment() const;

private:
    QTemporaryDir m_root;
};

// One run of the real program, with the driver library preloaded so that
// message boxes are reported and answered and the window can be closed.
class ProgramRun
{
public:
    ProgramRun(const TemporaryAccount& account, const QString& workingDirectory,
               const QProcessEnvironment& extra = QProcessEnvironment());
    ~ProgramRun();

    bool started();
    // Waits for a report line whose first field is `kind`; returns its fields.
    // The program under the sanitizers starts slowly on a loaded machine.
    QStringList waitFor(const QString& kind, int timeoutMs = 60000);
    QList<QStringList> reports() const { return m_reports; }
    void askToClose();
    bool waitForExit(int timeoutMs = 60000);
    int exitCode() const { return m_process.exitCode(); }
    bool crashed() const { return m_process.exitStatus() != QProcess::NormalExit; }
    QString errorOutput() const { return m_errors; }

private:
    void readReports();

    QProcess m_process;
    QString m_quitFile;
    QByteArray m_pending;
    QString m_errors;
    QList<QStringList> m_reports;
    int m_consumed = 0;
};

// Starts the test process again inside a fresh PID namespace when the system
// allows it, so that the program under test sees only the processes of this
// test. Processes of a namespace stay visible from the parent namespace, so
// every test that runs the program does this. Returns only when no
// namespace is used (or inside it).
void reexecInOwnPidNamespace(int argc, char** argv);
