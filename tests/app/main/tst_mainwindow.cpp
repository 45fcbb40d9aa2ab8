#include "app/dialogs/AboutDialog.h"
#include "app/main/ApplicationStyle.h"
#include "app/main/MainWindow.h"
#include "icons/IconFont.h"
#include "icons/QWidgetWithAccessToIconFont.h"
#include "tests/app/main/BoxAnswerer.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <QtTest>

namespace {

const QString Question = QStringLiteral("Are you sure you what to change language to [<b>%1</b>] ?");
const QString Success = QStringLiteral("<b>Language changed successfully!</b>");
const QString RestartHint = QStringLiteral("Restart the application to apply changes.");
const QString Failure = QStringLiteral("<b>Could not change language!</b>");
const QString FailureDetail = QStringLiteral("An unexpected error happen while trying to changes language.");

bool frenchInstalled()
{
    return QCoreApplication::translate("MainWindow", "Exit") != QLatin1String("Exit");
}

QImage render(const QIcon& icon, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(32, 32), mode, QIcon::Off).toImage().convertToFormat(QImage::Format_ARGB32);
}

QStringList actionNames(const QWidget* menu)
{
    QStringList names;
    for (QAction* a : menu->actions())
        names << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->objectName() : a->objectName());
    return names;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void formAndTitle();
    void sizeLimits();
    void menuIcons();
    void languageTable_data();
    void languageTable();
    void frenchAtStartTranslatesMenus();
    void questionFollowsInstalledTranslation();
    void closeLock();
    void statusBarTimeout();
    void aboutActionOpensAboutBox();
    void helpActionEntersWhatsThisMode();
    void styleFallsBackToFusion();

private:
    WidgetTestEnvironment m_environment;
};

void TestMainWindow::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Movrane Inc."));
    QCoreApplication::setApplicationName(QStringLiteral("Movra Maintenance Tool"));
    // The settings go to the environment's home.
    QVERIFY(m_environment.setUp(WidgetTestEnvironment::IconColours::Program));
}

void TestMainWindow::init()
{
    QSettings().clear();
    QSettings().sync();
}

void TestMainWindow::formAndTitle()
{
    MainWindow w;
    QCOMPARE(w.objectName(), QStringLiteral("MainWindow"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Movra Maintenance Tool"));
    QCOMPARE(actionNames(w.menuBar()), (QStringList { "menuFile", "menuHelp" }));
    QCOMPARE(actionNames(w.findChild<QMenu*>("menuFile")), QStringList { "actionExit" });
    QCOMPARE(actionNames(w.findChild<QMenu*>("menuHelp")),
             (QStringList { "actionHelp_Content", "-", "actionAbout", "menuLanguage" }));
    QCOMPARE(actionNames(w.findChild<QMenu*>("menuLanguage")),
             (QStringList { "-", "-", "actionEnglish", "actionFrench" }));
    QCOMPARE(w.findChild<QAction*>("actionExit")->shortcut(), QKeySequence(QKeySequence::Close));
    QCOMPARE(w.findChild<QAction*>("actionHelp_Content")->shortcut(), QKeySequence(QKeySequence::WhatsThis));
    for (const char* name : { "actionExit", "actionHelp_Content", "actionAbout", "actionEnglish", "actionFrench" })
        QVERIFY(!w.findChild<QAction*>(name)->isCheckable());

    auto* container = w.findChild<QVBoxLayout*>("viewContainer");
    QVERIFY(container);
    QCOMPARE(container->count(), 1);
    QVERIFY(container->itemAt(0)->widget());
    QVERIFY(w.statusBar());
}

void TestMainWindow::sizeLimits()
{
    MainWindow w;
    QCOMPARE(w.size(), QSize(590, 800));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(900, 1400);
    QCOMPARE(w.size(), QSize(590, 900));
    w.resize(300, 400);
    QCOMPARE(w.width(), 590);
}

void TestMainWindow::menuIcons()
{
    MainWindow w;
    const struct
    {
        QIcon icon;
        int glyph;
    } cases[] = {
        { w.findChild<QAction*>("actionExit")->icon(), 0xF00D },
        { w.findChild<QAction*>("actionHelp_Content")->icon(), 0xF128 },
        { w.findChild<QAction*>("actionAbout")->icon(), 0xF129 },
        { w.findChild<QMenu*>("menuLanguage")->icon(), 0xF57D },
    };
    for (const auto& c : cases) {
        QVERIFY(!c.icon.isNull());
        const QImage expected = render(m_environment.iconFont()->makeIcon(0, c.glyph, QVariantMap()));
        QCOMPARE(render(c.icon), expected);
        QCOMPARE(render(c.icon, QIcon::Disabled),
                 render(m_environment.iconFont()->makeIcon(0, c.glyph, QVariantMap()), QIcon::Disabled));
    }
    // Each glyph is a different picture.
    QVERIFY(render(cases[0].icon) != render(cases[1].icon));
    QVERIFY(render(cases[2].icon) != render(cases[3].icon));

    for (const char* flag : { "english", "french" }) {
        const QString action =
            QStringLiteral("action%1%2").arg(QChar(QLatin1Char(flag[0])).toUpper(), QLatin1String(flag + 1));
        const QIcon expected(QStringLiteral(":/Languages/Images/%1.png").arg(QLatin1String(flag)));
        QVERIFY2(QFile::exists(QStringLiteral(":/Languages/Images/%1.png").arg(QLatin1String(flag))), flag);
        QCOMPARE(render(w.findChild<QAction*>(action)->icon()), render(expected));
    }
}

void TestMainWindow::languageTable_data()
{
    QTest::addColumn<QString>("stored"); // empty: no value
    QTest::addColumn<bool>("toFrench");
    QTest::addColumn<QString>("answer"); // "Yes", "No" or "<close>"
    QTest::addColumn<QString>("asked");  // the word in the question; empty: no box at all
    QTest::addColumn<QString>("result"); // text of the result box; empty: none
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<bool>("frenchAfter");

    // Choosing English while nothing is installed is a success, not a failure box.
    QTest::newRow("none, English, Yes") << "" << false << "Yes"
                                        << "ENGLISH" << Success << "ENGLISH" << false;
    QTest::newRow("none, English, No") << "" << false << "No"
                                       << "ENGLISH"
                                       << ""
                                       << "" << false;
    QTest::newRow("none, French, Yes") << "" << true << "Yes"
                                       << "FRENCH" << Success << "FRENCH" << true;
    QTest::newRow("none, French, close") << "" << true << "<close>"
                                         << "FRENCH"
                                         << ""
                                         << "" << false;
    QTest::newRow("ENGLISH, English") << "ENGLISH" << false << ""
                                      << ""
                                      << ""
                                      << "ENGLISH" << false;
    QTest::newRow("ENGLISH, French, Yes") << "ENGLISH" << true << "Yes"
                                          << "FRENCH" << Success << "FRENCH" << true;
    QTest::newRow("ENGLISH, French, No") << "ENGLISH" << true << "No"
                                         << "FRENCH"
                                         << ""
                                         << "ENGLISH" << false;
    QTest::newRow("FRENCH, French") << "FRENCH" << true << ""
                                    << ""
                                    << ""
                                    << "FRENCH" << true;
    QTest::newRow("FRENCH, English, Yes") << "FRENCH" << false << "Oui"
                                          << "ENGLISH" << Success << "ENGLISH" << false;
    QTest::newRow("FRENCH, English, close") << "FRENCH" << false << "<close>"
                                            << "ENGLISH"
                                            << ""
                                            << "FRENCH" << true;
    QTest::newRow("lower-case value") << "french" << true << "Yes"
                                      << "FRENCH" << Success << "FRENCH" << true;
}

void TestMainWindow::languageTable()
{
    QFETCH(QString, stored);
    QFETCH(bool, toFrench);
    QFETCH(QString, answer);
    QFETCH(QString, asked);
    QFETCH(QString, result);
    QFETCH(QString, storedAfter);
    QFETCH(bool, frenchAfter);

    if (!stored.isEmpty())
        QSettings().setValue(QStringLiteral("Language"), stored);

    MainWindow w;
    QCOMPARE(frenchInstalled(), stored == QLatin1String("FRENCH"));
    const QString menuFileBefore = w.findChild<QMenu*>("menuFile")->title();

    BoxAnswerer answerer(QStringList { answer, QStringLiteral("<close>") });
    w.findChild<QAction*>(toFrench ? "actionFrench" : "actionEnglish")->trigger();

    const QList<BoxAnswerer::Box> boxes = answerer.boxes();
    if (asked.isEmpty()) {
        QCOMPARE(boxes.size(), 0);
    } else {
        QVERIFY(boxes.size() >= 1);
        QCOMPARE(boxes.at(0).icon, int(QMessageBox::Question));
        if (stored != QLatin1String("FRENCH")) {
            QCOMPARE(boxes.at(0).title, QStringLiteral("Change Language"));
            QCOMPARE(boxes.at(0).text, Question.arg(asked));
            QCOMPARE(boxes.at(0).buttons, (QStringList { "Yes", "No" }));
        } else {
            QVERIFY(boxes.at(0).text.contains(QStringLiteral("[<b>%1</b>]").arg(asked)));
        }
        if (result.isEmpty()) {
            QCOMPARE(boxes.size(), 1);
        } else {
            QCOMPARE(boxes.size(), 2);
            QCOMPARE(boxes.at(1).icon, int(QMessageBox::Information));
            // Built after the change: in the language now installed.
            QCOMPARE(boxes.at(1).text, QCoreApplication::translate("MainWindow", result.toUtf8().constData()));
            QCOMPARE(boxes.at(1).informativeText,
                     QCoreApplication::translate("MainWindow", RestartHint.toUtf8().constData()));
            if (frenchAfter)
                QVERIFY(boxes.at(1).text != result);
            QCOMPARE(boxes.at(1).buttons.size(), 1);
        }
    }
    QCOMPARE(QSettings().value(QStringLiteral("Language")).toString(), storedAfter);
    QCOMPARE(frenchInstalled(), frenchAfter);
    // The window keeps its language until the next start.
    QCOMPARE(w.findChild<QMenu*>("menuFile")->title(), menuFileBefore);
}

void TestMainWindow::frenchAtStartTranslatesMenus()
{
    QSettings().setValue(QStringLiteral("Language"), QStringLiteral("FRENCH"));
    {
        MainWindow w;
        QVERIFY(frenchInstalled());
        QCOMPARE(w.findChild<QMenu*>("menuFile")->title(), QStringLiteral("Fichier"));
        QCOMPARE(w.findChild<QAction*>("actionFrench")->text(), QStringLiteral("Français (Canada)"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Movra Maintenance Tool"));
    }
    // The translator goes with its window.
    QVERIFY(!frenchInstalled());

    QSettings().setValue(QStringLiteral("Language"), QStringLiteral("ENGLISH"));
    MainWindow english;
    QCOMPARE(english.findChild<QMenu*>("menuFile")->title(), QStringLiteral("File"));
}

void TestMainWindow::questionFollowsInstalledTranslation()
{
    // Changed to French in this run: the next question is already French.
    MainWindow w;
    {
        BoxAnswerer answerer(QStringList { QStringLiteral("Yes"), QStringLiteral("<close>") });
        w.findChild<QAction*>("actionFrench")->trigger();
        QCOMPARE(answerer.boxes().size(), 2);
    }
    BoxAnswerer answerer(QStringList { QStringLiteral("Non") });
    w.findChild<QAction*>("actionEnglish")->trigger();
    QCOMPARE(answerer.boxes().size(), 1);
    const BoxAnswerer::Box question = answerer.boxes().at(0);
    QCOMPARE(question.title, QCoreApplication::translate("MainWindow", "Change Language"));
    QVERIFY(question.title != QLatin1String("Change Language"));
    QCOMPARE(question.buttons, (QStringList { "Oui", "Non" }));
    QVERIFY(question.text.contains(QStringLiteral("[<b>ENGLISH</b>]")));
    QCOMPARE(QSettings().value(QStringLiteral("Language")).toString(), QStringLiteral("FRENCH"));
}

void TestMainWindow::closeLock()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    w.onDisableCloseBehaviorReceived(true);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    w.findChild<QAction*>("actionExit")->trigger();
    QVERIFY(w.isVisible());
    QTest::keySequence(&w, QKeySequence::Close);
    QVERIFY(w.isVisible());

    w.onDisableCloseBehaviorReceived(false);
    w.findChild<QAction*>("actionExit")->trigger();
    QVERIFY(!w.isVisible());

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::keySequence(&w, QKeySequence::Close);
    QVERIFY(!w.isVisible());

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.onDisableCloseBehaviorReceived(true);
    w.onDisableCloseBehaviorReceived(false);
    QVERIFY(w.close());
}

void TestMainWindow::statusBarTimeout()
{
    MainWindow w;
    w.updateStatusBar(QStringLiteral("Movra device initialized"), 150);
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("Movra device initialized"));
    QTRY_VERIFY_WITH_TIMEOUT(w.statusBar()->currentMessage().isEmpty(), 2000);

    w.updateStatusBar(QStringLiteral("stays"));
    QTest::qWait(300);
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("stays"));
    w.updateStatusBar(QStringLiteral("next"), 0);
    QCOMPARE(w.statusBar()->currentMessage(), QStringLiteral("next"));
}

void TestMainWindow::aboutActionOpensAboutBox()
{
    MainWindow w;
    QString seen;
    bool modal = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
            seen = about->windowTitle();
            modal = about->isModal() && !about->parentWidget();
            about->close();
        }
    });
    poll.start(10);
    QTimer::singleShot(5000, [] {
        if (QWidget* stuck = QApplication::activeModalWidget())
            stuck->close();
    });
    w.findChild<QAction*>("actionAbout")->trigger();
    QCOMPARE(seen, QStringLiteral("About Movra Maintenance Tool"));
    QVERIFY(modal);
}

void TestMainWindow::helpActionEntersWhatsThisMode()
{
    MainWindow w;
    QVERIFY(!QWhatsThis::inWhatsThisMode());
    w.findChild<QAction*>("actionHelp_Content")->trigger();
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    QVERIFY(!QWhatsThis::inWhatsThisMode());
}

void TestMainWindow::styleFallsBackToFusion()
{
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    const QString sheetBefore = app->styleSheet();

    nsUpdater::applyApplicationStyle(*app, QStringLiteral(":/no/such/style.qss"));
    QCOMPARE(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
    QCOMPARE(app->styleSheet(), sheetBefore);

    QTemporaryDir dir;
    QFile sheet(dir.filePath(QStringLiteral("style.qss")));
    QVERIFY(sheet.open(QIODevice::WriteOnly | QIODevice::Text));
    sheet.write("QWidget { background-color: #302F2F; }\n");
    sheet.close();
    nsUpdater::applyApplicationStyle(*app, sheet.fileName());
    QCOMPARE(app->styleSheet(), QStringLiteral("QWidget { background-color: #302F2F; }\n"));
    app->setStyleSheet(QString());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
