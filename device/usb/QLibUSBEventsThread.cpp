#include "device/usb/QLibUSBEventsThread.h"

QLibUSBEventsThread::QLibUSBEventsThread(QSharedPointer<LibUSBApi> api, libusb_context* context, QObject* parent)
    : QThread(parent)
    , m_api(api)
    , m_context(context)
{
}

QLibUSBEventsThread::~QLibUSBEventsThread()
{
    stopAndWait();
}

void QLibUSBEventsThread::stopAndWait()
{
    if (!isInterruptionRequested())
        requestInterruption();
    quit();
    // The loop only notices the request when the library returns, which
    // could take up to its 60 s limit without this wake-up.
    while (!wait(0)) {
        m_api->interruptEventHandler(m_context);
        if (wait(50))
            break;
    }
}

void QLibUSBEventsThread::run()
{
    while (!isInterruptionRequested())
        m_api->handleEvents(m_context);
}
