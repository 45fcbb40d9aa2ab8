#pragma once

#include <QString>
#include <QStringList>

// Stand-ins for the programmer programs, which are not part of this
// system: small shell scripts under the programs' names in the folder
// "scripts" of a working folder. Each logs its arguments, one per line, to
// <name>.args and its process id to <name>.pid, then behaves as told.
namespace ProgrammerScripts {

enum class Behaviour {
    // Copies its first argument (the file) to its last (the port), exit 0.
    CopiesFileToPort,
    ExitsWithOne, // the copy, then exit code 1
    Crashes,      // killed by a signal
    Sleeps,       // far past any time-out
    Floods,       // megabytes of output, then the copy
    Succeeds,     // exit 0, nothing else
};

// False when the script could not be written.
bool install(const QString& workingFolder, const QString& programRelativePath, Behaviour behaviour);
// The arguments of each run, in order; empty when it never ran.
QList<QStringList> runs(const QString& workingFolder, const QString& programRelativePath);
qint64 lastPid(const QString& workingFolder, const QString& programRelativePath);
bool isProcessAlive(qint64 pid);

} // namespace ProgrammerScripts
