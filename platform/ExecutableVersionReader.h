#pragma once

#include <QString>

class QIODevice;

namespace nsPlatform {

// What the version resource of a Windows executable tells.
struct ExecutableVersion
{
    // The file carries a version resource that could be read whole.
    bool hasVersionInformation = false;
    // The four-part file version ("6.2.0.14") of its fixed file information;
    // empty when the resource has no valid fixed block.
    QString fileVersion;
};

// Reads the version resource of a PE file (32 or 64 bits) from the device,
// which must be open for reading and seekable. Every offset and size taken
// from the file is checked against the file's size before it is followed,
// so a truncated or malformed file gives "no version information".
ExecutableVersion readExecutableVersion(QIODevice* device);

} // namespace nsPlatform
