#pragma once

#include "device/MovraDeviceInfo.h"

#include <QObject>
#include <QSharedPointer>
#include <QTimer>

// Looks for devices of one transport on a fixed period, in the grabber thread.
class AbstractGrabber : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollIntervalMs = 1500;

    explicit AbstractGrabber(QObject* parent = nullptr);
    ~AbstractGrabber() override;

signals:
    void sendDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void sendDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo);

public slots:
    void run();
    void stop();
    virtual void refreshAvailableDevices() = 0;

private:
    QSharedPointer<QTimer> m_pollTimer;
};
