#pragma once

#include "device/MovraDeviceInfo.h"

#include <QByteArray>
#include <QList>
#include <QSharedPointer>
#include <QString>

#include <functional>

// One device of a fake machine, described as data: what its record says
// (comm type, USB ids, name, uid, the firmware strings) and what it sends
// back for the commands it is given. A FakeMachine plugs it on the transport
// of its comm type. The description is copied when plugged; a responder may
// share state (a simulated instrument) with the test.
struct FakeDevice
{
    // One thing the device sends back, on one of its transport's channels.
    struct Reply
    {
        enum class Channel {
            Command,     // sendCommandReceivedFromDevice
            Usb3Command, // sendCommandUSB3ReceivedFromDevice, with its length
            Data,        // sendDataReceivedFromDevice
            Datagram,    // sendDatagramReceivedFromDevice, with its size
        };

        Channel channel = Channel::Command;
        QByteArray bytes;
        // The command itself follows the bytes: an echo with a prefix.
        bool echoesCommand = false;

        static Reply fixed(const QByteArray& bytes, Channel channel = Channel::Command);
        static Reply echo(const QByteArray& prefix = {}, Channel channel = Channel::Command);

        QByteArray to(const QByteArray& command) const;
    };

    // The replies to every command that starts with the prefix (to every
    // command when the prefix is empty).
    struct Answer
    {
        QByteArray prefix;
        QList<Reply> replies;
    };

    // For commands no answer takes: the replies of a simulated instrument.
    using Responder = std::function<QList<QByteArray>(const QByteArray& command)>;

    CommType commType = CommType::None;
    DeviceStatus status = DeviceStatus::Unavailable;
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 release = 0;
    QString name;
    QString serialNumber;
    QString uid;
    QByteArray motherboardFirmware;
    QByteArray channelFirmware;

    QList<Answer> answers;
    Responder responder;

    // A device that only says what it is; it answers nothing.
    static FakeDevice of(CommType commType, const QString& name);
    // A device on a USB port as the USB grabber records it: the uid and the
    // serial number are the dashed location key (vid, pid, bus, port,
    // address), the firmware strings its serial-number descriptor.
    static FakeDevice onUsb(quint16 vid, quint16 pid, quint16 release, const QString& product,
                            const QString& serialDescriptor, quint8 address, CommType commType = CommType::USB,
                            quint8 bus = 1, quint8 port = 3);

    FakeDevice& answering(const QByteArray& prefix, const QList<Reply>& replies);
    FakeDevice& answeredBy(Responder responder);

    // A new record of the device, as a grabber makes one each time it finds it.
    QSharedPointer<MovraDeviceInfo> record() const;
    // What it sends back for the command, in order.
    QList<Reply> repliesTo(const QByteArray& command) const;
};
