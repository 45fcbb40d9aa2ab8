#pragma once

// A simulated USB bus under the program's LibUSBApi seam.
//
// Plug devices described by a SimUsbDeviceSetup, unplug them, or have them
// enumerate again with a new address, product id and strings. The program's
// grabber, device handlers and endpoints then see them through the same
// calls they make on real libusb.
//
// The device side of a plugged SimUsbDevice:
//   - setOutHandler(f): f(endpoint, data) is called on the events thread for
//     every OUT bulk transfer that completes, before the program's callback.
//   - queueIn(endpoint, data [, status]): the next IN transfer on that
//     endpoint completes with data and status (completed, stall, error,
//     timed out, no device, cancelled; an empty array is a zero-length
//     packet; more data than the transfer holds ends it with an overflow).
//     Queued data waits until the program arms the endpoint.
//   - failNextOut(endpoint, status): the next OUT transfer there ends so.
//   - halt(endpoint [, clears]): the endpoint answers every transfer with a
//     stall (the IN transfers armed there at once) until the program has
//     cleared the halt that many times (HaltForEver: never).
//   - setControlHandler(f): answers control transfers; f gets the request
//     (and the OUT data) and returns the byte count or a libusb error; for an
//     IN request it fills data, which is cut to the requested length.
// Completions run on whichever thread calls handleEvents for the context
// that opened the device, as with libusb.
//
// Misuse of the library (a transfer freed while in flight, a context
// released while its events are handled or with handles open, a list freed
// that was never given out, ...) is recorded in errors(); outstanding()
// names what was taken and not given back. The bus must outlive its devices.

#include "device/usb/LibUSBApi.h"
#include "tests/support/StepWait.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QSharedPointer>
#include <QStringList>
#include <QWaitCondition>

#include <functional>

struct SimUsbEndpoint
{
    quint8 address = 0x81;
    quint16 maxPacketSize = 64;
    quint8 attributes = LIBUSB_TRANSFER_TYPE_BULK;
    quint8 interval = 0;
    quint8 maxBurst = 0;
    bool hasCompanion = true; // SuperSpeed companion descriptor present
};

struct SimUsbDeviceSetup
{
    quint16 vendorId = 0x04D8;
    quint16 productId = 0xF57E;
    quint16 bcdDevice = 0x0100;
    quint8 bus = 1;
    quint8 port = 1;
    quint8 address = 1;
    int speed = LIBUSB_SPEED_FULL;
    QString product = QStringLiteral("Sim device"); // empty: no string
    QString serial = QStringLiteral("SIM0001");     // empty: no string
    quint8 configurationValue = 1;
    int currentConfiguration = 0;
    int interfaceCount = 1;
    quint8 interfaceNumber = 0;
    QList<SimUsbEndpoint> endpoints = { { 0x01, 64 }, { 0x81, 64 } };
    bool kernelDriverActive = false;
    // Library errors (0: none) returned by these calls on this device.
    int descriptorError = 0;
    int openError = 0;
    int stringError = 0;
    int configError = 0;
    int setConfigurationError = 0;
    int claimError = 0;
};

struct SimControlRequest
{
    quint8 requestType = 0;
    quint8 request = 0;
    quint16 value = 0;
    quint16 index = 0;
    quint16 length = 0;
    unsigned int timeoutMs = 0;
    QByteArray data; // OUT data
};

struct SimOutPacket
{
    quint8 endpoint = 0;
    QByteArray data;
};

class SimUsbBus;

class SimUsbDevice
{
public:
    using OutHandler = std::function<void(quint8 endpoint, const QByteArray& data)>;
    using ControlHandler = std::function<int(const SimControlRequest& request, QByteArray& data)>;

    SimUsbDevice(SimUsbBus* bus, const SimUsbDeviceSetup& setup);

    SimUsbDeviceSetup setup() const;
    QString locationKey() const; // the uid the program gives this device

    void setOutHandler(OutHandler handler);
    void setControlHandler(ControlHandler handler);
    void queueIn(quint8 endpoint, const QByteArray& data, int status = LIBUSB_TRANSFER_COMPLETED);
    void failNextOut(quint8 endpoint, int status);
    static constexpr int HaltForEver = -1;
    void halt(quint8 endpoint, int clears = 1);
    // Changes the errors of the setup while the device stays plugged.
    void setOpenError(int error);
    void setClaimError(int error);

    QList<SimOutPacket> outPackets() const;
    QList<SimControlRequest> controlRequests() const;
    // Library calls that changed the device: "detachKernelDriver 0",
    // "setConfiguration 1", "claimInterface 0", "releaseInterface 0",
    // "clearHalt 0x81".
    QStringList calls() const;
    int armedInTransfers(quint8 endpoint) const;
    // OUT transfers that ended otherwise than completed and whose callback
    // the program has run.
    int failedOutsHandled() const;
    // Completions queued for the endpoint and not yet taken by a transfer.
    int queuedIn(quint8 endpoint) const;
    int openHandles() const;
    bool isPlugged() const;

private:
    friend class SimUsbBus;

    SimUsbBus* m_bus;
    SimUsbDeviceSetup m_setup;
    bool m_plugged = true;
    int m_openHandles = 0;
    bool m_kernelDriverActive = false;
    int m_currentConfiguration = 0;
    OutHandler m_outHandler;
    ControlHandler m_controlHandler;
    QMap<quint8, QList<QPair<QByteArray, int>>> m_inQueue;
    QMap<quint8, QList<libusb_transfer*>> m_armedIn;
    QMap<quint8, QList<int>> m_outFailures;
    QMap<quint8, int> m_halts; // clears still needed, or HaltForEver
    QList<SimOutPacket> m_outPackets;
    QList<SimControlRequest> m_controlRequests;
    QStringList m_calls;
    int m_failedOutsHandled = 0;
};

class SimUsbBus : public LibUSBApi
{
public:
    SimUsbBus();
    ~SimUsbBus() override;

    QSharedPointer<SimUsbDevice> plug(const SimUsbDeviceSetup& setup);
    // Pending transfers of the device end with "no device"; its handles stay
    // until the program closes them.
    void unplug(const QSharedPointer<SimUsbDevice>& device);
    // The device leaves and comes back as a new one with these changes.
    QSharedPointer<SimUsbDevice> reenumerate(const QSharedPointer<SimUsbDevice>& device, quint8 newAddress,
                                             quint16 newProductId, const QString& product, const QString& serial);
    // Moves a plugged device to another port, as a new device.
    QSharedPointer<SimUsbDevice> move(const QSharedPointer<SimUsbDevice>& device, quint8 newPort);

    void setInitError(int error);       // every later init fails so
    void failNextDeviceList(int error); // the next list returns this count

    QStringList errors() const;
    QStringList outstanding() const;
    int logLevel() const; // the last log level set
    int initCount() const;
    // Runs the event loop until done() holds, asked after each completion
    // whose callback the program has run, or until timeoutMs have passed.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs)
    {
        return m_completions.waitUntil(done, timeoutMs);
    }

    // LibUSBApi
    int init(libusb_context** context) override;
    void exit(libusb_context* context) override;
    int setLogLevel(libusb_context* context, int level) override;
    ssize_t getDeviceList(libusb_context* context, libusb_device*** list) override;
    void freeDeviceList(libusb_device** list, int unrefDevices) override;
    int getDeviceDescriptor(libusb_device* device, libusb_device_descriptor* descriptor) override;
    uint8_t getBusNumber(libusb_device* device) override;
    uint8_t getPortNumber(libusb_device* device) override;
    uint8_t getDeviceAddress(libusb_device* device) override;
    int getDeviceSpeed(libusb_device* device) override;
    int open(libusb_device* device, libusb_device_handle** handle) override;
    void close(libusb_device_handle* handle) override;
    int getStringDescriptorAscii(libusb_device_handle* handle, uint8_t index, unsigned char* data, int length) override;
    int getConfigDescriptor(libusb_device* device, uint8_t index, libusb_config_descriptor** config) override;
    void freeConfigDescriptor(libusb_config_descriptor* config) override;
    int getSsEndpointCompanionDescriptor(libusb_context* context, const libusb_endpoint_descriptor* endpoint,
                                         libusb_ss_endpoint_companion_descriptor** companion) override;
    void freeSsEndpointCompanionDescriptor(libusb_ss_endpoint_companion_descriptor* companion) override;
    int kernelDriverActive(libusb_device_handle* handle, int interfaceNumber) override;
    int detachKernelDriver(libusb_device_handle* handle, int interfaceNumber) override;
    int getConfiguration(libusb_device_handle* handle, int* configuration) override;
    int setConfiguration(libusb_device_handle* handle, int configuration) override;
    int claimInterface(libusb_device_handle* handle, int interfaceNumber) override;
    int releaseInterface(libusb_device_handle* handle, int interfaceNumber) override;
    int clearHalt(libusb_device_handle* handle, unsigned char endpoint) override;
    int controlTransfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request, uint16_t value,
                        uint16_t index, unsigned char* data, uint16_t length, unsigned int timeoutMs) override;
    libusb_transfer* allocTransfer(int isoPackets) override;
    int submitTransfer(libusb_transfer* transfer) override;
    int cancelTransfer(libusb_transfer* transfer) override;
    void freeTransfer(libusb_transfer* transfer) override;
    int handleEvents(libusb_context* context) override;
    void interruptEventHandler(libusb_context* context) override;

private:
    friend class SimUsbDevice;

    struct Context
    {
        bool isDefault = false;
        int refs = 0;
        int inHandleEvents = 0;
        bool interrupted = false;
        QList<libusb_transfer*> completions;
        QWaitCondition wake;
    };
    struct Entry
    {
        Context* context;
        QSharedPointer<SimUsbDevice> device;
    };
    struct Handle
    {
        Context* context;
        QSharedPointer<SimUsbDevice> device;
        bool claimed = false;
    };
    struct Transfer
    {
        bool inFlight = false;
        bool completionQueued = false;
        Handle* handle = nullptr;
        QByteArray outData; // what an OUT transfer delivered
    };

    Context* contextOf(libusb_context* context);                                    // lock held
    Entry* entryOf(libusb_device* device);                                          // lock held
    Handle* handleOf(libusb_device_handle* handle);                                 // lock held
    void error(const QString& what);                                                // lock held
    void complete(libusb_transfer* transfer, int status, int actualLength);         // lock held
    void completeIn(libusb_transfer* transfer, const QByteArray& data, int status); // lock held
    void retire(const QSharedPointer<SimUsbDevice>& device);                        // lock held

    mutable QMutex m_lock;
    Context m_default;
    QSet<Context*> m_contexts;
    QList<QSharedPointer<SimUsbDevice>> m_devices;
    QSet<libusb_device**> m_lists;
    QSet<Entry*> m_entries;
    QSet<Handle*> m_handles;
    QHash<libusb_transfer*, Transfer> m_transfers;
    QSet<libusb_config_descriptor*> m_configs;
    QHash<const libusb_endpoint_descriptor*, SimUsbEndpoint> m_endpointInfo;
    QSet<libusb_ss_endpoint_companion_descriptor*> m_companions;
    QStringList m_errors;
    int m_initError = 0;
    int m_nextListError = 0;
    int m_logLevel = -1;
    int m_initCount = 0;
    StepWait m_completions;
};
