#include "tests/e2e/kernel-usb/FunctionFsGadget.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString ConfigRoot = QStringLiteral("/sys/kernel/config/usb_gadget/");

void putLe16(QByteArray* bytes, uint16_t value)
{
    bytes->append(char(value & 0xFF));
    bytes->append(char(value >> 8));
}

void putLe32(QByteArray* bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes->append(char((value >> (8 * i)) & 0xFF));
}

QByteArray interfaceDescriptor(int endpointCount)
{
    QByteArray d;
    d.append(char(USB_DT_INTERFACE_SIZE));
    d.append(char(USB_DT_INTERFACE));
    d.append(char(0)); // number, given by the composite framework
    d.append(char(0)); // alternate setting
    d.append(char(endpointCount));
    d.append(char(USB_CLASS_VENDOR_SPEC));
    d.append(char(0));
    d.append(char(0));
    d.append(char(0)); // no string
    return d;
}

QByteArray endpointDescriptor(uint8_t address, uint16_t maxPacket)
{
    QByteArray d;
    d.append(char(USB_DT_ENDPOINT_SIZE));
    d.append(char(USB_DT_ENDPOINT));
    d.append(char(address));
    d.append(char(USB_ENDPOINT_XFER_BULK));
    putLe16(&d, maxPacket);
    d.append(char(0));
    return d;
}

QByteArray companionDescriptor(uint8_t maxBurst)
{
    QByteArray d;
    d.append(char(USB_DT_SS_EP_COMP_SIZE));
    d.append(char(USB_DT_SS_ENDPOINT_COMP));
    d.append(char(maxBurst));
    d.append(char(0));
    putLe16(&d, 0);
    return d;
}

} // namespace

FunctionFsGadget::FunctionFsGadget(QString name, QString udc, Speed speed, std::vector<Endpoint> endpoints)
    : m_name(std::move(name))
    , m_udc(std::move(udc))
    , m_speed(speed)
    , m_endpoints(std::move(endpoints))
    , m_gadgetDir(ConfigRoot + m_name)
    , m_mountDir(QStringLiteral("/run/") + m_name + QStringLiteral("-ffs"))
{
}

FunctionFsGadget::~FunctionFsGadget()
{
    unbind();
    // The ep0 thread stays blocked in its read; the process ends with it.
    if (m_ep0Thread.joinable())
        m_ep0Thread.detach();
}

int FunctionFsGadget::packetSize() const
{
    return m_speed == Speed::Super ? 1024 : 64;
}

bool FunctionFsGadget::writeAttribute(const QString& path, const QByteArray& value)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(value) != value.size() || !file.flush()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool FunctionFsGadget::writeIdentity(const Identity& identity)
{
    const auto hex = [](uint16_t v) { return QByteArray("0x") + QByteArray::number(v, 16); };
    return writeAttribute(m_gadgetDir + "/idVendor", hex(identity.vendorId))
           && writeAttribute(m_gadgetDir + "/idProduct", hex(identity.productId))
           && writeAttribute(m_gadgetDir + "/bcdDevice", hex(identity.release))
           && writeAttribute(m_gadgetDir + "/strings/0x409/manufacturer", "Movrane")
           && writeAttribute(m_gadgetDir + "/strings/0x409/product", identity.product.toLatin1())
           && writeAttribute(m_gadgetDir + "/strings/0x409/serialnumber", identity.serial.toLatin1());
}

QByteArray FunctionFsGadget::descriptors() const
{
    // Endpoint numbers are placeholders: the controller's endpoints are
    // chosen in this order (on the dummy controller, the first bulk IN is
    // 0x81, the first bulk OUT 0x02, the next bulk IN 0x86).
    QByteArray full = interfaceDescriptor(int(m_endpoints.size()));
    QByteArray high = full;
    QByteArray super = full;
    uint8_t number = 1;
    for (const Endpoint& e : m_endpoints) {
        const uint8_t address = uint8_t(number++ | (e.in ? USB_DIR_IN : USB_DIR_OUT));
        full += endpointDescriptor(address, 64);
        high += endpointDescriptor(address, 512);
        super += endpointDescriptor(address, 1024) + companionDescriptor(e.maxBurst);
    }
    const uint32_t count = uint32_t(1 + m_endpoints.size());
    QByteArray head;
    putLe32(&head, FUNCTIONFS_DESCRIPTORS_MAGIC_V2);
    const QByteArray body = full + high + super;
    putLe32(&head, uint32_t(4 * 3 + 4 * 3 + body.size()));
    putLe32(&head,
            FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC | FUNCTIONFS_HAS_SS_DESC | FUNCTIONFS_ALL_CTRL_RECIP);
    putLe32(&head, count);
    putLe32(&head, count);
    putLe32(&head, 2 * count - 1);
    return head + body;
}

bool FunctionFsGadget::start(const Identity& identity, ControlHandler control)
{
    m_control = std::move(control);
    QDir root(ConfigRoot);
    if (!root.exists()) {
        m_error = QStringLiteral("no configfs gadget folder: is libcomposite loaded and configfs mounted?");
        return false;
    }
    const QString function = QStringLiteral("functions/ffs.") + m_name;
    if (!root.mkpath(m_name + "/strings/0x409") || !root.mkpath(m_name + "/configs/c.1/strings/0x409")
        || !root.mkpath(m_name + "/" + function)) {
        m_error = QStringLiteral("cannot make the gadget %1").arg(m_gadgetDir);
        return false;
    }
    if (!writeIdentity(identity)
        || !writeAttribute(m_gadgetDir + "/max_speed", m_speed == Speed::Super ? "super-speed" : "full-speed")
        || !writeAttribute(m_gadgetDir + "/configs/c.1/MaxPower", "100")
        || !writeAttribute(m_gadgetDir + "/configs/c.1/strings/0x409/configuration", "Instrument"))
        return false;
    const QString link = m_gadgetDir + "/configs/c.1/ffs." + m_name;
    if (!QFile::exists(link)
        && symlink(QFile::encodeName(m_gadgetDir + "/" + function).constData(), QFile::encodeName(link).constData())
               != 0) {
        m_error = QStringLiteral("cannot link the function: %1").arg(strerror(errno));
        return false;
    }

    QDir().mkpath(m_mountDir);
    if (mount(m_name.toLatin1().constData(), QFile::encodeName(m_mountDir).constData(), "functionfs", 0, nullptr)
        != 0) {
        m_error = QStringLiteral("cannot mount functionfs: %1").arg(strerror(errno));
        return false;
    }
    m_ep0 = ::open(QFile::encodeName(m_mountDir + "/ep0").constData(), O_RDWR);
    if (m_ep0 < 0) {
        m_error = QStringLiteral("cannot open ep0: %1").arg(strerror(errno));
        return false;
    }
    const QByteArray descs = descriptors();
    QByteArray strings;
    putLe32(&strings, FUNCTIONFS_STRINGS_MAGIC);
    putLe32(&strings, 16);
    putLe32(&strings, 0);
    putLe32(&strings, 0);
    if (::write(m_ep0, descs.constData(), size_t(descs.size())) != descs.size()
        || ::write(m_ep0, strings.constData(), size_t(strings.size())) != strings.size()) {
        m_error = QStringLiteral("descriptors refused: %1").arg(strerror(errno));
        return false;
    }
    for (size_t i = 0; i < m_endpoints.size(); ++i) {
        const QString path = m_mountDir + QStringLiteral("/ep%1").arg(i + 1);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
        if (fd < 0) {
            m_error = QStringLiteral("cannot open %1: %2").arg(path, strerror(errno));
            return false;
        }
        m_files.push_back(fd);
    }
    m_ep0Thread = std::thread([this] { serveEp0(); });
    return bind();
}

bool FunctionFsGadget::bind()
{
    return writeAttribute(m_gadgetDir + "/UDC", m_udc.toLatin1());
}

bool FunctionFsGadget::reenumerate(const Identity& identity)
{
    std::lock_guard<std::mutex> lock(m_bindLock);
    return writeAttribute(m_gadgetDir + "/UDC", "\n") && writeIdentity(identity) && bind();
}

void FunctionFsGadget::unbind()
{
    std::lock_guard<std::mutex> lock(m_bindLock);
    QFile file(m_gadgetDir + "/UDC");
    if (file.open(QIODevice::WriteOnly))
        file.write("\n");
}

void FunctionFsGadget::serveEp0()
{
    usb_functionfs_event events[4];
    for (;;) {
        const ssize_t got = ::read(m_ep0, events, sizeof(events));
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return;
        }
        for (size_t i = 0; i < size_t(got) / sizeof(usb_functionfs_event); ++i) {
            if (events[i].type == FUNCTIONFS_SETUP)
                answerSetup(reinterpret_cast<const uint8_t*>(&events[i].u.setup));
        }
    }
}

void FunctionFsGadget::answerSetup(const uint8_t* setup)
{
    const uint8_t requestType = setup[0];
    const uint8_t request = setup[1];
    const uint16_t value = uint16_t(setup[2] | setup[3] << 8);
    const uint16_t index = uint16_t(setup[4] | setup[5] << 8);
    const uint16_t length = uint16_t(setup[6] | setup[7] << 8);
    const bool in = requestType & USB_DIR_IN;
    const bool vendor = (requestType & USB_TYPE_MASK) == USB_TYPE_VENDOR;
    QByteArray data;
    if (!in) {
        data.resize(length);
        const ssize_t got = ::read(m_ep0, data.data(), length);
        data.resize(got < 0 ? 0 : int(got));
    }
    const bool accepted = vendor && m_control && m_control(requestType, request, value, index, &data);
    // The OUT data was read, which acknowledged it; an IN request is
    // answered, or stalled by a read.
    if (!in)
        return;
    if (accepted)
        (void)!::write(m_ep0, data.constData(), size_t(qMin(int(length), int(data.size()))));
    else
        (void)!::read(m_ep0, nullptr, 0);
}
