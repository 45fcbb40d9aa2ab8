#include "app/catalogue/NetworkCommunicator.h"
#include "app/catalogue/TransferTimeout.h"
#include "tests/support/SignalWait.h"

#include <QtTest>

#include <QJsonObject>
#include <QSettings>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTcpServer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

// Stands in for the updater widget: asks through signals, records answers.
class Widget : public QObject
{
    Q_OBJECT

public:
    QStringList events;

    QStringList matching(const QString& prefix) const
    {
        QStringList found;
        for (const QString& event : events) {
            if (event.startsWith(prefix))
                found.append(event);
        }
        return found;
    }

    // Runs the event loop until done() holds, asked after each event.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs = 10000)
    {
        return SignalWait(done).on(this, &Widget::recorded).wait(timeoutMs);
    }

signals:
    void sendRequestToNetwork(QUrl url, bool isJson);
    void sendForceExitToNetwork();
    void recorded();

public slots:
    void onNetworkReplyReceived(QJsonDocument document)
    {
        record(QStringLiteral("reply:") + QString::fromUtf8(document.toJson(QJsonDocument::Compact)));
    }
    void onNetworkReplyInfosReceived(QString errorString) { record(QStringLiteral("infos:") + errorString); }
    void onNetworkReplyDownloadProgressReceived(qlonglong received, qlonglong total)
    {
        record(QStringLiteral("progress:%1/%2").arg(received).arg(total));
    }
    void onNetworkReplyDownloadDoneReceived(QString fileName) { record(QStringLiteral("done:") + fileName); }
    void onNetworkReplyDownloadFailedReceived(QString fileName, QString errorString)
    {
        record(QStringLiteral("failed:%1:%2").arg(fileName, errorString));
    }
    void onLocalCataloguesLoadedReceived() { record(QStringLiteral("local")); }

private:
    void record(const QString& event)
    {
        events.append(event);
        emit recorded();
    }
};

// The client in a thread of its own, wired as the widget wires it.
class ClientInThread
{
public:
    explicit ClientInThread(Widget* widget)
    {
        auto* client = new NetworkCommunicator;
        QObject::connect(client, &NetworkCommunicator::sendNetworkReply, widget, &Widget::onNetworkReplyReceived);
        QObject::connect(client, &NetworkCommunicator::sendNetworkReplyInfos, widget,
                         &Widget::onNetworkReplyInfosReceived);
        QObject::connect(client, &NetworkCommunicator::sendNetworkReplyDownloadProgress, widget,
                         &Widget::onNetworkReplyDownloadProgressReceived);
        QObject::connect(client, &NetworkCommunicator::sendNetworkReplyDownloadDone, widget,
                         &Widget::onNetworkReplyDownloadDoneReceived);
        QObject::connect(client, &NetworkCommunicator::sendNetworkReplyDownloadFailed, widget,
                         &Widget::onNetworkReplyDownloadFailedReceived);
        QObject::connect(client, &NetworkCommunicator::sendLocalCataloguesLoaded, widget,
                         &Widget::onLocalCataloguesLoadedReceived);
        QObject::connect(widget, &Widget::sendRequestToNetwork, client,
                         &NetworkCommunicator::onAskRequestToNetworkReceived);
        QObject::connect(widget, &Widget::sendForceExitToNetwork, client, &NetworkCommunicator::onForceExitReceived);
        QObject::connect(&m_thread, &QThread::finished, client, &QObject::deleteLater);
        QObject::connect(client, &QObject::destroyed, [this] { m_destroyed = true; });
        client->moveToThread(&m_thread);
        m_thread.start();
    }
    ~ClientInThread() { stop(); }

    bool stop()
    {
        m_thread.quit();
        m_thread.wait();
        return m_destroyed.load();
    }

private:
    QThread m_thread;
    std::atomic<bool> m_destroyed { false };
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("<missing>");
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

bool makeCertificate(const QString& folder, const QString& name)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                    QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                    QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                    QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                    folder + QLatin1Char('/') + name + QStringLiteral(".key"), QStringLiteral("-out"),
                    folder + QLatin1Char('/') + name + QStringLiteral(".pem") });
    return openssl.waitForFinished(20000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

} // namespace

class TestNetworkCommunicator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    QString m_www;
    QString m_home;
    QString m_installRoot;
    QString m_run;
    QProcess m_server;
    QProcess m_untrustedServer;
    quint16 m_port = 0;
    quint16 m_untrustedPort = 0;

    QString downloads() const { return m_home + QStringLiteral("/downloads/"); }
    QString oldPluginFolder() const { return m_installRoot + QStringLiteral("/MovraStudio/plugins/"); }
    QString newPluginFolder() const { return m_installRoot + QStringLiteral("/Movra Tessaly/plugins/"); }
    QUrl url(const QString& pathAndQuery, quint16 port = 0) const
    {
        return QUrl(QStringLiteral("https://127.0.0.1:%1/%2").arg(port ? port : m_port).arg(pathAndQuery));
    }

    quint16 startServer(QProcess& server, const QString& certificate)
    {
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start(QStringLiteral("python3"),
                     { QStringLiteral(MOVRA_HTTPS_SERVER), QStringLiteral("--cert"),
                       m_work.filePath(certificate + QStringLiteral(".pem")), QStringLiteral("--key"),
                       m_work.filePath(certificate + QStringLiteral(".key")), QStringLiteral("--root"), m_www });
        // Python's start can take long on a loaded machine.
        if (!server.waitForStarted(30000))
            return 0;
        while (!server.canReadLine()) {
            if (!server.waitForReadyRead(30000))
                return 0;
        }
        return quint16(server.readLine().trimmed().toUInt());
    }

    // Waits a little to make sure nothing else arrives.
    static void settle() { QTest::qWait(300); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        QVERIFY(makeCertificate(m_work.path(), QStringLiteral("trusted")));
        QVERIFY(makeCertificate(m_work.path(), QStringLiteral("untrusted")));
        m_www = m_work.filePath(QStringLiteral("www"));
        m_home = m_work.filePath(QStringLiteral("home"));
        m_installRoot = m_work.filePath(QStringLiteral("install"));
        m_run = m_work.filePath(QStringLiteral("run"));
        QVERIFY(QDir().mkpath(m_www));
        QVERIFY(QDir().mkpath(m_run));
        qputenv("HOME", m_home.toLocal8Bit());
        qputenv("MOVRA_INSTALL_ROOT", m_installRoot.toLocal8Bit());
        QVERIFY(QDir::setCurrent(m_run));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_work.filePath(QStringLiteral("settings")));

        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        const QList<QSslCertificate> trusted =
            QSslCertificate::fromPath(m_work.filePath(QStringLiteral("trusted.pem")));
        QCOMPARE(trusted.size(), 1);
        configuration.addCaCertificates(trusted);
        QSslConfiguration::setDefaultConfiguration(configuration);

        m_port = startServer(m_server, QStringLiteral("trusted"));
        QVERIFY(m_port != 0);
        m_untrustedPort = startServer(m_untrustedServer, QStringLiteral("untrusted"));
        QVERIFY(m_untrustedPort != 0);
    }

    void cleanupTestCase()
    {
        for (QProcess* server : { &m_server, &m_untrustedServer }) {
            server->kill();
            server->waitForFinished(5000);
        }
    }

    void init()
    {
        // Every test starts with a fresh home, install root and working folder.
        for (const QString& folder : { m_home, m_installRoot, m_run + QStringLiteral("/scripts") })
            QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(m_home));
        QSettings().remove(nsUpdater::TransferTimeoutKey);
    }

    void catalogueFetchedAndParsed()
    {
        QVERIFY(writeFile(m_www + QStringLiteral("/firmwares.json"),
                          R"({"Firmwares": 1, "17": {"Version": ["1.2", "3.4"], "URLS": ["a", "b"]}})"));
        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(url(QStringLiteral("firmwares.json")), true);
        QTRY_COMPARE(widget.events.size(), 1);
        settle();
        QCOMPARE(widget.events, QStringList { QStringLiteral(
                                    R"(reply:{"17":{"URLS":["a","b"],"Version":["1.2","3.4"]},"Firmwares":1})") });
    }

    void firstFailedCatalogueLoadsLocalCataloguesOnce()
    {
        QVERIFY(writeFile(m_run + QStringLiteral("/scripts/firmwares_admin.json"), R"({"Firmwares": 0})"));
        QVERIFY(writeFile(m_run + QStringLiteral("/scripts/softwares.json"), R"({"Softwares": 0})"));
        // plugins.json is missing: it adds one error report.
        Widget widget;
        ClientInThread client(&widget);

        // A failed file download neither loads the local catalogues nor uses up their one chance.
        emit widget.sendRequestToNetwork(url(QStringLiteral("nothing.hex")), false);
        QTRY_COMPARE(widget.matching(QStringLiteral("infos:")).size(), 1);
        settle();
        QCOMPARE(widget.matching(QStringLiteral("reply:")).size(), 0);
        QCOMPARE(widget.matching(QStringLiteral("done:")).size(), 0);

        widget.events.clear();
        emit widget.sendRequestToNetwork(url(QStringLiteral("missing.json")), true);
        // Once all three have been asked for, the widget hears that local copies stand in.
        QVERIFY(widget.waitUntil([&] { return widget.events.contains(QStringLiteral("local")); }));
        settle();
        QCOMPARE(widget.events.size(), 5);
        QCOMPARE(widget.events.last(), QStringLiteral("local"));
        QVERIFY2(widget.events.first().startsWith(QStringLiteral("infos:")), qPrintable(widget.events.first()));
        QStringList replies = widget.matching(QStringLiteral("reply:"));
        replies.sort();
        QCOMPARE(replies, QStringList({ QStringLiteral(R"(reply:{"Firmwares":0})"),
                                        QStringLiteral(R"(reply:{"Softwares":0})") }));
        const QStringList infos = widget.matching(QStringLiteral("infos:"));
        QCOMPARE(infos.size(), 2);
        QVERIFY2(infos.last().contains(QStringLiteral("plugins.json")), qPrintable(infos.last()));

        widget.events.clear();
        emit widget.sendRequestToNetwork(url(QStringLiteral("softwares.json?status=500")), true);
        QTRY_COMPARE(widget.events.size(), 1);
        settle();
        QCOMPARE(widget.events.size(), 1);
        QVERIFY(widget.events.first().startsWith(QStringLiteral("infos:")));
    }

    // Nothing stands in when no local copy could be loaded: no notice.
    void noLocalCopyNoNotice()
    {
        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(url(QStringLiteral("missing.json")), true);
        QVERIFY(widget.waitUntil([&] { return widget.matching(QStringLiteral("infos:")).size() == 4; }));
        settle();
        QCOMPARE(widget.events.size(), 4);
        QCOMPARE(widget.matching(QStringLiteral("infos:")).size(), 4);
    }

    void bodyThatIsNotJsonIsReported()
    {
        QVERIFY(writeFile(m_www + QStringLiteral("/page.json"), "<html>not a catalogue</html>"));
        QVERIFY(writeFile(m_run + QStringLiteral("/scripts/firmwares_admin.json"), R"({"Firmwares": 0})"));
        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(url(QStringLiteral("page.json")), true);
        QTRY_COMPARE(widget.events.size(), 1);
        settle();
        QCOMPARE(widget.matching(QStringLiteral("infos:")).size(), 1);
        QCOMPARE(widget.matching(QStringLiteral("reply:")).size(), 0);
    }

    void untrustedCertificateIsRefused()
    {
        QVERIFY(writeFile(m_www + QStringLiteral("/firmware.hex"), "image"));
        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(url(QStringLiteral("firmware.hex"), m_untrustedPort), false);
        QTRY_COMPARE(widget.matching(QStringLiteral("infos:")).size(), 1);
        settle();
        QCOMPARE(widget.matching(QStringLiteral("done:")).size(), 0);
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("firmware.hex")));

        // The same file from the trusted server arrives.
        emit widget.sendRequestToNetwork(url(QStringLiteral("firmware.hex")), false);
        QTRY_COMPARE(widget.matching(QStringLiteral("done:")), QStringList { QStringLiteral("done:firmware.hex") });
        QCOMPARE(readFile(downloads() + QStringLiteral("firmware.hex")), QByteArray("image"));
    }

    void twoDownloadsInFlightKeepTheirNames()
    {
        QVERIFY(writeFile(m_www + QStringLiteral("/first.hex"), "first image"));
        QVERIFY(writeFile(m_www + QStringLiteral("/Tool.dll"), "plugin body"));
        QVERIFY(QDir().mkpath(newPluginFolder()));
        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(url(QStringLiteral("first.hex?delay=700")), false);
        emit widget.sendRequestToNetwork(url(QStringLiteral("Tool.dll")), false);
        QTRY_COMPARE(widget.matching(QStringLiteral("done:")).size(), 2);
        settle();
        QCOMPARE(widget.matching(QStringLiteral("done:")),
                 QStringList({ QStringLiteral("done:Tool.dll"), QStringLiteral("done:first.hex") }));
        QCOMPARE(widget.matching(QStringLiteral("infos:")).size(), 0);
        QVERIFY(!widget.matching(QStringLiteral("progress:")).isEmpty());
        QCOMPARE(readFile(downloads() + QStringLiteral("first.hex")), QByteArray("first image"));
        QCOMPARE(readFile(newPluginFolder() + QStringLiteral("Tool.dll")), QByteArray("plugin body"));
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("Tool.dll")));
    }

    void routingByName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("oldFolderExists");
        QTest::addColumn<bool>("newFolderExists");
        QTest::addColumn<QStringList>("expectedFolders");

        const QStringList toDownloads { QStringLiteral("downloads") };
        QTest::newRow(".exe") << "Setup_1.2.exe" << true << true << toDownloads;
        QTest::newRow(".hex") << "Movra-KZR410_Firmware_V1.hex" << true << true << toDownloads;
        QTest::newRow(".mcs") << "QWM_2.mcs" << false << false << toDownloads;
        QTest::newRow(".img") << "fx3.img" << false << true << toDownloads;
        QTest::newRow("mark inside the name") << "tool.exe.zip" << true << true << toDownloads;
        QTest::newRow("upper-case mark is a plugin")
            << "setup.EXE" << false << true << QStringList { QStringLiteral("new") };
        QTest::newRow("plugin, both folders")
            << "Orvex.dll" << true << true << QStringList({ QStringLiteral("old"), QStringLiteral("new") });
        QTest::newRow("plugin, older folder only")
            << "Orvex.dll" << true << false << QStringList { QStringLiteral("old") };
    }

    void routingByName()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, oldFolderExists);
        QFETCH(bool, newFolderExists);
        QFETCH(QStringList, expectedFolders);

        QVERIFY(writeFile(m_www + QLatin1Char('/') + fileName, "content of " + fileName.toUtf8()));
        if (oldFolderExists)
            QVERIFY(QDir().mkpath(oldPluginFolder()));
        if (newFolderExists)
            QVERIFY(QDir().mkpath(newPluginFolder()));
        // The downloads folder is missing at first and made when needed.
        QVERIFY(!QFileInfo::exists(downloads()));

        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(url(QString::fromUtf8(QUrl::toPercentEncoding(fileName))), false);
        QTRY_COMPARE(widget.matching(QStringLiteral("done:")), QStringList { QStringLiteral("done:") + fileName });
        QCOMPARE(widget.matching(QStringLiteral("infos:")), QStringList());

        const QList<QPair<QString, QString>> folders { { QStringLiteral("downloads"), downloads() },
                                                       { QStringLiteral("old"), oldPluginFolder() },
                                                       { QStringLiteral("new"), newPluginFolder() } };
        for (const auto& folder : folders) {
            const bool written = QFile::exists(folder.second + fileName);
            QVERIFY2(written == expectedFolders.contains(folder.first), qPrintable(folder.first));
            if (written)
                QCOMPARE(readFile(folder.second + fileName), "content of " + fileName.toUtf8());
        }
    }

    void refusedFileNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << "";
        QTest::newRow("dot") << "%2E";
        QTest::newRow("dot dot") << "%2E%2E";
        QTest::newRow("slash") << "..%2F..%2Fevil.hex";
        QTest::newRow("backslash") << "..%5Cevil.hex";
        QTest::newRow("colon") << "C%3Aevil.hex";
        QTest::newRow("newline") << "evil%0A.hex";
        QTest::newRow("delete") << "evil%7F.hex";
    }

    void refusedFileNames()
    {
        QFETCH(QString, path);
        QVERIFY(writeFile(m_home + QStringLiteral("/outside.txt"), "untouched"));
        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(QUrl(QStringLiteral("https://127.0.0.1:%1/files/").arg(m_port) + path), false);
        QTRY_COMPARE(widget.events.size(), 2);
        settle();
        QCOMPARE(widget.events.size(), 2);
        QVERIFY2(widget.events.first().startsWith(QStringLiteral("infos:Refused")), qPrintable(widget.events.first()));
        QVERIFY2(widget.events.last().startsWith(QStringLiteral("failed:")), qPrintable(widget.events.last()));
        QVERIFY(!QFileInfo::exists(downloads()));
        QCOMPARE(readFile(m_home + QStringLiteral("/outside.txt")), QByteArray("untouched"));
    }

    void acceptableFileNames_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("plain") << "Movra-KZR410_Firmware_V1.2.hex" << true;
        QTest::newRow("blank inside") << "Movra Tessaly Setup.exe" << true;
        QTest::newRow("leading dots") << "...hex" << true;
        QTest::newRow("accented") << QStringLiteral("mise à jour.hex") << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("slash") << "a/b.hex" << false;
        QTest::newRow("backslash") << "a\\b.hex" << false;
        QTest::newRow("colon") << "c:b.hex" << false;
        QTest::newRow("tab") << "a\tb.hex" << false;
        QTest::newRow("nul") << QString(QChar(0)) + QStringLiteral("b.hex") << false;
        QTest::newRow("C1 control") << QString(QChar(0x85)) + QStringLiteral("b.hex") << false;
    }

    void acceptableFileNames()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, acceptable);
        QCOMPARE(NetworkCommunicator::isAcceptableFileName(fileName), acceptable);
    }

    void writeFailureIsReported_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("blocker");
        QTest::newRow("downloads is a file") << "fw.hex"
                                             << "home/downloads";
        QTest::newRow("target is a folder") << "fw.hex"
                                            << "home/downloads/fw.hex/";
        QTest::newRow("no plugin folder") << "Orvex.dll"
                                          << "";
        QTest::newRow("plugin target is a folder") << "Orvex.dll"
                                                   << "install/Movra Tessaly/plugins/Orvex.dll/";
    }

    void writeFailureIsReported()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, blocker);
        QVERIFY(writeFile(m_www + QLatin1Char('/') + fileName, "content"));
        if (blocker.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(m_work.filePath(blocker)));
        else if (!blocker.isEmpty())
            QVERIFY(writeFile(m_work.filePath(blocker), "a file in the way"));

        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(url(fileName), false);
        QTRY_COMPARE(widget.matching(QStringLiteral("infos:")).size(), 1);
        settle();
        QCOMPARE(widget.matching(QStringLiteral("done:")), QStringList());
        QVERIFY2(widget.matching(QStringLiteral("infos:")).first().contains(fileName),
                 qPrintable(widget.matching(QStringLiteral("infos:")).first()));
    }

    void forceExitAbortsEveryRunningRequest()
    {
        Widget widget;
        ClientInThread client(&widget);

        // Nothing runs yet: nothing happens.
        emit widget.sendForceExitToNetwork();
        settle();
        QCOMPARE(widget.events, QStringList());

        emit widget.sendRequestToNetwork(url(QStringLiteral("one.hex?stall=1")), false);
        emit widget.sendRequestToNetwork(url(QStringLiteral("two.hex?stall=1")), false);
        // A catalogue whose server hangs mid-body.
        emit widget.sendRequestToNetwork(url(QStringLiteral("late.json?silent=1")), true);
        QTRY_VERIFY(widget.matching(QStringLiteral("progress:")).size() >= 2);
        settle();
        // Written now: the stopped catalogue must not bring it.
        QVERIFY(writeFile(m_run + QStringLiteral("/scripts/plugins.json"), R"({"Plugins": 0})"));
        emit widget.sendForceExitToNetwork();
        // Three cancelled requests; a stopped catalogue is no failure of the
        // server, so no local catalogue follows.
        QVERIFY(widget.waitUntil([&] { return widget.matching(QStringLiteral("infos:")).size() == 3; }));
        const int progressAtAbort = widget.matching(QStringLiteral("progress:")).size();
        settle();
        QCOMPARE(widget.matching(QStringLiteral("infos:")).size(), 3);
        QCOMPARE(widget.matching(QStringLiteral("reply:")), QStringList());
        QCOMPARE(widget.matching(QStringLiteral("local")), QStringList());
        QCOMPARE(widget.matching(QStringLiteral("done:")), QStringList());
        // Stopped on request: no failure to report.
        QCOMPARE(widget.matching(QStringLiteral("failed:")), QStringList());
        QCOMPARE(widget.matching(QStringLiteral("progress:")).size(), progressAtAbort);
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("one.hex")));
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("two.hex")));

        // Afterwards there is nothing left to abort.
        widget.events.clear();
        emit widget.sendForceExitToNetwork();
        settle();
        QCOMPARE(widget.events, QStringList());

        // The run's one fallback is still there for the server's first real failure.
        emit widget.sendRequestToNetwork(url(QStringLiteral("missing.json")), true);
        QVERIFY(widget.waitUntil([&] { return widget.events.contains(QStringLiteral("local")); }));
        QCOMPARE(widget.matching(QStringLiteral("reply:")), QStringList { QStringLiteral(R"(reply:{"Plugins":0})") });
    }

    void transferTimeoutSetting_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("seconds");
        QTest::newRow("absent") << QVariant() << 30;
        QTest::newRow("five") << QVariant(5) << 5;
        QTest::newRow("as text") << QVariant(QStringLiteral("12")) << 12;
        QTest::newRow("zero") << QVariant(0) << 30;
        QTest::newRow("negative") << QVariant(-4) << 30;
        QTest::newRow("not a number") << QVariant(QStringLiteral("soon")) << 30;
        QTest::newRow("beyond a day") << QVariant(100000) << 30;
    }

    void transferTimeoutSetting()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, seconds);
        if (stored.isValid())
            QSettings().setValue(nsUpdater::TransferTimeoutKey, stored);
        QCOMPARE(nsUpdater::transferTimeoutSeconds(), seconds);
    }

    // A server that stops sending mid-body: the request fails once the
    // stored time-out has passed with nothing received.
    void stalledTransferTimesOut_data()
    {
        QTest::addColumn<bool>("isJson");
        QTest::newRow("catalogue") << true;
        QTest::newRow("download") << false;
    }

    void stalledTransferTimesOut()
    {
        QFETCH(bool, isJson);
        QVERIFY(writeFile(m_run + QStringLiteral("/scripts/softwares.json"), R"({"Softwares": 0})"));
        QSettings().setValue(nsUpdater::TransferTimeoutKey, 1);
        Widget widget;
        ClientInThread client(&widget);
        QElapsedTimer clock;
        clock.start();
        emit widget.sendRequestToNetwork(
            url(isJson ? QStringLiteral("hang.json?silent=1") : QStringLiteral("hang.hex?silent=1")), isJson);
        QTRY_VERIFY_WITH_TIMEOUT(!widget.matching(QStringLiteral("infos:")).isEmpty(), 15000);
        QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
        const QString error = widget.matching(QStringLiteral("infos:")).first();
        QVERIFY2(error.contains(QStringLiteral("for 1 s")), qPrintable(error));
        if (isJson) {
            // The local catalogues follow as after any failure.
            QTRY_COMPARE(widget.matching(QStringLiteral("reply:")),
                         QStringList { QStringLiteral(R"(reply:{"Softwares":0})") });
        } else {
            QTRY_COMPARE(widget.matching(QStringLiteral("failed:")),
                         QStringList { QStringLiteral("failed:hang.hex:") + error.mid(6) });
            settle();
            QCOMPARE(widget.matching(QStringLiteral("done:")), QStringList());
            QCOMPARE(widget.matching(QStringLiteral("reply:")), QStringList());
            QVERIFY(!QFile::exists(downloads() + QStringLiteral("hang.hex")));
        }
    }

    // A download that fails ends with one report and one failure, and no
    // progress report that would show the dialog for it.
    void failedDownloadEnds_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("reason");
        QTest::newRow("HTTP 404") << "missing.hex"
                                  << "Not Found";
        QTest::newRow("HTTP 500") << "fw.hex?status=500"
                                  << "Internal Server Error";
        QTest::newRow("early close") << "fw.hex?short=1"
                                     << "closed";
        QTest::newRow("connection refused") << "closed-port"
                                            << "refused";
    }

    void failedDownloadEnds()
    {
        QFETCH(QString, address);
        QFETCH(QString, reason);
        QUrl target = url(address);
        if (address == QLatin1String("closed-port")) {
            // A port that was free a moment ago: nothing listens there.
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            target = url(QStringLiteral("fw.hex"), probe.serverPort());
        }
        Widget widget;
        ClientInThread client(&widget);
        emit widget.sendRequestToNetwork(target, false);
        QTRY_COMPARE_WITH_TIMEOUT(widget.matching(QStringLiteral("failed:")).size(), 1, 15000);
        settle();
        const QStringList infos = widget.matching(QStringLiteral("infos:"));
        QCOMPARE(infos.size(), 1);
        QVERIFY2(infos.first().contains(reason, Qt::CaseInsensitive), qPrintable(infos.first()));
        QCOMPARE(widget.events.size() - widget.matching(QStringLiteral("progress:")).size(), 2);
        QCOMPARE(widget.matching(QStringLiteral("done:")), QStringList());
        if (address != QLatin1String("fw.hex?short=1"))
            QCOMPARE(widget.matching(QStringLiteral("progress:")), QStringList());
        QVERIFY(!QFileInfo::exists(downloads() + QStringLiteral("fw.hex")));
        QVERIFY(!QFileInfo::exists(downloads() + QStringLiteral("missing.hex")));
    }

    // The operating system's reason, not "Unknown error", when the file
    // cannot be written in full; nothing half-written stays.
    void writeFailureNamesItsCause()
    {
        QVERIFY(writeFile(m_www + QStringLiteral("/large.hex"), QByteArray(64 * 1024, 'x')));
        QVERIFY(QDir().mkpath(downloads()));
        Widget widget;
        ClientInThread client(&widget);

        // Files of this process may grow to 4 KiB only; the write then fails
        // with EFBIG, as a full disk fails with ENOSPC.
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        emit widget.sendRequestToNetwork(url(QStringLiteral("large.hex")), false);
        const bool ended =
            QTest::qWaitFor([&] { return !widget.matching(QStringLiteral("failed:")).isEmpty(); }, 15000);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(ended);

        const QString error = widget.matching(QStringLiteral("infos:")).value(0);
        QVERIFY2(error.contains(QString::fromLocal8Bit(strerror(EFBIG))), qPrintable(error));
        QVERIFY2(!error.contains(QStringLiteral("Unknown error")), qPrintable(error));
        QCOMPARE(widget.matching(QStringLiteral("done:")), QStringList());
        QCOMPARE(QDir(downloads()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void destroyedWhileDownloading()
    {
        Widget widget;
        auto client = std::make_unique<ClientInThread>(&widget);
        emit widget.sendRequestToNetwork(url(QStringLiteral("big.hex?stall=1")), false);
        QTRY_VERIFY(!widget.matching(QStringLiteral("progress:")).isEmpty());
        QVERIFY(client->stop());
        client.reset();
        settle();
        QCOMPARE(widget.matching(QStringLiteral("done:")), QStringList());
        QVERIFY(!QFile::exists(downloads() + QStringLiteral("big.hex")));
    }
};

QTEST_GUILESS_MAIN(TestNetworkCommunicator)
#include "tst_networkcommunicator.moc"
