#include "tests/device/camera/sim/ScriptedCameraDevice.h"

#include <cmath>

namespace {

using Property = ScriptedCameraDevice::Property;

std::optional<double> readable(const Property& p, double value)
{
    return p.refused ? std::nullopt : std::optional<double>(value);
}

class Absolute : public DShowLib::VCDAbsoluteValueProperty
{
public:
    explicit Absolute(QSharedPointer<Property> p)
        : m_p(p)
    {
    }
    std::optional<double> getValue() override { return readable(*m_p, m_p->value); }
    bool setValue(double value) override
    {
        if (m_p->refused)
            return false;
        m_p->value = value;
        ++m_p->writes;
        return true;
    }
    std::optional<double> getMin() override { return readable(*m_p, m_p->minimum); }
    std::optional<double> getMax() override { return readable(*m_p, m_p->maximum); }

private:
    QSharedPointer<Property> m_p;
};

class Range : public DShowLib::VCDRangeProperty
{
public:
    explicit Range(QSharedPointer<Property> p)
        : m_absolute(p)
    {
    }
    std::optional<int> getValue() override { return toInt(m_absolute.getValue()); }
    bool setValue(int value) override { return m_absolute.setValue(value); }
    std::optional<int> getMin() override { return toInt(m_absolute.getMin()); }
    std::optional<int> getMax() override { return toInt(m_absolute.getMax()); }

private:
    static std::optional<int> toInt(std::optional<double> v)
    {
        return v ? std::optional<int>(int(std::lround(*v))) : std::nullopt;
    }
    Absolute m_absolute;
};

class Switch : public DShowLib::VCDSwitchProperty
{
public:
    explicit Switch(QSharedPointer<Property> p)
        : m_p(p)
    {
    }
    std::optional<bool> getSwitch() override
    {
        return m_p->refused ? std::nullopt : std::optional<bool>(m_p->value != 0);
    }
    bool setSwitch(bool on) override
    {
        if (m_p->refused)
            return false;
        m_p->value = on ? 1 : 0;
        ++m_p->writes;
        return true;
    }

private:
    QSharedPointer<Property> m_p;
};

class Text : public DShowLib::VCDStringProperty
{
public:
    explicit Text(QSharedPointer<Property> p)
        : m_p(p)
    {
    }
    bool setString(const QString& value) override
    {
        if (m_p->refused)
            return false;
        m_p->texts << value;
        ++m_p->writes;
        return true;
    }

private:
    QSharedPointer<Property> m_p;
};

} // namespace

QSharedPointer<Property> ScriptedCameraDevice::addProperty(const QUuid& item, const QUuid& element, Kind kind,
                                                           double value, double minimum, double maximum)
{
    auto p = QSharedPointer<Property>::create();
    p->kind = kind;
    p->value = value;
    p->minimum = minimum;
    p->maximum = maximum;
    m_properties.insert({ item, element }, p);
    return p;
}

QSharedPointer<Property> ScriptedCameraDevice::property(const QUuid& item, const QUuid& element) const
{
    return m_properties.value({ item, element });
}

bool ScriptedCameraDevice::setVideoFormat(const DShowLib::VideoFormatItem& format)
{
    calls << "format " + format.toString();
    currentFormat = format;
    return true;
}

bool ScriptedCameraDevice::setFrameRate(double value)
{
    calls << "fps " + QString::number(value);
    fps = value;
    return true;
}

bool ScriptedCameraDevice::setExternalTrigger(bool on)
{
    trigger = on;
    return true;
}

bool ScriptedCameraDevice::setFlipH(bool on)
{
    flippedH = on;
    return true;
}

bool ScriptedCameraDevice::setFlipV(bool on)
{
    flippedV = on;
    return true;
}

bool ScriptedCameraDevice::referenceTime(qint64& time)
{
    time = hasClock ? clock : 0;
    return hasClock;
}

ScriptedCameraDevice::~ScriptedCameraDevice()
{
    stopStream();
}

void ScriptedCameraDevice::pushFrame(const DShowLib::FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1,
                                     qint64 stamp2)
{
    std::lock_guard<std::mutex> guard(m_streamLock);
    if (!m_streaming)
        return;
    m_frames.append(Frame { type, bytes, stamp1, stamp2 });
    m_streamWake.notify_all();
}

bool ScriptedCameraDevice::streaming()
{
    std::lock_guard<std::mutex> guard(m_streamLock);
    return m_streaming;
}

int ScriptedCameraDevice::pendingFrames()
{
    std::lock_guard<std::mutex> guard(m_streamLock);
    return int(m_frames.size()) + (m_delivering ? 1 : 0);
}

bool ScriptedCameraDevice::startStream(FrameCallback callback)
{
    std::lock_guard<std::mutex> guard(m_streamLock);
    if (m_streaming)
        return false;
    m_streaming = true;
    m_callback = std::move(callback);
    m_stream = std::thread([this]() { deliverFrames(); });
    return true;
}

void ScriptedCameraDevice::stopStream()
{
    {
        std::lock_guard<std::mutex> guard(m_streamLock);
        if (!m_streaming)
            return;
        m_streaming = false;
        m_frames.clear();
        m_streamWake.notify_all();
    }
    m_stream.join();
    m_callback = nullptr;
}

void ScriptedCameraDevice::deliverFrames()
{
    std::unique_lock<std::mutex> lock(m_streamLock);
    for (;;) {
        m_streamWake.wait(lock, [this]() { return !m_streaming || !m_frames.isEmpty(); });
        if (!m_streaming)
            return;
        const Frame frame = m_frames.takeFirst();
        m_delivering = true;
        lock.unlock();
        m_callback(frame.type, frame.bytes, frame.stamp1, frame.stamp2);
        lock.lock();
        m_delivering = false;
    }
}

QSharedPointer<DShowLib::VCDPropertyElement> ScriptedCameraDevice::propertyElement(const QUuid& item,
                                                                                   const QUuid& element)
{
    using DShowLib::VCDPropertyElement;
    const auto p = property(item, element);
    if (!p)
        return {};
    switch (p->kind) {
    case Kind::AbsoluteValue:
        return QSharedPointer<VCDPropertyElement>::create(
            QSharedPointer<DShowLib::VCDAbsoluteValueProperty>(new Absolute(p)));
    case Kind::Range:
        return QSharedPointer<VCDPropertyElement>::create(QSharedPointer<DShowLib::VCDRangeProperty>(new Range(p)));
    case Kind::Switch:
        return QSharedPointer<VCDPropertyElement>::create(QSharedPointer<DShowLib::VCDSwitchProperty>(new Switch(p)));
    case Kind::String:
        return QSharedPointer<VCDPropertyElement>::create(QSharedPointer<DShowLib::VCDStringProperty>(new Text(p)));
    }
    return {};
}
