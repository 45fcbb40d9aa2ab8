#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonDocument>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Every transfer of the updater: the JSON catalogues, firmware files,
// installers and plugin files over HTTPS. Lives in a thread of its own and
// talks to the widget only through queued signals.
class NetworkCommunicator : public QObject
{
    Q_OBJECT

public:
    explicit NetworkCommunicator(QObject* parent = nullptr);
    ~NetworkCommunicator() override;

    // "scripts" under the working directory, where the local catalogues lie.
    static QString localCatalogueFolder();
    // The user's home folder followed by "/downloads/".
    static QString downloadsFolder();
    // True when the name marks a firmware file or an installer, which go to
    // the downloads folder; every other name is a plugin file.
    static bool isFirmwareOrInstallerName(const QString& fileName);
    // A name taken from a URL may only name a file inside its folder.
    static bool isAcceptableFileName(const QString& fileName);

signals:
    void sendNetworkReply(QJsonDocument document);
    void sendNetworkReplyInfos(QString errorString);
    void sendNetworkReplyDownloadProgress(qlonglong bytesReceived, qlonglong bytesTotal);
    // The name is the file name the download was saved under.
    void sendNetworkReplyDownloadDone(QString fileName);
    // A file download ended without its file: refused, failed, timed out or
    // not written. Its error also goes out through sendNetworkReplyInfos. A
    // download stopped by a forced exit sends only that.
    void sendNetworkReplyDownloadFailed(QString fileName, QString errorString);
    // The local catalogues stand in for the server's: all of them were asked
    // for after a failed catalogue request, and at least one arrived.
    void sendLocalCataloguesLoaded();

public slots:
    void onAskRequestToNetworkReceived(QUrl url, bool isJson);
    // Aborts every request still running, catalogues included.
    void onForceExitReceived();

private slots:
    void onNetworkReplyReceived(QNetworkReply* reply);

private:
    struct PendingRequest
    {
        bool isJson = false;
        QString fileName;
        int timeoutSeconds = 0;
        bool forcedExit = false;
        bool localCatalogue = false;
    };

    void sendRequest(const QUrl& url, bool isJson, bool localCatalogue = false);
    void onLocalCatalogueEnded(bool loaded);
    void requestLocalCatalogues();
    // Returns an error text, empty once the file is saved in every target folder.
    QString saveDownloadedFile(const QByteArray& body, const QString& fileName);
    void abortReply(QNetworkReply* reply);
    QString errorText(QNetworkReply* reply, const PendingRequest& request) const;
    void reportDownloadFailure(const QString& fileName, const QString& errorString);

    bool m_fallbackAllowed = true;
    int m_localCataloguesLeft = 0;
    bool m_localCatalogueLoaded = false;
    QSharedPointer<QNetworkAccessManager> m_networkManager;
    // Each reply carries its own request until it has been handled.
    QHash<QNetworkReply*, PendingRequest> m_pendingRequests;
};
