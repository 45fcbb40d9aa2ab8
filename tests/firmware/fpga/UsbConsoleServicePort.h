#pragma once

#include "tests/firmware/fpga/sim/SimFpgaBoard.h"
#include "tests/support/UsbPlugged.h"

#include <QList>
#include <QMutex>
#include <QMutexLocker>
#include <QPair>

namespace sim {

struct ConsoleServicePortProfile
{
    int boards = 2;
    int sectors = 4;
    UsbIdentity identity { 0x04D8, 0xF676, 2, QStringLiteral("Movra Bootloader"), QStringLiteral("Console Channel") };
};

// A console seen on its service port: every frame reaches each of its
// channel boards, and the console answers with the reply they all gave, or
// with the first that differs from the first board's, so that one board's
// fault reaches the program. It stays on the bus.
class ConsoleServicePortCore
{
public:
    explicit ConsoleServicePortCore(const ConsoleServicePortProfile& profile)
        : m_identity(profile.identity)
    {
        for (int i = 0; i < profile.boards; ++i)
            m_boards.append(FpgaBoard(FpgaBoard::Kind::ConsoleChannel, profile.sectors));
    }

    Instrument::Output receive(const QByteArray& packet)
    {
        QMutexLocker locker(&m_lock);
        ++m_packets;
        Instrument::Output out;
        QList<QByteArray> first;
        bool differs = false;
        for (int i = 0; i < m_boards.size(); ++i) {
            const QList<QByteArray> replies = m_boards[i].receive(packet);
            if (i == 0) {
                first = replies;
                out.replies = replies;
            } else if (!differs && replies != first) {
                out.replies = replies;
                differs = true;
            }
        }
        return out;
    }

    UsbIdentity identity() const { return m_identity; }

    template <typename Change>
    void change(int board, Change change)
    {
        QMutexLocker locker(&m_lock);
        change(m_boards[board]);
    }
    int boards() const
    {
        QMutexLocker locker(&m_lock);
        return m_boards.size();
    }
    // USB packets the program sent to the console here.
    int packets() const
    {
        QMutexLocker locker(&m_lock);
        return m_packets;
    }
    QByteArray flash(int board) const
    {
        QMutexLocker locker(&m_lock);
        return m_boards.at(board).flash();
    }
    bool jumped(int board) const
    {
        QMutexLocker locker(&m_lock);
        return m_boards.at(board).jumped();
    }
    QPair<quint32, quint32> crcRange(int board) const
    {
        QMutexLocker locker(&m_lock);
        return { m_boards.at(board).crcStart(), m_boards.at(board).crcLength() };
    }

private:
    mutable QMutex m_lock;
    UsbIdentity m_identity;
    QList<FpgaBoard> m_boards;
    int m_packets = 0;
};

} // namespace sim

using UsbConsoleServicePort = UsbPlugged<sim::ConsoleServicePortCore>;
