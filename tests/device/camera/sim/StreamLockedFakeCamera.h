#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Aravis's simulated camera described as real cameras behave: while its
// acquisition runs, it keeps its size, pixel format, frame period and
// trigger mode as they are (a write then changes nothing), and its sensor
// is read out at 10 pixels per microsecond, so that its fastest frame rate
// falls as the frame grows (640x480: 32.6 per second; 320x240: 130).
class StreamLockedFakeCamera
{
public:
    StreamLockedFakeCamera() = default;
    // Aravis's own description again, for the cameras opened after.
    ~StreamLockedFakeCamera();

    StreamLockedFakeCamera(const StreamLockedFakeCamera&) = delete;
    StreamLockedFakeCamera& operator=(const StreamLockedFakeCamera&) = delete;

    // The cameras that Aravis's Fake interface opens from now on are
    // described so. Empty when done, else why it cannot be.
    QString install();

private:
    QTemporaryDir m_dir;
    QByteArray m_path; // empty until installed
};
