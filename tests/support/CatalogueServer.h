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
    // How the proxy answers a tunnel, as a real proxy does: 502 when it
    // cannot get through, 404 when the host name does not resolve, 503 when
    // the host refuses the connection. The program's network layer reads the
    // last two as "host not found" and "connection refused".
    enum class Reach {
        Reachable,
        Unreachable,
        HostNotFound,
        ConnectionRefused,
    };

    explicit CatalogueServer(QObject* parent = nullptr);
    ~CatalogueServer() override;

    // Makes the certificate, trusts it, starts the server and the proxy.
    bool start(const QString& helperScript, const QString& hostName);
    // The folder served as the web root.
    QString root() const;
    bool writeFile(const QString& path, const QByteArray& content) const;

    void setReachable(bool reachable) { m_reach = reachable ? Reach::Reachable : Reach::Unreachable; }
    void setReach(Reach reach) { m_reach = reach; }
    // The "host:port" of every tunnel asked for, in order.
    QStringList tunnelRequests() const { return m_tunnelRequests; }

private:
    void onNewConnection();
    void onClientReadyRead(QTcpSocket* client);

    QTemporaryDir m_folder;
    QProcess m_server;
    QTcpServer m_proxy;
    quint16 m_serverPort = 0;
    Reach m_reach = Reach::Reachable;
    QStringList m_tunnelRequests;
    QList<QPointer<QTcpSocket>> m_sockets;
};
