#include "tests/support/CatalogueServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkProxy>
#include <QSslCertificate>
#include <QSslConfiguration>

namespace {
// Room for the helper's start on a loaded machine.
constexpr int ServerStartMs = 30000;
} // namespace

CatalogueServer::CatalogueServer(QObject* parent)
    : QObject(parent)
{
}

CatalogueServer::~CatalogueServer()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    m_proxy.close();
    for (const QPointer<QTcpSocket>& socket : m_sockets)
        delete socket.data();
    if (m_server.state() != QProcess::NotRunning) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}

QString CatalogueServer::root() const
{
    return m_folder.filePath(QStringLiteral("www"));
}

bool CatalogueServer::writeFile(const QString& path, const QByteArray& content) const
{
    const QString full = root() + QLatin1Char('/') + path;
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

bool CatalogueServer::start(const QString& helperScript, const QString& hostName)
{
    if (!m_folder.isValid() || !QDir().mkpath(root()))
        return false;
    const QString key = m_folder.filePath(QStringLiteral("server.key"));
    const QString certificate = m_folder.filePath(QStringLiteral("server.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  { QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                    QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"),
                    QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                    QStringLiteral("/CN=") + hostName, QStringLiteral("-addext"),
                    QStringLiteral("subjectAltName=DNS:") + hostName, QStringLiteral("-keyout"), key,
                    QStringLiteral("-out"), certificate });
    if (!openssl.waitForFinished(20000) || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0)
        return false;

    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    const QList<QSslCertificate> trusted = QSslCertificate::fromPath(certificate);
    if (trusted.size() != 1)
        return false;
    configuration.addCaCertificates(trusted);
    QSslConfiguration::setDefaultConfiguration(configuration);

    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("python3"), { helperScript, QStringLiteral("--cert"), certificate,
                                                QStringLiteral("--key"), key, QStringLiteral("--root"), root() });
    if (!m_server.waitForStarted(ServerStartMs))
        return false;
    while (!m_server.canReadLine()) {
        if (!m_server.waitForReadyRead(ServerStartMs))
            return false;
    }
    m_serverPort = quint16(m_server.readLine().trimmed().toUInt());
    if (m_serverPort == 0)
        return false;

    connect(&m_proxy, &QTcpServer::newConnection, this, &CatalogueServer::onNewConnection);
    if (!m_proxy.listen(QHostAddress::LocalHost, 0))
        return false;
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), m_proxy.serverPort()));
    return true;
}

void CatalogueServer::onNewConnection()
{
    while (QTcpSocket* client = m_proxy.nextPendingConnection()) {
        m_sockets.append(client);
        connect(client, &QTcpSocket::readyRead, this, [this, client] { onClientReadyRead(client); });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
    }
}

// Reads the CONNECT request, then pipes bytes both ways.
void CatalogueServer::onClientReadyRead(QTcpSocket* client)
{
    if (client->property("tunnel").value<QObject*>())
        return;
    QByteArray request = client->property("request").toByteArray() + client->readAll();
    const int end = request.indexOf("\r\n\r\n");
    if (end < 0) {
        client->setProperty("request", request);
        return;
    }
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QByteArray rest = request.mid(end + 4);
    m_tunnelRequests.append(words.size() > 1 ? QString::fromLatin1(words.at(1)) : QString());
    QByteArray refusal;
    switch (m_reach) {
    case Reach::Reachable: break;
    case Reach::Unreachable: refusal = "502 Bad Gateway"; break;
    case Reach::HostNotFound: refusal = "404 Not Found"; break;
    case Reach::ConnectionRefused: refusal = "503 Service Unavailable"; break;
    }
    if (words.value(0) != "CONNECT")
        refusal = "502 Bad Gateway";
    if (!refusal.isEmpty()) {
        client->write("HTTP/1.1 " + refusal + "\r\nContent-Length: 0\r\n\r\n");
        client->disconnectFromHost();
        return;
    }
    auto* upstream = new QTcpSocket(client);
    m_sockets.append(upstream);
    client->setProperty("tunnel", QVariant::fromValue<QObject*>(upstream));
    disconnect(client, &QTcpSocket::readyRead, this, nullptr);
    connect(upstream, &QTcpSocket::connected, client, [client, upstream, rest] {
        client->write("HTTP/1.1 200 Connection established\r\n\r\n");
        if (!rest.isEmpty())
            upstream->write(rest);
        connect(client, &QTcpSocket::readyRead, upstream, [client, upstream] { upstream->write(client->readAll()); });
        connect(upstream, &QTcpSocket::readyRead, client, [client, upstream] { client->write(upstream->readAll()); });
        if (client->bytesAvailable() > 0)
            upstream->write(client->readAll());
    });
    connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
    connect(client, &QTcpSocket::disconnected, upstream, &QTcpSocket::disconnectFromHost);
    upstream->connectToHost(QHostAddress::LocalHost, m_serverPort);
}
