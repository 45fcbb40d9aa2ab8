#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

// The packet queue of one transfer slot, first in first out.
class AbstractLibUSBBuffer : public QObject
{
    Q_OBJECT

public:
    AbstractLibUSBBuffer(quint16 packetSize, quint16 capacity, QObject* parent = nullptr);

    virtual void push(QByteArray data) = 0;
    QByteArray takeFirst();
    unsigned char* frontData();
    int frontSize() const;
    bool isEmpty() const;
    void clear();
    int count() const { return m_queue.size(); }
    quint16 packetSize() const { return m_packetSize; }

protected:
    quint16 m_packetSize;
    quint16 m_capacity;
    QList<QByteArray> m_queue;
};
