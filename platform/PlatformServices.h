#pragma once

#include "platform/ExecutableVersionReader.h"

#include <QString>
#include <QStringList>

// What the program takes from the operating system, behind one narrow
// interface so that the rest of the code never calls a platform API itself.
namespace nsPlatform {

// Executable names (base names, whole) of every running process.
// Sets *ok to false when the process list cannot be read.
QStringList runningProcessNames(bool* ok);

// Sends standard output and error to the console of the parent process
// when there is one. Returns true when a console is in use.
bool attachParentConsole();

// The version resource of an executable: whether the file (missing,
// unreadable, not a PE file or without a readable version resource) has
// one, and its four-part file version ("1.2.3.4"), empty when the resource
// has no fixed file information.
ExecutableVersion executableVersion(const QString& path);

// Installed physical memory in bytes, 0 when it cannot be read.
quint64 physicalMemoryBytes();

// Blocks the calling thread for the given time.
void sleepMilliseconds(unsigned long milliseconds);

} // namespace nsPlatform
