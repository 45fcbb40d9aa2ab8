#pragma once

#include "device/usb/LibUSBApi.h"

#include <QSharedPointer>
#include <QThread>

// Runs libusb's event handling for one context; every transfer callback of
// that context runs here.
class QLibUSBEventsThread : public QThread
{
    Q_OBJECT

public:
    QLibUSBEventsThread(QSharedPointer<LibUSBApi> api, libusb_context* context, QObject* parent = nullptr);
    ~QLibUSBEventsThread() override;

    // Asks the loop to end, wakes the library and waits until the thread has
    // left it, so the context may be released afterwards.
    void stopAndWait();

public slots:
    void run() override;

private:
    QSharedPointer<LibUSBApi> m_api;
    libusb_context* m_context;
};
