#include "device/usb/AbstractLibUSBEndpoint.h"

#include <QDebug>
#include <QTimer>

AbstractLibUSBEndpoint::AbstractLibUSBEndpoint(QSharedPointer<LibUSBApi> api, quint16 releaseNumber,
                                               const libusb_endpoint_descriptor& descriptor, QObject* parent)
    : QObject(parent)
    , m_api(api)
    , m_description(QSharedPointer<EndpointDescription>::create())
    , m_releaseNumber(releaseNumber)
{
    m_description->transferType = descriptor.bmAttributes;
    m_description->direction = (descriptor.bEndpointAddress & LIBUSB_ENDPOINT_IN) ? 1 : 0;
    m_description->address = descriptor.bEndpointAddress;
    m_description->maxPacketSize = descriptor.wMaxPacketSize;
    m_description->interval = descriptor.bInterval;
}

AbstractLibUSBEndpoint::~AbstractLibUSBEndpoint()
{
    QMutexLocker life(&m_lifecycleLock);
    for (auto& slot : m_slots) {
        if (!slot->transfer)
            continue;
        if (slot->inFlight)
            qInfo() << "USB endpoint" << name() << "released with a transfer still in flight";
        m_api->freeTransfer(slot->transfer);
        slot->transfer = nullptr;
    }
}

QString AbstractLibUSBEndpoint::name() const
{
    return QStringLiteral("0x%1").arg(m_description->address, 2, 16, QLatin1Char('0'));
}

void AbstractLibUSBEndpoint::createSlots(int slotCount, int createdSlots,
                                         std::function<AbstractLibUSBBuffer*()> makeBuffer)
{
    m_slotCount = slotCount;
    for (int i = 0; i < createdSlots; ++i) {
        auto slot = std::make_unique<TransferSlot>();
        slot->buffer = QSharedPointer<AbstractLibUSBBuffer>(makeBuffer());
        m_slots.push_back(std::move(slot));
    }
}

bool AbstractLibUSBEndpoint::lockSlot(TransferSlot& slot, int attempts)
{
    for (int i = 0; i < attempts; ++i) {
        if (slot.mutex.tryLock(SlotLockTimeoutMs))
            return true;
    }
    return false;
}

bool AbstractLibUSBEndpoint::cancellationPending() const
{
    for (const auto& slot : m_slots) {
        if (slot->cancelPending)
            return true;
    }
    return false;
}

int AbstractLibUSBEndpoint::slotOf(const libusb_transfer* transfer) const
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i]->transfer == transfer)
            return int(i);
    }
    return -1;
}

bool AbstractLibUSBEndpoint::allocateTransfer(TransferSlot& slot, libusb_device_handle* deviceHandle, int length)
{
    libusb_transfer* transfer = m_api->allocTransfer(0);
    if (!transfer) {
        qInfo() << "USB endpoint" << name() << ": no transfer could be allocated";
        return false;
    }
    transfer->dev_handle = deviceHandle;
    transfer->endpoint = m_description->address;
    transfer->type = m_description->transferType;
    transfer->callback = isIn() ? &AbstractLibUSBEndpoint::inCallback : &AbstractLibUSBEndpoint::outCallback;
    transfer->timeout = 0;
    transfer->length = length;
    transfer->user_data = this;
    slot.transfer = transfer;
    return true;
}

void AbstractLibUSBEndpoint::prepareSlot(int index, libusb_device_handle* deviceHandle, int length, char fill)
{
    QMutexLocker life(&m_lifecycleLock);
    TransferSlot& slot = *m_slots.at(size_t(index));
    if (slot.inFlight || !slot.mutex.tryLock(SlotLockTimeoutMs))
        return;
    if (slot.transfer) {
        m_api->freeTransfer(slot.transfer);
        slot.transfer = nullptr;
    }
    if (allocateTransfer(slot, deviceHandle, length)) {
        if (slot.buffer->isEmpty())
            slot.buffer->push(QByteArray(length, fill));
        submitSlot(index);
    }
    slot.mutex.unlock();
}

void AbstractLibUSBEndpoint::submitSlot(int index)
{
    TransferSlot& slot = *m_slots.at(size_t(index));
    if (slot.buffer->isEmpty() || !slot.transfer || slot.inFlight || slot.cancelPending || m_givenUp)
        return;
    slot.transfer->buffer = slot.buffer->frontData();
    slot.transfer->length = slot.buffer->frontSize();
    slot.transfer->type = LIBUSB_TRANSFER_TYPE_BULK;
    const int result = m_api->submitTransfer(slot.transfer);
    if (result == 0) {
        slot.inFlight = true;
        slot.haltClearsAtSubmit = m_haltClears;
        return;
    }
    qDebug() << "USB endpoint" << name() << ": submission failed:" << libusb_error_name(result);
    if (result == LIBUSB_ERROR_NO_DEVICE)
        m_deviceGone = true;
}

void AbstractLibUSBEndpoint::start(libusb_device_handle* deviceHandle)
{
    QMutexLocker life(&m_lifecycleLock);
    m_deviceHandle = deviceHandle;
    if (!isIn()) {
        prepareTransfer(deviceHandle);
        return;
    }
    for (size_t i = 0; i < m_slots.size(); ++i) {
        prepareTransfer(deviceHandle);
        m_ringPosition = (m_ringPosition + 1) % m_slotCount;
    }
}

void AbstractLibUSBEndpoint::write(QByteArray data)
{
    QMutexLocker life(&m_lifecycleLock);
    if (cancellationPending())
        return;
    if (m_givenUp) {
        if (!isIn())
            qInfo() << "USB endpoint" << name() << "was given up," << data.size() << "bytes dropped";
        return;
    }
    TransferSlot& slot = *m_slots.at(size_t(m_ringPosition));
    if (lockSlot(slot, SlotLockAttempts)) {
        if (!data.isEmpty()) {
            slot.buffer->push(data);
            // After a failed transfer the slot has none: give it a new one.
            if (!slot.transfer && m_deviceHandle)
                allocateTransfer(slot, m_deviceHandle, slot.buffer->frontSize());
            submitSlot(m_ringPosition);
        }
        slot.mutex.unlock();
    } else {
        qInfo() << "USB endpoint" << name() << ": slot stayed locked," << data.size() << "bytes dropped";
    }
    if (isIn())
        m_ringPosition = (m_ringPosition + 1) % m_slotCount;
}

void AbstractLibUSBEndpoint::requeueSlot(QByteArray data, int index)
{
    QMutexLocker life(&m_lifecycleLock);
    if (cancellationPending())
        return;
    TransferSlot& slot = *m_slots.at(size_t(index));
    if (!lockSlot(slot, SlotLockAttempts)) {
        qInfo() << "USB comm. data mutex was locked...";
        return;
    }
    if (!data.isEmpty()) {
        slot.buffer->push(data);
        submitSlot(index);
    }
    slot.mutex.unlock();
}

QByteArray AbstractLibUSBEndpoint::takeTransferData(libusb_transfer* transfer)
{
    QMutexLocker life(&m_lifecycleLock);
    const int index = slotOf(transfer);
    if (index < 0)
        return {};
    TransferSlot& slot = *m_slots.at(size_t(index));
    QByteArray data;
    if (lockSlot(slot, SlotLockAttempts)) {
        if (!slot.buffer->isEmpty())
            data = slot.buffer->takeFirst();
        slot.mutex.unlock();
    }
    return data;
}

void AbstractLibUSBEndpoint::rearmSlot(int index)
{
    TransferSlot& slot = *m_slots.at(size_t(index));
    if (!lockSlot(slot, SlotLockAttempts))
        return;
    submitSlot(index);
    slot.mutex.unlock();
}

// Events thread. A transfer that failed or that someone else cancelled
// leaves the slot idle: it is armed again from the endpoint's own thread
// after a pause, so a device that keeps failing cannot keep the events
// thread busy, and given up after a bound. A device that is gone shows as
// "no device" and through the grabber's removal.
void AbstractLibUSBEndpoint::retryLater(int index)
{
    // Often how a device that left the bus shows first, before a
    // resubmission says so.
    if (m_deviceGone)
        return;
    TransferSlot& slot = *m_slots.at(size_t(index));
    ++slot.failedRun;
    if (slot.failedRun >= FailedRunLimit) {
        qInfo() << "USB endpoint" << name() << ":" << slot.failedRun << "failed transfers in a row, no longer armed";
        return;
    }
    const int pauseMs = RetryPauseMs << (slot.failedRun - 1);
    qDebug() << "USB endpoint" << name() << ": transfer failed, armed again in" << pauseMs << "ms";
    QMetaObject::invokeMethod(
        this, [this, index, pauseMs] { QTimer::singleShot(pauseMs, this, [this, index] { retrySlot(index); }); },
        Qt::QueuedConnection);
}

void AbstractLibUSBEndpoint::retrySlot(int index)
{
    QMutexLocker life(&m_lifecycleLock);
    TransferSlot& slot = *m_slots.at(size_t(index));
    // Released by a close meanwhile, or armed again by a write.
    if (cancellationPending() || !slot.transfer || slot.inFlight || !m_deviceHandle)
        return;
    prepareSlot(index, m_deviceHandle, transferLength(), fillByte());
    if (!slot.inFlight && !m_givenUp)
        retryLater(index);
}

// Events thread. A halted endpoint answers every transfer with a stall
// until the halt is cleared. Every slot that met one halt comes back
// stalled; the first clears it, the others were submitted before that
// clear and only go again.
void AbstractLibUSBEndpoint::clearHaltAndResubmit(int index)
{
    if (m_givenUp)
        return;
    TransferSlot& slot = *m_slots.at(size_t(index));
    if (slot.haltClearsAtSubmit == m_haltClears) {
        if (m_haltClearRun >= HaltClearLimit) {
            giveUp(QStringLiteral("stays halted after %1 clears").arg(m_haltClearRun));
            return;
        }
        ++m_haltClearRun;
        ++m_haltClears;
        const int result = m_api->clearHalt(m_deviceHandle, m_description->address);
        if (result != 0)
            qInfo() << "USB endpoint" << name() << ": halt not cleared:" << libusb_error_name(result);
    }
    rearmSlot(index);
}

void AbstractLibUSBEndpoint::giveUp(const QString& why)
{
    m_givenUp = true;
    int dropped = 0;
    if (!isIn()) {
        TransferSlot& slot = *m_slots.front();
        if (lockSlot(slot, SlotLockAttempts)) {
            dropped = int(slot.buffer->count());
            slot.buffer->clear();
            slot.mutex.unlock();
        }
    }
    qInfo().noquote()
        << QStringLiteral("USB endpoint %1 %2: given up, %3 packets dropped").arg(name(), why).arg(dropped);
}

void AbstractLibUSBEndpoint::continueTransfers(int index)
{
    QMutexLocker life(&m_lifecycleLock);
    if (cancellationPending())
        return;
    TransferSlot& slot = *m_slots.at(size_t(index));
    if (slot.transfer
        && (slot.transfer->status == LIBUSB_TRANSFER_CANCELLED || slot.transfer->status == LIBUSB_TRANSFER_TIMED_OUT)) {
        prepareSlot(index, slot.transfer->dev_handle, transferLength(), fillByte());
    } else {
        rearmSlot(index);
    }
    if (isIn())
        m_ringPosition = (m_ringPosition + 1) % m_slotCount;
}

void AbstractLibUSBEndpoint::setCancelPending(bool pending)
{
    QMutexLocker life(&m_lifecycleLock);
    for (auto& slot : m_slots) {
        if (slot->transfer)
            slot->cancelPending = pending;
    }
}

void AbstractLibUSBEndpoint::cancelTransfers()
{
    QMutexLocker life(&m_lifecycleLock);
    QList<libusb_transfer*> idle;
    for (auto& slot : m_slots) {
        if (!slot->transfer)
            continue;
        // A transfer in flight always comes back through its callback,
        // whatever the cancel says, and is released there.
        if (slot->inFlight)
            m_api->cancelTransfer(slot->transfer);
        else
            idle.append(slot->transfer);
    }
    for (libusb_transfer* transfer : idle)
        releaseTransfer(transfer);
}

void AbstractLibUSBEndpoint::releaseTransfer(libusb_transfer* transfer)
{
    QMutexLocker life(&m_lifecycleLock);
    const int index = slotOf(transfer);
    if (index < 0)
        return;
    TransferSlot& slot = *m_slots.at(size_t(index));
    m_api->freeTransfer(slot.transfer);
    slot.transfer = nullptr;
    slot.cancelPending = false;
    slot.inFlight = false;
    if (!hasPendingCancellation())
        emit sendEndpointCancellationConfirmation();
}

bool AbstractLibUSBEndpoint::hasPendingCancellation() const
{
    QMutexLocker life(&m_lifecycleLock);
    for (const auto& slot : m_slots) {
        if (slot->transfer && slot->cancelPending)
            return true;
    }
    return false;
}

void LIBUSB_CALL AbstractLibUSBEndpoint::inCallback(libusb_transfer* transfer)
{
    static_cast<AbstractLibUSBEndpoint*>(transfer->user_data)->handleInTransfer(transfer);
}

void LIBUSB_CALL AbstractLibUSBEndpoint::outCallback(libusb_transfer* transfer)
{
    static_cast<AbstractLibUSBEndpoint*>(transfer->user_data)->handleOutTransfer(transfer);
}

void AbstractLibUSBEndpoint::handleInTransfer(libusb_transfer* transfer)
{
    QMutexLocker life(&m_lifecycleLock);
    const int index = slotOf(transfer);
    if (index < 0)
        return;
    TransferSlot& slot = *m_slots.at(size_t(index));
    slot.inFlight = false;
    if (slot.cancelPending) {
        // Closing: whatever way it ended, this transfer is done.
        if (transfer->actual_length > 0
            && (transfer->status == LIBUSB_TRANSFER_COMPLETED || transfer->status == LIBUSB_TRANSFER_CANCELLED))
            processTransfer(transfer);
        releaseTransfer(transfer);
        return;
    }
    switch (transfer->status) {
    case LIBUSB_TRANSFER_COMPLETED:
        slot.failedRun = 0;
        m_haltClearRun = 0;
        // An empty packet still leaves the slot armed.
        if (transfer->actual_length > 0)
            processTransfer(transfer);
        else
            rearmSlot(index);
        break;
    case LIBUSB_TRANSFER_TIMED_OUT: continueTransfers(index); break;
    case LIBUSB_TRANSFER_STALL: clearHaltAndResubmit(index); break;
    case LIBUSB_TRANSFER_CANCELLED:
        // Cancelled by someone else: not a close.
        if (transfer->actual_length > 0)
            processTransfer(transfer);
        if (!slot.inFlight)
            retryLater(index);
        break;
    case LIBUSB_TRANSFER_OVERFLOW:
        // The device sent more than the buffer holds: drop it and listen on.
        qDebug() << "USB endpoint" << name() << ": overflow, packet dropped";
        rearmSlot(index);
        break;
    // Also a transient bus fault (EPROTO, EILSEQ or ETIME under usbfs).
    case LIBUSB_TRANSFER_ERROR: retryLater(index); break;
    case LIBUSB_TRANSFER_NO_DEVICE: m_deviceGone = true; break;
    }
}

void AbstractLibUSBEndpoint::handleOutTransfer(libusb_transfer* transfer)
{
    QMutexLocker life(&m_lifecycleLock);
    const int index = slotOf(transfer);
    if (index < 0)
        return;
    TransferSlot& slot = *m_slots.at(size_t(index));
    slot.inFlight = false;
    if (slot.cancelPending) {
        releaseTransfer(transfer);
        return;
    }
    switch (transfer->status) {
    case LIBUSB_TRANSFER_COMPLETED:
        m_haltClearRun = 0;
        takeTransferData(transfer);
        continueTransfers(index);
        break;
    case LIBUSB_TRANSFER_ERROR:
        // The write failed: drop its transfer and what was queued behind it,
        // so that nothing later submits a released transfer; the next write
        // starts on a new one.
        if (lockSlot(slot, SlotLockAttempts)) {
            qInfo() << "USB write to endpoint" << name() << "failed," << slot.buffer->count() << "packets dropped";
            slot.buffer->clear();
            slot.mutex.unlock();
        }
        m_api->freeTransfer(slot.transfer);
        slot.transfer = nullptr;
        break;
    // The packet stays first in the queue and goes again once cleared.
    case LIBUSB_TRANSFER_STALL: clearHaltAndResubmit(index); break;
    case LIBUSB_TRANSFER_TIMED_OUT:
    case LIBUSB_TRANSFER_CANCELLED:
    case LIBUSB_TRANSFER_NO_DEVICE:
    case LIBUSB_TRANSFER_OVERFLOW: break;
    }
}
