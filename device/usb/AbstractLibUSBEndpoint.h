#pragma once

#include "device/usb/AbstractLibUSBBuffer.h"
#include "device/usb/LibUSBApi.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QRecursiveMutex>
#include <QSharedPointer>

#include <functional>
#include <memory>
#include <vector>

struct EndpointDescription
{
    quint8 transferType = 0;
    quint8 direction = 0; // 1 IN, 0 OUT
    quint8 address = 0;
    quint16 maxPacketSize = 0;
    quint8 interval = 0;
};

struct TransferSlot
{
    bool cancelPending = false;
    libusb_transfer* transfer = nullptr;
    QSharedPointer<AbstractLibUSBBuffer> buffer;
    QMutex mutex;
    // Submitted and its callback not yet entered: only the callback may
    // then free the transfer.
    bool inFlight = false;
    // Transfers of this slot in a row that failed or were cancelled by
    // someone else.
    int failedRun = 0;
    // The endpoint's halt clears when the transfer was last submitted: a
    // stall met by an older submission was already cleared.
    int haltClearsAtSubmit = 0;
};

// One bulk endpoint of an open device: a ring of transfer slots, each with
// one libusb transfer and a packet queue. IN endpoints keep their slots
// armed; OUT endpoints send what write() queues, one packet after another.
//
// Transfer callbacks run in the handler's events thread, start/write/cancel
// in the communication thread. A transfer's life (alloc, submit, cancel,
// free) is decided under one endpoint lock, held for a whole callback, so
// neither thread can free a transfer the other is still using.
class AbstractLibUSBEndpoint : public QObject
{
    Q_OBJECT

public:
    static constexpr int SlotLockTimeoutMs = 15;
    // A write that misses the slot lock tries again this many times before
    // it is reported as dropped.
    static constexpr int SlotLockAttempts = 40;
    // A failed IN transfer is armed again after this pause, doubled at each
    // failure in a row; the slot is given up at the limit.
    static constexpr int RetryPauseMs = 4;
    static constexpr int FailedRunLimit = 8;
    // Halt clears in a row without a transfer getting through, before the
    // endpoint is given up.
    static constexpr int HaltClearLimit = 5;

    AbstractLibUSBEndpoint(QSharedPointer<LibUSBApi> api, quint16 releaseNumber,
                           const libusb_endpoint_descriptor& descriptor, QObject* parent = nullptr);
    ~AbstractLibUSBEndpoint() override;

    QSharedPointer<EndpointDescription> description() const { return m_description; }
    bool isIn() const { return m_description->direction == 1; }
    int slotCount() const { return m_slotCount; }
    int createdSlotCount() const { return int(m_slots.size()); }
    // The lock of one slot, for tests that hold it from outside.
    QMutex* slotLock(int index) { return &m_slots.at(size_t(index))->mutex; }

    void start(libusb_device_handle* deviceHandle);
    void write(QByteArray data);
    void setCancelPending(bool pending);
    void cancelTransfers();
    bool hasPendingCancellation() const;

signals:
    void sendNewCommandReceivedFromDevice(QByteArray message);
    void sendNewDataReceivedFromDevice(QByteArray message);
    void sendNewUSB3CommandReceivedFromDevice(QByteArray message, int length);
    void sendEndpointCancellationConfirmation();

protected:
    virtual void processTransfer(libusb_transfer* transfer) = 0;
    virtual void prepareTransfer(libusb_device_handle* deviceHandle) = 0;

    void createSlots(int slotCount, int createdSlots, std::function<AbstractLibUSBBuffer*()> makeBuffer);
    // Arms one slot with a new transfer of the given length; an empty queue
    // gets an array of that length filled with fill.
    void prepareSlot(int index, libusb_device_handle* deviceHandle, int length, char fill);
    virtual int transferLength() const = 0;
    virtual char fillByte() const = 0;

    void continueTransfers(int index);
    void releaseTransfer(libusb_transfer* transfer);
    void requeueSlot(QByteArray data, int index);
    QByteArray takeTransferData(libusb_transfer* transfer);
    void submitSlot(int index);
    int slotOf(const libusb_transfer* transfer) const;

    QSharedPointer<LibUSBApi> m_api;
    QSharedPointer<EndpointDescription> m_description;
    quint16 m_releaseNumber;
    int m_ringPosition = 0;
    int m_slotCount = 0;
    std::vector<std::unique_ptr<TransferSlot>> m_slots;

private:
    static void LIBUSB_CALL inCallback(libusb_transfer* transfer);
    static void LIBUSB_CALL outCallback(libusb_transfer* transfer);
    void handleInTransfer(libusb_transfer* transfer);
    void handleOutTransfer(libusb_transfer* transfer);
    bool lockSlot(TransferSlot& slot, int attempts);
    bool cancellationPending() const;
    bool allocateTransfer(TransferSlot& slot, libusb_device_handle* deviceHandle, int length);
    void rearmSlot(int index);
    void retryLater(int index);
    void retrySlot(int index);
    void clearHaltAndResubmit(int index);
    void giveUp(const QString& why);
    QString name() const;

    mutable QRecursiveMutex m_lifecycleLock;
    libusb_device_handle* m_deviceHandle = nullptr;
    int m_haltClears = 0;
    int m_haltClearRun = 0;
    bool m_givenUp = false;
    // The library said the device has left the bus: no retry can succeed.
    bool m_deviceGone = false;
};
