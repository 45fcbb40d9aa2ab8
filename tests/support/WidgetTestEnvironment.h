#pragma once

#include "icons/IconFont.h"

#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// What a test of the program's windows runs in, in a temporary folder of its
// own: the user's home ("home", set as HOME, with the XDG folders left to
// follow it and the user's QSettings in "home/.config"), the installation
// root ("install", set as MOVRA_INSTALL_ROOT), the working folder the
// program starts in ("run", made current) and the icon fonts the widgets
// draw their icons with. The test's own files may go in the temporary
// folder beside them (filePath()).
//
//     WidgetTestEnvironment m_environment;
//     void initTestCase() { QVERIFY(m_environment.setUp()); ... }
class WidgetTestEnvironment
{
public:
    // The icons' colours: the icon font's own, or those the program sets
    // at start-up.
    enum class IconColours {
        FontDefaults,
        Program,
    };

    WidgetTestEnvironment();
    // Takes the icon fonts back from the widgets.
    ~WidgetTestEnvironment();

    // Makes the folders, sets the environment and the working folder and
    // gives the widgets the icon fonts. False, with a warning saying what
    // failed, when something could not be done.
    bool setUp(IconColours colours = IconColours::FontDefaults);

    QString path() const { return m_folder.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }
    QString home() const { return filePath(QStringLiteral("home")); }
    QString installRoot() const { return m_installRoot; }
    QString workingFolder() const { return filePath(QStringLiteral("run")); }
    QSharedPointer<IconFont> iconFont() const { return m_iconFont; }

    // Another installation root, "<name>" in the temporary folder, made
    // and set as MOVRA_INSTALL_ROOT.
    bool useInstallRoot(const QString& name);
    // The program's "scripts" folder in the working folder, with copies of
    // the named files of the given folder.
    bool provideScripts(const QString& from = QString(), const QStringList& names = {});
    // The user's desktop folder, where the file dialogs start.
    bool makeDesktopFolder();

private:
    QTemporaryDir m_folder;
    QString m_installRoot;
    QSharedPointer<IconFont> m_iconFont;
};
