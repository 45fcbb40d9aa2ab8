// The Plugins and Softwares tabs of the updater widget: installed marks from
// real plugins and hand-made executables, the panes and buttons of each row,
// the stable/beta choice, and downloads from the local HTTPS server down to
// the installer's run and deletion.
#include "app/catalogue/UpdaterInformationHandler.h"
#include "app/dialogs/ProgressDialog.h"
#include "app/dialogs/SoftwareChoiceDialog.h"
#include "app/installed/InstalledPluginScanner.h"
#include "app/updater/DisplayTables.h"
#include "app/updater/VEKUpdaterWidget.h"
#include "tests/support/CatalogueServer.h"
#include "tests/support/PeFixtures.h"
#include "tests/support/WidgetFixtures.h"
#include "tests/support/WidgetTestEnvironment.h"

#include <QtTest>

#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>

using Files = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(Files)

namespace {

const QString Tessaly = QStringLiteral("Movra Tessaly/MovraTessaly.exe");
const QString Studio = QStringLiteral("MovraStudio/MovraStudio.exe");
const QString MemoryManager = QStringLiteral("Movra Memory Manager/MovraMemoryManager.exe");
const QString Velim = QStringLiteral("velim/velim.exe");
const QString SoftwareCataloguePath = QStringLiteral("downloads/.updates/softwares/softwares.json");
const QString PluginCataloguePath = QStringLiteral("downloads/.updates/plugins/plugins.json");

// An executable whose fixed file information holds a.b.c.d.
QByteArray executable(quint16 a, quint16 b, quint16 c, quint16 d)
{
    return nsPeFixtures::peImage(
        nsPeFixtures::versionBlock(52, 0xFEEF04BD, (quint32(a) << 16) | b, (quint32(c) << 16) | d));
}

bool writeFile(const QString& path, const QByteArray& content)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QJsonObject entry(const QString& name, const QJsonValue& version, const QStringList& urls)
{
    return QJsonObject { { QStringLiteral("Name"), name },
                         { QStringLiteral("Version"), version },
                         { QStringLiteral("Date"), QStringLiteral("2026-01-01") },
                         { QStringLiteral("URLS"), QJsonArray::fromStringList(urls) } };
}

QString serverAddress(const QString& path)
{
    return MovraWebHost + QLatin1Char('/') + path;
}

// The file downloads the widget asked for, in order.
QList<QUrl> fileRequests(const QSignalSpy& requests)
{
    QList<QUrl> urls;
    for (const QList<QVariant>& request : requests) {
        if (!request.at(1).toBool())
            urls.append(request.at(0).toUrl());
    }
    return urls;
}

struct Tab
{
    Tab(VEKUpdaterWidget* widget, const QString& kind)
        : tree(widget->findChild<QTreeWidget*>(QStringLiteral("treeWidget_") + kind))
        , check(widget->findChild<QPushButton*>(QStringLiteral("pb_checkUpdate")
                                                + (kind == QLatin1String("plugin") ? "Plugin" : "Software")))
        , update(widget->findChild<QPushButton*>(QStringLiteral("pb_update")
                                                 + (kind == QLatin1String("plugin") ? "Plugin" : "Software")))
        , status(widget->findChild<QLabel*>(QStringLiteral("lb_infoUpdate")
                                            + (kind == QLatin1String("plugin") ? "Plugin" : "Software")))
        , version(widget->findChild<QTextBrowser*>(QStringLiteral("textBrowser_") + kind + "Version"))
        , description(widget->findChild<QTextBrowser*>(QStringLiteral("textBrowser_") + kind + "Desc"))
    {
    }

    QTreeWidgetItem* row(int identifier) const
    {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->data(0, Qt::UserRole).toInt() == identifier)
                return tree->topLevelItem(i);
        }
        return nullptr;
    }

    QTreeWidget* tree;
    QPushButton* check;
    QPushButton* update;
    QLabel* status;
    QTextBrowser* version;
    QTextBrowser* description;
};

// Answers the stable-or-beta question once it is shown, noting which buttons
// it offered.
class ChoiceAnswerer : public QObject
{
public:
    explicit ChoiceAnswerer(QString answer)
        : m_answer(std::move(answer))
    {
        connect(&m_timer, &QTimer::timeout, this, &ChoiceAnswerer::poll);
        m_timer.start(10);
    }

    bool shown = false;
    bool stableEnabled = false;
    bool betaEnabled = false;

private:
    void poll()
    {
        auto* dialog = qobject_cast<SoftwareChoiceDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || shown)
            return;
        shown = true;
        stableEnabled = dialog->findChild<QPushButton*>(QStringLiteral("pb_stable"))->isEnabled();
        betaEnabled = dialog->findChild<QPushButton*>(QStringLiteral("pb_beta"))->isEnabled();
        if (m_answer == QLatin1String("close"))
            dialog->close();
        else
            dialog->findChild<QPushButton*>(QStringLiteral("pb_") + m_answer)->click();
    }

    QString m_answer;
    QTimer m_timer;
};

} // namespace

class TestPluginSoftwareTabs : public QObject
{
    Q_OBJECT

private:
    WidgetTestEnvironment m_environment;
    CatalogueServer m_server;
    QString m_root;
    int m_rootCount = 0;

    // Every test gets installation and plugin folders of its own.
    void freshInstallRoot()
    {
        QVERIFY(m_environment.useInstallRoot(QStringLiteral("install%1").arg(++m_rootCount)));
        m_root = m_environment.installRoot();
        QDir(InstalledPluginScanner::acquisitionDataFolder()).removeRecursively();
    }

    void placeTestPlugins(const QString& folder)
    {
        QVERIFY(QDir().mkpath(folder));
        const QDir built(QStringLiteral(TEST_PLUGIN_DIR));
        const QStringList libraries = built.entryList(QDir::Files);
        QCOMPARE(libraries.size(), 3);
        for (const QString& library : libraries)
            QVERIFY(QFile::copy(built.filePath(library), folder + QLatin1Char('/') + library));
        // Named like a plugin of the table, but no plugin at all.
        QVERIFY(writeFile(folder + QStringLiteral("/Pracel Analyzer.so"), "Pracel Analyzer 9.9\n"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_environment.setUp());
        QVERIFY(QDir().mkpath(m_environment.home() + QStringLiteral("/downloads")));
        QVERIFY(m_environment.provideScripts());

        // Also keeps every request of the widget on this machine.
        QVERIFY(m_server.start(QStringLiteral(MOVRA_HTTPS_SERVER), QUrl(MovraWebHost).host()));
    }

    void init() { freshInstallRoot(); }

    void pluginRows()
    {
        placeTestPlugins(m_root + QStringLiteral("/Movra Tessaly/plugins"));
        VEKUpdaterWidget widget(noTransports());
        Tab tab(&widget, QStringLiteral("plugin"));
        QCOMPARE(tab.tree->topLevelItemCount(), PluginNames.size());
        QCOMPARE(tab.tree->columnCount(), 2);
        QCOMPARE(tab.tree->headerItem()->text(0), QStringLiteral("Name"));
        QCOMPARE(tab.tree->headerItem()->text(1), QStringLiteral("Status"));
        QStringList names;
        for (int i = 0; i < tab.tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = tab.tree->topLevelItem(i);
            names.append(item->text(0));
            const auto identifier = nsUpdater::PluginIdentifier(item->data(0, Qt::UserRole).toInt());
            QCOMPARE(item->text(0), PluginNames.value(identifier));
            QVERIFY(!item->icon(1).isNull());
        }
        QStringList sorted = names;
        sorted.sort();
        QCOMPARE(names, sorted);
        QVERIFY(!tab.tree->isSortingEnabled());

        // The exact name and the name that only contains it are installed;
        // the other interface and the file that is no plugin are not.
        const QList<QPair<int, bool>> marks = { { nsUpdater::OrvexAnalyzer, true },
                                                { nsUpdater::TilmarAnalyzer, true },
                                                { nsUpdater::PracelAnalyzer, false },
                                                { nsUpdater::MovraFileEditor, false } };
        for (const auto& [identifier, installed] : marks) {
            QTreeWidgetItem* item = tab.row(identifier);
            QCOMPARE(item->text(1), installed ? QStringLiteral("Installed") : QStringLiteral("Not installed"));
            QCOMPARE(item->data(1, Qt::UserRole).toInt(), installed ? 1 : 0);
        }
        const auto model = widget.informationHandler();
        QCOMPARE(model->getPluginInformation(nsUpdater::OrvexAnalyzer).installedVersion, QStringLiteral("2.1.0"));
        QCOMPARE(model->getPluginInformation(nsUpdater::TilmarAnalyzer).installedVersion, QStringLiteral("1.4"));

        // The first row is selected and shown at once: neither version known.
        QCOMPARE(tab.tree->currentItem(), tab.tree->topLevelItem(0));
        QVERIFY(tab.version->toPlainText().contains(QStringLiteral("Installed: N/A")));
        QVERIFY(tab.version->toPlainText().contains(QStringLiteral("Available: N/A")));
        QCOMPARE(tab.status->text(), QStringLiteral("Already up-to-date"));
        QVERIFY(!tab.update->isEnabled());

        // An installed plugin before any catalogue: not checked yet.
        tab.tree->setCurrentItem(tab.row(nsUpdater::OrvexAnalyzer));
        QVERIFY(tab.version->toPlainText().contains(QStringLiteral("Installed: 2.1.0")));
        QCOMPARE(tab.status->text(), QStringLiteral("Update(s) not checked yet"));
        QVERIFY(!tab.update->isEnabled());
        QVERIFY(tab.description->toPlainText().contains(QStringLiteral("[No device selected]")));
        QVERIFY(tab.description->toHtml().contains(QStringLiteral("href=\"") + AcquisitionSoftwareWebPage));
        QVERIFY(tab.description->openExternalLinks());

        // Clearing the selection changes nothing; neither does pressing update.
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        tab.tree->setCurrentItem(nullptr);
        tab.tree->clearSelection();
        QVERIFY(tab.version->toPlainText().contains(QStringLiteral("Installed: 2.1.0")));
        widget.onUpdatePluginClicked();
        QVERIFY(requests.isEmpty());
    }

    void pluginFolderFromPathFile_data()
    {
        QTest::addColumn<QByteArray>("pathFile");  // null: none
        QTest::addColumn<QString>("pluginsUnder"); // relative to the installation root
        QTest::addColumn<bool>("installed");

        QTest::newRow("default folder") << QByteArray() << "Movra Tessaly" << true;
        QTest::newRow("path file") << QByteArray("@/elsewhere") << "elsewhere" << true;
        QTest::newRow("path file, trailing newline") << QByteArray("@/elsewhere\n") << "elsewhere\n" << true;
        QTest::newRow("trailing newline is no other folder") << QByteArray("@/elsewhere\n") << "elsewhere" << false;
        QTest::newRow("QXL_Master keeps the default") << QByteArray("@/QXL_Master") << "Movra Tessaly" << true;
        QTest::newRow("path file wins over the default") << QByteArray("@/elsewhere") << "Movra Tessaly" << false;
    }

    void pluginFolderFromPathFile()
    {
        QFETCH(QByteArray, pathFile);
        QFETCH(QString, pluginsUnder);
        QFETCH(bool, installed);

        placeTestPlugins(m_root + QLatin1Char('/') + pluginsUnder + QStringLiteral("/plugins"));
        if (!pathFile.isNull()) {
            pathFile.replace('@', m_root.toLocal8Bit());
            QVERIFY(writeFile(InstalledPluginScanner::acquisitionDataFolder() + QStringLiteral("/QXL_Path"), pathFile));
        }
        VEKUpdaterWidget widget(noTransports());
        QCOMPARE(Tab(&widget, QStringLiteral("plugin")).row(nsUpdater::OrvexAnalyzer)->data(1, Qt::UserRole).toInt(),
                 installed ? 1 : 0);
    }

    void pluginUpdateDownloadsEveryAddress()
    {
        const QString folder = m_root + QStringLiteral("/Movra Tessaly/plugins");
        placeTestPlugins(folder);
        QJsonObject root { { QStringLiteral("Plugins"), QStringLiteral("test") } };
        const QStringList urls = { serverAddress(QStringLiteral("files/OrvexAnalyzer.dll")),
                                   serverAddress(QStringLiteral("files/Orvex%20Models.dat")) };
        root.insert(PluginNames.value(nsUpdater::OrvexAnalyzer),
                    entry(PluginNames.value(nsUpdater::OrvexAnalyzer), QStringLiteral("2.2"), urls));
        QVERIFY(m_server.writeFile(PluginCataloguePath, QJsonDocument(root).toJson()));
        QVERIFY(m_server.writeFile(QStringLiteral("files/OrvexAnalyzer.dll"), "new plugin"));
        QVERIFY(m_server.writeFile(QStringLiteral("files/Orvex Models.dat"), "models"));

        VEKUpdaterWidget widget(noTransports());
        Tab tab(&widget, QStringLiteral("plugin"));
        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        QSignalSpy closeLock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        tab.tree->setCurrentItem(tab.row(nsUpdater::OrvexAnalyzer));
        tab.check->click();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().at(0).toUrl(), QUrl(serverAddress(PluginCataloguePath)));
        QCOMPARE(requests.first().at(1).toBool(), true);
        // The catalogue refreshes the selected row.
        QTRY_VERIFY_WITH_TIMEOUT(tab.update->isEnabled(), 10000);
        QCOMPARE(tab.status->text(), QStringLiteral("New version(s) available"));
        QVERIFY(tab.version->toPlainText().contains(QStringLiteral("Available: 2.2")));
        QCOMPARE(tab.row(nsUpdater::OrvexAnalyzer)->text(1), QStringLiteral("Installed"));

        tab.update->click();
        QCOMPARE(fileRequests(requests), (QList<QUrl> { QUrl(urls.at(0)), QUrl(urls.at(1)) }));
        // The dialog shows the texts of the last address.
        ProgressDialog* dialog = progressDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("lb_updating"))->text(),
                 QStringLiteral("<b>Downloading</b> [Orvex Models.dat]"));
        const QString details = dialog->findChild<QTextBrowser*>(QStringLiteral("textBrowser"))->toPlainText();
        QVERIFY2(details.contains(QUrl(urls.last()).toString()) && !details.contains(urls.first()),
                 qPrintable(details));
        QVERIFY(details.contains(QStringLiteral("Please be patient...")));

        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + QStringLiteral("/Orvex Models.dat")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + QStringLiteral("/OrvexAnalyzer.dll")), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!closeLock.isEmpty() && !closeLock.last().at(0).toBool(), 10000);
        QTRY_VERIFY(!dialog->isVisible());
        QVERIFY(!QFile::exists(QDir::homePath() + QStringLiteral("/downloads/OrvexAnalyzer.dll")));
    }

    void softwareRows_data()
    {
        QTest::addColumn<int>("program");
        QTest::addColumn<Files>("files");
        QTest::addColumn<QJsonValue>("offered"); // undefined: no catalogue
        QTest::addColumn<int>("urlCount");
        QTest::addColumn<QString>("installedText");
        QTest::addColumn<bool>("mark");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("answer"); // empty: no question expected
        QTest::addColumn<bool>("stableEnabled");
        QTest::addColumn<bool>("betaEnabled");
        QTest::addColumn<int>("requested"); // index of the address asked for, -1 none

        const QByteArray v1 = executable(1, 0, 0, 0);
        const QByteArray v2 = executable(2, 0, 0, 0);
        const QByteArray noFixed = nsPeFixtures::peImage(nsPeFixtures::versionBlock(0, 0, 0, 0));
        const QString up = QStringLiteral("Already up-to-date");
        const QString newer = QStringLiteral("New version(s) available");
        const QString unchecked = QStringLiteral("Update(s) not checked yet");
        auto pair = [](const char* stable, const char* beta) {
            return QJsonValue(QJsonArray { QString::fromLatin1(stable), QString::fromLatin1(beta) });
        };
        const int velim = nsUpdater::Velim;
        const int tessaly = nsUpdater::MovraTessaly;

        QTest::newRow("velim: only the beta is newer")
            << velim << Files { { Velim, v1 } } << pair("1.0", "1.1") << 2 << "1.0.0.0" << true << newer << true
            << "beta" << false << true << 1;
        QTest::newRow("velim: stable newer, beta older")
            << velim << Files { { Velim, v1 } } << pair("1.2", "0.9") << 2 << "1.0.0.0" << true << newer << true
            << "stable" << true << false << 0;
        QTest::newRow("velim: both newer, stable chosen")
            << velim << Files { { Velim, v1 } } << pair("1.2", "1.3") << 2 << "1.0.0.0" << true << newer << true
            << "stable" << true << true << 0;
        QTest::newRow("velim: both newer, beta chosen")
            << velim << Files { { Velim, v1 } } << pair("1.2", "1.3") << 2 << "1.0.0.0" << true << newer << true
            << "beta" << true << true << 1;
        QTest::newRow("velim: cancelled") << velim << Files { { Velim, v1 } } << pair("1.2", "1.3") << 2 << "1.0.0.0"
                                          << true << newer << true << "cancel" << true << true << -1;
        QTest::newRow("velim: closed") << velim << Files { { Velim, v1 } } << pair("1.2", "1.3") << 2 << "1.0.0.0"
                                       << true << newer << true << "close" << true << true << -1;
        QTest::newRow("velim: installed newer than both")
            << velim << Files { { Velim, v2 } } << pair("1.0", "1.5") << 2 << "2.0.0.0" << true << up << false
            << "cancel" << false << false << -1;
        QTest::newRow("velim: no stable published")
            << velim << Files { { Velim, v1 } } << pair("", "1.1") << 2 << "1.0.0.0" << true << newer << true << "beta"
            << false << true << 1;
        QTest::newRow("velim: not installed") << velim << Files {} << pair("1.0", "1.1") << 2 << "N/A" << false << newer
                                              << true << "stable" << true << true << 0;
        QTest::newRow("velim: no fixed block") << velim << Files { { Velim, noFixed } } << pair("1.0", "") << 2 << ""
                                               << true << newer << true << "stable" << true << false << 0;
        QTest::newRow("velim: before any catalogue")
            << velim << Files { { Velim, v1 } } << QJsonValue(QJsonValue::Undefined) << 0 << "1.0.0.0" << true
            << unchecked << false << "" << false << false << -1;
        QTest::newRow("tessaly: one address") << tessaly << Files { { Tessaly, v1 } } << QJsonValue("1.1") << 1
                                              << "1.0.0.0" << true << newer << true << "" << false << false << 0;
        QTest::newRow("tessaly: older program only") << tessaly << Files { { Studio, v2 } } << QJsonValue("2.0") << 1
                                                     << "2.0.0.0" << true << up << false << "" << false << false << 0;
        QTest::newRow("tessaly: three addresses") << tessaly << Files { { Tessaly, v1 } } << QJsonValue("1.1") << 3
                                                  << "1.0.0.0" << true << newer << true << "" << false << false << -1;
        QTest::newRow("tessaly: no address") << tessaly << Files { { Tessaly, v1 } } << QJsonValue("1.1") << 0
                                             << "1.0.0.0" << true << newer << true << "" << false << false << -1;
        QTest::newRow("memory manager: missing") << int(nsUpdater::MovraMemoryManager) << Files {} << QJsonValue("2.3")
                                                 << 1 << "N/A" << false << newer << true << "" << false << false << 0;
        QTest::newRow("memory manager: installed")
            << int(nsUpdater::MovraMemoryManager) << Files { { MemoryManager, v2 } } << QJsonValue("2.0") << 1
            << "2.0.0.0" << true << up << false << "" << false << false << 0;
        QTest::newRow("this program") << int(nsUpdater::MovraMaintenanceTool) << Files {} << QJsonValue("99.0") << 1
                                      << "1.2.5.0" << true << newer << true << "" << false << false << 0;
    }

    void softwareRows()
    {
        QFETCH(int, program);
        QFETCH(Files, files);
        QFETCH(QJsonValue, offered);
        QFETCH(int, urlCount);
        QFETCH(QString, installedText);
        QFETCH(bool, mark);
        QFETCH(QString, status);
        QFETCH(bool, enabled);
        QFETCH(QString, answer);
        QFETCH(bool, stableEnabled);
        QFETCH(bool, betaEnabled);
        QFETCH(int, requested);

        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QVERIFY(writeFile(m_root + QLatin1Char('/') + it.key(), it.value()));
        VEKUpdaterWidget widget(noTransports());
        Tab tab(&widget, QStringLiteral("software"));
        const auto identifier = nsUpdater::SoftwareIdentifier(program);
        const QString name = SoftwareNames.value(identifier);
        QStringList urls;
        for (int i = 0; i < urlCount; ++i)
            urls.append(QStringLiteral("https://127.0.0.1:1/none/%1_setup_%2.exe").arg(name).arg(i));
        if (!offered.isUndefined()) {
            QJsonObject root { { QStringLiteral("Softwares"), QStringLiteral("test") } };
            root.insert(name, entry(name, offered, urls));
            widget.onNetworkReplyReceived(QJsonDocument(root));
        }

        QTreeWidgetItem* row = tab.row(program);
        QVERIFY(row);
        QCOMPARE(row->text(1), mark ? QStringLiteral("Installed") : QStringLiteral("Not installed"));
        QCOMPARE(row->data(1, Qt::UserRole).toInt(), mark ? 1 : 0);
        tab.tree->setCurrentItem(row);
        const QString pane = tab.version->toPlainText();
        QVERIFY2(pane.contains(QStringLiteral("Installed: ") + installedText), qPrintable(pane));
        QCOMPARE(tab.status->text(), status);
        QCOMPARE(tab.update->isEnabled(), enabled);

        QSignalSpy requests(&widget, &VEKUpdaterWidget::sendRequestToNetwork);
        ChoiceAnswerer answerer(answer.isEmpty() ? QStringLiteral("cancel") : answer);
        widget.onUpdateSoftwareClicked();
        QCOMPARE(answerer.shown, !answer.isEmpty());
        if (answerer.shown) {
            QCOMPARE(answerer.stableEnabled, stableEnabled);
            QCOMPARE(answerer.betaEnabled, betaEnabled);
        }
        QCOMPARE(fileRequests(requests), requested < 0 ? QList<QUrl>() : QList<QUrl> { QUrl(urls.at(requested)) });
        QVERIFY(!QApplication::activeModalWidget());
    }

    void softwareDescriptionKeepsItsMarkers()
    {
        VEKUpdaterWidget widget(noTransports());
        Tab tab(&widget, QStringLiteral("software"));
        tab.tree->setCurrentItem(tab.row(nsUpdater::Velim));
        const QString description = widget.informationHandler()->getSoftwareInformation(nsUpdater::Velim).description;
        QVERIFY(description.contains(QStringLiteral("%1")));
        QVERIFY(tab.description->toPlainText().contains(description));
        QVERIFY(
            tab.description->toHtml().contains(QStringLiteral("href=\"") + SoftwareWebPages.value(nsUpdater::Velim)));
        QCOMPARE(tab.description->toPlainText().count(SoftwareWebPages.value(nsUpdater::Velim)), 1);
    }

    // From the catalogue on the local server to the installer's end.
    void installerDownloadedRunAndDeleted()
    {
        QVERIFY(writeFile(m_root + QLatin1Char('/') + Tessaly, executable(5, 0, 0, 0)));
        const QString ran = m_environment.filePath(QStringLiteral("installer-ran"));
        const QString release = m_environment.filePath(QStringLiteral("installer-release"));
        QFile::remove(ran);
        QFile::remove(release);
        const QString installerPath = QStringLiteral("downloads/.updates/softwares/MovraTessaly_Setup_5.3.exe");
        QVERIFY(m_server.writeFile(installerPath, "#!/bin/sh\ntouch '" + ran.toLocal8Bit() + "'\nwhile [ ! -e '"
                                                      + release.toLocal8Bit() + "' ]; do sleep 0.05; done\n"));
        QJsonObject root { { QStringLiteral("Softwares"), QStringLiteral("test") } };
        const QString name = SoftwareNames.value(nsUpdater::MovraTessaly);
        root.insert(name, entry(name, QStringLiteral("5.3"), { serverAddress(installerPath) }));
        QVERIFY(m_server.writeFile(SoftwareCataloguePath, QJsonDocument(root).toJson()));

        VEKUpdaterWidget widget(noTransports());
        Tab tab(&widget, QStringLiteral("software"));
        QSignalSpy closeLock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        tab.tree->setCurrentItem(tab.row(nsUpdater::MovraTessaly));
        QVERIFY(!tab.update->isEnabled());
        tab.check->click();
        QTRY_VERIFY_WITH_TIMEOUT(tab.update->isEnabled(), 10000);
        QVERIFY(tab.version->toPlainText().contains(QStringLiteral("Stable: 5.3")));

        tab.update->click();
        QCOMPARE(progressDialog()->findChild<QLabel*>(QStringLiteral("lb_updating"))->text(),
                 QStringLiteral("<b>Downloading</b> [MovraTessaly_Setup_5.3.exe]"));
        const QString downloaded = QDir::homePath() + QStringLiteral("/downloads/MovraTessaly_Setup_5.3.exe");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ran), 10000);
        // Running: the file stays, and the window may close again.
        QVERIFY(QFile::exists(downloaded));
        QVERIFY(!closeLock.isEmpty());
        QCOMPARE(closeLock.last().at(0).toBool(), false);
        const int locksBefore = closeLock.size();

        QVERIFY(writeFile(release, "go"));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(downloaded), 10000);
        QTRY_VERIFY(closeLock.size() > locksBefore);
        QCOMPARE(closeLock.last().at(0).toBool(), false);
    }

    // The end of one installer leaves the file of a later one that still runs.
    void laterInstallerKeepsItsFile()
    {
        const QString folder = QDir::homePath() + QStringLiteral("/downloads/");
        const QString release = m_environment.filePath(QStringLiteral("second-release"));
        QFile::remove(release);
        QVERIFY(writeFile(folder + QStringLiteral("first.exe"), "#!/bin/sh\nexit 0\n"));
        QVERIFY(writeFile(folder + QStringLiteral("second.exe"),
                          "#!/bin/sh\nwhile [ ! -e '" + release.toLocal8Bit() + "' ]; do sleep 0.05; done\n"));
        VEKUpdaterWidget widget(noTransports());
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("first.exe"));
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("second.exe"));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(folder + QStringLiteral("first.exe")), 10000);
        QTest::qWait(200);
        QVERIFY(QFile::exists(folder + QStringLiteral("second.exe")));
        QVERIFY(writeFile(release, "go"));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(folder + QStringLiteral("second.exe")), 10000);
    }

    void installerThatCannotStartIsReported()
    {
        const QString path = QDir::homePath() + QStringLiteral("/downloads/broken.exe");
        QVERIFY(writeFile(path, QByteArray("MZ\x90\x00 not runnable here", 22)));
        VEKUpdaterWidget widget(noTransports());
        QSignalSpy messages(&widget, &VEKUpdaterWidget::sendMessageToStatusBar);
        QSignalSpy closeLock(&widget, &VEKUpdaterWidget::sendDisableCloseBehavior);
        widget.onNetworkReplyDownloadDoneReceived(QStringLiteral("broken.exe"));
        QTRY_VERIFY_WITH_TIMEOUT(!messages.isEmpty(), 10000);
        QVERIFY2(messages.last().at(0).toString().contains(QStringLiteral("broken.exe could not be started")),
                 qPrintable(messages.last().at(0).toString()));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!closeLock.isEmpty());
        QCOMPARE(closeLock.last().at(0).toBool(), false);
    }
};

QTEST_MAIN(TestPluginSoftwareTabs)
#include "tst_pluginsoftwaretabs.moc"
