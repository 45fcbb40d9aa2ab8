#pragma once

#include "device/camera/library/FrameQueueBuffer.h"
#include "device/camera/library/FrameTypeInfo.h"

#include <QList>

#include <atomic>

namespace DShowLib {

// Where the frames of live acquisition go. Only a running sink takes frames.
class FrameSink
{
public:
    enum Kind {
        QueueSinkKind = 4,
        SnapSinkKind = 5,
    };
    enum Mode {
        Running = 1,
        Paused = 2,
    };

    explicit FrameSink(const QList<FrameTypeInfo>& frameTypes);
    virtual ~FrameSink();

    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    virtual int getSinkType() const = 0;
    int getSinkMode() const { return m_mode; }
    bool setSinkMode(int mode);
    QList<FrameTypeInfo> getFrameTypes() const { return m_frameTypes; }

    // Called by the grabber: when live acquisition starts and stops with
    // this sink current, and for each frame (on the backend's thread).
    virtual void connect(const FrameTypeInfo& outputType) = 0;
    virtual void disconnect() = 0;
    virtual void deliver(const FrameTypeInfo& type, const QByteArray& bytes, qint64 stamp1, qint64 stamp2) = 0;

private:
    QList<FrameTypeInfo> m_frameTypes;
    std::atomic<int> m_mode { Paused };
};

} // namespace DShowLib
