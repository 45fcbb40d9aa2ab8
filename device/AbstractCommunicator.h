#pragma once

#include "device/AbstractGrabber.h"
#include "device/MovraDeviceInfo.h"

#include <QByteArray>
#include <QObject>
#include <QSharedPointer>
#include <QThread>

// Keeps the devices its grabber announces and moves bytes to and from them.
// Lives in its communication thread; the grabber lives in a second thread
// that this class owns.
class AbstractCommunicator : public QObject
{
    Q_OBJECT

public:
    static constexpr int GrabberStopWaitMs = 500;

    explicit AbstractCommunicator(QObject* parent = nullptr);
    ~AbstractCommunicator() override;

signals:
    void sendDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void sendDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo);
    void sendConnectionChanged(QSharedPointer<MovraDeviceInfo> deviceInfo, bool isConnected);

public slots:
    virtual void onCommunicationThreadStarted() = 0;
    virtual void onCommunicationThreadStopped() = 0;
    virtual void onDeviceInserted(QSharedPointer<MovraDeviceInfo> deviceInfo) = 0;
    virtual void onDeviceRemoved(QSharedPointer<MovraDeviceInfo> deviceInfo) = 0;
    virtual void onOpenDeviceReceived(QSharedPointer<MovraDeviceInfo> device) = 0;
    virtual void onCloseDeviceReceived(QSharedPointer<MovraDeviceInfo> device) = 0;
    virtual void onSendCommandToDeviceReceived(QSharedPointer<MovraDeviceInfo> deviceInfo, QByteArray cmd) = 0;

protected:
    // The shared start and stop of the grabber, called by the concrete
    // transports from their thread slots.
    void startGrabber(QSharedPointer<AbstractGrabber> grabber);
    void stopGrabber();

    QSharedPointer<AbstractGrabber> grabber() const { return m_grabber; }

private:
    void finishGrabberThread();

    QSharedPointer<QThread> m_grabberThread;
    QSharedPointer<AbstractGrabber> m_grabber;
};
