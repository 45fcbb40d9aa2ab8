#include "app/catalogue/NetworkCommunicator.h"

#include "app/catalogue/TransferTimeout.h"
#include "app/installed/PluginFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace {

const QStringList& firmwareOrInstallerMarks()
{
    static const QStringList marks = { QStringLiteral(".exe"), QStringLiteral(".hex"), QStringLiteral(".mcs"),
                                       QStringLiteral(".img") };
    return marks;
}

const QStringList& localCatalogueNames()
{
    static const QStringList names = { QStringLiteral("firmwares_admin.json"), QStringLiteral("softwares.json"),
                                       QStringLiteral("plugins.json") };
    return names;
}

// The last segment of the path as sent, decoded afterwards: decoding first
// would let an encoded "/" choose another segment.
QString decodedFileName(const QUrl& url)
{
    const QString encoded = url.fileName(QUrl::FullyEncoded);
    return QUrl::fromPercentEncoding(encoded.toLatin1());
}

// The operating system's reason when the file cannot be written, empty once
// it is in place. A write that stops short (a full disk) reports no error;
// writing the rest again fails at once and names the cause.
QString writeWholeFile(const QString& path, const QByteArray& body)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    qint64 written = 0;
    while (written < body.size()) {
        const qint64 step = file.write(body.constData() + written, body.size() - written);
        if (step <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return reason;
        }
        written += step;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

NetworkCommunicator::NetworkCommunicator(QObject* parent)
    : QObject(parent)
{
}

NetworkCommunicator::~NetworkCommunicator()
{
    if (!m_networkManager)
        return;
    // Aborting emits finished at once; nobody is left to hear it.
    disconnect(m_networkManager.data(), nullptr, this, nullptr);
    const QList<QNetworkReply*> replies = m_pendingRequests.keys();
    for (QNetworkReply* reply : replies)
        abortReply(reply);
    m_pendingRequests.clear();
    m_networkManager.reset();
}

QString NetworkCommunicator::localCatalogueFolder()
{
    return QDir::currentPath() + QStringLiteral("/scripts");
}

QString NetworkCommunicator::downloadsFolder()
{
    return QDir::home().absolutePath() + QStringLiteral("/downloads/");
}

bool NetworkCommunicator::isFirmwareOrInstallerName(const QString& fileName)
{
    for (const QString& mark : firmwareOrInstallerMarks()) {
        if (fileName.contains(mark))
            return true;
    }
    return false;
}

bool NetworkCommunicator::isAcceptableFileName(const QString& fileName)
{
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return false;
    for (const QChar c : fileName) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':'))
            return false;
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

void NetworkCommunicator::onAskRequestToNetworkReceived(QUrl url, bool isJson)
{
    if (!isJson) {
        const QString fileName = decodedFileName(url);
        if (!isAcceptableFileName(fileName)) {
            reportDownloadFailure(fileName, tr("Refused to download %1: the file name \"%2\" is not a plain file name")
                                                .arg(url.toDisplayString(), fileName));
            return;
        }
    }
    sendRequest(url, isJson);
}

void NetworkCommunicator::sendRequest(const QUrl& url, bool isJson, bool localCatalogue)
{
    if (!m_networkManager) {
        m_networkManager = QSharedPointer<QNetworkAccessManager>::create();
        connect(m_networkManager.data(), &QNetworkAccessManager::finished, this,
                &NetworkCommunicator::onNetworkReplyReceived);
    }
    QNetworkRequest request(url);
    const int timeoutSeconds = nsUpdater::transferTimeoutSeconds();
    request.setTransferTimeout(timeoutSeconds * 1000);
    QNetworkReply* reply = m_networkManager->get(request);
    m_pendingRequests.insert(reply,
                             PendingRequest { isJson, decodedFileName(url), timeoutSeconds, false, localCatalogue });
    if (!isJson) {
        // A failing reply still reports its bytes as it ends; that report
        // would show the progress dialog for a download that is over.
        connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received, qint64 total) {
            if (reply->error() == QNetworkReply::NoError)
                emit sendNetworkReplyDownloadProgress(received, total);
        });
    }
}

void NetworkCommunicator::requestLocalCatalogues()
{
    m_fallbackAllowed = false;
    m_localCataloguesLeft = int(localCatalogueNames().size());
    m_localCatalogueLoaded = false;
    const QString folder = localCatalogueFolder();
    for (const QString& name : localCatalogueNames())
        sendRequest(QUrl::fromLocalFile(folder + QLatin1Char('/') + name), true, true);
}

void NetworkCommunicator::onLocalCatalogueEnded(bool loaded)
{
    m_localCatalogueLoaded = m_localCatalogueLoaded || loaded;
    if (--m_localCataloguesLeft == 0 && m_localCatalogueLoaded)
        emit sendLocalCataloguesLoaded();
}

void NetworkCommunicator::onForceExitReceived()
{
    QList<QNetworkReply*> running;
    for (auto it = m_pendingRequests.begin(); it != m_pendingRequests.end(); ++it) {
        if (it.key()->isRunning()) {
            it.value().forcedExit = true;
            running.append(it.key());
        }
    }
    for (QNetworkReply* reply : running)
        abortReply(reply);
}

void NetworkCommunicator::abortReply(QNetworkReply* reply)
{
    disconnect(reply, &QNetworkReply::downloadProgress, this, nullptr);
    if (!reply->isFinished())
        reply->abort();
}

// The network layer calls a time-out a cancelled operation, as it calls a
// forced exit; the user is told which it was.
QString NetworkCommunicator::errorText(QNetworkReply* reply, const PendingRequest& request) const
{
    const bool timedOut =
        !request.forcedExit
        && (reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError);
    if (!timedOut)
        return reply->errorString();
    return tr("Nothing received from %1 for %2 s: the transfer was stopped")
        .arg(reply->url().toDisplayString())
        .arg(request.timeoutSeconds);
}

void NetworkCommunicator::reportDownloadFailure(const QString& fileName, const QString& errorString)
{
    emit sendNetworkReplyInfos(errorString);
    emit sendNetworkReplyDownloadFailed(fileName, errorString);
}

void NetworkCommunicator::onNetworkReplyReceived(QNetworkReply* reply)
{
    const auto pending = m_pendingRequests.find(reply);
    if (pending == m_pendingRequests.end()) {
        reply->deleteLater();
        return;
    }
    const PendingRequest request = pending.value();
    m_pendingRequests.erase(pending);

    if (reply->error() != QNetworkReply::NoError) {
        const QString error = errorText(reply, request);
        if (request.isJson || request.forcedExit)
            emit sendNetworkReplyInfos(error);
        else
            reportDownloadFailure(request.fileName, error);
        // A request the user stopped says nothing of the server.
        if (request.isJson && m_fallbackAllowed && !request.forcedExit)
            requestLocalCatalogues();
        if (request.localCatalogue)
            onLocalCatalogueEnded(false);
    } else if (request.isJson) {
        const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
        if (document.isNull())
            emit sendNetworkReplyInfos(reply->errorString());
        else
            emit sendNetworkReply(document);
        if (request.localCatalogue)
            onLocalCatalogueEnded(!document.isNull());
    } else {
        const QString error = saveDownloadedFile(reply->readAll(), request.fileName);
        if (error.isEmpty())
            emit sendNetworkReplyDownloadDone(request.fileName);
        else
            reportDownloadFailure(request.fileName, error);
    }
    reply->close();
    reply->deleteLater();
}

QString NetworkCommunicator::saveDownloadedFile(const QByteArray& body, const QString& fileName)
{
    if (!isAcceptableFileName(fileName))
        return tr("Could not save \"%1\": not a plain file name").arg(fileName);

    QStringList folders;
    if (isFirmwareOrInstallerName(fileName)) {
        const QString folder = downloadsFolder();
        if (!QDir().mkpath(folder))
            return tr("Could not save %1: the folder %2 cannot be created").arg(fileName, folder);
        folders.append(folder);
    } else {
        for (const QString& folder : nsUpdater::acquisitionPluginFolders()) {
            if (QFileInfo(folder).isDir())
                folders.append(folder);
        }
        if (folders.isEmpty())
            return tr("Could not save %1: no plugin folder of the acquisition program was found").arg(fileName);
    }

    QStringList failures;
    for (const QString& folder : folders) {
        const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
        const QString path = QDir(canonicalFolder).absoluteFilePath(fileName);
        const QFileInfo target(path);
        const QString resolved = target.exists() ? target.canonicalFilePath() : path;
        if (canonicalFolder.isEmpty() || QFileInfo(resolved).absolutePath() != canonicalFolder) {
            failures.append(tr("%1 lies outside %2").arg(path, folder));
            continue;
        }
        const QString failure = writeWholeFile(path, body);
        if (!failure.isEmpty())
            failures.append(QStringLiteral("%1: %2").arg(path, failure));
    }
    if (failures.isEmpty())
        return {};
    return tr("Could not save %1: %2").arg(fileName, failures.join(QStringLiteral("; ")));
}
