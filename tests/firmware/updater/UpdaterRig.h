#pragma once

#include "tests/firmware/updater/ObservedUpdater.h"
#include "tests/firmware/updater/ScriptedTransport.h"
#include "tests/support/EventLog.h"

#include <QElapsedTimer>
#include <QList>
#include <QSharedPointer>
#include <QString>

// A firmware updater over scripted transports (or the transports a test
// gives it), with what it tells the widget written down.
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
    QList<Status> statusesWith(const QString& text) const;

    EventLog log;
    QSharedPointer<ScriptedTransports> transports; // null when the test gave its own
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
