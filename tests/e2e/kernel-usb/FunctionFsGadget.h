#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// One USB device made by the kernel's gadget framework: a configfs gadget
// with a single FunctionFS function (one interface, bulk endpoints), bound
// to a UDC of the dummy controller. This process serves ep0 and the bulk
// endpoints; unbinding the gadget is the device leaving the bus.
class FunctionFsGadget
{
public:
    enum class Speed {
        Full, // 64-byte bulk packets
        Super // 1024-byte bulk packets with their companion descriptors
    };

    struct Identity
    {
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        uint16_t release = 0;
        QString product;
        QString serial;
    };

    struct Endpoint
    {
        bool in = false;
        uint8_t maxBurst = 0; // SuperSpeed only
    };

    // A vendor control request: returns the bytes of an IN reply, or takes
    // the OUT data; false stalls it.
    using ControlHandler =
        std::function<bool(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, QByteArray* data)>;

    FunctionFsGadget(QString name, QString udc, Speed speed, std::vector<Endpoint> endpoints);
    ~FunctionFsGadget();

    FunctionFsGadget(const FunctionFsGadget&) = delete;
    FunctionFsGadget& operator=(const FunctionFsGadget&) = delete;

    // Creates the gadget, writes the function's descriptors and binds it.
    // On failure, error() tells why.
    bool start(const Identity& identity, ControlHandler control);
    // Leaves the bus and comes back under another identity.
    bool reenumerate(const Identity& identity);
    // Leaves the bus for good.
    void unbind();
    QString error() const { return m_error; }

    int packetSize() const;
    // The file of the i-th endpoint, in the order given at construction.
    int endpointFile(size_t i) const { return m_files.at(i); }

private:
    bool writeAttribute(const QString& path, const QByteArray& value);
    bool writeIdentity(const Identity& identity);
    bool bind();
    QByteArray descriptors() const;
    void serveEp0();
    void answerSetup(const uint8_t* setup);

    QString m_name;
    QString m_udc;
    Speed m_speed;
    std::vector<Endpoint> m_endpoints;
    QString m_gadgetDir;
    QString m_mountDir;
    QString m_error;
    int m_ep0 = -1;
    std::vector<int> m_files;
    ControlHandler m_control;
    std::thread m_ep0Thread;
    std::mutex m_bindLock;
};
