#pragma once

#include <QMetaType>
#include <QSharedPointer>
#include <QString>

namespace nsUpdater {

// What the updater knows of one connected device: its type and installed
// versions, shared with the widget, which sees later changes too.
struct DeviceCommunicationInfo
{
    int deviceType = 0;
    QString motherboardVersion;
    QString channelVersion;
    QString bootloaderVersion;
    QString name;
    QString uid;
};

} // namespace nsUpdater

Q_DECLARE_METATYPE(QSharedPointer<nsUpdater::DeviceCommunicationInfo>)
