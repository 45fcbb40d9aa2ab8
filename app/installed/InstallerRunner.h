#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

// Runs a downloaded installer as a child process, without arguments, and
// deletes its file once it has ended or when it could not be started, so no
// installer is left behind in the downloads folder.
class InstallerRunner : public QObject
{
    Q_OBJECT

public:
    explicit InstallerRunner(QObject* parent = nullptr);

    // True while an installer started from that path still runs.
    bool isRunning(const QString& installerPath) const;

public slots:
    // On Linux the file is made executable first (a download never is).
    void startInstaller(const QString& installerPath);

signals:
    // The installer has ended (whatever its result) and its file is gone.
    void sendInstallerFinished(QString installerPath);
    // The installer could not be started; its file is gone. The text is for
    // the user.
    void sendInstallerStartFailed(QString installerPath, QString message);

private:
    void onInstallerErrorOccurred(QProcess* process, const QString& installerPath, QProcess::ProcessError error);
    void onInstallerFinished(QProcess* process, const QString& installerPath);
};
