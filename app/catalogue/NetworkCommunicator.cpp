#include "app/catalogue/NetworkCommunicator.h"

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
            emit sendNetworkReplyInfos(tr("Refused to download %1: the file name \"%2\" is not a plain file name")
                                           .arg(url.toDisplayString(), fileName));
            return;
        }
    }
    sendRequest(url, isJson);
}

void NetworkCommunicator::sendRequest(const QUrl& url, bool isJson)
{
    if (!m_networkManager) {
        m_networkManager = QSharedPointer<QNetworkAccessManager>::create();
        connect(m_networkManager.data(), &QNetworkAccessManager::finished, this,
                &NetworkCommunicator::onNetworkReplyReceived);
    }
    QNetworkReply* reply = m_networkManager->get(QNetworkRequest(url));
    m_pendingRequests.insert(reply, PendingRequest { isJson, decodedFileName(url) });
    if (!isJson) {
        connect(reply, &QNetworkReply::downloadProgress, this, &NetworkCommunicator::sendNetworkReplyDownloadProgress);
    }
}

void NetworkCommunicator::requestLocalCatalogues()
{
    m_fallbackAllowed = false;
    const QString folder = localCatalogueFolder();
    for (const QString& name : localCatalogueNames())
        sendRequest(QUrl::fromLocalFile(folder + QLatin1Char('/') + name), true);
}

void NetworkCommunicator::onForceExitReceived()
{
    QList<QNetworkReply*> running;
    for (auto it = m_pendingRequests.cbegin(); it != m_pendingRequests.cend(); ++it) {
        if (!it.value().isJson && it.key()->isRunning())
            running.append(it.key());
    }
    for (QNetworkReply* reply : running)
        abortReply(reply);
}

void NetworkCommunicator::abortReply(QNetworkReply* reply)
{
    disconnect(reply, &QNetworkReply::downloadProgress, this, &NetworkCommunicator::sendNetworkReplyDownloadProgress);
    if (!reply->isFinished())
        reply->abort();
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
        emit sendNetworkReplyInfos(reply->errorString());
        if (request.isJson && m_fallbackAllowed)
            requestLocalCatalogues();
    } else if (request.isJson) {
        const QJsonDocument document = QJsonDocument::fromJson(reply->readAll());
        if (document.isNull())
            emit sendNetworkReplyInfos(reply->errorString());
        else
            emit sendNetworkReply(document);
    } else {
        const QString error = saveDownloadedFile(reply->readAll(), request.fileName);
        if (error.isEmpty())
            emit sendNetworkReplyDownloadDone(request.fileName);
        else
            emit sendNetworkReplyInfos(error);
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
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
            failures.append(QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    if (failures.isEmpty())
        return {};
    return tr("Could not save %1: %2").arg(fileName, failures.join(QStringLiteral("; ")));
}
