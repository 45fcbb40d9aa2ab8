#include "tests/device/usb/sim/SimUsbBus.h"

#include <QDeadlineTimer>
#include <QMutexLocker>

#include <cstdlib>
#include <cstring>

namespace {

constexpr quint8 ProductStringIndex = 2;
constexpr quint8 SerialStringIndex = 3;
constexpr int EventWaitLimitMs = 60000; // libusb_handle_events' own limit

} // namespace

// ---------------------------------------------------------------- device

SimUsbDevice::SimUsbDevice(SimUsbBus* bus, const SimUsbDeviceSetup& setup)
    : m_bus(bus)
    , m_setup(setup)
    , m_kernelDriverActive(setup.kernelDriverActive)
    , m_currentConfiguration(setup.currentConfiguration)
{
}

SimUsbDeviceSetup SimUsbDevice::setup() const
{
    QMutexLocker locker(&m_bus->m_lock);
    return m_setup;
}

QString SimUsbDevice::locationKey() const
{
    const SimUsbDeviceSetup s = setup();
    const auto hex = [](int value, int digits) {
        return QString::number(value, 16).toUpper().rightJustified(digits, '0');
    };
    return hex(s.vendorId, 4) + '-' + hex(s.productId, 4) + '-' + hex(s.bus, 2) + hex(s.port, 2) + '-'
           + hex(s.address, 2);
}

void SimUsbDevice::setOutHandler(OutHandler handler)
{
    QMutexLocker locker(&m_bus->m_lock);
    m_outHandler = std::move(handler);
}

void SimUsbDevice::setControlHandler(ControlHandler handler)
{
    QMutexLocker locker(&m_bus->m_lock);
    m_controlHandler = std::move(handler);
}

void SimUsbDevice::queueIn(quint8 endpoint, const QByteArray& data, int status)
{
    QMutexLocker locker(&m_bus->m_lock);
    if (!m_plugged)
        return;
    QList<libusb_transfer*>& armed = m_armedIn[endpoint];
    if (!armed.isEmpty())
        m_bus->completeIn(armed.takeFirst(), data, status);
    else
        m_inQueue[endpoint].append(qMakePair(data, status));
}

void SimUsbDevice::failNextOut(quint8 endpoint, int status)
{
    QMutexLocker locker(&m_bus->m_lock);
    m_outFailures[endpoint].append(status);
}

void SimUsbDevice::halt(quint8 endpoint, int clears)
{
    QMutexLocker locker(&m_bus->m_lock);
    if (!m_plugged)
        return;
    m_halts[endpoint] = clears;
    for (libusb_transfer* transfer : m_armedIn.take(endpoint))
        m_bus->complete(transfer, LIBUSB_TRANSFER_STALL, 0);
}

void SimUsbDevice::setOpenError(int error)
{
    QMutexLocker locker(&m_bus->m_lock);
    m_setup.openError = error;
}

void SimUsbDevice::setClaimError(int error)
{
    QMutexLocker locker(&m_bus->m_lock);
    m_setup.claimError = error;
}

QList<SimOutPacket> SimUsbDevice::outPackets() const
{
    QMutexLocker locker(&m_bus->m_lock);
    return m_outPackets;
}

QList<SimControlRequest> SimUsbDevice::controlRequests() const
{
    QMutexLocker locker(&m_bus->m_lock);
    return m_controlRequests;
}

QStringList SimUsbDevice::calls() const
{
    QMutexLocker locker(&m_bus->m_lock);
    return m_calls;
}

int SimUsbDevice::armedInTransfers(quint8 endpoint) const
{
    QMutexLocker locker(&m_bus->m_lock);
    return int(m_armedIn.value(endpoint).size());
}

int SimUsbDevice::failedOutsHandled() const
{
    QMutexLocker locker(&m_bus->m_lock);
    return m_failedOutsHandled;
}

int SimUsbDevice::queuedIn(quint8 endpoint) const
{
    QMutexLocker locker(&m_bus->m_lock);
    return int(m_inQueue.value(endpoint).size());
}

int SimUsbDevice::openHandles() const
{
    QMutexLocker locker(&m_bus->m_lock);
    return m_openHandles;
}

bool SimUsbDevice::isPlugged() const
{
    QMutexLocker locker(&m_bus->m_lock);
    return m_plugged;
}

// ---------------------------------------------------------------- bus

SimUsbBus::SimUsbBus()
{
    m_default.isDefault = true;
}

SimUsbBus::~SimUsbBus()
{
    for (Context* context : qAsConst(m_contexts))
        delete context;
    for (libusb_device** list : qAsConst(m_lists))
        delete[] list;
    qDeleteAll(m_entries);
    qDeleteAll(m_handles);
    for (auto it = m_transfers.begin(); it != m_transfers.end(); ++it)
        std::free(it.key());
}

void SimUsbBus::error(const QString& what)
{
    m_errors.append(what);
}

QStringList SimUsbBus::errors() const
{
    QMutexLocker locker(&m_lock);
    return m_errors;
}

QStringList SimUsbBus::outstanding() const
{
    QMutexLocker locker(&m_lock);
    QStringList left;
    if (m_default.refs > 0)
        left << QStringLiteral("default context (%1)").arg(m_default.refs);
    if (!m_contexts.isEmpty())
        left << QStringLiteral("%1 contexts").arg(m_contexts.size());
    if (!m_lists.isEmpty())
        left << QStringLiteral("%1 device lists").arg(m_lists.size());
    if (!m_handles.isEmpty())
        left << QStringLiteral("%1 device handles").arg(m_handles.size());
    if (!m_transfers.isEmpty())
        left << QStringLiteral("%1 transfers").arg(m_transfers.size());
    if (!m_configs.isEmpty())
        left << QStringLiteral("%1 config descriptors").arg(m_configs.size());
    if (!m_companions.isEmpty())
        left << QStringLiteral("%1 companion descriptors").arg(m_companions.size());
    return left;
}

int SimUsbBus::logLevel() const
{
    QMutexLocker locker(&m_lock);
    return m_logLevel;
}

int SimUsbBus::initCount() const
{
    QMutexLocker locker(&m_lock);
    return m_initCount;
}

QSharedPointer<SimUsbDevice> SimUsbBus::plug(const SimUsbDeviceSetup& setup)
{
    auto device = QSharedPointer<SimUsbDevice>::create(this, setup);
    QMutexLocker locker(&m_lock);
    m_devices.append(device);
    return device;
}

void SimUsbBus::retire(const QSharedPointer<SimUsbDevice>& device)
{
    if (!device->m_plugged)
        return;
    device->m_plugged = false;
    m_devices.removeAll(device);
    device->m_inQueue.clear();
    device->m_armedIn.clear();
    for (auto it = m_transfers.begin(); it != m_transfers.end(); ++it) {
        Transfer& t = it.value();
        if (t.inFlight && !t.completionQueued && t.handle && t.handle->device == device)
            complete(it.key(), LIBUSB_TRANSFER_NO_DEVICE, 0);
    }
}

void SimUsbBus::unplug(const QSharedPointer<SimUsbDevice>& device)
{
    QMutexLocker locker(&m_lock);
    retire(device);
}

QSharedPointer<SimUsbDevice> SimUsbBus::reenumerate(const QSharedPointer<SimUsbDevice>& device, quint8 newAddress,
                                                    quint16 newProductId, const QString& product, const QString& serial)
{
    SimUsbDeviceSetup setup = device->setup();
    setup.address = newAddress;
    setup.productId = newProductId;
    setup.product = product;
    setup.serial = serial;
    unplug(device);
    return plug(setup);
}

QSharedPointer<SimUsbDevice> SimUsbBus::move(const QSharedPointer<SimUsbDevice>& device, quint8 newPort)
{
    SimUsbDeviceSetup setup = device->setup();
    setup.port = newPort;
    unplug(device);
    return plug(setup);
}

void SimUsbBus::setInitError(int error)
{
    QMutexLocker locker(&m_lock);
    m_initError = error;
}

void SimUsbBus::failNextDeviceList(int error)
{
    QMutexLocker locker(&m_lock);
    m_nextListError = error;
}

SimUsbBus::Context* SimUsbBus::contextOf(libusb_context* context)
{
    if (!context) {
        if (m_default.refs <= 0) {
            error(QStringLiteral("default context used before init"));
            return nullptr;
        }
        return &m_default;
    }
    auto* c = reinterpret_cast<Context*>(context);
    if (!m_contexts.contains(c)) {
        error(QStringLiteral("unknown or released context used"));
        return nullptr;
    }
    return c;
}

SimUsbBus::Entry* SimUsbBus::entryOf(libusb_device* device)
{
    auto* e = reinterpret_cast<Entry*>(device);
    if (!m_entries.contains(e)) {
        error(QStringLiteral("device used after its list was freed"));
        return nullptr;
    }
    return e;
}

SimUsbBus::Handle* SimUsbBus::handleOf(libusb_device_handle* handle)
{
    auto* h = reinterpret_cast<Handle*>(handle);
    if (!m_handles.contains(h)) {
        error(QStringLiteral("closed or unknown device handle used"));
        return nullptr;
    }
    return h;
}

int SimUsbBus::init(libusb_context** context)
{
    QMutexLocker locker(&m_lock);
    if (m_initError != 0)
        return m_initError;
    ++m_initCount;
    if (!context) {
        ++m_default.refs;
        return 0;
    }
    auto* c = new Context;
    m_contexts.insert(c);
    *context = reinterpret_cast<libusb_context*>(c);
    return 0;
}

void SimUsbBus::exit(libusb_context* context)
{
    QMutexLocker locker(&m_lock);
    Context* c = contextOf(context);
    if (!c)
        return;
    if (c->inHandleEvents > 0)
        error(QStringLiteral("context released while its events are being handled"));
    for (Handle* h : qAsConst(m_handles)) {
        if (h->context == c)
            error(QStringLiteral("context released with a device handle open"));
    }
    if (c->isDefault) {
        --c->refs;
        return;
    }
    m_contexts.remove(c);
    delete c;
}

int SimUsbBus::setLogLevel(libusb_context* context, int level)
{
    QMutexLocker locker(&m_lock);
    if (!contextOf(context))
        return LIBUSB_ERROR_INVALID_PARAM;
    m_logLevel = level;
    return 0;
}

ssize_t SimUsbBus::getDeviceList(libusb_context* context, libusb_device*** list)
{
    QMutexLocker locker(&m_lock);
    Context* c = contextOf(context);
    if (!c)
        return LIBUSB_ERROR_INVALID_PARAM;
    if (m_nextListError != 0) {
        const int e = m_nextListError;
        m_nextListError = 0;
        return e;
    }
    auto** array = new libusb_device*[size_t(m_devices.size()) + 1];
    for (qsizetype i = 0; i < m_devices.size(); ++i) {
        auto* e = new Entry { c, m_devices.at(i) };
        m_entries.insert(e);
        array[i] = reinterpret_cast<libusb_device*>(e);
    }
    array[m_devices.size()] = nullptr;
    m_lists.insert(array);
    *list = array;
    return ssize_t(m_devices.size());
}

void SimUsbBus::freeDeviceList(libusb_device** list, int unrefDevices)
{
    QMutexLocker locker(&m_lock);
    if (!list)
        return;
    if (!m_lists.contains(list)) {
        error(QStringLiteral("freeDeviceList of a list never given out"));
        return;
    }
    if (!unrefDevices)
        error(QStringLiteral("device list freed without unreferencing its devices"));
    for (libusb_device** d = list; *d; ++d) {
        auto* e = reinterpret_cast<Entry*>(*d);
        m_entries.remove(e);
        delete e;
    }
    m_lists.remove(list);
    delete[] list;
}

int SimUsbBus::getDeviceDescriptor(libusb_device* device, libusb_device_descriptor* descriptor)
{
    QMutexLocker locker(&m_lock);
    Entry* e = entryOf(device);
    if (!e)
        return LIBUSB_ERROR_INVALID_PARAM;
    const SimUsbDeviceSetup& s = e->device->m_setup;
    if (s.descriptorError != 0)
        return s.descriptorError;
    std::memset(descriptor, 0, sizeof(*descriptor));
    descriptor->bLength = LIBUSB_DT_DEVICE_SIZE;
    descriptor->bDescriptorType = LIBUSB_DT_DEVICE;
    descriptor->idVendor = s.vendorId;
    descriptor->idProduct = s.productId;
    descriptor->bcdDevice = s.bcdDevice;
    descriptor->iProduct = s.product.isEmpty() ? 0 : ProductStringIndex;
    descriptor->iSerialNumber = s.serial.isEmpty() ? 0 : SerialStringIndex;
    descriptor->bNumConfigurations = 1;
    return 0;
}

uint8_t SimUsbBus::getBusNumber(libusb_device* device)
{
    QMutexLocker locker(&m_lock);
    Entry* e = entryOf(device);
    return e ? e->device->m_setup.bus : 0;
}

uint8_t SimUsbBus::getPortNumber(libusb_device* device)
{
    QMutexLocker locker(&m_lock);
    Entry* e = entryOf(device);
    return e ? e->device->m_setup.port : 0;
}

uint8_t SimUsbBus::getDeviceAddress(libusb_device* device)
{
    QMutexLocker locker(&m_lock);
    Entry* e = entryOf(device);
    return e ? e->device->m_setup.address : 0;
}

int SimUsbBus::getDeviceSpeed(libusb_device* device)
{
    QMutexLocker locker(&m_lock);
    Entry* e = entryOf(device);
    return e ? e->device->m_setup.speed : LIBUSB_SPEED_UNKNOWN;
}

int SimUsbBus::open(libusb_device* device, libusb_device_handle** handle)
{
    QMutexLocker locker(&m_lock);
    Entry* e = entryOf(device);
    if (!e)
        return LIBUSB_ERROR_INVALID_PARAM;
    if (!e->device->m_plugged)
        return LIBUSB_ERROR_NO_DEVICE;
    if (e->device->m_setup.openError != 0)
        return e->device->m_setup.openError;
    auto* h = new Handle { e->context, e->device };
    m_handles.insert(h);
    ++e->device->m_openHandles;
    *handle = reinterpret_cast<libusb_device_handle*>(h);
    return 0;
}

void SimUsbBus::close(libusb_device_handle* handle)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return;
    for (const Transfer& t : qAsConst(m_transfers)) {
        if (t.handle == h && t.inFlight)
            error(QStringLiteral("device handle closed with a transfer in flight"));
    }
    for (Transfer& t : m_transfers) {
        if (t.handle == h)
            t.handle = nullptr;
    }
    --h->device->m_openHandles;
    h->context->wake.wakeAll();
    m_handles.remove(h);
    delete h;
}

int SimUsbBus::getStringDescriptorAscii(libusb_device_handle* handle, uint8_t index, unsigned char* data, int length)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    const SimUsbDeviceSetup& s = h->device->m_setup;
    if (!h->device->m_plugged)
        return LIBUSB_ERROR_NO_DEVICE;
    if (s.stringError != 0)
        return s.stringError;
    QByteArray text;
    if (index == ProductStringIndex && !s.product.isEmpty())
        text = s.product.toLatin1();
    else if (index == SerialStringIndex && !s.serial.isEmpty())
        text = s.serial.toLatin1();
    else
        return LIBUSB_ERROR_INVALID_PARAM;
    if (length <= 0)
        return LIBUSB_ERROR_INVALID_PARAM;
    const int n = qMin(int(text.size()), length - 1);
    std::memcpy(data, text.constData(), size_t(n));
    data[n] = 0;
    return n;
}

int SimUsbBus::getConfigDescriptor(libusb_device* device, uint8_t index, libusb_config_descriptor** config)
{
    QMutexLocker locker(&m_lock);
    Entry* e = entryOf(device);
    if (!e)
        return LIBUSB_ERROR_INVALID_PARAM;
    const SimUsbDeviceSetup& s = e->device->m_setup;
    if (s.configError != 0)
        return s.configError;
    if (index != 0)
        return LIBUSB_ERROR_NOT_FOUND;
    auto* c = new libusb_config_descriptor {};
    c->bLength = LIBUSB_DT_CONFIG_SIZE;
    c->bDescriptorType = LIBUSB_DT_CONFIG;
    c->bConfigurationValue = s.configurationValue;
    c->bNumInterfaces = quint8(s.interfaceCount);
    auto* interfaces = new libusb_interface[size_t(qMax(1, s.interfaceCount))] {};
    for (int i = 0; i < s.interfaceCount; ++i) {
        auto* setting = new libusb_interface_descriptor {};
        setting->bInterfaceNumber = quint8(s.interfaceNumber + i);
        const QList<SimUsbEndpoint> endpoints = i == 0 ? s.endpoints : QList<SimUsbEndpoint>();
        setting->bNumEndpoints = quint8(endpoints.size());
        auto* eps = new libusb_endpoint_descriptor[size_t(qMax<qsizetype>(1, endpoints.size()))] {};
        for (qsizetype j = 0; j < endpoints.size(); ++j) {
            eps[j].bLength = LIBUSB_DT_ENDPOINT_SIZE;
            eps[j].bDescriptorType = LIBUSB_DT_ENDPOINT;
            eps[j].bEndpointAddress = endpoints[j].address;
            eps[j].bmAttributes = endpoints[j].attributes;
            eps[j].wMaxPacketSize = endpoints[j].maxPacketSize;
            eps[j].bInterval = endpoints[j].interval;
            m_endpointInfo.insert(&eps[j], endpoints[j]);
        }
        setting->endpoint = eps;
        interfaces[i].altsetting = setting;
        interfaces[i].num_altsetting = 1;
    }
    c->interface = interfaces;
    m_configs.insert(c);
    *config = c;
    return 0;
}

void SimUsbBus::freeConfigDescriptor(libusb_config_descriptor* config)
{
    QMutexLocker locker(&m_lock);
    if (!config)
        return;
    if (!m_configs.remove(config)) {
        error(QStringLiteral("config descriptor freed twice or never given out"));
        return;
    }
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface_descriptor* setting = config->interface[i].altsetting;
        for (int j = 0; j < setting->bNumEndpoints; ++j)
            m_endpointInfo.remove(&setting->endpoint[j]);
        delete[] setting->endpoint;
        delete setting;
    }
    delete[] config->interface;
    delete config;
}

int SimUsbBus::getSsEndpointCompanionDescriptor(libusb_context* context, const libusb_endpoint_descriptor* endpoint,
                                                libusb_ss_endpoint_companion_descriptor** companion)
{
    QMutexLocker locker(&m_lock);
    if (!contextOf(context))
        return LIBUSB_ERROR_INVALID_PARAM;
    const auto it = m_endpointInfo.constFind(endpoint);
    if (it == m_endpointInfo.constEnd()) {
        error(QStringLiteral("companion asked for an endpoint of a freed config descriptor"));
        return LIBUSB_ERROR_INVALID_PARAM;
    }
    if (!it->hasCompanion)
        return LIBUSB_ERROR_NOT_FOUND;
    auto* c = new libusb_ss_endpoint_companion_descriptor {};
    c->bLength = LIBUSB_DT_SS_ENDPOINT_COMPANION_SIZE;
    c->bDescriptorType = LIBUSB_DT_SS_ENDPOINT_COMPANION;
    c->bMaxBurst = it->maxBurst;
    c->wBytesPerInterval = it->maxPacketSize;
    m_companions.insert(c);
    *companion = c;
    return 0;
}

void SimUsbBus::freeSsEndpointCompanionDescriptor(libusb_ss_endpoint_companion_descriptor* companion)
{
    QMutexLocker locker(&m_lock);
    if (!companion)
        return;
    if (!m_companions.remove(companion)) {
        error(QStringLiteral("companion descriptor freed twice or never given out"));
        return;
    }
    delete companion;
}

int SimUsbBus::kernelDriverActive(libusb_device_handle* handle, int interfaceNumber)
{
    Q_UNUSED(interfaceNumber)
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    return h->device->m_kernelDriverActive ? 1 : 0;
}

int SimUsbBus::detachKernelDriver(libusb_device_handle* handle, int interfaceNumber)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    h->device->m_calls << QStringLiteral("detachKernelDriver %1").arg(interfaceNumber);
    h->device->m_kernelDriverActive = false;
    return 0;
}

int SimUsbBus::getConfiguration(libusb_device_handle* handle, int* configuration)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    *configuration = h->device->m_currentConfiguration;
    return 0;
}

int SimUsbBus::setConfiguration(libusb_device_handle* handle, int configuration)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    h->device->m_calls << QStringLiteral("setConfiguration %1").arg(configuration);
    if (h->device->m_setup.setConfigurationError != 0)
        return h->device->m_setup.setConfigurationError;
    h->device->m_currentConfiguration = configuration;
    return 0;
}

int SimUsbBus::claimInterface(libusb_device_handle* handle, int interfaceNumber)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    h->device->m_calls << QStringLiteral("claimInterface %1").arg(interfaceNumber);
    if (h->device->m_kernelDriverActive)
        return LIBUSB_ERROR_BUSY;
    if (h->device->m_setup.claimError != 0)
        return h->device->m_setup.claimError;
    h->claimed = true;
    return 0;
}

int SimUsbBus::releaseInterface(libusb_device_handle* handle, int interfaceNumber)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    h->device->m_calls << QStringLiteral("releaseInterface %1").arg(interfaceNumber);
    if (!h->device->m_plugged)
        return LIBUSB_ERROR_NO_DEVICE;
    if (!h->claimed)
        return LIBUSB_ERROR_NOT_FOUND;
    h->claimed = false;
    return 0;
}

int SimUsbBus::clearHalt(libusb_device_handle* handle, unsigned char endpoint)
{
    QMutexLocker locker(&m_lock);
    Handle* h = handleOf(handle);
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    SimUsbDevice& device = *h->device;
    device.m_calls << QStringLiteral("clearHalt 0x%1").arg(endpoint, 2, 16, QLatin1Char('0'));
    if (!device.m_plugged)
        return LIBUSB_ERROR_NO_DEVICE;
    if (!h->claimed)
        error(QStringLiteral("halt cleared before the interface was claimed"));
    int& clears = device.m_halts[endpoint];
    if (clears > 0)
        --clears;
    return 0;
}

int SimUsbBus::controlTransfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request, uint16_t value,
                               uint16_t index, unsigned char* data, uint16_t length, unsigned int timeoutMs)
{
    SimUsbDevice::ControlHandler handler;
    SimControlRequest r { requestType, request, value, index, length, timeoutMs, {} };
    const bool in = requestType & LIBUSB_ENDPOINT_IN;
    {
        QMutexLocker locker(&m_lock);
        Handle* h = handleOf(handle);
        if (!h)
            return LIBUSB_ERROR_INVALID_PARAM;
        if (!h->device->m_plugged)
            return LIBUSB_ERROR_NO_DEVICE;
        if (!in && length > 0)
            r.data = QByteArray(reinterpret_cast<const char*>(data), length);
        h->device->m_controlRequests.append(r);
        handler = h->device->m_controlHandler;
    }
    QByteArray reply = r.data;
    int result = in ? 0 : length;
    if (handler)
        result = handler(r, reply);
    if (in && result >= 0) {
        const int n = qMin(int(reply.size()), int(length));
        if (n > 0)
            std::memcpy(data, reply.constData(), size_t(n));
        result = qMin(result, n);
    }
    return result;
}

libusb_transfer* SimUsbBus::allocTransfer(int isoPackets)
{
    QMutexLocker locker(&m_lock);
    if (isoPackets != 0)
        error(QStringLiteral("isochronous packets asked for"));
    auto* t = static_cast<libusb_transfer*>(std::calloc(1, sizeof(libusb_transfer)));
    m_transfers.insert(t, Transfer {});
    return t;
}

void SimUsbBus::complete(libusb_transfer* transfer, int status, int actualLength)
{
    Transfer& t = m_transfers[transfer];
    t.completionQueued = true;
    transfer->status = libusb_transfer_status(status);
    transfer->actual_length = actualLength;
    Context* c = t.handle ? t.handle->context : nullptr;
    if (!c) {
        error(QStringLiteral("transfer completed without a device handle"));
        return;
    }
    c->completions.append(transfer);
    c->wake.wakeAll();
}

void SimUsbBus::completeIn(libusb_transfer* transfer, const QByteArray& data, int status)
{
    if (status == LIBUSB_TRANSFER_COMPLETED && data.size() > transfer->length) {
        complete(transfer, LIBUSB_TRANSFER_OVERFLOW, transfer->length);
        return;
    }
    const int n = qMin(int(data.size()), transfer->length);
    if (n > 0)
        std::memcpy(transfer->buffer, data.constData(), size_t(n));
    complete(transfer, status, n);
}

int SimUsbBus::submitTransfer(libusb_transfer* transfer)
{
    QMutexLocker locker(&m_lock);
    auto it = m_transfers.find(transfer);
    if (it == m_transfers.end()) {
        error(QStringLiteral("submit of a freed or unknown transfer"));
        return LIBUSB_ERROR_INVALID_PARAM;
    }
    if (it->inFlight)
        return LIBUSB_ERROR_BUSY;
    Handle* h = handleOf(transfer->dev_handle);
    if (!h)
        return LIBUSB_ERROR_NO_DEVICE;
    if (!h->device->m_plugged)
        return LIBUSB_ERROR_NO_DEVICE;
    if (!h->claimed)
        error(QStringLiteral("transfer submitted before the interface was claimed"));
    if (!transfer->buffer && transfer->length > 0) {
        error(QStringLiteral("transfer submitted without a buffer"));
        return LIBUSB_ERROR_INVALID_PARAM;
    }
    it->inFlight = true;
    it->completionQueued = false;
    it->handle = h;
    SimUsbDevice& device = *h->device;
    const quint8 endpoint = transfer->endpoint;
    if (device.m_halts.value(endpoint) != 0) {
        complete(transfer, LIBUSB_TRANSFER_STALL, 0);
        return 0;
    }
    if (endpoint & LIBUSB_ENDPOINT_IN) {
        auto& queue = device.m_inQueue[endpoint];
        if (!queue.isEmpty()) {
            const auto next = queue.takeFirst();
            completeIn(transfer, next.first, next.second);
        } else {
            device.m_armedIn[endpoint].append(transfer);
        }
        return 0;
    }
    int status = LIBUSB_TRANSFER_COMPLETED;
    auto& failures = device.m_outFailures[endpoint];
    if (!failures.isEmpty())
        status = failures.takeFirst();
    it->outData.clear();
    if (status == LIBUSB_TRANSFER_COMPLETED) {
        it->outData = QByteArray(reinterpret_cast<const char*>(transfer->buffer), transfer->length);
        device.m_outPackets.append(SimOutPacket { endpoint, it->outData });
    }
    complete(transfer, status, status == LIBUSB_TRANSFER_COMPLETED ? transfer->length : 0);
    return 0;
}

int SimUsbBus::cancelTransfer(libusb_transfer* transfer)
{
    QMutexLocker locker(&m_lock);
    auto it = m_transfers.find(transfer);
    if (it == m_transfers.end()) {
        error(QStringLiteral("cancel of a freed or unknown transfer"));
        return LIBUSB_ERROR_INVALID_PARAM;
    }
    // Already finished, even if its callback has not run yet.
    if (!it->inFlight || it->completionQueued)
        return LIBUSB_ERROR_NOT_FOUND;
    if (it->handle)
        it->handle->device->m_armedIn[transfer->endpoint].removeAll(transfer);
    complete(transfer, LIBUSB_TRANSFER_CANCELLED, 0);
    return 0;
}

void SimUsbBus::freeTransfer(libusb_transfer* transfer)
{
    QMutexLocker locker(&m_lock);
    if (!transfer)
        return;
    auto it = m_transfers.find(transfer);
    if (it == m_transfers.end()) {
        error(QStringLiteral("free of a freed or unknown transfer"));
        return;
    }
    if (it->inFlight)
        error(QStringLiteral("transfer freed while in flight"));
    m_transfers.erase(it);
    std::free(transfer);
}

int SimUsbBus::handleEvents(libusb_context* context)
{
    QList<libusb_transfer*> due;
    Context* c = nullptr;
    {
        QMutexLocker locker(&m_lock);
        c = contextOf(context);
        if (!c)
            return LIBUSB_ERROR_INVALID_PARAM;
        ++c->inHandleEvents;
        QDeadlineTimer deadline(EventWaitLimitMs);
        // Any wake-up returns, as libusb does when a handle is closed.
        if (c->completions.isEmpty() && !c->interrupted)
            c->wake.wait(&m_lock, deadline);
        c->interrupted = false;
        due.swap(c->completions);
    }
    for (libusb_transfer* transfer : qAsConst(due)) {
        SimUsbDevice::OutHandler outHandler;
        QByteArray outData;
        QSharedPointer<SimUsbDevice> failedOut;
        quint8 endpoint = transfer->endpoint;
        {
            QMutexLocker locker(&m_lock);
            auto it = m_transfers.find(transfer);
            if (it == m_transfers.end()) {
                error(QStringLiteral("completion of a freed transfer"));
                continue;
            }
            it->inFlight = false;
            it->completionQueued = false;
            if (!(endpoint & LIBUSB_ENDPOINT_IN) && transfer->status == LIBUSB_TRANSFER_COMPLETED && it->handle) {
                outHandler = it->handle->device->m_outHandler;
                outData = it->outData;
            }
            if (!(endpoint & LIBUSB_ENDPOINT_IN) && transfer->status != LIBUSB_TRANSFER_COMPLETED && it->handle)
                failedOut = it->handle->device;
        }
        if (outHandler)
            outHandler(endpoint, outData);
        // The callback may free the transfer.
        transfer->callback(transfer);
        if (failedOut) {
            QMutexLocker locker(&m_lock);
            ++failedOut->m_failedOutsHandled;
        }
        m_completions.stepped();
    }
    QMutexLocker locker(&m_lock);
    --c->inHandleEvents;
    return 0;
}

void SimUsbBus::interruptEventHandler(libusb_context* context)
{
    QMutexLocker locker(&m_lock);
    Context* c = contextOf(context);
    if (!c)
        return;
    c->interrupted = true;
    c->wake.wakeAll();
}
