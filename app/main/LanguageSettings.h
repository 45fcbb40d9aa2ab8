#pragma once

#include <QString>

// The stored language and the translation it selects.
namespace nsUpdater {

inline const QString LanguageKey = QStringLiteral("Language");
inline const QString LanguageFrench = QStringLiteral("FRENCH");
inline const QString LanguageEnglish = QStringLiteral("ENGLISH");
inline const QString FrenchTranslationResource = QStringLiteral(":/Languages/MovraMaintenanceTool_fr_CA.qm");

} // namespace nsUpdater
