#pragma once

#include "tests/firmware/fpga/sim/SimFpgaBoard.h"
#include "tests/support/UsbPlugged.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPair>

namespace sim {

struct FpgaBoardProfile
{
    FpgaBoard::Kind kind = FpgaBoard::Kind::TwoColorMicroscope;
    int sectors = 8;
    UsbIdentity identity;
};

// The simulated FPGA board as a core the USB plug drives: it stays in its
// bootloader and never leaves the bus.
class UsbFpgaCore
{
public:
    explicit UsbFpgaCore(const FpgaBoardProfile& profile)
        : m_identity(profile.identity)
        , m_board(profile.kind, profile.sectors)
    {
    }

    Instrument::Output receive(const QByteArray& packet)
    {
        QMutexLocker locker(&m_lock);
        Instrument::Output out;
        out.replies = m_board.receive(packet);
        return out;
    }

    UsbIdentity identity() const { return m_identity; }

    template <typename Change>
    void change(Change change)
    {
        QMutexLocker locker(&m_lock);
        change(m_board);
    }
    QByteArray flash() const
    {
        QMutexLocker locker(&m_lock);
        return m_board.flash();
    }
    bool jumped() const
    {
        QMutexLocker locker(&m_lock);
        return m_board.jumped();
    }
    QPair<quint32, quint32> crcRange() const
    {
        QMutexLocker locker(&m_lock);
        return { m_board.crcStart(), m_board.crcLength() };
    }

private:
    mutable QMutex m_lock;
    UsbIdentity m_identity;
    FpgaBoard m_board;
};

} // namespace sim

using UsbFpgaBoard = UsbPlugged<sim::UsbFpgaCore>;
