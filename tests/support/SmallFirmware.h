#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The small firmware files the update fault table and the communicator fuzz
// target share, so that replies recorded by the one fit the files of the
// other: five 16-byte data records (three programming packets of two
// records, with the extended address record and the end) in each kind.
namespace SmallFirmware {

enum Kind {
    Hex,   // addresses from 0
    Hex32, // the 0x1D000000 program flash window
    Mcs,
};

QByteArray contents(Kind kind);
QString fileName(Kind kind);
// Writes the three files into the folder; their paths by kind, or an empty
// list when one could not be written.
QStringList writeAll(const QString& folder);

} // namespace SmallFirmware
