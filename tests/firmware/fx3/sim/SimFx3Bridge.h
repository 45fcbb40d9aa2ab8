#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace sim {

// The FX3 bridge's boot side as the control commands reach it: request,
// value, index (big-endian), returned length (big-endian), then the data.
// It keeps its own flash (sectors of 64 KiB, old firmware at first),
// programs MCS records into it, and computes its CRC over its own flash.
class Fx3Bridge
{
public:
    static constexpr int SectorSize = 0x10000;

    explicit Fx3Bridge(int sectors = 4);

    // The bytes the bridge returns for one control command; empty when it
    // does not answer.
    QByteArray control(const QByteArray& command);

    // The erase answers this status (0: done) this many more times.
    void failErases(char status, int times);
    // A flash cell that keeps this value whatever is programmed.
    void setStuckByte(int address, char value);
    // Answers this many more commands, then none.
    void stopAnsweringAfter(int commands) { m_answersLeft = commands; }

    QByteArray flash() const { return m_flash; }
    int erases() const { return m_erases; }
    int programCommands() const { return m_programCommands; }
    QList<int> recordsPerCommand() const { return m_recordsPerCommand; }
    bool jumped() const { return m_jumped; }

private:
    bool program(const QByteArray& bytes);

    QByteArray m_flash;
    quint32 m_upper = 0;
    char m_eraseStatus = 0;
    int m_failingErases = 0;
    int m_stuckAddress = -1;
    char m_stuckValue = 0;
    int m_answersLeft = -1;
    int m_erases = 0;
    int m_programCommands = 0;
    QList<int> m_recordsPerCommand;
    bool m_jumped = false;
};

} // namespace sim
