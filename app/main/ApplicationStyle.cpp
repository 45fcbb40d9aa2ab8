#include "app/main/ApplicationStyle.h"

#include <QApplication>
#include <QFile>
#include <QStyleFactory>
#include <QTextStream>

namespace nsUpdater {

void applyApplicationStyle(QApplication& application, const QString& styleSheetPath)
{
    QFile styleSheet(styleSheetPath);
    if (styleSheet.exists()) {
        styleSheet.open(QFile::ReadOnly | QFile::Text);
        QTextStream stream(&styleSheet);
        application.setStyleSheet(stream.readAll());
    } else {
        application.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }
}

} // namespace nsUpdater
