#include "tests/device/serial/sim/AnsweringDevice.h"

AnsweringDevice::AnsweringDevice(QSharedPointer<TestPortList> ports, const SerialPortDescription& adapter,
                                 const QList<Answer>& answers, bool chatters)
    : PtyDevice(ports, adapter)
    , m_answers(answers)
    , m_chatters(chatters)
{
}

AnsweringDevice::~AnsweringDevice()
{
    stop();
}

QList<AnsweringDevice::Answer> AnsweringDevice::stageChain(const QByteArray& before, const QByteArray& after)
{
    // Only the first device of the chain is there to answer.
    return { { "/1 get deviceid\r", before + "@01 0 OK IDLE -- 51000\r\n" + after, 115200 } };
}

QList<AnsweringDevice::Answer> AnsweringDevice::pump()
{
    return { { "\r\n", "\r\n00:BEEP\r\n", 9600 } };
}

QList<AnsweringDevice::Answer> AnsweringDevice::latePump()
{
    // Answers only the last test, when its window has closed.
    return { { "F5 \r\n", "\r\n00:BEEP\r\n", 9600, 300 } };
}

void AnsweringDevice::onBytes(const QByteArray& bytes)
{
    m_pending.append(bytes);
    bool matched = true;
    while (matched) {
        matched = false;
        for (const Answer& answer : qAsConst(m_answers)) {
            const int at = int(m_pending.indexOf(answer.command));
            if (at < 0)
                continue;
            m_pending.remove(0, at + answer.command.size());
            if (lineSpeed() == answer.baudRate)
                send(answer.reply, answer.delayMs);
            matched = true;
            break;
        }
    }
    if (m_pending.size() > 256)
        m_pending = m_pending.right(64);
}

void AnsweringDevice::onTick()
{
    if (!m_chatters)
        return;
    QByteArray noise(16, 0);
    for (char& c : noise) {
        m_noise = m_noise * 1103515245u + 12345u;
        c = char('a' + (m_noise >> 16) % 26); // never the upper-case replies
    }
    send(noise);
}
