// Catalogues and downloads against a local server that misbehaves on
// purpose: every failure ends visibly, falls back to the local catalogues
// where it should, leaves no file behind and never keeps the progress dialog
// or the window's close lock.
#include "app/catalogue/TransferTimeout.h"
#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/main/MainWindow.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QtTest>

#include <QCloseEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QSettings>
#include <QWindow>

namespace {

const QString SoftwareCataloguePath = QStringLiteral("downloads/.updates/softwares/softwares.json");
const QString PluginCataloguePath = QStringLiteral("downloads/.updates/plugins/plugins.json");
const QString InstallerPath = QStringLiteral("files/MovraTessaly_Setup_9.0.exe");
const QString PluginPath = QStringLiteral("files/OrvexAnalyzer.dll");
// The stable version of the local copy in scripts/softwares.json.
const QString LocalTessalyVersion = QStringLiteral("5.2.1.0");
// The status-bar notice while the local copies stand in for the server.
const QString FallbackNotice = QStringLiteral("The update server could not be reached: the versions shown are those "
                                              "of the program's local copies of the catalogues.");
// How long a stalled transfer runs here before it fails.
constexpr int ShortTimeoutSeconds = 2;
constexpr int WaitMs = 20000;

QString serverAddress(const QString& path)
{
    return MovraWebHost + QLatin1Char('/') + path;
}

QByteArray catalogue(const QString& marker, const QString& name, const QString& path)
{
    const QJsonObject entry { { QStringLiteral("Name"), name },
                              { QStringLiteral("Version"), QStringLiteral("9.0") },
                              { QStringLiteral("Date"), QStringLiteral("2026-01-01") },
                              { QStringLiteral("URLS"), QJsonArray { serverAddress(path) } } };
    return QJsonDocument(QJsonObject { { marker, QStringLiteral("test") }, { name, entry } }).toJson();
}

void setTransferTimeout(int seconds)
{
    QSettings().setValue(nsUpdater::TransferTimeoutKey, seconds);
}

// One tab's tree and buttons.
struct Tab
{
    Tab(VEKUpdaterWidget* widget, const QString& kind, const QString& suffix)
        : tree(widget->findChild<QTreeWidget*>(QStringLiteral("treeWidget_") + kind))
        , check(widget->findChild<QPushButton*>(QStringLiteral("pb_checkUpdate") + suffix))
        , update(widget->findChild<QPushButton*>(QStringLiteral("pb_update") + suffix))
    {
    }

    void select(int identifier) const
    {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->data(0, Qt::UserRole).toInt() == identifier)
                tree->setCurrentItem(tree->topLevelItem(i));
        }
    }

    QTreeWidget* tree;
    QPushButton* check;
    QPushButton* update;
};

Tab softwareTab(VEKUpdaterWidget* widget)
{
    return Tab(widget, QStringLiteral("software"), QStringLiteral("Software"));
}

Tab pluginTab(VEKUpdaterWidget* widget)
{
    return Tab(widget, QStringLiteral("plugin"), QStringLiteral("Plugin"));
}

QStringList messagesOf(const QSignalSpy& spy)
{
    QStringList messages;
    for (const QList<QVariant>& message : spy)
        messages.append(message.at(0).toString());
    return messages;
}

} // namespace

class TestFailedTransfers : public QObject
{
    Q_OBJECT

private:
    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;

    QString downloads() const { return QDir::homePath() + QStringLiteral("/downloads"); }
    QString pluginFolder() const { return m_environment.installRoot() + QStringLiteral("/Movra Tessaly/plugins"); }
    static QStringList filesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // Makes a path of the server misbehave, or behave again with "".
    void misbehave(const QString& path, const QString& query)
    {
        const QString control = m_server.root() + QLatin1Char('/') + path + QStringLiteral(".query");
        if (query.isEmpty())
            QFile::remove(control);
        else
            QVERIFY(m_server.writeFile(path + QStringLiteral(".query"), query.toUtf8()));
    }

    void loadSoftwareCatalogue(VEKUpdaterWidget& widget)
    {
        const Tab tab = softwareTab(&widget);
        tab.select(nsUpdater::MovraTessaly);
        tab.check->click();
        QTRY_VERIFY_WITH_TIMEOUT(tab.update->isEnabled(), WaitMs);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        QVERIFY(m_environment.provideScripts(QStringLiteral(MOVRA_SCRIPTS_FOLDER),
                                             { QStringLiteral("firmwares_admin.json"), QStringLiteral("softwares.json"),
                                               QStringLiteral("plugins.json") }));
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
    }

    void init()
    {
        m_server.setReach(CatalogueServer::Reach::Reachable);
        for (const QString& path : { SoftwareCataloguePath, PluginCataloguePath, InstallerPath, PluginPath })
            misbehave(path, QString());
        QVERIFY(m_server.writeFile(
            SoftwareCataloguePath,
            catalogue(QStringLiteral("Softwares"), SoftwareNames.value(nsUpdater::MovraTessaly), InstallerPath)));
        QVERIFY(m_server.writeFile(
            PluginCataloguePath,
            catalogue(QStringLiteral("Plugins"), PluginNames.value(nsUpdater::OrvexAnalyzer), PluginPath)));
        QVERIFY(m_server.writeFile(InstallerPath, "#!/bin/sh\nexit 0\n"));
        QVERIFY(m_server.writeFile(PluginPath, "plugin"));
        QVERIFY(QDir(downloads()).removeRecursively() && QDir().mkpath(downloads()));
        QVERIFY(QDir(pluginFolder()).removeRecursively() && QDir().mkpath(pluginFolder()));
        QSettings().remove(nsUpdater::TransferTimeoutKey);
    }

    void transferFails_data()
    {
        QTest::addColumn<bool>("download");
        QTest::addColumn<int>("reach");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("reason"); // a part of the error text, any case

        const int unreachable = int(CatalogueServer::Reach::HostNotFound);
        const int refused = int(CatalogueServer::Reach::ConnectionRefused);
        const int reachable = int(CatalogueServer::Reach::Reachable);
        const QString stalled = QStringLiteral("for %1 s").arg(ShortTimeoutSeconds);
        for (const bool download : { false, true }) {
            const char* what = download ? "download" : "catalogue";
            QTest::addRow("host unreachable, %s", what) << download << unreachable << ""
                                                        << "not found";
            QTest::addRow("connection refused, %s", what) << download << refused << ""
                                                          << "refused";
            QTest::addRow("stall mid-body, %s", what) << download << reachable << "silent=1" << stalled;
            QTest::addRow("early close, %s", what) << download << reachable << "short=1"
                                                   << "closed";
            QTest::addRow("HTTP 404, %s", what) << download << reachable << "status=404"
                                                << "not found";
            QTest::addRow("HTTP 500, %s", what) << download << reachable << "status=500"
                                                << "server";
        }
    }

    void transferFails()
    {
        QFETCH(bool, download);
        QFETCH(int, reach);
        QFETCH(QString, query);
        QFETCH(QString, reason);

        VEKUpdaterWidget widget(noTransports());
        const Tab tab = softwareTab(&widget);
        if (download)
            loadSoftwareCatalogue(widget);
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        DialogAnswerer user({ QStringLiteral("OK") });

        // Only a stalled transfer waits for the time-out; the others fail
        // at once, with their own reason.
        const bool stalled = query.contains(QLatin1String("silent"));
        setTransferTimeout(stalled ? ShortTimeoutSeconds : 60);
        m_server.setReach(CatalogueServer::Reach(reach));
        misbehave(download ? InstallerPath : SoftwareCataloguePath, query);
        (download ? tab.update : tab.check)->click();

        QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty(), WaitMs);
        const QString error = messages.first().at(0).toString();
        QVERIFY2(error.startsWith(QStringLiteral("Network Error : ")), qPrintable(error));
        QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));

        if (download) {
            // Told in a box; the dialog is gone and the window may close.
            QTRY_COMPARE_WITH_TIMEOUT(user.seen.size(), 1, WaitMs);
            QCOMPARE(user.seen.first().title, QStringLiteral("Error"));
            QCOMPARE(user.seen.first().text, QStringLiteral("<b>The download failed.</b>"));
            QVERIFY2(user.seen.first().informative.contains(reason, Qt::CaseInsensitive),
                     qPrintable(user.seen.first().informative));
            QTRY_VERIFY(!lock.isEmpty() && !lock.last().at(0).toBool());
            // A stalled download had shown the dialog and locked the window.
            if (stalled)
                QCOMPARE(lock.first().at(0).toBool(), true);
            // No local catalogue for a download.
            QTest::qWait(300);
            QCOMPARE(widget.informationHandler()->getSoftwareInformation(nsUpdater::MovraTessaly).stableVersion,
                     QStringLiteral("9.0"));
        } else {
            // The local copies stand in, and the status bar keeps saying so;
            // no dialog, no box, no lock.
            QVERIFY(SignalWait([&] { return messagesOf(messages).contains(FallbackNotice); })
                        .on(&widget, &VEKUpdaterWidget::sendMessageToStatusBar)
                        .wait(WaitMs));
            QCOMPARE(widget.informationHandler()->getSoftwareInformation(nsUpdater::MovraTessaly).stableVersion,
                     LocalTessalyVersion);
            QTest::qWait(300);
            QCOMPARE(messages.last().at(0).toString(), FallbackNotice);
            QCOMPARE(messages.last().at(1).toInt(), 0);
            QCOMPARE(user.seen.size(), 0);
            for (const QList<QVariant>& value : lock)
                QCOMPARE(value.at(0).toBool(), false);
        }
        QVERIFY(!progressDialog()->isVisible());
        QCOMPARE(filesIn(downloads()), QStringList());
    }

    // Force Exit reaches the catalogue request too, long before its time-out;
    // stopped by the user, it says nothing of the server and keeps the run's
    // one fallback to the local catalogues.
    void forceExitStopsStalledCatalogue()
    {
        VEKUpdaterWidget widget(noTransports());
        const Tab plugins = pluginTab(&widget);
        plugins.select(nsUpdater::OrvexAnalyzer);
        plugins.check->click();
        QTRY_VERIFY_WITH_TIMEOUT(plugins.update->isEnabled(), WaitMs);

        setTransferTimeout(120);
        misbehave(SoftwareCataloguePath, QStringLiteral("silent=1"));
        misbehave(PluginPath, QStringLiteral("silent=1"));
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        QSignalSpy lock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        DialogAnswerer user({});
        softwareTab(&widget).check->click();
        plugins.update->click();
        ProgressDialog* dialog = progressDialog();
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), WaitMs);
        // Both requests hang now; give the catalogue's a moment to reach the server.
        QTest::qWait(500);
        QVERIFY(messages.isEmpty());

        QElapsedTimer clock;
        clock.start();
        dialog->findChild<QPushButton*>(QStringLiteral("pb_forceExit"))->click();
        QVERIFY(!dialog->isVisible());
        QVERIFY(!lock.isEmpty() && !lock.last().at(0).toBool());
        // Both stopped requests are reported; the stopped download is no
        // failure to report in a box, and no local catalogue follows.
        QVERIFY(SignalWait([&] { return messagesOf(messages).filter(QStringLiteral("Network Error")).size() == 2; })
                    .on(&widget, &VEKUpdaterWidget::sendMessageToStatusBar)
                    .wait(WaitMs));
        QVERIFY(clock.elapsed() < 10000);
        QTest::qWait(500);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(widget.informationHandler()->getSoftwareInformation(nsUpdater::MovraTessaly).stableVersion,
                 QStringLiteral("N/A"));
        QCOMPARE(user.seen.size(), 0);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(filesIn(pluginFolder()), QStringList());

        // The server's first real failure still brings the local copies.
        m_server.setReach(CatalogueServer::Reach::ConnectionRefused);
        softwareTab(&widget).check->click();
        QVERIFY(SignalWait([&] { return messagesOf(messages).contains(FallbackNotice); })
                    .on(&widget, &VEKUpdaterWidget::sendMessageToStatusBar)
                    .wait(WaitMs));
        QCOMPARE(widget.informationHandler()->getSoftwareInformation(nsUpdater::MovraTessaly).stableVersion,
                 LocalTessalyVersion);
    }

    // Alt+F4 on the progress dialog leaves it and the lock in place while
    // the download runs; its end frees the window.
    void windowManagerCloseOfTheDialog()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* widget = window.findChild<VEKUpdaterWidget*>();
        QVERIFY(widget);
        loadSoftwareCatalogue(*widget);

        // Long enough for the checks below while the download hangs.
        setTransferTimeout(5);
        misbehave(InstallerPath, QStringLiteral("silent=1"));
        DialogAnswerer user({ QStringLiteral("OK") });
        softwareTab(widget).update->click();
        ProgressDialog* dialog = progressDialog();
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), WaitMs);
        QVERIFY(dialog->windowHandle());

        QCloseEvent fromWindowManager;
        QCoreApplication::sendEvent(dialog->windowHandle(), &fromWindowManager);
        QVERIFY(!fromWindowManager.isAccepted());
        QVERIFY(dialog->isVisible());
        QVERIFY(!window.close());

        QTRY_COMPARE_WITH_TIMEOUT(user.seen.size(), 1, WaitMs);
        QTRY_VERIFY(!dialog->isVisible());
        QVERIFY(window.close());
        QCOMPARE(filesIn(downloads()), QStringList());
    }
};

QTEST_MAIN(TestFailedTransfers)
#include "tst_failedtransfers.moc"
