#pragma once

#include "tests/device/serial/sim/PtyDevice.h"

#include <QByteArray>
#include <QList>

// A serial device that answers whole commands from a table: a command is
// answered only at the line speed the device runs at, after a delay. It
// can also chatter on its own.
class AnsweringDevice : public PtyDevice
{
public:
    struct Answer
    {
        QByteArray command; // ends the command; what came before since the last one is ignored
        QByteArray reply;
        int baudRate;
        int delayMs = 0;
    };

    AnsweringDevice(QSharedPointer<TestPortList> ports, const SerialPortDescription& adapter,
                    const QList<Answer>& answers, bool chatters = false);
    ~AnsweringDevice() override;

    // The kinds the identification meets.
    static QList<Answer> stageChain(const QByteArray& before = {}, const QByteArray& after = {});
    static QList<Answer> pump();
    static QList<Answer> latePump();

protected:
    void onBytes(const QByteArray& bytes) override;
    void onTick() override;

private:
    QList<Answer> m_answers;
    bool m_chatters;
    QByteArray m_pending;
    quint32 m_noise = 12345;
};
