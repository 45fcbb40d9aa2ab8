#pragma once

#include <QString>

// Names and version the program presents itself with.
namespace nsUpdater {

inline const QString ApplicationRawName = QStringLiteral("Movra_Maintenance_Tool");
inline const QString ApplicationVersion = QStringLiteral("1.2.5.0");
inline const QString OrganizationName = QStringLiteral("Movrane Inc.");

// "Movra_Maintenance_Tool" as shown to the user: "Movra Maintenance Tool".
inline QString applicationDisplayName()
{
    return QString(ApplicationRawName).replace(QLatin1Char('_'), QLatin1Char(' '));
}

} // namespace nsUpdater
