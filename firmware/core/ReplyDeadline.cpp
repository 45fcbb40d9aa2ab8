#include "firmware/core/ReplyDeadline.h"

#include "firmware/core/AbstractFirmwareCommunicator.h"
#include "firmware/core/ProgressMessages.h"

#include <QDebug>

#include <atomic>

namespace {
std::atomic<int> initialTimeoutMs { ReplyDeadline::DefaultTimeoutMs };
} // namespace

int ReplyDeadline::initialTimeout()
{
    return initialTimeoutMs.load();
}

void ReplyDeadline::setInitialTimeout(int ms)
{
    initialTimeoutMs.store(ms > 0 ? ms : DefaultTimeoutMs);
}

ReplyDeadline::ReplyDeadline(AbstractFirmwareCommunicator* communicator, const char* what)
    : QObject(communicator)
    , m_timeoutMs(initialTimeout())
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { emit expired(m_code); });
    // Made while the communicator is built, so this runs before anyone else
    // hears the error: an ended update is already over for them.
    connect(communicator, &AbstractFirmwareCommunicator::sendDeviceResponseToUpdater, this,
            [this, communicator](char, nsFirmware::MessageStatus status, int) {
                if (status == nsFirmware::Error) {
                    disarm();
                    communicator->setUpdating(0);
                }
            });
    connect(this, &ReplyDeadline::expired, communicator, [communicator, what](char code) {
        if (!communicator->isUpdating())
            return;
        qInfo() << "No reply to command" << int(code) << "of" << what;
        communicator->reportProgrammingFailure(code, ProgressMessages::NoConfirmationReceived);
    });
}

void ReplyDeadline::arm(char code)
{
    m_code = code;
    m_timer.start(m_timeoutMs);
}

void ReplyDeadline::disarm()
{
    m_timer.stop();
}
