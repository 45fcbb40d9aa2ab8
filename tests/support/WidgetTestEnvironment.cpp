#include "tests/support/WidgetTestEnvironment.h"

#include "icons/QWidgetWithAccessToIconFont.h"

#include <QColor>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

bool made(const QString& folder)
{
    if (QDir().mkpath(folder))
        return true;
    qWarning() << "could not make" << folder;
    return false;
}

} // namespace

WidgetTestEnvironment::WidgetTestEnvironment() = default;

WidgetTestEnvironment::~WidgetTestEnvironment()
{
    if (m_iconFont)
        QWidgetWithAccessToIconFont::setIconFontInstance({});
}

bool WidgetTestEnvironment::setUp(IconColours colours)
{
    if (!m_folder.isValid()) {
        qWarning() << "no temporary folder:" << m_folder.errorString();
        return false;
    }
    if (!made(home()) || !made(workingFolder()))
        return false;
    qputenv("HOME", home().toLocal8Bit());
    for (const char* variable : { "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME" })
        qunsetenv(variable);
    const QString settings = home() + QStringLiteral("/.config");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings);
    if (!useInstallRoot(QStringLiteral("install")))
        return false;
    if (!QDir::setCurrent(workingFolder())) {
        qWarning() << "could not work in" << workingFolder();
        return false;
    }

    m_iconFont = QSharedPointer<IconFont>::create();
    m_iconFont->loadStyleFonts();
    if (colours == IconColours::Program) {
        m_iconFont->setDefaultIconOption(QStringLiteral("color"), QColor(78, 156, 207));
        m_iconFont->setDefaultIconOption(QStringLiteral("color-disabled"), QColor(81, 96, 112));
    }
    QWidgetWithAccessToIconFont::setIconFontInstance(m_iconFont);
    return true;
}

bool WidgetTestEnvironment::useInstallRoot(const QString& name)
{
    const QString root = filePath(name);
    if (!made(root))
        return false;
    m_installRoot = root;
    qputenv("MOVRA_INSTALL_ROOT", root.toLocal8Bit());
    return true;
}

bool WidgetTestEnvironment::provideScripts(const QString& from, const QStringList& names)
{
    const QString scripts = workingFolder() + QStringLiteral("/scripts");
    if (!made(scripts))
        return false;
    for (const QString& name : names) {
        if (!QFile::copy(from + QLatin1Char('/') + name, scripts + QLatin1Char('/') + name)) {
            qWarning() << "could not copy" << name << "from" << from;
            return false;
        }
    }
    return true;
}

bool WidgetTestEnvironment::makeDesktopFolder()
{
    return made(QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).value(0));
}
