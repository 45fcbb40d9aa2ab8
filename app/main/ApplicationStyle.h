#pragma once

#include <QString>

class QApplication;

namespace nsUpdater {

inline const QString DarkStyleSheetResource = QStringLiteral(":/qdarkstyle/QDarkStyle.qss");

// Sets the style sheet read from the given file, or the "Fusion" style when
// the file does not exist.
void applyApplicationStyle(QApplication& application, const QString& styleSheetPath = DarkStyleSheetResource);

} // namespace nsUpdater
