#pragma once

#include "device/MovraDeviceInfo.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSerialPort>
#include <QSharedPointer>
#include <QTimer>

// Tells what sits behind an adapter whose ids do not say it: tries the
// stage chain's test commands, then the pump's, each on a freshly opened
// port with its own 200 ms window, and reports once. Identification starts
// with construction; the owner decides when the identifier goes.
class SerialDeviceIdentifier : public QObject
{
    Q_OBJECT

public:
    static constexpr int CommandWindowMs = 200;
    static const QByteArray StageChainReply;
    static const QByteArray PumpReply;

    explicit SerialDeviceIdentifier(QSharedPointer<MovraDeviceInfo> deviceInfo, QObject* parent = nullptr);
    ~SerialDeviceIdentifier() override;

signals:
    void sendDeviceIdentified(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void sendDeviceNotIdentified(QSharedPointer<MovraDeviceInfo> deviceInfo);

private slots:
    void commandTestedTimeout();
    void onReadyReadReceived();
    void onErrorOccured(QSerialPort::SerialPortError error);

private:
    void initializeTestProtocols();
    void sendNextTestCommand();
    void resetPort();

    QSharedPointer<MovraDeviceInfo> m_deviceInfo;
    QSerialPort* m_port = nullptr;
    QTimer* m_timer = nullptr;
    QMap<int, QList<QByteArray>> m_testCommands;
    QMap<int, QByteArray> m_expectedReplies;
    QMap<int, qint32> m_baudRates;
    QMap<int, DriverType> m_driverTypes;
    int m_protocolIndex = 0;
    int m_commandIndex = 0;
    bool m_isIdentified = false;
    bool m_hasReported = false;
    QByteArray m_receivedData;
};
