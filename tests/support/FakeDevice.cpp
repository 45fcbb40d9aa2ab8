#include "tests/support/FakeDevice.h"

#include "tests/support/DeviceRecordBuilder.h"

FakeDevice::Reply FakeDevice::Reply::fixed(const QByteArray& bytes, Channel channel)
{
    return { channel, bytes, false };
}

FakeDevice::Reply FakeDevice::Reply::echo(const QByteArray& prefix, Channel channel)
{
    return { channel, prefix, true };
}

QByteArray FakeDevice::Reply::to(const QByteArray& command) const
{
    return echoesCommand ? bytes + command : bytes;
}

FakeDevice FakeDevice::of(CommType commType, const QString& name)
{
    FakeDevice device;
    device.commType = commType;
    device.name = name;
    return device;
}

FakeDevice FakeDevice::onUsb(quint16 vid, quint16 pid, quint16 release, const QString& product,
                             const QString& serialDescriptor, quint8 address, CommType commType, quint8 bus,
                             quint8 port)
{
    FakeDevice device;
    device.commType = commType;
    device.status = DeviceStatus::AvailableUSB;
    device.vid = vid;
    device.pid = pid;
    device.release = release;
    device.name = product;
    device.uid = DeviceRecordBuilder::usbLocationKey(vid, pid, bus, port, address);
    device.serialNumber = device.uid;
    device.motherboardFirmware = serialDescriptor.toLatin1();
    device.channelFirmware = serialDescriptor.toLatin1();
    return device;
}

FakeDevice& FakeDevice::answering(const QByteArray& prefix, const QList<Reply>& replies)
{
    answers.append({ prefix, replies });
    return *this;
}

FakeDevice& FakeDevice::answeredBy(Responder r)
{
    responder = std::move(r);
    return *this;
}

QSharedPointer<MovraDeviceInfo> FakeDevice::record() const
{
    return DeviceRecordBuilder::on(commType)
        .status(status)
        .vid(vid)
        .pid(pid)
        .release(release)
        .name(name)
        .serialNumber(serialNumber)
        .uid(uid)
        .motherboardFirmware(motherboardFirmware)
        .channelFirmware(channelFirmware)
        .build();
}

QList<FakeDevice::Reply> FakeDevice::repliesTo(const QByteArray& command) const
{
    for (const Answer& answer : answers) {
        if (command.startsWith(answer.prefix))
            return answer.replies;
    }
    QList<Reply> replies;
    if (responder) {
        for (const QByteArray& bytes : responder(command))
            replies.append(Reply::fixed(bytes));
    }
    return replies;
}
