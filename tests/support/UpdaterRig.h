#pragma once

#include "tests/support/EventLog.h"
#include "tests/support/FakeMachine.h"
#include "tests/support/ObservedUpdater.h"
#include "tests/support/sim/SimInstrument.h"

#include <QElapsedTimer>
#include <QList>
#include <QSharedPointer>
#include <QString>

#include <functional>

// A firmware updater on a fake machine with a USB and a camera transport
// (or over the transports a test gives it), with what it tells the widget
// written down.
struct UpdaterRig
{
    struct Status
    {
        QString text;
        int timeout;
        qint64 at;
    };
    struct Report
    {
        QSharedPointer<nsUpdater::DeviceCommunicationInfo> info;
        // A copy at the time of the report: the record itself may change later.
        nsUpdater::DeviceCommunicationInfo seen;
        qint64 at;
    };
    struct Connected
    {
        int type;
        QString name;
        QString uid;
        bool connected;
    };
    struct Response
    {
        int msg;
        int status;
        int progress;
        qint64 at = 0;
        bool operator==(const Response& o) const
        {
            return msg == o.msg && status == o.status && progress == o.progress;
        }
    };

    explicit UpdaterRig(bool silentTV720 = false);
    explicit UpdaterRig(QSharedPointer<CommunicatorFactory> factory);
    ~UpdaterRig();

    QList<Report> reportsOf(const QString& uid) const;
    // Runs the event loop until done() holds, asked after each report the
    // rig writes down, or until timeoutMs have passed: no polling, so the
    // program runs at its own pace meanwhile. done() then decides.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    QList<Status> statusesWith(const QString& text) const;

    EventLog log;
    QSharedPointer<FakeMachine> machine; // null when the test gave its own transports
    QSharedPointer<CommunicatorFactory> factory;
    QSharedPointer<ObservedUpdater> updater;
    QElapsedTimer clock;

    QList<Status> statuses;
    QList<Report> reports;
    QList<Connected> connected;
    QList<Response> responses;
    QStringList opened;      // uids of openUSBDevice
    QStringList reconnected; // uids of sendReconnectedToBootloader
    QStringList progressLines;

private:
    void watch(bool silentTV720);
};

char* toString(const UpdaterRig::Response& response);

// A device on a USB port of the fake machine, as the USB grabber records
// the identity; it answers nothing.
FakeDevice usbDevice(const sim::UsbIdentity& identity, quint8 address, CommType commType = CommType::USB);
// The simulated instrument on a USB port, under its present identity; it
// answers the commands sent to it.
FakeDevice usbDevice(const QSharedPointer<sim::Instrument>& instrument, quint8 address);
