#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

// The maker's update server on this machine: the HTTPS server helper serves
// a folder under a certificate made for the maker's host name, and an HTTP
// proxy set as the application proxy tunnels every HTTPS connection to it.
// So the program asks for its real catalogue addresses and nothing leaves
// the loopback interface. With tunnelling refused the server counts as
// unreachable.
class CatalogueServer : public QObject
{
    Q_OBJECT

public:
    explicit CatalogueServer(QObject* parent = nullptr);
    ~CatalogueServer() override;

    // Makes the certificate, trusts it, starts the server and the proxy.
    bool start(const QString& helperScript, const QString& hostName);
    // The folder served as the web root.
    QString root() const;
    bool writeFile(const QString& path, const QByteArray& content) const;

    void setReachable(bool reachable) { m_reachable = reachable; }
    // The "host:port" of every tunnel asked for, in order.
    QStringList tunnelRequests() const { return m_tunnelRequests; }

private:
    void onNewConnection();
    void onClientReadyRead(QTcpSocket* client);

    QTemporaryDir m_folder;
    QProcess m_server;
    QTcpServer m_proxy;
    quint16 m_serverPort = 0;
    bool m_reachable = true;
    QStringList m_tunnelRequests;
    QList<QPointer<QTcpSocket>> m_sockets;
};
