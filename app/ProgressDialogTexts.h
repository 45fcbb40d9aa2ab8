#pragma once

#include <QString>

// Placeholder until the shared progress texts exist.
namespace nsProgressDialogTexts {
inline const QString DetailsShown = QStringLiteral("Details <<");
inline const QString DetailsHidden = QStringLiteral("Details >>");
}
